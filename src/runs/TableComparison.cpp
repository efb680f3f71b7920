#include "runs/TableComparison.h"

#include "model/FixedWidthFields.h"
#include "model/NameOrdering.h"
#include "model/ParamWord.h"
#include "odbc/Side.h"
#include "runs/ComparisonProgress.h"
#include "services/Language.h"

#include <algorithm>
#include <vector>

namespace {

// The right's spelling of a union entry: the same spelling where the right has it, so that a
// side compared with itself meets each of its tables, else any equal name its list finds. Equal
// names stand side by side in a sorted list.
qsizetype RightSpelling(bool caseSensitive, const QStringList& rightNames, const QString& table) {
    const qsizetype found = FindSorted(caseSensitive, rightNames, table);
    if (found < 0 || caseSensitive || rightNames[found] == table)
        return found;
    for (qsizetype index = found - 1;
         index >= 0 && CompareNames(rightNames[index], table, false) == 0; --index) {
        if (rightNames[index] == table)
            return index;
    }
    for (qsizetype index = found + 1;
         index < rightNames.size() && CompareNames(rightNames[index], table, false) == 0; ++index) {
        if (rightNames[index] == table)
            return index;
    }
    return found;
}

constexpr int kColumnsObjectText = 1951;
constexpr int kReadingColumnsText = 1991;
constexpr int kIndexesObjectText = 1852;
constexpr int kReadingIndexesText = 1853;

// A side's names, re-sorted under the case rule when names are matched ignoring case.
QStringList SortedNames(const QStringList& names, bool caseSensitive) {
    if (caseSensitive)
        return names;
    QStringList sorted;
    sorted.reserve(names.size());
    for (const QString& name : names)
        InsertSorted(false, sorted, name);
    return sorted;
}

} // namespace

qint64 CTableComparison::EntryHeader::Size(bool indexes) const {
    if (status != CompareStatus::Different)
        return 4;
    return indexes ? LongestSize : 12;
}

void CTableComparison::EntryHeader::Append(QByteArray& entry, bool indexes) const {
    CFixedWidthFields::AppendInt32(entry, status);
    if (status != CompareStatus::Different)
        return;
    CFixedWidthFields::AppendInt32(entry, rowCount);
    CFixedWidthFields::AppendInt16(entry, nameWidth);
    CFixedWidthFields::AppendInt16(entry, typeNameWidth);
    if (!indexes)
        return;
    CFixedWidthFields::AppendInt32(entry, indexCount);
    CFixedWidthFields::AppendInt16(entry, indexNameWidth);
    CFixedWidthFields::AppendInt16(entry, indexDefinitionWidth);
}

bool CTableComparison::EntryHeader::Parse(const QByteArray& bytes, bool indexes) {
    *this = EntryHeader();
    if (bytes.size() < 4)
        return false;
    status = CFixedWidthFields::ReadInt32(bytes.constData());
    if (status != CompareStatus::Different)
        return true;
    if (bytes.size() < Size(indexes))
        return false;
    rowCount = CFixedWidthFields::ReadInt32(bytes.constData() + 4);
    nameWidth = CFixedWidthFields::ReadInt16(bytes.constData() + 8);
    typeNameWidth = CFixedWidthFields::ReadInt16(bytes.constData() + 10);
    if (!indexes)
        return true;
    indexCount = CFixedWidthFields::ReadInt32(bytes.constData() + 12);
    indexNameWidth = CFixedWidthFields::ReadInt16(bytes.constData() + 16);
    indexDefinitionWidth = CFixedWidthFields::ReadInt16(bytes.constData() + 18);
    return true;
}

CTableComparison::CTableComparison(CSide& left, CSide& right, const CParamWord& params)
    : CComparisonRun(CResultFile::TableResult, left, right, params) {}

