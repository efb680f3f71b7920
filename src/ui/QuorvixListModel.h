#pragma once

#include <QAbstractItemModel>

#include <vector>

class IListItemSource;

// The rows of a list control: only each row's item data. Texts are asked of the owner when a
// cell is painted or read, never stored. Rows show in the order they were appended (the owner's
// order: for a comparison, the comparison order) unless they are sorted by a column's texts; the
// sort is only an index array over that order.
class CQuorvixListModel : public QAbstractItemModel {
public:
    explicit CQuorvixListModel(QObject* parent = nullptr) : QAbstractItemModel(parent) {}

    void SetSource(const IListItemSource* source) { m_source = source; }
    void SetColumnCount(int count);

    // Between BeginFill and EndFill rows are appended without any notification per row; the
    // rows filled are sorted as the list is.
    void BeginFill();
    void EndFill();
    bool IsFilling() const { return m_filling; }
    int AppendRow(int itemData);
    void Clear();
    int ItemData(int row) const;
    int Count() const { return int(m_items.size()); }

    // Sorts the rows by the sort texts of column (-1: the order they were appended in). Equal texts
    // keep their appended order in both directions. A row appended outside a fill while sorted
    // goes last.
    void SetSortOrder(int column, Qt::SortOrder order);
    int SortColumn() const { return m_sortColumn; }
    Qt::SortOrder SortOrder() const { return m_sortOrder; }
    // The place in the appended order of the row shown at row.
    int AppendedPosition(int row) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex&) const override { return {}; }
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    void SortRows();

    const IListItemSource* m_source = nullptr;
    std::vector<int> m_items; // in the appended order
    std::vector<int> m_order; // the appended position of each row shown; empty when not sorted
    int m_columns = 1;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_filling = false;
};
