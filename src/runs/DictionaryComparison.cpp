#include "runs/DictionaryComparison.h"

#include "model/NameOrdering.h"
#include "runs/ComparisonProgress.h"
#include "services/Language.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr qint64 kNoRecord = -1;
// The reading widths come from sizes declared in the dictionary itself; a mistyped size must not
// make a run allocate gigabytes. Longer keys and values are cut to the width.
constexpr qint32 kLongestWidth = 4000;
// Declared widths up to this are taken as they are; above it the result file's fields take the
// longest texts actually read, up to this again: the rare longer text is kept apart whole, so
// that one long value next to a mistyped size does not widen the records of every item.
constexpr qint32 kTrustedWidth = 40;
// The dictionary's index reaches the file in pieces of about this size.
constexpr qsizetype kIndexChunkBytes = 1024 * 1024;

constexpr int kDictionaryObjectText = 1952;
constexpr int kItemSizeObjectText = 1953;
constexpr int kNoKeySizeText = 1944;

bool NameLess(const QString& left, const QString& right) {
    return CompareNames(left, right, true) < 0;
}

void SortUnique(QStringList& keys) {
    std::sort(keys.begin(), keys.end(), NameLess);
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
}

// Adds the keys of others (in any order) that sorted lacks; sorted stays sorted, each key once.
void UniteSorted(QStringList& sorted, QStringList& others) {
    if (others.isEmpty())
        return;
    SortUnique(others);
    QStringList united;
    united.reserve(sorted.size() + others.size());
    std::set_union(std::make_move_iterator(sorted.begin()), std::make_move_iterator(sorted.end()),
                   std::make_move_iterator(others.begin()), std::make_move_iterator(others.end()),
                   std::back_inserter(united), NameLess);
    sorted = std::move(united);
}

} // namespace

const QStringList& CDictionaryComparison::SizedItems() {
    static const QStringList items{QStringLiteral("DTAI"), QStringLiteral("DTAT"),
                                   QStringLiteral("OWTP"), QStringLiteral("CDEC")};
    return items;
}