bool CTableComparison::Run(IComparisonProgress& waitDialog) {
    StartRun();
    m_tableCounters.fill(0);
    const bool caseSensitive = m_params.TestBit(ParamBit::CaseSensitive);
    const bool compareTypes = m_params.TestBit(ParamBit::CompareSqlTypes);
    const bool stringsAlike = m_params.TestBit(ParamBit::StringsAlike);
    m_attributes = m_params.TestBit(ParamBit::CompareAttributes);
    m_indexes = m_params.TestBit(ParamBit::CompareIndexes);

    const QStringList leftNames = SortedNames(m_left.TableNames(), caseSensitive);
    const QStringList rightNames = SortedNames(m_right.TableNames(), caseSensitive);

    // The union keeps every left name, duplicates included, and a name found on both sides in
    // its left spelling.
    m_tableNames.clear();
    m_tableNames.reserve(leftNames.size() + rightNames.size());
    for (const QString& name : leftNames)
        InsertSorted(caseSensitive, m_tableNames, name);
    for (const QString& name : rightNames) {
        if (FindSorted(caseSensitive, m_tableNames, name) < 0)
            InsertSorted(caseSensitive, m_tableNames, name);
    }

    bool cancelled = waitDialog.QueryCancel() != 0;
    bool failed = false;
    if (!cancelled) {
        DiscardResultFile();
        CResultFile* file = CreateResultFile();
        failed = !file || !file->Resize(IndexEntrySize() * m_tableNames.size());
        if (failed)
            FailFile();
    }
    waitDialog.Progress(int(m_tableNames.size()));
    if (!cancelled && !failed)
        cancelled = !ReadCatalogues(waitDialog);

    for (int i = 0; i < m_tableNames.size() && !cancelled && !failed; ++i) {
        failed = !CompareTable(i, caseSensitive, compareTypes, stringsAlike, leftNames, rightNames,
                               waitDialog);
        waitDialog.Progress(0);
        cancelled = waitDialog.QueryCancel() != 0;
    }
    if (!cancelled && !failed && m_file && !m_file->Flush()) {
        failed = true;
        FailFile();
    }
    for (CColumnCatalogue& catalogue : m_catalogues)
        catalogue.Clear();
    for (CIndexCatalogue& catalogue : m_indexCatalogues)
        catalogue.Clear();

    return EndRun(!cancelled && !failed, failed, waitDialog);
}

bool CTableComparison::CompareTable(int tableIndex, bool caseSensitive, bool compareTypes,
                                    bool stringsAlike, const QStringList& leftNames,
                                    const QStringList& rightNames,
                                    IComparisonProgress& waitDialog) {
    const QString& table = m_tableNames[tableIndex];
    waitDialog.SetItemText(table);

    EntryHeader header;
    std::vector<std::unique_ptr<CColumnCompareInfo>> rows;
    CIndexCompareRows indexRows;
    const qsizetype leftIndex = FindSorted(caseSensitive, leftNames, table);
    const qsizetype rightIndex = RightSpelling(caseSensitive, rightNames, table);
    if (leftIndex < 0) {
        header.status = CompareStatus::OnlyRight;
    } else if (rightIndex < 0) {
        header.status = CompareStatus::OnlyLeft;
    } else {
        // Each side is asked under its own spelling of the name: the entry itself is one of the
        // left's (the union keeps every left name), and the right's is the same spelling where
        // the right has it, else the one its list finds.
        // Tables of one side whose names differ only in case are each read as themselves. A side
        // that cannot be read fails the run: judging what was read of it would hide its
        // differences.
        const QString& leftTable = table;
        const QString& rightTable = rightNames[rightIndex];
        CColumnInfoArray leftColumns;
        CColumnInfoArray rightColumns;
        if (!ReadColumns(0, leftTable, leftColumns))
            return FailRead(m_left, LoadLocalizedString(kColumnsObjectText).arg(leftTable));
        if (!ReadColumns(1, rightTable, rightColumns))
            return FailRead(m_right, LoadLocalizedString(kColumnsObjectText).arg(rightTable));

        for (const auto& left : leftColumns) {
            const CColumnInfo* right = FindByName(caseSensitive, rightColumns, *left);
            auto row = std::make_unique<CColumnCompareInfo>(left.get(), right, header.nameWidth,
                                                            header.typeNameWidth);
            if (compareTypes)
                row->CheckColumnTypes(stringsAlike);
            if (m_attributes)
                row->CheckColumnAttributes();
            if (row->status != CompareStatus::Same)
                header.status = CompareStatus::Different;
            rows.push_back(std::move(row));
        }

        // A right-only column goes right after the row of the right column before it, or on top.
        const CColumnInfo* previous = nullptr;
        for (const auto& right : rightColumns) {
            if (FindByName(caseSensitive, leftColumns, *right)) {
                previous = right.get();
                continue;
            }
            auto row = std::make_unique<CColumnCompareInfo>(nullptr, right.get(), header.nameWidth,
                                                            header.typeNameWidth);
            auto place = rows.begin();
            if (previous) {
                place = std::find_if(rows.begin(), rows.end(), [previous](const auto& existing) {
                    return CompareNames(existing->name, previous->name, false) == 0;
                });
                if (place != rows.end())
                    ++place;
            }
            rows.insert(place, std::move(row));
            header.status = CompareStatus::Different;
            previous = right.get();
        }
        if (m_indexes && !CompareIndexes(leftTable, rightTable, caseSensitive, header, indexRows))
            return false;
    }
    ++m_tableCounters[header.status];

    QByteArray entry;
    header.rowCount = qint32(rows.size());
    header.indexCount = qint32(indexRows.size());
    header.Append(entry, m_indexes);
    if (header.status == CompareStatus::Different)
        AppendRows(rows, indexRows, header, entry);
    const qint64 position = m_file->Append(entry);
    if (position >= 0 && m_file->WriteInt64At(IndexEntrySize() * tableIndex, position))
        return true;
    FailFile();
    return false;
}

