#include "runs/DictionaryComparison.h"

#include "model/NameOrdering.h"
#include "runs/ComparisonProgress.h"
#include "services/Language.h"

#include <algorithm>

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

constexpr int kDictionaryObjectText = 1952;
constexpr int kItemSizeObjectText = 1953;
constexpr int kNoKeySizeText = 1920;

} // namespace

CDictionaryComparison::CDictionaryComparison(CDataSourceSide& left, CDataSourceSide& right,
                                             const CParamWord& params)
    : CComparisonRun(CResultFile::DictionaryResult, left, right, params) {}

// The larger of the two sides' declared sizes of an item, within reason; -1 when neither side
// has it. False when a side could not be read.
bool CDictionaryComparison::ReadItemSize(const QString& item, qint32& size) {
    const QString object = LoadLocalizedString(kItemSizeObjectText).arg(item);
    bool failed = false;
    const qint64 left = m_left.LookupDataItemSize(item, &failed);
    if (failed)
        return FailRead(m_left, object.arg(m_left.DataDictionaryTable()));
    const qint64 right = m_right.LookupDataItemSize(item, &failed);
    if (failed)
        return FailRead(m_right, object.arg(m_right.DataDictionaryTable()));
    size = qint32(std::min<qint64>(std::max(left, right), kLongestWidth));
    return true;
}

