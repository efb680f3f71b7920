#pragma once

#include "model/ColumnInfo.h"

#include <QHash>
#include <QString>
#include <QStringView>

#include <string>
#include <vector>

// Every column of one owner as one catalogue call returned them, held compactly: the names in
// one block of text, the type names once each, a few numbers per row. The table run reads a
// whole side this way in one call instead of one call per table, and hands each table its
// columns as the per-table call would give them.
class CColumnCatalogue {
public:
    void Clear();
    // A row, in the order the driver returned it.
    void AddRow(QStringView table, QStringView column, qint32 dataType, QStringView typeName,
                qint32 size);
    qsizetype RowCount() const { return qsizetype(m_rows.size()); }
    qsizetype TableCount() const { return m_tables.size(); }

    // The columns of table, in the driver's order: the rows whose table name is exactly table
    // when there are any, else those whose name equals it with the case of A-Z ignored. False
    // when there are none.
    bool Columns(const QString& table, CColumnInfoArray& columns) const;

private:
    struct Row {
        quint32 nameOffset;
        quint32 nameLength;
        quint32 typeName;
        qint32 dataType;
        qint32 size;
    };
    // The rows of one table: stretches of consecutive rows, usually one.
    struct Stretch {
        quint32 first;
        quint32 count;
    };
    using Stretches = std::vector<Stretch>;

    void AppendRows(const Stretches& stretches, std::vector<quint32>& rows) const;

    std::u16string m_names;
    std::vector<Row> m_rows;
    QStringList m_typeNames;
    QHash<QString, quint32> m_typeNameIndex;
    QHash<QString, Stretches> m_tables;
    // The table being added, so that its rows extend its last stretch without a lookup.
    QString m_currentTable;
    Stretches* m_currentStretches = nullptr;
};
