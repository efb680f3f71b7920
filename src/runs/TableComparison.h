#pragma once

#include "model/ColumnCompareInfo.h"
#include "model/IndexCompareInfo.h"
#include "odbc/ColumnCatalogue.h"
#include "odbc/IndexCatalogue.h"
#include "runs/ComparisonRun.h"

#include <QByteArray>
#include <QStringList>

#include <memory>

// The table comparison: the union of both sides' table names, each judged by its columns and,
// where asked, its indexes. Memory holds the name union and the counters; the result file holds
// each table's status and, for a different table, its column and index rows, read back row by
// row by the views.
class CTableComparison final : public CComparisonRun {
public:
    // Where the rows of a different table stand in the result file.
    struct TableRows {
        qint32 rowCount = 0;
        qint16 nameWidth = 0;
        qint16 typeNameWidth = 0;
        qint64 firstRow = 0;
        // Whether the rows hold the columns' attributes, and where their defaults begin.
        bool attributes = false;
        qint64 defaults = 0;
        // The index rows, where the run compared indexes.
        qint32 indexCount = 0;
        qint16 indexNameWidth = 0;
        qint16 indexDefinitionWidth = 0;
        qint64 firstIndexRow = 0;

        qint64 RowSize() const;
        qint64 IndexRowSize() const;
    };

    CTableComparison(CSide& left, CSide& right, const CParamWord& params);

    // On the progress dialog's worker thread. False when cancelled or failed.
    bool Run(IComparisonProgress& waitDialog);
    // Whether each side's columns are first read in one catalogue call (the default) or table
    // by table; the result is the same either way.
    void SetReadAllColumns(bool readAll) { m_readAllColumns = readAll; }
    bool ReadsAllColumns() const { return m_readAllColumns; }
    // How many tables of the last run were read by a catalogue call of their own.
    int TablesReadAlone() const { return m_tablesReadAlone; }
    // The same of the tables whose indexes were read by a call of their own.
    int IndexTablesReadAlone() const { return m_indexTablesReadAlone; }
    // Whether the result compared the columns' nullability, decimal digits and defaults, and
    // so holds them.
    bool ComparedAttributes() const { return m_attributes; }
    // Whether the result compared the tables' indexes, and so holds their rows.
    bool ComparedIndexes() const { return m_indexes; }

    const QStringList& TableNames() const { return m_tableNames; }
    const Counters& TableCounters() const { return m_tableCounters; }
    // -1 when there is no result or no such table.
    qint32 GetTableStatus(int tableIndex) const;
    // The rows of a different table; none for a table of any other status. False when the table
    // cannot be read.
    bool OpenTableRows(int tableIndex, TableRows& rows) const;
    std::unique_ptr<CColumnCompareInfo> ReadColumnRow(const TableRows& rows, int rowIndex) const;
    qint32 GetColumnRowStatus(const TableRows& rows, int rowIndex) const;
    std::unique_ptr<CIndexCompareInfo> ReadIndexRow(const TableRows& rows, int rowIndex) const;
    qint32 GetIndexRowStatus(const TableRows& rows, int rowIndex) const;

private:
    // The file opens with an index of one entry position per table, in table order. An entry is
    // this header, then for a different table its column rows, each of
    // CColumnCompareInfo::RecordSize and with the attributes each followed by them, then with
    // the indexes its index rows, then with the attributes the block of defaults.
    struct EntryHeader {
        qint32 status = CompareStatus::Same;
        // The rows' count and field widths, written for a different table only, the index
        // rows' where the run compared indexes.
        qint32 rowCount = 0;
        qint16 nameWidth = 0;
        qint16 typeNameWidth = 0;
        qint32 indexCount = 0;
        qint16 indexNameWidth = 0;
        qint16 indexDefinitionWidth = 0;

        static constexpr qint64 LongestSize = 20;
        qint64 Size(bool indexes) const;
        void Append(QByteArray& entry, bool indexes) const;
        // From the bytes at the entry's start; false when they end before the header.
        bool Parse(const QByteArray& bytes, bool indexes);
    };
    static constexpr qint64 IndexEntrySize() { return 8; }

    bool CompareTable(int tableIndex, bool caseSensitive, bool compareTypes, bool stringsAlike,
                      const QStringList& leftNames, const QStringList& rightNames,
                      IComparisonProgress& waitDialog);
    // The rows of a table as its entry holds them.
    void AppendRows(const std::vector<std::unique_ptr<CColumnCompareInfo>>& rows,
                    const CIndexCompareRows& indexRows, const EntryHeader& header,
                    QByteArray& entry) const;
    // The index rows of a table found on both sides; false when a side cannot be read.
    bool CompareIndexes(const QString& leftTable, const QString& rightTable, bool caseSensitive,
                        EntryHeader& header, CIndexCompareRows& indexRows);
    // False when cancelled while reading.
    bool ReadCatalogues(IComparisonProgress& waitDialog);
    // A table's columns on one side (0 left, 1 right), from that side's catalogue when it has
    // the table, else by a call of its own.
    bool ReadColumns(int side, const QString& table, CColumnInfoArray& columns);
    bool ReadIndexes(int side, const QString& table, CIndexInfoArray& indexes);
    // False when cancelled while reading.
    bool ReadCatalogue(int side, IComparisonProgress& waitDialog);
    bool ReadIndexCatalogue(int side, IComparisonProgress& waitDialog);
    // The entry of a table: its position and header; false when it cannot be read.
    bool ReadEntry(int tableIndex, qint64& position, EntryHeader& header) const;

    QStringList m_tableNames;
    Counters m_tableCounters{};
    bool m_readAllColumns = true;
    bool m_attributes = false;
    bool m_indexes = false;
    std::array<CColumnCatalogue, 2> m_catalogues;
    std::array<bool, 2> m_hasCatalogue{};
    std::array<CIndexCatalogue, 2> m_indexCatalogues;
    std::array<bool, 2> m_hasIndexCatalogue{};
    int m_tablesReadAlone = 0;
    int m_indexTablesReadAlone = 0;
};
