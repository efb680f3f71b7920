#include "compare/FormCompare.h"

#include "compare/CompareListCtrl.h"
#include "dialogs/DlgParams.h"
#include "export/Export.h"
#include "export/ExportSource.h"
#include "model/ExportFilter.h"
#include "model/NameOrdering.h"
#include "services/Language.h"
#include "services/WaitCursor.h"
#include "ui/DrawingUtilities.h"
#include "ui/ListSearch.h"
#include "ui/QuorvixLook.h"
#include "ui/TemplateBuilder.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolTip>

namespace {
constexpr int kTemplate = 1004;
constexpr int kMargin = CQuorvixLook::kMargin;
// The mark of the sorted column, at the right end of its header.
constexpr int kMarkWidth = 7;
constexpr int kMarkHeight = 4;
constexpr int kMarkInset = 3;
// A header's text starts this far into its column.
constexpr int kTextInset = 4;
// The status texts of the exports' legend, then the words that stand for a side when its name
// is too long; the status column is headed as in the HTML reports.
constexpr int kStatusTexts = 1500;
constexpr int kOnlyLeftText = 1504;
constexpr int kOnlyRightText = 1505;
constexpr int kStatusHeading = 1821;
// A side's name shows in its status when neither side's is longer: longer names give way to
// "left" and "right", which keep the column narrow.
constexpr qsizetype kNamedStatusLength = 12;
} // namespace

CFormCompare::CFormCompare(CComparisonContext context, QWidget* parent)
    : CQuorvixFormView(MapResourceId(kTemplate), parent), m_context(std::move(context)) {
    for (int status = 0; status < CompareStatus::Count; ++status) {
        m_filters[status] = CTemplateBuilder::Find<QCheckBox>(*this, kFirstFilter + status);
        QPalette colours = m_filters[status]->palette();
        colours.setColor(QPalette::WindowText, CCompareListCtrl::StatusColor(status));
        m_filters[status]->setPalette(colours);
        connect(m_filters[status], &QCheckBox::clicked, this, [this] {
            const CWaitCursor waitCursor;
            FillList(false);
            UpdateDetailButton();
        });
    }
    m_searchEdit = CTemplateBuilder::Find<QLineEdit>(*this, kSearchEdit);
    m_findButton = CTemplateBuilder::Find<QPushButton>(*this, kFindButton);
    m_detailButton = CTemplateBuilder::Find<QPushButton>(*this, kDetailButton);
    m_list = static_cast<CCompareListCtrl*>(
        CTemplateBuilder::Adopt(*this, kResultList, new CCompareListCtrl(this)));
    m_list->SetItemSource(this);
    m_list->SetShowSelectionAlways(true);
    // The columns follow the list's width, also when a scroll bar comes or goes after a refill.
    m_list->viewport()->installEventFilter(this);

    connect(m_searchEdit, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_findButton->setEnabled(!text.isEmpty()); });
    connect(m_findButton, &QPushButton::clicked, this, [this] { Find(); });
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { UpdateDetailButton(); });
    // The detail follows the current row among several selected.
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { UpdateDetailButton(); });
    connect(m_list, &CQuorvixListCtrl::ItemActivated, this, [this] { ShowDetail(); });
    connect(m_detailButton, &QPushButton::clicked, this, [this] { ShowDetail(); });
    // Known from the start, so that a window can open as wide as its status column needs.
    MakeStatusTexts();
}

CFormCompare::~CFormCompare() = default;

