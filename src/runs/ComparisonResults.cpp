#include "runs/ComparisonResults.h"

#include "model/FixedWidthFields.h"
#include "model/NameOrdering.h"
#include "model/ParamWord.h"
#include "odbc/DataSourceSide.h"
#include "runs/ComparisonProgress.h"
#include "services/Language.h"

namespace {

constexpr qint64 kNoRecord = -1;
// The reading widths come from sizes declared in the dictionary itself; a mistyped size must not
// make a run allocate gigabytes. Longer keys and values are cut to the width.
constexpr qint32 kLongestWidth = 4000;
// Declared widths up to this are taken as they are; above it the result file's fields take the
// longest texts actually read, so that a mistyped size costs neither memory nor disk.
constexpr qint32 kTrustedWidth = 40;
// The dictionary's index reaches the file in pieces of about this size.
constexpr qsizetype kIndexChunkBytes = 1024 * 1024;

constexpr int kFailedReadText = 1950;
constexpr int kColumnsObjectText = 1951;
constexpr int kDictionaryObjectText = 1952;
constexpr int kItemSizeObjectText = 1953;
constexpr int kResultFileText = 1957;

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

CComparisonResults::CComparisonResults(CDataSourceSide& left, CDataSourceSide& right,
                                       const CParamWord& params)
    : m_left(left), m_right(right), m_params(params) {}

CComparisonResults::~CComparisonResults() = default;

void CComparisonResults::Interrupt() {
    m_left.Interrupt();
    m_right.Interrupt();
}

bool CComparisonResults::FailRead(const CDataSourceSide& side, const QString& object) {
    QString dataSource = side.DataSourceName();
    const QString owner = side.Owner().DisplayText();
    if (!owner.isEmpty())
        dataSource += QStringLiteral(" (") + owner + QLatin1Char(')');
    m_failure = LoadLocalizedString(kFailedReadText).arg(dataSource, object, side.LastDiagnostic());
    return false;
}

void CComparisonResults::FailFile() {
    m_failure = LoadLocalizedString(kResultFileText).arg(CResultFile::Folder());
}

void CComparisonResults::StartRun() {
    m_failure.clear();
    m_left.ClearInterrupt();
    m_right.ClearInterrupt();
}

// A read that failed because the user cancelled is a cancel, not a failure to report. Either
// way the sides take statements again, and a run that did not succeed keeps no file.
bool CComparisonResults::EndRun(int kind, bool succeeded, bool failed,
                                IComparisonProgress& waitDialog) {
    if (failed &&
        (m_left.IsInterrupted() || m_right.IsInterrupted() || waitDialog.QueryCancel() != 0))
        m_failure.clear();
    m_left.ClearInterrupt();
    m_right.ClearInterrupt();
    if (!succeeded)
        DiscardResultFile(kind);
    return succeeded;
}

std::unique_ptr<CResultFile>& CComparisonResults::File(int kind) {
    return kind == CResultFile::DictionaryResult ? m_dictionaryFile : m_tableFile;
}

CResultFile* CComparisonResults::CreateResultFile(int kind) {
    std::unique_ptr<CResultFile>& file = File(kind);
    file = CResultFile::Create(kind, m_createTimeoutMs);
    return file.get();
}

void CComparisonResults::DiscardResultFile(int kind) {
    File(kind).reset();
}

bool CComparisonResults::HasResult(int kind) const {
    return kind == CResultFile::DictionaryResult ? m_dictionaryFile != nullptr
                                                 : m_tableFile != nullptr;
}

// ---------------------------------------------------------------------------------------------
// Table comparison

bool CComparisonResults::RunTableComparison(IComparisonProgress& waitDialog) {
    StartRun();
    m_tableCounters.fill(0);
    const bool caseSensitive = m_params.TestBit(ParamBit::CaseSensitive);
    const bool compareTypes = m_params.TestBit(ParamBit::CompareSqlTypes);
    const bool stringsAlike = m_params.TestBit(ParamBit::StringsAlike);

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
        DiscardResultFile(CResultFile::TableResult);
        CResultFile* file = CreateResultFile(CResultFile::TableResult);
        failed = !file || !file->Resize(8 * qint64(m_tableNames.size()));
        if (failed)
            FailFile();
    }
    waitDialog.Progress(int(m_tableNames.size()));

    for (int i = 0; i < m_tableNames.size() && !cancelled && !failed; ++i) {
        failed = !CompareTable(i, caseSensitive, compareTypes, stringsAlike, leftNames, rightNames,
                               waitDialog);
        waitDialog.Progress(0);
        cancelled = waitDialog.QueryCancel() != 0;
    }
    if (!cancelled && !failed && m_tableFile && !m_tableFile->Flush()) {
        failed = true;
        FailFile();
    }

