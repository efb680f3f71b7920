#include "ui/QuorvixListModel.h"

#include "ui/QuorvixListCtrl.h"

#include <algorithm>
#include <numeric>

namespace {

bool IsDigit(QChar character) {
    return character >= QLatin1Char('0') && character <= QLatin1Char('9');
}

char16_t FoldAscii(QChar character) {
    const char16_t code = character.unicode();
    return code >= u'A' && code <= u'Z' ? char16_t(code - u'A' + u'a') : code;
}

// The end of the run of digits that starts at start.
qsizetype DigitsEnd(QStringView text, qsizetype start) {
    while (start < text.size() && IsDigit(text[start]))
        ++start;
    return start;
}

// Texts compare as a reader expects: the letters A-Z without their case, runs of digits by their
// value ("9" before "10", as sizes and numbered names read), every other character by its code;
// texts equal so keep their order with case and zeros.
int CompareDisplayTexts(QStringView left, QStringView right) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < left.size() && j < right.size()) {
        if (IsDigit(left[i]) && IsDigit(right[j])) {
            const qsizetype leftEnd = DigitsEnd(left, i);
            const qsizetype rightEnd = DigitsEnd(right, j);
            while (i < leftEnd - 1 && left[i] == QLatin1Char('0'))
                ++i;
            while (j < rightEnd - 1 && right[j] == QLatin1Char('0'))
                ++j;
            // Without leading zeros the longer run is the larger number.
            if (leftEnd - i != rightEnd - j)
                return leftEnd - i < rightEnd - j ? -1 : 1;
            for (; i < leftEnd; ++i, ++j) {
                if (left[i] != right[j])
                    return left[i] < right[j] ? -1 : 1;
            }
            continue;
        }
        const char16_t leftCode = FoldAscii(left[i]);
        const char16_t rightCode = FoldAscii(right[j]);
        if (leftCode != rightCode)
            return leftCode < rightCode ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < left.size() || j < right.size())
        return i < left.size() ? 1 : -1;
    return left.compare(right, Qt::CaseSensitive);
}

} // namespace

void CQuorvixListModel::SetColumnCount(int count) {
    if (count == m_columns)
        return;
    beginResetModel();
    m_columns = std::max(count, 1);
    if (m_sortColumn >= m_columns) {
        m_sortColumn = -1;
        m_order.clear();
    }
    endResetModel();
}

void CQuorvixListModel::BeginFill() {
    if (m_filling)
        return;
    m_filling = true;
    beginResetModel();
}

void CQuorvixListModel::EndFill() {
    if (!m_filling)
        return;
    m_filling = false;
    SortRows();
    endResetModel();
}

int CQuorvixListModel::AppendRow(int itemData) {
    const int row = int(m_items.size());
    if (m_filling) {
        m_items.push_back(itemData);
        return row;
    }
    beginInsertRows({}, row, row);
    m_items.push_back(itemData);
    if (m_sortColumn >= 0)
        m_order.push_back(row);
    endInsertRows();
    return row;
}

void CQuorvixListModel::Clear() {
    if (m_filling) {
        m_items.clear();
        m_order.clear();
        return;
    }
    beginResetModel();
    m_items.clear();
    m_order.clear();
    endResetModel();
}

int CQuorvixListModel::AppendedPosition(int row) const {
    if (row < 0 || row >= Count())
        return -1;
    return m_order.empty() ? row : m_order[size_t(row)];
}

int CQuorvixListModel::ItemData(int row) const {
    const int position = AppendedPosition(row);
    return position >= 0 ? m_items[size_t(position)] : -1;
}

void CQuorvixListModel::SetSortOrder(int column, Qt::SortOrder order) {
    m_sortColumn = column >= 0 && column < m_columns ? column : -1;
    m_sortOrder = order;
    if (m_filling)
        return;
    beginResetModel();
    SortRows();
    endResetModel();
}

void CQuorvixListModel::SortRows() {
    m_order.clear();
    if (m_sortColumn < 0 || !m_source || m_items.empty())
        return;
    // Each row's text is asked once, into one buffer: the owner may read it from a result file,
    // and the rows may be hundreds of thousands. The buffer goes when the sort is done.
    const int count = Count();
    QString texts;
    std::vector<qsizetype> starts;
    starts.reserve(size_t(count) + 1);
    for (const int itemData : m_items) {
        starts.push_back(texts.size());
        texts += m_source->GetItemSortText(itemData, m_sortColumn);
    }
    starts.push_back(texts.size());
    const auto textAt = [&texts, &starts](int position) {
        const size_t at = size_t(position);
        return QStringView(texts).mid(starts[at], starts[at + 1] - starts[at]);
    };
    m_order.resize(size_t(count));
    std::iota(m_order.begin(), m_order.end(), 0);
    const bool descending = m_sortOrder == Qt::DescendingOrder;
    std::stable_sort(m_order.begin(), m_order.end(), [&](int left, int right) {
        const int order = CompareDisplayTexts(textAt(left), textAt(right));
        return descending ? order > 0 : order < 0;
    });
}

QModelIndex CQuorvixListModel::index(int row, int column, const QModelIndex& parent) const {
    if (parent.isValid() || row < 0 || row >= Count() || column < 0 || column >= m_columns)
        return {};
    return createIndex(row, column);
}

int CQuorvixListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || m_filling ? 0 : Count();
}

int CQuorvixListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_columns;
}

QVariant CQuorvixListModel::data(const QModelIndex& index, int role) const {
    // The view draws its rows itself; the texts are offered for accessibility and tests.
    if (!index.isValid() || role != Qt::DisplayRole || !m_source)
        return {};
    return m_source->GetItemText(ItemData(index.row()), index.column());
}