bool CTableComparison::CompareIndexes(const QString& leftTable, const QString& rightTable,
                                      bool caseSensitive, EntryHeader& header,
                                      CIndexCompareRows& indexRows) {
    CIndexInfoArray leftIndexes;
    CIndexInfoArray rightIndexes;
    if (!ReadIndexes(0, leftTable, leftIndexes))
        return FailRead(m_left, LoadLocalizedString(kIndexesObjectText).arg(leftTable));
    if (!ReadIndexes(1, rightTable, rightIndexes))
        return FailRead(m_right, LoadLocalizedString(kIndexesObjectText).arg(rightTable));
    indexRows = CompareIndexLists(leftIndexes, rightIndexes, caseSensitive, header.indexNameWidth,
                                  header.indexDefinitionWidth);
    // Columns all the same still leave the table different when an index is not.
    for (const auto& row : indexRows) {
        if (row->status != CompareStatus::Same)
            header.status = CompareStatus::Different;
    }
    return true;
}

void CTableComparison::AppendRows(const std::vector<std::unique_ptr<CColumnCompareInfo>>& rows,
                                  const CIndexCompareRows& indexRows, const EntryHeader& header,
                                  QByteArray& entry) const {
    TableRows place;
    place.nameWidth = header.nameWidth;
    place.typeNameWidth = header.typeNameWidth;
    place.attributes = m_attributes;
    place.indexNameWidth = header.indexNameWidth;
    place.indexDefinitionWidth = header.indexDefinitionWidth;
    entry.reserve(entry.size() + qsizetype(rows.size()) * place.RowSize() +
                  qsizetype(indexRows.size()) * place.IndexRowSize());
    QByteArray defaults;
    for (const auto& row : rows) {
        row->AppendRecord(entry, header.nameWidth, header.typeNameWidth);
        if (m_attributes)
            row->AppendAttributes(entry, defaults);
    }
    for (const auto& row : indexRows)
        row->AppendRecord(entry, header.indexNameWidth, header.indexDefinitionWidth);
    entry.append(defaults);
}