void CFormCompare::OnInitialUpdate() {
    if (IsInitialised())
        return;
    CQuorvixFormView::OnInitialUpdate();
    m_boldFont = font();
    m_boldFont.setBold(true);
    m_findButton->setIcon(m_context.findIcon);
    InsertColumns();
    m_statusColumn = m_list->GetColumnCount();
    m_list->InsertColumn(m_statusColumn, QString(), Qt::AlignLeft, StatusColumnWidth());
    SetColumnHeadings();
    if (HasDetailButton()) {
        m_detailAction = new QAction(m_detailButton->text(), m_list);
        connect(m_detailAction, &QAction::triggered, this, [this] { ShowDetail(); });
        m_list->addAction(m_detailAction);
    }
    FillList(true);
    UpdateDetailButton();

    for (int status = 0; status < CompareStatus::Count; ++status) {
        QString text = LoadLocalizedString(GetFirstCountStringId() + status);
        text.replace(QStringLiteral("%d"), QString::number(GetStatusCount(status)));
        if (status == CompareStatus::OnlyLeft || status == CompareStatus::OnlyRight)
            text.replace(QStringLiteral("%s"),
                         m_context.SideName(status == CompareStatus::OnlyLeft ? 0 : 1));
        m_filters[status]->setText(text);
        m_filters[status]->setChecked(true);
        // Statuses other than "same" are shown in bold, as their rows are.
        if (status != CompareStatus::Same)
            m_filters[status]->setFont(m_boldFont);
    }
    RepositionControls(width(), height());
    m_searchEdit->setFocus();
    m_detailButton->setVisible(HasDetailButton());
    m_findButton->setEnabled(!m_searchEdit->text().isEmpty());
}

bool CFormCompare::IsFilterChecked(int status) const {
    return CompareStatus::IsValid(status) && m_filters[status]->isChecked();
}

bool CFormCompare::PrepareExport(const CExportSource& source) {
    if (!m_context.params)
        return false;
    return CDlgParams::AskExportOptions(*m_context.params, source.PresetOptions(StatusFilters()),
                                        source.LeftName(), source.RightName(), this);
}

std::vector<CExportFilter> CFormCompare::StatusFilters() const {
    std::vector<CExportFilter> filters;
    for (int status = 0; status < CompareStatus::Count; ++status)
        filters.push_back({IsFilterShown(status), IsFilterChecked(status)});
    return filters;
}

void CFormCompare::OnSize(int cx, int cy) {
    RepositionControls(cx, cy);
    update();
}

void CFormCompare::RepositionControls(int cx, int cy) {
    CQuorvixFormView::RepositionControls(cx, cy);
    int y = 14;
    for (int status = 0; status < CompareStatus::Count; ++status) {
        QCheckBox* filter = m_filters[status];
        if (!IsFilterShown(status)) {
            filter->hide();
            continue;
        }
        filter->setGeometry(14, y, std::max(cx - 28, 0), filter->height());
        filter->show();
        y = filter->geometry().bottom() + 1 + 5;
    }
    m_panelRect = QRect(QPoint(kMargin, kMargin), QPoint(cx - kMargin - 1, y + 2 - 1));
    if (m_separatorY < 0)
        m_separatorY = m_panelRect.bottom() + 1 + kMargin;
    m_findButton->move(cx - kMargin - m_findButton->width(), m_separatorY + kMargin);
    m_searchEdit->setGeometry(kMargin, m_separatorY + kMargin,
                              std::max(m_findButton->x() - 1 - kMargin, 0), m_searchEdit->height());
    PlaceList(cx, cy, m_searchEdit->geometry());
    if (HasDetailButton())
        m_detailButton->move(cx - kMargin - m_detailButton->width(),
                             cy - 75 - m_detailButton->height());
    SizeColumns();
}

void CFormCompare::PlaceList(int cx, int cy, const QRect& searchEdit) {
    const int editBottom = searchEdit.bottom() + 1;
    const int reserve = HasDetailButton() ? searchEdit.height() + kMargin : 0;
    const int band = ReservesHeaderBand() ? kBandHeight : 0;
    m_list->setGeometry(kMargin, editBottom + kMargin + band, std::max(cx - 2 * kMargin, 0),
                        std::max(cy - editBottom - 82 - reserve - band, 0));
}

void CFormCompare::SetColumnWidths(const std::vector<int>& widths) {
    m_list->setUpdatesEnabled(false);
    for (int column = 0; column < int(widths.size()) && column != m_statusColumn; ++column)
        m_list->SetColumnWidth(column, widths[size_t(column)]);
    m_list->SetColumnWidth(m_statusColumn, StatusColumnWidth());
    m_list->setUpdatesEnabled(true);
    update(HeaderBand());
}