    return EndRun(CResultFile::TableResult, !cancelled && !failed, failed, waitDialog);
}

bool CComparisonResults::CompareTable(int tableIndex, bool caseSensitive, bool compareTypes,
                                      bool stringsAlike, const QStringList& leftNames,
                                      const QStringList& rightNames,
                                      IComparisonProgress& waitDialog) {
    const QString& table = m_tableNames[tableIndex];
    waitDialog.SetItemText(table);

    qint32 status = CompareStatus::Same;
    std::vector<std::unique_ptr<CColumnCompareInfo>> rows;
    qint16 nameWidth = 0;
    qint16 typeNameWidth = 0;
    const qsizetype leftIndex = FindSorted(caseSensitive, leftNames, table);
    const qsizetype rightIndex = FindSorted(caseSensitive, rightNames, table);
    if (leftIndex < 0) {
        status = CompareStatus::OnlyRight;
    } else if (rightIndex < 0) {
        status = CompareStatus::OnlyLeft;
    } else {
        // Each side is asked under its own spelling of the name. A side that cannot be read
        // fails the run: judging what was read of it would hide its differences.
        const QString& leftTable = leftNames[leftIndex];
        const QString& rightTable = rightNames[rightIndex];
        CColumnInfoArray leftColumns;
        CColumnInfoArray rightColumns;
        if (!m_left.ReadColumns(leftTable, leftColumns))
            return FailRead(m_left, LoadLocalizedString(kColumnsObjectText).arg(leftTable));
        if (!m_right.ReadColumns(rightTable, rightColumns))
            return FailRead(m_right, LoadLocalizedString(kColumnsObjectText).arg(rightTable));

        for (const auto& left : leftColumns) {
            const CColumnInfo* right = FindByName(caseSensitive, rightColumns, *left);
            auto row =
                std::make_unique<CColumnCompareInfo>(left.get(), right, nameWidth, typeNameWidth);
            if (compareTypes)
                row->CheckColumnTypes(stringsAlike);
            if (row->status != CompareStatus::Same)
                status = CompareStatus::Different;
            rows.push_back(std::move(row));
        }

        // A right-only column goes right after the row of the right column before it, or on top.
        const CColumnInfo* previous = nullptr;
        for (const auto& right : rightColumns) {
            if (FindByName(caseSensitive, leftColumns, *right)) {
                previous = right.get();
                continue;
            }
            auto row = std::make_unique<CColumnCompareInfo>(nullptr, right.get(), nameWidth,
                                                            typeNameWidth);
            auto place = rows.begin();
            if (previous) {
                place = std::find_if(rows.begin(), rows.end(), [previous](const auto& existing) {
                    return CompareNames(existing->name, previous->name, false) == 0;
                });
                if (place != rows.end())
                    ++place;
            }
            rows.insert(place, std::move(row));
            status = CompareStatus::Different;
            previous = right.get();
        }
    }
    ++m_tableCounters[status];

    QByteArray entry;
    CFixedWidthFields::AppendInt32(entry, status);
    if (status == CompareStatus::Different) {
        CFixedWidthFields::AppendInt32(entry, qint32(rows.size()));
        CFixedWidthFields::AppendInt16(entry, nameWidth);
        CFixedWidthFields::AppendInt16(entry, typeNameWidth);
        entry.reserve(entry.size() + qsizetype(rows.size()) *
                                         CColumnCompareInfo::RecordSize(nameWidth, typeNameWidth));
        for (const auto& row : rows)
            row->AppendRecord(entry, nameWidth, typeNameWidth);
    }
    const qint64 position = m_tableFile->Append(entry);
    if (position >= 0 && m_tableFile->WriteInt64At(8 * qint64(tableIndex), position))
        return true;
    FailFile();
    return false;
}

qint32 CComparisonResults::GetTableStatus(int tableIndex) {
    if (!m_tableFile || tableIndex < 0 || tableIndex >= m_tableNames.size())
        return -1;
    const qint64 position = m_tableFile->ReadInt64At(8 * qint64(tableIndex));
    return position > 0 ? m_tableFile->ReadInt32At(position) : -1;
}