CDictionaryComparison::CDictionaryComparison(CSide& left, CSide& right, const CParamWord& params)
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
    m_strayKeys.clear();
    m_rightOnlyKeys.clear();
    m_anyRightKey = false;
    m_leftCursor = 0;
    m_keyHint = 0;

    bool failed = false;
    bool cancelFlag = false;
    qint32 declaredKey = 0, declaredItemType = 0, declaredDataType = 0, declaredDecimals = 0;
    const QStringList& items = SizedItems();
    failed = !ReadItemSize(items[0], declaredKey) || !ReadItemSize(items[1], declaredItemType) ||
             !ReadItemSize(items[2], declaredDataType) || !ReadItemSize(items[3], declaredDecimals);
    if (!failed && declaredKey <= 0) {
        // Without the size of the item names there is nothing to read the keys into.
        Fail(LoadLocalizedString(kNoKeySizeText)
                 .arg(m_left.DisplayName(), m_left.DataDictionaryTable(), m_right.DisplayName(),
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
    const auto read = [&](CSide& side, Mode mode, const std::vector<int>& widths,
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
    PlaceLeftStrayKeys();
    read(m_right, Mode::RightKeys, declared, &m_keyList, measure ? &rightLongest : nullptr);
    MergeRightKeys();
    if (!failed && !cancelFlag) {
        const auto longest = [&](int column) {
            if (!measure)
                return declared[size_t(column)];
            const int left = column < int(leftLongest.size()) ? leftLongest[column] : 0;
            const int right = column < int(rightLongest.size()) ? rightLongest[column] : 0;
            return std::max({left, right, 1});
        };
        const auto width = [&](int column) { return std::min(longest(column), kTrustedWidth); };
        const auto spills = [&](int column) { return longest(column) > width(column); };
        m_keyWidth = width(0);
        m_keySpilled = spills(0);
        m_recordWidths = {width(1), width(2), width(3), spills(1) || spills(2) || spills(3)};

        DiscardResultFile();
        m_keyCount = qint32(m_keyList.size());
        m_recordPositions.assign(m_keyList.size(), kNoRecord);
        m_keySpillPositions.assign(m_keySpilled ? m_keyList.size() : 0, 0);
        m_rightSeen.assign(m_keyList.size(), 0);
        if (!CreateResultFile() || !WriteIndex()) {
            failed = true;
            FailFile();
        }
        // Keys too long for their field follow the index, whole.
        for (qsizetype entry = 0; !failed && m_keySpilled && entry < m_keyList.size(); ++entry) {
            if (m_keyList[entry].size() <= m_keyWidth)
                continue;
            QByteArray bytes;
            CFixedWidthFields::AppendSizedText(bytes, m_keyList[entry]);
            m_keySpillPositions[size_t(entry)] = AppendSpill(bytes);
        }
    }
    if (!cancelFlag && !failed && waitDialog.QueryCancel() != 0)
        cancelFlag = true;

    if (!cancelFlag && !failed) {
        waitDialog.Progress(m_rowCount);
        // Read at the declared widths, as the keys were: the fields may be narrower than the
        // longest values, which are kept apart whole.
        read(m_left, Mode::LeftRows, declared, nullptr, nullptr);
        read(m_right, Mode::RightRows, declared, nullptr, nullptr);
        // The records' positions reach the index in one pass at the end rather than one write
        // per row; the file ends up the same.
        if (!failed && !cancelFlag && (!WriteIndex() || !m_file->Flush())) {
            failed = true;
            FailFile();
        }
    }

    m_keyList.clear();
    m_recordPositions.clear();
    m_keySpillPositions.clear();
    m_rightSeen.clear();
    return EndRun(!cancelFlag && !failed, failed, waitDialog);
}

// Both sides are read in FRDTAI order, which is the comparison order on most databases: each
// key then finds its place in one step, and the right keys merge into the left ones in one pass.
// A server that collates otherwise (a locale's order, case ignored) only makes keys out of
// order, which are put in place once per side; the list is the same either way: every key once,
// in CompareNames order.
void CDictionaryComparison::AddLeftKey(const QString& key) {
    if (!m_keyList.isEmpty()) {
        const int order = CompareNames(key, m_keyList.last(), true);
        if (order < 0)
            m_strayKeys.append(key);
        if (order <= 0)
            return;
    }
    m_keyList.append(key);
}

void CDictionaryComparison::PlaceLeftStrayKeys() {
    UniteSorted(m_keyList, m_strayKeys);
    m_strayKeys.clear();
}

// Only the right keys that the left side lacks are kept apart; the left list is walked once.
void CDictionaryComparison::AddRightKey(const QString& key) {
    if (m_anyRightKey) {
        const int order = CompareNames(key, m_lastRightKey, true);
        if (order < 0)
            m_strayKeys.append(key);
        if (order <= 0)
            return;
    }
    m_anyRightKey = true;
    m_lastRightKey = key;
    const qsizetype count = m_keyList.size();
    while (m_leftCursor < count && CompareNames(m_keyList[m_leftCursor], key, true) < 0)
        ++m_leftCursor;
    if (m_leftCursor < count && m_keyList[m_leftCursor] == key)
        return;
    m_rightOnlyKeys.append(key);
}

void CDictionaryComparison::MergeRightKeys() {
    if (!m_strayKeys.isEmpty()) {
        SortUnique(m_strayKeys);
        m_strayKeys.removeIf(
            [this](const QString& key) { return FindSorted(true, m_keyList, key) >= 0; });
        UniteSorted(m_rightOnlyKeys, m_strayKeys);
        m_strayKeys.clear();
    }
    // The two lists share no key: merged from the back, in place, the list grows only by the
    // right-only keys.
    qsizetype left = m_keyList.size();
    qsizetype right = m_rightOnlyKeys.size();
    m_keyList.resize(left + right);
    for (qsizetype place = left + right; right > 0;) {
        if (left > 0 && CompareNames(m_keyList[left - 1], m_rightOnlyKeys[right - 1], true) > 0)
            m_keyList[--place] = std::move(m_keyList[--left]);
        else
            m_keyList[--place] = std::move(m_rightOnlyKeys[--right]);
    }
    m_rightOnlyKeys.clear();
    m_lastRightKey.clear();
    m_anyRightKey = false;
    m_leftCursor = 0;
}

// Rows arrive in key order: the key is mostly at or shortly after the last one found, and is
// looked for from there, in steps that double, before the whole list is searched.
qsizetype CDictionaryComparison::FindKey(const QString& key) {
    const qsizetype count = m_keyList.size();
    if (m_keyHint >= 0 && m_keyHint < count) {
        const int order = CompareNames(key, m_keyList[m_keyHint], true);
        if (order == 0)
            return m_keyHint;
        if (order > 0) {
            // The key is above the entry low and, if anywhere, at or below the entry high.
            qsizetype low = m_keyHint;
            qsizetype step = 1;
            qsizetype high = low + step;
            while (high < count && CompareNames(key, m_keyList[high], true) > 0) {
                low = high;
                step *= 2;
                high = low + step;
            }
            const auto end = m_keyList.cbegin() + std::min(high + 1, count);
            const auto found = std::lower_bound(m_keyList.cbegin() + low + 1, end, key, NameLess);
            if (found == end || *found != key)
                return -1;
            return m_keyHint = found - m_keyList.cbegin();
        }
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
        if (m_keySpilled)
            CFixedWidthFields::AppendInt64(chunk, m_keySpillPositions[size_t(entry)]);
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
        if (keyList == &m_keyList && mode == Mode::LeftKeys)
            AddLeftKey(trimmedKey);
        else if (keyList == &m_keyList)
            AddRightKey(trimmedKey);
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
                record->AppendRecord(bytes, m_recordWidths, {SpillSide(*record, 0), 0});
                position = m_file->Append(bytes);
                ++m_dictionaryCounters[CompareStatus::OnlyLeft];
            } else if (!isLeft && !m_rightSeen[entry]) {
                m_rightSeen[entry] = 1;
                if (position <= 0) {
                    record->AppendRecord(bytes, m_recordWidths, {0, SpillSide(*record, 1)});
                    position = m_file->Append(bytes);
                    ++m_dictionaryCounters[CompareStatus::OnlyRight];
                } else {
                    // The stored left record and this right one are merged and judged in their
                    // binary form: no values are rebuilt for the hundreds of thousands of items.
                    record->AppendRecord(bytes, m_recordWidths, {0, SpillSide(*record, 1)});
                    if (!m_file->ReadAt(position, RecordSize(), m_storedBytes))
                        m_storedBytes.fill('\0', RecordSize());
                    qint32 status = CAliasCompareInfo::MergeLeftRecord(
                        bytes, m_storedBytes.constData(), m_recordWidths, m_params);
                    if (status == CompareStatus::Same && m_recordWidths.spilled)
                        status = JudgeSpilled(bytes, *record);
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

qint64 CDictionaryComparison::AppendSpill(const QByteArray& bytes) {
    QByteArray spill;
    spill.reserve(4 + bytes.size());
    CFixedWidthFields::AppendInt32(spill, qint32(bytes.size()));
    spill.append(bytes);
    return m_file->Append(spill);
}

bool CDictionaryComparison::ReadSpill(qint64 position, QByteArray& bytes) const {
    const qint32 size = position > 0 ? m_file->ReadInt32At(position) : -1;
    return size >= 0 && m_file->ReadAt(position + 4, size, bytes);
}

qint64 CDictionaryComparison::SpillSide(const CAliasCompareInfo& record, int side) {
    if (!m_recordWidths.spilled || !record.Overflows(side, m_recordWidths))
        return 0;
    return AppendSpill(record.SpilledTexts(side));
}

QString CDictionaryComparison::EntryKey(const QByteArray& entry) const {
    const qint64 keyBytes = CFixedWidthFields::TextBytes(m_keyWidth);
    if (m_keySpilled && entry.size() >= keyBytes + 16) {
        QByteArray whole;
        qint64 offset = 0;
        QString key;
        const qint64 spill = CFixedWidthFields::ReadInt64(entry.constData() + keyBytes + 8);
        if (spill > 0 && ReadSpill(spill, whole) &&
            CFixedWidthFields::ReadSizedText(whole.constData(), whole.size(), offset, key))
            return key;
    }
    return CFixedWidthFields::ReadText(entry.constData(),
                                       int(std::min<qint64>(entry.size(), keyBytes) / 2));
}

bool CDictionaryComparison::ReadWholeRecord(const QByteArray& record,
                                            CAliasCompareInfo& item) const {
    item.ParseRecord(record.constData(), m_recordWidths);
    for (int side = 0; side < 2; ++side) {
        const qint64 spill =
            CAliasCompareInfo::SpillPosition(record.constData(), m_recordWidths, side);
        QByteArray texts;
        if (spill > 0 && (!ReadSpill(spill, texts) || !item.ParseSpilledTexts(side, texts)))
            return false;
    }
    return true;
}

qint32 CDictionaryComparison::JudgeSpilled(QByteArray& merged, const CAliasCompareInfo& right) {
    const char* data = merged.constData();
    if (CAliasCompareInfo::SpillPosition(data, m_recordWidths, 0) <= 0 &&
        CAliasCompareInfo::SpillPosition(data, m_recordWidths, 1) <= 0)
        return CompareStatus::Same;
    // The fields hold the start of a longer text: equal fields do not make equal values.
    CAliasCompareInfo whole;
    if (!ReadWholeRecord(merged, whole))
        return CompareStatus::Same;
    whole.itemType[1] = right.itemType[1];
    whole.dataType[1] = right.dataType[1];
    whole.displayDecimals[1] = right.displayDecimals[1];
    const qint32 status = whole.Judge(m_params);
    CAliasCompareInfo::SetRecordStatus(merged, status);
    return status;
}

QString CDictionaryComparison::ReadDictionaryKey(int entryIndex) const {
    if (!m_file || entryIndex < 0 || entryIndex >= m_keyCount ||
        !m_file->ReadAt(entryIndex * IndexEntrySize(), IndexEntrySize(), m_readEntry))
        return {};
    return EntryKey(m_readEntry);
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
    auto item = std::make_unique<CAliasCompareInfo>(EntryKey(m_readEntry));
    if (!ReadWholeRecord(m_readRecord, *item))
        return nullptr;
    return item;
}

qint32 CDictionaryComparison::GetDictionaryItemStatus(int entryIndex) const {
    // The status opens the record: a list fill of every entry builds no item.
    return ReadEntryRecord(entryIndex) ? CFixedWidthFields::ReadInt32(m_readRecord.constData())
                                       : -1;
}