void CFormCompare::SizeColumnsByWeights(const std::vector<int>& weights) {
    const int count = int(weights.size());
    if (count < 2 || m_statusColumn < count) {
        CFormCompare::SizeColumns();
        return;
    }
    int otherWeights = 0;
    for (int column = 1; column < count; ++column)
        otherWeights += weights[size_t(column)];
    const int width = SharedWidth();
    std::vector<int> widths(size_t(count), 0);
    widths[0] = NameColumnWidth(width, weights[0], weights[0] + otherWeights);
    int used = widths[0];
    for (int column = 1; column < count - 1; ++column) {
        widths[size_t(column)] =
            std::max((width - widths[0]) * weights[size_t(column)] / otherWeights, 0);
        used += widths[size_t(column)];
    }
    widths[size_t(count - 1)] = std::max(width - used, 0);
    SetColumnWidths(widths);
}

void CFormCompare::FillStatusRows(int rowCount, const std::function<qint32(int row)>& statusOf,
                                  bool count) {
    m_list->SetRedraw(false);
    m_list->DeleteAllItems();
    if (count)
        m_rowCounts.fill(0);
    for (int row = 0; row < rowCount; ++row) {
        const qint32 status = statusOf(row);
        if (count) {
            if (CompareStatus::IsValid(status))
                ++m_rowCounts[status];
            m_list->AppendItem(row);
        } else if (IsFilterChecked(status)) {
            m_list->AppendItem(row);
        }
    }
    m_list->SetRedraw(true);
    if (!count)
        SizeColumns();
}

int CFormCompare::GetStatusCount(int status) const {
    return CompareStatus::IsValid(status) ? m_rowCounts[status] : 0;
}

int CFormCompare::NameColumnWidth(int listWidth, int nameWeight, int totalWeight) {
    constexpr int kNameMinimum = 60;
    constexpr int kNameMaximum = 200;
    const qint64 product = qint64(listWidth) * nameWeight;
    const int share =
        int((product + (product >= 0 ? totalWeight / 2 : -totalWeight / 2)) / totalWeight);
    return std::clamp(share, kNameMinimum, kNameMaximum);
}

std::vector<CFormCompare::BandHeader> CFormCompare::HeaderTexts() const {
    std::vector<BandHeader> headers = ColumnHeaders();
    headers.push_back({LoadLocalizedString(kStatusHeading), QString()});
    return headers;
}

void CFormCompare::MakeStatusTexts() {
    const auto withSymbol = [](qint32 status, const QString& words) {
        return StatusSymbol(status) + QLatin1Char(' ') + words;
    };
    for (const qint32 status : {CompareStatus::Same, CompareStatus::Different})
        m_statusTexts[size_t(status)] =
            withSymbol(status, LoadLocalizedString(kStatusTexts + status));
    // Short names that differ say which side a row is on; else "left" and "right" do.
    const QString& leftName = m_context.leftName;
    const QString& rightName = m_context.rightName;
    const bool named = !leftName.isEmpty() && !rightName.isEmpty() && leftName != rightName &&
                       leftName.size() <= kNamedStatusLength &&
                       rightName.size() <= kNamedStatusLength;
    // One placeholder each: a side's name is never searched for the other's.
    m_statusTexts[size_t(CompareStatus::OnlyLeft)] = withSymbol(
        CompareStatus::OnlyLeft, named ? LoadLocalizedString(kStatusTexts + CompareStatus::OnlyLeft)
                                             .replace(QStringLiteral("%LDB%"), leftName)
                                       : LoadLocalizedString(kOnlyLeftText));
    m_statusTexts[size_t(CompareStatus::OnlyRight)] =
        withSymbol(CompareStatus::OnlyRight,
                   named ? LoadLocalizedString(kStatusTexts + CompareStatus::OnlyRight)
                               .replace(QStringLiteral("%RDB%"), rightName)
                         : LoadLocalizedString(kOnlyRightText));
}

QString CFormCompare::StatusText(qint32 status) const {
    return CompareStatus::IsValid(status) ? m_statusTexts[size_t(status)] : QString();
}

int CFormCompare::StatusColumnWidth() const {
    return m_statusColumn < 0 ? 0 : StatusTextsWidth();
}

