#pragma once

#include "model/ColumnInfo.h"

#include <QHash>
#include <QString>
#include <QStringView>

#include <string>
#include <vector>

// Every column of one owner as a few catalogue calls returned them, held compactly: the names in
// one block of text, the type names once each, a few numbers per row. The table run reads a
// whole side this way instead of with one call per table, and hands each table its columns as
// the per-table call would give them.
class CColumnCatalogue {
public:
    // What one call asks for: the tables whose names begin with prefix, or the one table named
    // prefix. An empty prefix that is not a whole name asks for every table.
    struct NameGroup {
        QString prefix;
        bool wholeName = false;
        bool operator==(const NameGroup&) const = default;
    };
    // Splits names into groups of at most tablesPerCall names each sharing a prefix, so that no
    // call makes the driver hold more than that many tables' rows (the SQLite driver builds a
    // call's whole result in memory). Names up to tablesPerCall give the one group of all.
    static std::vector<NameGroup> GroupNames(QStringList names, int tablesPerCall);

    void Clear();
    // Rows after this come from another call: a table already read in an earlier call, which a
    // pattern that ignores case may match again, keeps the rows it has.
    void BeginCall() { ++m_call; }
    // A row, in the order the driver returned it; false when it was skipped as read before.
    // Attributes are given for every row of a catalogue or for none.
    bool AddRow(QStringView table, QStringView column, qint32 dataType, QStringView typeName,
                qint32 size, const CColumnInfo::Attributes* attributes = nullptr);
    qsizetype RowCount() const { return qsizetype(m_rows.size()); }
    // Puts a default read again in place of the one a row was added with.
    void SetDefault(qsizetype row, const std::optional<QString>& value);
    // Makes room for the rows of tables in all, judged by the tables read so far, so that the
    // storage grows once rather than doubling past what it needs.
    void ReserveForTables(qsizetype tables);
    qsizetype TableCount() const { return m_tables.size(); }

    // The columns of table, in the driver's order: the rows whose table name is exactly table.
    // With anySpelling, a driver that reports the table under another spelling is understood
    // too: when no row has the exact name, the rows of the one table whose name equals it with
    // the case of A-Z ignored; never those of several such tables, which are other tables.
    // False when there are none.
    bool Columns(const QString& table, CColumnInfoArray& columns, bool anySpelling = false) const;

private:
    struct Row {
        quint32 nameOffset;
        quint32 typeName;
        qint32 size;
        quint16 nameLength; // catalogue names are read into buffers of 4096 units
        qint16 dataType;    // an SQLSMALLINT
    };
    // A row's attributes, beside it when they were read: the default's units in m_defaults.
    struct RowAttributes {
        quint32 defaultOffset;
        qint32 defaultLength; // -1: NULL
        qint16 nullable;
        qint16 decimalDigits;
        bool hasDecimalDigits;
    };
    // The rows of one table: stretches of consecutive rows, usually one.
    struct Stretch {
        quint32 first;
        quint32 count;
    };
    struct Stretches : std::vector<Stretch> {
        quint32 call = 0; // the call that read them
    };

    void AppendRows(const Stretches& stretches, std::vector<quint32>& rows) const;

    std::u16string m_names;
    std::vector<Row> m_rows;
    std::vector<RowAttributes> m_attributes;
    std::u16string m_defaults;
    QStringList m_typeNames;
    QHash<QString, quint32> m_typeNameIndex;
    QHash<QString, Stretches> m_tables;
    // The table being added, so that its rows extend its last stretch without a lookup.
    QString m_currentTable;
    Stretches* m_currentStretches = nullptr;
    quint32 m_call = 0;
};
