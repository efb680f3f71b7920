#pragma once

#include "model/AliasCompareInfo.h"
#include "model/FixedWidthFields.h"
#include "odbc/Side.h"
#include "runs/ComparisonRun.h"

#include <QByteArray>
#include <QStringList>

#include <memory>
#include <vector>

// The data-dictionary comparison: every item (key) of either side's dictionary, judged on its
// values. Memory holds the counters and, during the run, the key list; the result file holds the
// key index and one record per key, read back item by item by the views, and the few texts too
// long for their fields.
class CDictionaryComparison final : public CComparisonRun {
public:
    using Mode = CSide::DictionaryMode;

    CDictionaryComparison(CSide& left, CSide& right, const CParamWord& params);

    // The items whose declared size (FRDTAS) sizes the run's fields: the item names, the item
    // type, the data type and the display decimals.
    static const QStringList& SizedItems();

    // On the progress dialog's worker thread. False when cancelled or failed, and when neither
    // side declares the size of its keys.
    bool Run(IComparisonProgress& waitDialog);
    // One data-dictionary row; true (and the cancel flag set) stops the reader.
    bool OnDictionaryRow(Mode mode, const QString& key, QStringList* keyList,
                         std::unique_ptr<CAliasCompareInfo> record, IComparisonProgress& waitDialog,
                         bool& cancelFlag);

    const Counters& DictionaryCounters() const { return m_dictionaryCounters; }
    qint32 KeyWidth() const { return m_keyWidth; }
    const CAliasCompareInfo::FieldWidths& RecordWidths() const { return m_recordWidths; }
    qint32 KeyCount() const { return m_keyCount; }
    qint32 RowCount() const { return m_rowCount; }
    QString ReadDictionaryKey(int entryIndex) const;
    // The entry of key, or -1.
    int FindDictionaryKey(const QString& key) const;
    std::unique_ptr<CAliasCompareInfo> ReadDictionaryItem(int entryIndex) const;
    qint32 GetDictionaryItemStatus(int entryIndex) const;

private:
    // The file opens with an index of one entry per key, in key order: the key in a text field
    // of KeyWidth, then the position of its record (-1 until it has one), then when some key is
    // longer than its field the position of that key whole (0 for a key that fits). The records
    // follow, each of CAliasCompareInfo::RecordSize, among the spilled texts: each a 32-bit byte
    // count and the bytes.
    qint64 IndexEntrySize() const {
        return CFixedWidthFields::TextBytes(m_keyWidth) + (m_keySpilled ? 16 : 8);
    }
    qint64 RecordSize() const { return CAliasCompareInfo::RecordSize(m_recordWidths); }
    qint64 AppendSpill(const QByteArray& bytes);
    bool ReadSpill(qint64 position, QByteArray& bytes) const;
    // The position of the texts of side that do not fit their fields, 0 when all fit.
    qint64 SpillSide(const CAliasCompareInfo& record, int side);
    // The key of an index entry and the whole values of a record, spilled texts included.
    QString EntryKey(const QByteArray& entry) const;
    bool ReadWholeRecord(const QByteArray& record, CAliasCompareInfo& item) const;
    // Judges again on the whole values a merged record that its fields found the same.
    qint32 JudgeSpilled(QByteArray& merged, const CAliasCompareInfo& right);

    bool ReadItemSize(const QString& item, qint32& size);
    // The index entry and the record of an entry, into the read buffers; false when either is
    // missing.
    bool ReadEntryRecord(int entryIndex) const;
    bool WriteIndex();
    qsizetype FindKey(const QString& key);
    // The key passes: the left keys make the sorted list, then the right ones are merged into
    // it in one pass (see AddLeftKey).
    void AddLeftKey(const QString& key);
    void PlaceLeftStrayKeys();
    void AddRightKey(const QString& key);
    void MergeRightKeys();

    Counters m_dictionaryCounters{};
    qint32 m_keyWidth = 0;
    bool m_keySpilled = false;
    CAliasCompareInfo::FieldWidths m_recordWidths;
    qint32 m_keyCount = 0;
    qint32 m_rowCount = 0;

    // During a run: the keys in the order of the file's index, and per key the position of its
    // record and whether a right row has reached it.
    QStringList m_keyList;
    // During the key passes: the keys that came out of order, to be put in place once the side
    // is read; the right keys that are not left ones, in order; the last right key and the
    // first left key not below it.
    QStringList m_strayKeys;
    QStringList m_rightOnlyKeys;
    QString m_lastRightKey;
    bool m_anyRightKey = false;
    qsizetype m_leftCursor = 0;
    std::vector<qint64> m_recordPositions;
    std::vector<qint64> m_keySpillPositions;
    std::vector<quint8> m_rightSeen;
    // Rows arrive in item order, so the next key is mostly the one after the last one found.
    qsizetype m_keyHint = 0;
    QByteArray m_recordBytes;
    QByteArray m_storedBytes;
    // Kept from read to read, so that reading every entry allocates nothing for the bytes.
    mutable QByteArray m_readEntry;
    mutable QByteArray m_readRecord;
};
