#include "ui/QuorvixListModel.h"

#include "ui/QuorvixListCtrl.h"

void CQuorvixListModel::SetColumnCount(int count) {
    if (count == m_columns)
        return;
    beginResetModel();
    m_columns = std::max(count, 1);
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
    endInsertRows();
    return row;
}

void CQuorvixListModel::Clear() {
    if (m_filling) {
        m_items.clear();
        return;
    }
    beginResetModel();
    m_items.clear();
    endResetModel();
}

int CQuorvixListModel::ItemData(int row) const {
    return row >= 0 && row < Count() ? m_items[size_t(row)] : -1;
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
