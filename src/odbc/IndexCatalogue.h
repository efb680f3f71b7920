#pragma once

#include "model/IndexInfo.h"

#include <QHash>
#include <QString>
#include <QStringView>

#include <string>
#include <vector>

// The indexes of the tables a reading answered for, as the catalogue gave them: one row per
// index column in the driver's order, the names in one block of text. The table run reads a
// whole side this way and hands each table its indexes as the per-table call would give them;
// the per-table reading goes through it too, so that rows become indexes in one place.
class CIndexCatalogue {
public:
    void Clear();
    // A table the reading answers for: one that then gets no rows has no index.
    void AddTable(const QString& table);
    // One column of an index of table, in the driver's order.
    void AddRow(const QString& table, QStringView index, bool unique, QStringView column,
                bool ascending);
    qsizetype TableCount() const { return m_tables.size(); }
    qsizetype RowCount() const { return qsizetype(m_rows.size()); }

    // The indexes of table: consecutive rows of one name make one index, unique as its first
    // row says, with the columns in their order. False when the reading did not answer for it.
    bool Indexes(const QString& table, CIndexInfoArray& indexes) const;

private:
    struct Row {
        quint32 indexOffset;
        quint32 columnOffset;
        quint16 indexLength; // catalogue names are read into buffers of 4096 units
        quint16 columnLength;
        bool unique;
        bool ascending;
    };
    // The rows of one table: stretches of consecutive rows, usually one.
    struct Stretch {
        quint32 first;
        quint32 count;
    };

    quint32 AppendName(QStringView name);
    QString NameAt(quint32 offset, quint16 length) const;

    std::u16string m_names;
    std::vector<Row> m_rows;
    QHash<QString, std::vector<Stretch>> m_tables;
    // The table being added, so that its rows extend its last stretch without a lookup.
    QString m_currentTable;
    std::vector<Stretch>* m_currentStretches = nullptr;
};