bool CDictionaryComparison::Run(IComparisonProgress& waitDialog) {
    StartRun();
    m_dictionaryCounters.fill(0);
    m_keyCount = 0;
    m_rowCount = 0;
    m_keyList.clear();
    m_keyHint = 0;

    bool failed = false;
    bool cancelFlag = false;
    qint32 declaredKey = 0, declaredItemType = 0, declaredDataType = 0, declaredDecimals = 0;
    failed = !ReadItemSize(QStringLiteral("DTAI"), declaredKey) ||
             !ReadItemSize(QStringLiteral("DTAT"), declaredItemType) ||
             !ReadItemSize(QStringLiteral("OWTP"), declaredDataType) ||
             !ReadItemSize(QStringLiteral("CDEC"), declaredDecimals);
    if (!failed && declaredKey <= 0) {
        // Without the size of the item names there is nothing to read the keys into.
        Fail(LoadLocalizedString(kNoKeySizeText)
                 .arg(SideText(m_left), m_left.DataDictionaryTable(), SideText(m_right),
                      m_right.DataDictionaryTable()));
        return EndRun(false, false, waitDialog);
    }
    if (declaredItemType <= 0)
        declaredItemType = 1;
    if (declaredDataType <= 0)
        declaredDataType = 2;
    if (declaredDecimals <= 0)
        declaredDecimals = 1;

    const auto onRow = [this, &waitDialog](Mode mode, const QString& key, QStringList* keyList,
                                           std::unique_ptr<CAliasCompareInfo> record,
                                           bool& cancel) {
        return OnDictionaryRow(mode, key, keyList, std::move(record), waitDialog, cancel);
    };
    const auto read = [&](CDataSourceSide& side, Mode mode, const std::vector<int>& widths,
                          QStringList* keyList, std::vector<int>* longest) {
        if (failed || cancelFlag)
            return;
        if (!side.ReadDataDictionary(mode, widths, keyList, onRow, cancelFlag, longest))
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
    read(m_left, Mode::LeftKeys, declared, &m_keyList, measure ? &leftLongest : nullptr);
    read(m_right, Mode::RightKeys, declared, &m_keyList, measure ? &rightLongest : nullptr);
    if (!failed && !cancelFlag) {
        const auto width = [&](int column) {
            if (!measure)
                return declared[size_t(column)];
            const int left = column < int(leftLongest.size()) ? leftLongest[column] : 0;
            const int right = column < int(rightLongest.size()) ? rightLongest[column] : 0;
            return std::max({left, right, 1});
        };
        m_keyWidth = width(0);
        m_recordWidths = {width(1), width(2), width(3)};

        DiscardResultFile();
        m_keyCount = qint32(m_keyList.size());
        m_recordPositions.assign(m_keyList.size(), kNoRecord);
        m_rightSeen.assign(m_keyList.size(), 0);
        if (!CreateResultFile() || !WriteIndex()) {
            failed = true;
            FailFile();
        }
    }
    if (!cancelFlag && !failed && waitDialog.QueryCancel() != 0)
        cancelFlag = true;

    if (!cancelFlag && !failed) {
        waitDialog.Progress(m_rowCount);
        const std::vector<int> widths{m_keyWidth, m_recordWidths.itemType, m_recordWidths.dataType,
                                      m_recordWidths.displayDecimals};
        read(m_left, Mode::LeftRows, widths, nullptr, nullptr);
        read(m_right, Mode::RightRows, widths, nullptr, nullptr);
        // The records' positions reach the index in one pass at the end rather than one write
        // per row; the file ends up the same.
        if (!failed && !cancelFlag && (!WriteIndex() || !m_file->Flush())) {
            failed = true;
            FailFile();
        }
    }

    m_keyList.clear();
    m_recordPositions.clear();
    m_rightSeen.clear();
    return EndRun(!cancelFlag && !failed, failed, waitDialog);
}

// One entry per key, also when one side's dictionary holds a key twice.
void CDictionaryComparison::AddKey(const QString& key) {
    if (m_keyList.isEmpty() || CompareNames(key, m_keyList.last(), true) > 0) {
        m_keyList.append(key);
        m_keyHint = m_keyList.size() - 1;
        return;
    }
    if (FindKey(key) < 0)
        m_keyHint = InsertSorted(true, m_keyList, key);
}

qsizetype CDictionaryComparison::FindKey(const QString& key) {
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

bool CDictionaryComparison::WriteIndex() {
    QByteArray chunk;
    chunk.reserve(kIndexChunkBytes + IndexEntrySize());
    qint64 position = 0;
    for (qsizetype entry = 0; entry < m_keyList.size(); ++entry) {
        CFixedWidthFields::AppendText(chunk, m_keyList[entry], m_keyWidth);
        CFixedWidthFields::AppendInt64(chunk, m_recordPositions[entry]);
        if (chunk.size() >= kIndexChunkBytes || entry + 1 == m_keyList.size()) {
            if (!m_file->WriteAt(position, chunk))
                return false;
            position += chunk.size();
            chunk.resize(0);
        }
    }
    return m_file->IsGood();
}

bool CDictionaryComparison::OnDictionaryRow(Mode mode, const QString& key, QStringList* keyList,
                                            std::unique_ptr<CAliasCompareInfo> record,
                                            IComparisonProgress& waitDialog, bool& cancelFlag) {
    // Keys longer than their field were already cut by the reader's buffer.
    const QString trimmedKey = TrimmedRight(key);
    switch (mode) {
    case Mode::LeftKeys:
    case Mode::RightKeys:
        if (keyList == &m_keyList)
            AddKey(trimmedKey);
        ++m_rowCount;
        break;
    case Mode::LeftRows:
    case Mode::RightRows: {
        // The key list is in memory in the order of the file's index: no file read per probe.
        const qsizetype entry = record ? FindKey(trimmedKey) : -1;
        if (entry >= 0) {
            const bool isLeft = mode == Mode::LeftRows;
            qint64& position = m_recordPositions[entry];
            QByteArray& bytes = m_recordBytes;
            bytes.resize(0); // keeps its capacity from row to row
            if (isLeft && position <= 0) {
                record->AppendRecord(bytes, m_recordWidths);
                position = m_file->Append(bytes);
                ++m_dictionaryCounters[CompareStatus::OnlyLeft];
            } else if (!isLeft && !m_rightSeen[entry]) {
                m_rightSeen[entry] = 1;
                if (position <= 0) {
                    record->AppendRecord(bytes, m_recordWidths);
                    position = m_file->Append(bytes);
                    ++m_dictionaryCounters[CompareStatus::OnlyRight];
                } else {
                    // The stored left record and this right one are merged and judged in their
                    // binary form: no values are rebuilt for the hundreds of thousands of items.
                    record->AppendRecord(bytes, m_recordWidths);
                    if (!m_file->ReadAt(position, RecordSize(), m_storedBytes))
                        m_storedBytes.fill('\0', RecordSize());
                    const qint32 status = CAliasCompareInfo::MergeLeftRecord(
                        bytes, m_storedBytes.constData(), m_recordWidths, m_params);
                    m_file->WriteAt(position, bytes);
                    --m_dictionaryCounters[CompareStatus::OnlyLeft];
                    ++m_dictionaryCounters[status];
                }
            }
            // A second row of a key on the same side makes no second record.
        }
        waitDialog.Progress(0);
        break;
    }
    }
    record.reset();
    if (waitDialog.QueryCancel() != 0) {
        cancelFlag = true;
        return true;
    }
    return false;
}

QString CDictionaryComparison::ReadDictionaryKey(int entryIndex) const {
    if (!m_file || entryIndex < 0 || entryIndex >= m_keyCount)
        return {};
    const QByteArray bytes =
        m_file->ReadAt(entryIndex * IndexEntrySize(), CFixedWidthFields::TextBytes(m_keyWidth));
    return CFixedWidthFields::ReadText(bytes.constData(), int(bytes.size() / 2));
}

int CDictionaryComparison::FindDictionaryKey(const QString& key) const {
    if (!m_file || m_keyCount <= 0)
        return -1;
    return int(FindSortedBy(true, m_keyCount, key,
                            [this](qsizetype entry) { return ReadDictionaryKey(int(entry)); }));
}

bool CDictionaryComparison::ReadEntryRecord(int entryIndex) const {
    if (!m_file || entryIndex < 0 || entryIndex >= m_keyCount ||
        !m_file->ReadAt(entryIndex * IndexEntrySize(), IndexEntrySize(), m_readEntry))
        return false;
    const qint64 position = CFixedWidthFields::ReadInt64(m_readEntry.constData() +
                                                         CFixedWidthFields::TextBytes(m_keyWidth));
    return position > 0 && m_file->ReadAt(position, RecordSize(), m_readRecord);
}

std::unique_ptr<CAliasCompareInfo> CDictionaryComparison::ReadDictionaryItem(int entryIndex) const {
    if (!ReadEntryRecord(entryIndex))
        return nullptr;
    auto item = std::make_unique<CAliasCompareInfo>(
        CFixedWidthFields::ReadText(m_readEntry.constData(), m_keyWidth));
    item->ParseRecord(m_readRecord.constData(), m_recordWidths);
    return item;
}

qint32 CDictionaryComparison::GetDictionaryItemStatus(int entryIndex) const {
    // The status opens the record: a list fill of every entry builds no item.
    return ReadEntryRecord(entryIndex) ? CFixedWidthFields::ReadInt32(m_readRecord.constData())
                                       : -1;
}