// Each side's columns in one catalogue call when it can: per table, one call costs the driver a
// scan of its whole catalogue (SQLite) or a planned join (PostgreSQL), so a side of thousands of
// tables reads many times faster at once. A side whose call fails, or a table it gave no rows
// for, is read table by table as before, so that the result does not depend on the path taken.
// Indexes likewise, where the database's own catalogue can be asked for a whole side: over a
// slow link a call per table costs a round trip per table.
bool CTableComparison::ReadCatalogues(IComparisonProgress& waitDialog) {
    m_tablesReadAlone = 0;
    m_indexTablesReadAlone = 0;
    for (int side = 0; side < 2; ++side) {
        m_catalogues[size_t(side)].Clear();
        m_hasCatalogue[size_t(side)] = false;
        m_indexCatalogues[size_t(side)].Clear();
        m_hasIndexCatalogue[size_t(side)] = false;
        if (!m_readAllColumns)
            continue;
        if (!ReadCatalogue(side, waitDialog))
            return false;
        if (m_indexes && !ReadIndexCatalogue(side, waitDialog))
            return false;
    }
    return true;
}

bool CTableComparison::ReadCatalogue(int side, IComparisonProgress& waitDialog) {
    CSide& reader = side == 0 ? m_left : m_right;
    // The side, not each table's name as its rows rush past: nothing is judged yet.
    waitDialog.ShowBusy(LoadLocalizedString(kReadingColumnsText).arg(reader.DisplayName()));
    bool cancelled = false;
    m_hasCatalogue[size_t(side)] = reader.ReadAllColumns(
        m_catalogues[size_t(side)],
        [&waitDialog, &cancelled](const QString&) {
            cancelled = waitDialog.QueryCancel() != 0;
            return cancelled;
        },
        m_attributes);
    return !cancelled && waitDialog.QueryCancel() == 0 && !reader.IsInterrupted();
}

bool CTableComparison::ReadIndexCatalogue(int side, IComparisonProgress& waitDialog) {
    CSide& reader = side == 0 ? m_left : m_right;
    // Other drivers are asked table by table, and only for the tables both sides hold.
    if (!reader.ReadsAllIndexesAtOnce())
        return true;
    waitDialog.ShowBusy(LoadLocalizedString(kReadingIndexesText).arg(reader.DisplayName()));
    bool cancelled = false;
    m_hasIndexCatalogue[size_t(side)] = reader.ReadAllIndexes(
        m_indexCatalogues[size_t(side)], [&waitDialog, &cancelled](const QString&) {
            cancelled = waitDialog.QueryCancel() != 0;
            return cancelled;
        });
    return !cancelled && waitDialog.QueryCancel() == 0 && !reader.IsInterrupted();
}

bool CTableComparison::ReadColumns(int side, const QString& table, CColumnInfoArray& columns) {
    if (m_hasCatalogue[size_t(side)] && m_catalogues[size_t(side)].Columns(table, columns))
        return true;
    ++m_tablesReadAlone;
    return (side == 0 ? m_left : m_right).ReadColumns(table, columns, m_attributes);
}

bool CTableComparison::ReadIndexes(int side, const QString& table, CIndexInfoArray& indexes) {
    if (m_hasIndexCatalogue[size_t(side)] &&
        m_indexCatalogues[size_t(side)].Indexes(table, indexes))
        return true;
    ++m_indexTablesReadAlone;
    return (side == 0 ? m_left : m_right).ReadIndexes(table, indexes);
}

bool CTableComparison::ReadEntry(int tableIndex, qint64& position, EntryHeader& header) const {
    if (!m_file || tableIndex < 0 || tableIndex >= m_tableNames.size())
        return false;
    position = m_file->ReadInt64At(IndexEntrySize() * tableIndex);
    return position > 0 &&
           header.Parse(m_file->ReadAt(position, EntryHeader::LongestSize), m_indexes);
}

qint32 CTableComparison::GetTableStatus(int tableIndex) const {
    qint64 position = 0;
    EntryHeader header;
    return ReadEntry(tableIndex, position, header) ? header.status : -1;
}

