#pragma once

#include <QAbstractItemModel>

#include <vector>

class IListItemSource;

// The rows of a list control: only each row's item data. Texts are asked of the owner when a
// cell is painted or read, never stored.
class CQuorvixListModel : public QAbstractItemModel {
public:
    explicit CQuorvixListModel(QObject* parent = nullptr) : QAbstractItemModel(parent) {}

    void SetSource(const IListItemSource* source) { m_source = source; }
    void SetColumnCount(int count);

    // Between BeginFill and EndFill rows are appended without any notification per row.
    void BeginFill();
    void EndFill();
    bool IsFilling() const { return m_filling; }
    int AppendRow(int itemData);
    void Clear();
    int ItemData(int row) const;
    int Count() const { return int(m_items.size()); }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex&) const override { return {}; }
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    const IListItemSource* m_source = nullptr;
    std::vector<int> m_items;
    int m_columns = 1;
    bool m_filling = false;
};