int CFormCompare::StatusTextsWidth() const {
    // Rows of every status but "same" are drawn in bold: each text is measured in both fonts.
    QFont boldFont = m_list->font();
    boldFont.setBold(true);
    const QFontMetrics plain(m_list->font());
    const QFontMetrics bold(boldFont);
    int width = 0;
    for (const QString& text : m_statusTexts)
        width = std::max({width, plain.horizontalAdvance(text), bold.horizontalAdvance(text)});
    width += CQuorvixListCtrl::kReservedWidth;
    // The heading in the band keeps its inset and the room of the sort mark.
    const int heading = plain.horizontalAdvance(LoadLocalizedString(kStatusHeading)) +
                        2 * kTextInset + kMarkWidth + kMarkInset;
    return std::max(width, heading);
}

int CFormCompare::SharedWidth() const {
    return std::max(m_list->viewport()->width() - StatusColumnWidth(), 0);
}

QString CFormCompare::GetItemText(int itemData, int column) const {
    if (column >= 0 && column == m_statusColumn)
        return StatusText(GetItemImage(itemData));
    return GetCellText(itemData, column);
}

QString CFormCompare::GetItemSortText(int itemData, int column) const {
    if (column >= 0 && column == m_statusColumn)
        return QString::number(GetItemImage(itemData));
    return GetItemText(itemData, column);
}

void CFormCompare::SetColumnHeadings() {
    const std::vector<BandHeader> headers = HeaderTexts();
    for (int column = 0; column < std::min(int(headers.size()), m_list->GetColumnCount());
         ++column) {
        const BandHeader& header = headers[size_t(column)];
        m_list->SetColumnHeading(column, header.second.isEmpty()
                                             ? header.first
                                             : header.first + QLatin1Char(' ') + header.second);
    }
}

QRect CFormCompare::HeaderBand() const {
    if (!ReservesHeaderBand() || !PaintsHeaderBand())
        return {};
    const QRect list = m_list->geometry();
    return QRect(list.left(), list.top() - kBandHeight, list.width(), kBandHeight);
}

QRect CFormCompare::BandHeaderRect(int column) const {
    const QRect band = HeaderBand();
    if (band.isEmpty() || column < 0 || column >= m_list->GetColumnCount() ||
        m_list->GetColumnWidth(column) <= 0)
        return {};
    // The columns start where the list's rows do, inside its frame.
    int left = band.left() + m_list->viewport()->geometry().left();
    for (int before = 0; before < column; ++before)
        left += std::max(m_list->GetColumnWidth(before), 0);
    return QRect(left, band.top(), m_list->GetColumnWidth(column), band.height());
}

std::pair<QString, QString> CFormCompare::FittedHeader(const BandHeader& header, int width) const {
    const QFontMetrics metrics(m_list->font());
    const QString second = header.secondIsSideName
                               ? metrics.elidedText(header.second, Qt::ElideMiddle, width)
                               : FitTextToWidth(metrics, header.second, width, 0);
    return {FitTextToWidth(metrics, header.first, width, 0), second};
}

QRect CFormCompare::HeaderTextArea(int column, bool twoLines) const {
    const QRect cell = BandHeaderRect(column);
    if (cell.isEmpty())
        return {};
    // The sorted column's header text leaves room for the mark.
    const int width = cell.width() - (column == m_list->SortColumn() ? kMarkWidth + kMarkInset : 0);
    // One line keeps the inset on its left only.
    return QRect(cell.left() + kTextInset, cell.top(), width - (twoLines ? 2 : 1) * kTextInset,
                 cell.height());
}

void CFormCompare::PaintHeaderBand(QPainter& painter,
                                   const std::vector<BandHeader>& headers) const {
    const QRect band = HeaderBand();
    painter.fillRect(band, palette().color(QPalette::Button));
    painter.setFont(m_list->font());
    const int lineHeight = QFontMetrics(m_list->font()).lineSpacing();
    for (int column = 0; column < int(headers.size()); ++column) {
        const QRect cell = BandHeaderRect(column);
        if (cell.isEmpty())
            continue;
        if (column > 0) {
            painter.setPen(palette().color(QPalette::Dark));
            painter.drawLine(cell.left(), band.top(), cell.left(), band.bottom());
        }
        painter.setPen(palette().color(QPalette::ButtonText));
        const BandHeader& header = headers[size_t(column)];
        const QRect area = HeaderTextArea(column, !header.second.isEmpty());
        const auto [first, second] = FittedHeader(header, area.width());
        if (header.second.isEmpty()) {
            painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, first);
        } else {
            const QRect firstLine(area.left(), band.top() + 15 - lineHeight, area.width(),
                                  2 * lineHeight - 15);
            painter.drawText(firstLine, Qt::AlignLeft | Qt::AlignBottom, first);
            painter.drawText(firstLine.translated(0, lineHeight), Qt::AlignLeft | Qt::AlignBottom,
                             second);
        }
    }
    PaintSortMark(painter);
}