bool CComparisonResults::OpenTableRows(int tableIndex, TableRows& rows) {
    rows = TableRows();
    if (!m_tableFile || tableIndex < 0 || tableIndex >= m_tableNames.size())
        return false;
    const qint64 position = m_tableFile->ReadInt64At(8 * qint64(tableIndex));
    const QByteArray header = m_tableFile->ReadAt(position, 12);
    if (position <= 0 || header.size() < 4)
        return false;
    if (CFixedWidthFields::ReadInt32(header.constData()) != CompareStatus::Different)
        return true;
    if (header.size() < 12)
        return false;
    rows.rowCount = CFixedWidthFields::ReadInt32(header.constData() + 4);
    rows.nameWidth = CFixedWidthFields::ReadInt16(header.constData() + 8);
    rows.typeNameWidth = CFixedWidthFields::ReadInt16(header.constData() + 10);
    rows.firstRow = position + 12;
    return true;
}

std::unique_ptr<CColumnCompareInfo>
CComparisonResults::ReadColumnRow(int rowIndex, qint64 firstRow, int nameWidth, int typeNameWidth) {
    if (!m_tableFile || rowIndex < 0)
        return nullptr;
    const qint64 size = CColumnCompareInfo::RecordSize(nameWidth, typeNameWidth);
    const QByteArray bytes = m_tableFile->ReadAt(firstRow + rowIndex * size, size);
    if (bytes.size() != size)
        return nullptr;
    auto row = std::make_unique<CColumnCompareInfo>();
    row->ParseRecord(bytes.constData(), nameWidth, typeNameWidth);
    return row;
}

qint32 CComparisonResults::GetColumnRowStatus(int rowIndex, qint64 firstRow, int nameWidth,
                                              int typeNameWidth) {
    const auto row = ReadColumnRow(rowIndex, firstRow, nameWidth, typeNameWidth);
    return row ? row->status : -1;
}

// ---------------------------------------------------------------------------------------------
// Data-dictionary comparison

// The larger of the two sides' declared sizes of an item, within reason; -1 when neither side
// has it. False when a side could not be read.
bool CComparisonResults::ReadItemSize(const QString& item, qint32& size) {
    const QString object = LoadLocalizedString(kItemSizeObjectText).arg(item);
    bool failed = false;
    const qint32 left = m_left.LookupDataItemSize(item, &failed);
    if (failed)
        return FailRead(m_left, object.arg(m_left.DataDictionaryTable()));
    const qint32 right = m_right.LookupDataItemSize(item, &failed);
    if (failed)
        return FailRead(m_right, object.arg(m_right.DataDictionaryTable()));
    size = std::min(std::max(left, right), kLongestWidth);
    return true;
}

qint64 CComparisonResults::RecordSize() const {
    return CAliasCompareInfo::RecordSize(m_itemTypeWidth, m_dataTypeWidth, m_displayDecimalsWidth);
}