bool CTableComparison::OpenTableRows(int tableIndex, TableRows& rows) const {
    rows = TableRows();
    qint64 position = 0;
    EntryHeader header;
    if (!ReadEntry(tableIndex, position, header))
        return false;
    if (header.status != CompareStatus::Different)
        return true;
    rows.rowCount = header.rowCount;
    rows.nameWidth = header.nameWidth;
    rows.typeNameWidth = header.typeNameWidth;
    rows.firstRow = position + header.Size(m_indexes);
    rows.attributes = m_attributes;
    rows.indexCount = header.indexCount;
    rows.indexNameWidth = header.indexNameWidth;
    rows.indexDefinitionWidth = header.indexDefinitionWidth;
    rows.firstIndexRow = rows.firstRow + rows.rowCount * rows.RowSize();
    rows.defaults = rows.firstIndexRow + rows.indexCount * rows.IndexRowSize();
    return true;
}

qint64 CTableComparison::TableRows::RowSize() const {
    return CColumnCompareInfo::RecordSize(nameWidth, typeNameWidth) +
           (attributes ? CColumnCompareInfo::AttributeBytes : 0);
}

qint64 CTableComparison::TableRows::IndexRowSize() const {
    return CIndexCompareInfo::RecordSize(indexNameWidth, indexDefinitionWidth);
}

std::unique_ptr<CColumnCompareInfo> CTableComparison::ReadColumnRow(const TableRows& rows,
                                                                    int rowIndex) const {
    if (!m_file || rowIndex < 0 || rowIndex >= rows.rowCount)
        return nullptr;
    const qint64 size = rows.RowSize();
    const QByteArray bytes = m_file->ReadAt(rows.firstRow + rowIndex * size, size);
    if (bytes.size() != size)
        return nullptr;
    auto row = std::make_unique<CColumnCompareInfo>();
    row->ParseRecord(bytes.constData(), rows.nameWidth, rows.typeNameWidth);
    if (!rows.attributes)
        return row;
    const CColumnCompareInfo::DefaultsPlace place = row->ParseAttributes(
        bytes.constData() + CColumnCompareInfo::RecordSize(rows.nameWidth, rows.typeNameWidth));
    // Two empty defaults take no bytes, yet are defaults: they are parsed too.
    QByteArray defaults;
    if (place.Bytes() > 0) {
        defaults = m_file->ReadAt(rows.defaults + place.offset, place.Bytes());
        if (defaults.size() != place.Bytes())
            return nullptr;
    }
    row->ParseDefaults(defaults.constData(), place);
    return row;
}

qint32 CTableComparison::GetColumnRowStatus(const TableRows& rows, int rowIndex) const {
    if (!m_file || rowIndex < 0 || rowIndex >= rows.rowCount)
        return -1;
    // The record alone: the status needs nothing of the attributes.
    const qint64 size = CColumnCompareInfo::RecordSize(rows.nameWidth, rows.typeNameWidth);
    const QByteArray bytes = m_file->ReadAt(rows.firstRow + rowIndex * rows.RowSize(), size);
    if (bytes.size() != size)
        return -1;
    CColumnCompareInfo row;
    row.ParseRecord(bytes.constData(), rows.nameWidth, rows.typeNameWidth);
    return row.status;
}

std::unique_ptr<CIndexCompareInfo> CTableComparison::ReadIndexRow(const TableRows& rows,
                                                                  int rowIndex) const {
    if (!m_file || rowIndex < 0 || rowIndex >= rows.indexCount)
        return nullptr;
    const qint64 size = rows.IndexRowSize();
    const QByteArray bytes = m_file->ReadAt(rows.firstIndexRow + rowIndex * size, size);
    if (bytes.size() != size)
        return nullptr;
    auto row = std::make_unique<CIndexCompareInfo>();
    row->ParseRecord(bytes.constData(), rows.indexNameWidth, rows.indexDefinitionWidth);
    return row;
}

qint32 CTableComparison::GetIndexRowStatus(const TableRows& rows, int rowIndex) const {
    const auto row = ReadIndexRow(rows, rowIndex);
    return row ? row->status : -1;
}