// A small triangle at the right end of the sorted column's header: up ascending, down descending.
void CFormCompare::PaintSortMark(QPainter& painter) const {
    const QRect cell = BandHeaderRect(m_list->SortColumn());
    if (cell.width() <= kMarkWidth + 2 * kMarkInset)
        return;
    const int right = cell.right() - kMarkInset;
    const int top = cell.center().y() - kMarkHeight / 2;
    const bool ascending = m_list->SortOrder() == Qt::AscendingOrder;
    const QPolygon mark({QPoint(right - kMarkWidth + 1, ascending ? top + kMarkHeight - 1 : top),
                         QPoint(right, ascending ? top + kMarkHeight - 1 : top),
                         QPoint(right - kMarkWidth / 2, ascending ? top : top + kMarkHeight - 1)});
    painter.save();
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.setBrush(palette().color(QPalette::ButtonText));
    painter.drawPolygon(mark);
    painter.restore();
}

void CFormCompare::mousePressEvent(QMouseEvent* event) {
    const QPoint position = event->position().toPoint();
    if (event->button() == Qt::LeftButton && HeaderBand().contains(position)) {
        for (int column = 0; column < m_list->GetColumnCount(); ++column) {
            if (BandHeaderRect(column).contains(position)) {
                m_list->SortByColumn(column);
                update(HeaderBand());
                event->accept();
                return;
            }
        }
    }
    CQuorvixFormView::mousePressEvent(event);
}

void CFormCompare::InsertColumns() {
    // The columns fill the list: long names are cut with "..." rather than scrolled.
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->InsertColumn(0, QString(), Qt::AlignLeft, 100);
}

// A header cut to fit its column shows whole in a tooltip.
bool CFormCompare::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return CQuorvixFormView::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const std::vector<BandHeader> headers = HeaderTexts();
    for (int column = 0; column < int(headers.size()) && HeaderBand().contains(help->pos());
         ++column) {
        if (!BandHeaderRect(column).contains(help->pos()))
            continue;
        const BandHeader& header = headers[size_t(column)];
        const auto [first, second] =
            FittedHeader(header, HeaderTextArea(column, !header.second.isEmpty()).width());
        if (first != header.first || second != header.second) {
            QToolTip::showText(help->globalPos(),
                               header.second.isEmpty()
                                   ? header.first
                                   : header.first + QLatin1Char('\n') + header.second,
                               this, BandHeaderRect(column));
            event->accept();
            return true;
        }
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}

bool CFormCompare::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list->viewport() && event->type() == QEvent::Resize)
        SizeColumns();
    return CQuorvixFormView::eventFilter(watched, event);
}

void CFormCompare::SizeColumns() {
    if (m_statusColumn > 0)
        SetColumnWidths({SharedWidth() - 1});
}

void CFormCompare::UpdateDetailButton() {
    const int row = m_list->GetSelectedRow();
    const bool available = HasDetailButton() && row >= 0 && CanShowDetail(m_list->GetItemData(row));
    EnableControl(m_detailButton, available);
    if (m_detailAction)
        m_detailAction->setEnabled(available);
}

void CFormCompare::Find() {
    FindNextInList(*m_searchEdit, *m_list, [this](int itemData, const QString& text) {
        return MatchesSearch(itemData, text);
    });
}

void CFormCompare::paintEvent(QPaintEvent* event) {
    CQuorvixFormView::paintEvent(event);
    QPainter painter(this);
    if (m_separatorY > 0) {
        CQuorvixLook::DrawSeparator(painter, width(), m_separatorY);
    }
    painter.fillRect(m_panelRect, Qt::white);
    painter.setPen(QPen(CQuorvixLook::Accent(), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(m_panelRect.adjusted(1, 1, 0, 0));
    if (!HeaderBand().isEmpty())
        PaintHeaderBand(painter, HeaderTexts());
}