bool CComparisonResults::RunDictionaryComparison(IComparisonProgress& waitDialog) {
    StartRun();
    m_dictionaryCounters.fill(0);
    m_keyCount = 0;
    m_rowCount = 0;
    m_keyList.clear();
    m_keyHint = 0;

    bool failed = false;
    int cancelFlag = 0;
    qint32 declaredKey = 0, declaredItemType = 0, declaredDataType = 0, declaredDecimals = 0;
    failed = !ReadItemSize(QStringLiteral("DTAI"), declaredKey) ||
             !ReadItemSize(QStringLiteral("DTAT"), declaredItemType) ||
             !ReadItemSize(QStringLiteral("OWTP"), declaredDataType) ||
             !ReadItemSize(QStringLiteral("CDEC"), declaredDecimals);
    if (!failed && declaredKey <= 0)
        return EndRun(CResultFile::DictionaryResult, false, false, waitDialog);
    if (declaredItemType <= 0)
        declaredItemType = 1;
    if (declaredDataType <= 0)
        declaredDataType = 2;
    if (declaredDecimals <= 0)
        declaredDecimals = 1;

    const auto onRow = [this, &waitDialog](int mode, const QString& key, QStringList* keyList,
                                           std::unique_ptr<CAliasCompareInfo> record, int& cancel) {
        return OnDictionaryRow(mode, key, keyList, std::move(record), waitDialog, cancel);
    };
    const auto read = [&](CDataSourceSide& side, int mode, const std::vector<int>& widths,
                          QStringList* keyList, std::vector<int>* longest) {
        if (failed || cancelFlag != 0)
            return;
        if (side.ReadDataDictionary(mode, widths, keyList, onRow, cancelFlag, longest) == 0)
            failed = !FailRead(
                side, LoadLocalizedString(kDictionaryObjectText).arg(side.DataDictionaryTable()));
    };

    const std::vector<int> declared{declaredKey, declaredItemType, declaredDataType,
                                    declaredDecimals};
    // Only a dictionary that declares an implausible width pays for measuring its texts in the
    // key passes; a sound one keeps its declared widths.
    const bool measure = *std::max_element(declared.begin(), declared.end()) > kTrustedWidth;
    std::vector<int> leftLongest;
    std::vector<int> rightLongest;
    read(m_left, CDataSourceSide::LeftKeys, declared, &m_keyList, measure ? &leftLongest : nullptr);
    read(m_right, CDataSourceSide::RightKeys, declared, &m_keyList,
         measure ? &rightLongest : nullptr);
    if (!failed && cancelFlag == 0) {
        const auto width = [&](int column) {
            if (!measure)
                return declared[size_t(column)];
            const int left = column < int(leftLongest.size()) ? leftLongest[column] : 0;
            const int right = column < int(rightLongest.size()) ? rightLongest[column] : 0;
            return std::max({left, right, 1});
        };
        m_keyWidth = width(0);
        m_itemTypeWidth = width(1);
        m_dataTypeWidth = width(2);
        m_displayDecimalsWidth = width(3);

        DiscardResultFile(CResultFile::DictionaryResult);
        m_keyCount = qint32(m_keyList.size());
        m_recordPositions.assign(m_keyList.size(), kNoRecord);
        m_rightSeen.assign(m_keyList.size(), 0);
        if (!CreateResultFile(CResultFile::DictionaryResult) || !WriteDictionaryIndex()) {
            failed = true;
            FailFile();
        }
    }
    if (cancelFlag == 0 && !failed && waitDialog.QueryCancel() != 0)
        cancelFlag = 1;

    if (cancelFlag == 0 && !failed) {
        waitDialog.Progress(m_rowCount);
        const std::vector<int> widths{m_keyWidth, m_itemTypeWidth, m_dataTypeWidth,
                                      m_displayDecimalsWidth};
        read(m_left, CDataSourceSide::LeftRows, widths, nullptr, nullptr);
        read(m_right, CDataSourceSide::RightRows, widths, nullptr, nullptr);
        // The records' positions reach the index in one pass at the end rather than one write
        // per row; the file ends up the same.
        if (!failed && cancelFlag == 0 && (!WriteDictionaryIndex() || !m_dictionaryFile->Flush())) {
            failed = true;
            FailFile();
        }
    }

    m_keyList.clear();
    m_recordPositions.clear();
    m_rightSeen.clear();
    return EndRun(CResultFile::DictionaryResult, cancelFlag == 0 && !failed, failed, waitDialog);
}

// One entry per key, also when one side's dictionary holds a key twice.
void CComparisonResults::AddKey(const QString& key) {
    if (m_keyList.isEmpty() || CompareNames(key, m_keyList.last(), true) > 0) {
        m_keyList.append(key);
        m_keyHint = m_keyList.size() - 1;
        return;
    }
    if (FindKey(key) < 0)
        m_keyHint = InsertSorted(true, m_keyList, key);
}

qsizetype CComparisonResults::FindKey(const QString& key) {
    const qsizetype count = m_keyList.size();
    for (const qsizetype near : {m_keyHint, m_keyHint + 1}) {
        if (near >= 0 && near < count && m_keyList[near] == key)
            return m_keyHint = near;
    }
    const qsizetype found = FindSorted(true, m_keyList, key);
    if (found >= 0)
        m_keyHint = found;
    return found;
}

// The index at the start of the file: each key with the position of its record, or -1.
bool CComparisonResults::WriteDictionaryIndex() {
    QByteArray chunk;
    chunk.reserve(kIndexChunkBytes + EntrySize());
    qint64 position = 0;
    for (qsizetype entry = 0; entry < m_keyList.size(); ++entry) {
        CFixedWidthFields::AppendText(chunk, m_keyList[entry], m_keyWidth);
        CFixedWidthFields::AppendInt64(chunk, m_recordPositions[entry]);
        if (chunk.size() >= kIndexChunkBytes || entry + 1 == m_keyList.size()) {
            if (!m_dictionaryFile->WriteAt(position, chunk))
                return false;
            position += chunk.size();
            chunk.resize(0);
        }
    }
    return m_dictionaryFile->IsGood();
}

int CComparisonResults::OnDictionaryRow(int mode, const QString& key, QStringList* keyList,
                                        std::unique_ptr<CAliasCompareInfo> record,
                                        IComparisonProgress& waitDialog, int& cancelFlag) {
    // Keys longer than their field were already cut by the reader's buffer.
    const QString trimmedKey = TrimmedRight(key);
    switch (mode) {
    case CDataSourceSide::LeftKeys:
    case CDataSourceSide::RightKeys:
        if (keyList == &m_keyList)
            AddKey(trimmedKey);
        ++m_rowCount;
        break;
    case CDataSourceSide::LeftRows:
    case CDataSourceSide::RightRows: {
        // The key list is in memory in the order of the file's index: no file read per probe.
        const qsizetype entry = record ? FindKey(trimmedKey) : -1;
        if (entry >= 0) {
            const bool isLeft = mode == CDataSourceSide::LeftRows;
            qint64& position = m_recordPositions[entry];
            QByteArray& bytes = m_recordBytes;
            bytes.resize(0); // keeps its capacity from row to row
            if (isLeft && position <= 0) {
                record->AppendRecord(bytes, m_itemTypeWidth, m_dataTypeWidth,
                                     m_displayDecimalsWidth);
                position = m_dictionaryFile->Append(bytes);
                ++m_dictionaryCounters[CompareStatus::OnlyLeft];
            } else if (!isLeft && !m_rightSeen[entry]) {
                m_rightSeen[entry] = 1;
                if (position <= 0) {
                    record->AppendRecord(bytes, m_itemTypeWidth, m_dataTypeWidth,
                                         m_displayDecimalsWidth);
                    position = m_dictionaryFile->Append(bytes);
                    ++m_dictionaryCounters[CompareStatus::OnlyRight];
                } else {
                    // The stored left record and this right one are merged and judged in their
                    // binary form: no values are rebuilt for the hundreds of thousands of items.
                    record->AppendRecord(bytes, m_itemTypeWidth, m_dataTypeWidth,
                                         m_displayDecimalsWidth);
                    if (!m_dictionaryFile->ReadAt(position, RecordSize(), m_storedBytes))
                        m_storedBytes.fill('\0', RecordSize());
                    const qint32 status = CAliasCompareInfo::MergeLeftRecord(
                        bytes, m_storedBytes.constData(), m_itemTypeWidth, m_dataTypeWidth,
                        m_displayDecimalsWidth, m_params);
                    m_dictionaryFile->WriteAt(position, bytes);
                    --m_dictionaryCounters[CompareStatus::OnlyLeft];
                    ++m_dictionaryCounters[status];
                }
            }
            // A second row of a key on the same side makes no second record.
        }
        waitDialog.Progress(0);
        break;
    }
    default:
        break;
    }
    record.reset();
    if (waitDialog.QueryCancel() != 0) {
        cancelFlag = 1;
        return 1;
    }
    return 0;
}

QString CComparisonResults::ReadDictionaryKey(int entryIndex) {
    if (!m_dictionaryFile || entryIndex < 0 || entryIndex >= m_keyCount)
        return {};
    const QByteArray bytes =
        m_dictionaryFile->ReadAt(entryIndex * EntrySize(), 2 * qint64(m_keyWidth));
    return CFixedWidthFields::ReadText(bytes.constData(), int(bytes.size() / 2));
}

int CComparisonResults::FindDictionaryKey(const QString& key) {
    if (!m_dictionaryFile || m_keyCount <= 0)
        return -1;
    return int(FindSortedBy(true, m_keyCount, key,
                            [this](qsizetype entry) { return ReadDictionaryKey(int(entry)); }));
}

std::unique_ptr<CAliasCompareInfo> CComparisonResults::ReadDictionaryItem(int entryIndex) {
    if (!m_dictionaryFile || entryIndex < 0 || entryIndex >= m_keyCount)
        return nullptr;
    const QByteArray entry = m_dictionaryFile->ReadAt(entryIndex * EntrySize(), EntrySize());
    if (entry.size() != EntrySize())
        return nullptr;
    const qint64 position = CFixedWidthFields::ReadInt64(entry.constData() + 2 * m_keyWidth);
    const QByteArray stored = m_dictionaryFile->ReadAt(position, RecordSize());
    if (position <= 0 || stored.size() != RecordSize())
        return nullptr;
    auto item = std::make_unique<CAliasCompareInfo>(
        CFixedWidthFields::ReadText(entry.constData(), m_keyWidth));
    item->ParseRecord(stored.constData(), m_itemTypeWidth, m_dataTypeWidth, m_displayDecimalsWidth);
    return item;
}

qint32 CComparisonResults::GetDictionaryItemStatus(int entryIndex) {
    const auto item = ReadDictionaryItem(entryIndex);
    return item ? item->status : -1;
}
