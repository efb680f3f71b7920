#pragma once

#include "model/AliasCompareInfo.h"
#include "model/ColumnCompareInfo.h"
#include "model/CompareStatus.h"
#include "runs/ResultFile.h"

#include <QStringList>

#include <array>
#include <memory>
#include <vector>

class CDataSourceSide;
class CParamWord;
class IComparisonProgress;

// The results of the two comparison runs and the runs themselves. The results live in two
// temporary files, read back record by record by the views; memory holds only the table name
// union, the counters and, during a data-dictionary run, its key list.
class CComparisonResults {
public:
    using Counters = std::array<qint32, CompareStatus::Count>;

    // Where the rows of a different table stand in the table result file.
    struct TableRows {
        qint32 rowCount = 0;
        qint16 nameWidth = 0;
        qint16 typeNameWidth = 0;
        qint64 firstRow = 0;
    };

    CComparisonResults(CDataSourceSide& left, CDataSourceSide& right, const CParamWord& params);
    ~CComparisonResults();

    // The runs, on the progress dialog's worker thread. False when cancelled or failed; a run
    // that fails leaves no result file of its kind, and any read that fails fails the run:
    // nothing read in part is ever judged.
    bool RunTableComparison(IComparisonProgress& waitDialog);
    bool RunDictionaryComparison(IComparisonProgress& waitDialog);
    // Why the last run failed, naming the side, the object and the driver's diagnostic; empty
    // after a success or a cancel.
    QString LastFailure() const { return m_failure; }
    // From the user-interface thread while a run goes on: cancels the catalogue call or query
    // that the run is waiting for, so that a stalled server cannot hold the run.
    void Interrupt();
    // One data-dictionary row; nonzero (and the cancel flag set) stops the reader.
    int OnDictionaryRow(int mode, const QString& key, QStringList* keyList,
                        std::unique_ptr<CAliasCompareInfo> record, IComparisonProgress& waitDialog,
                        int& cancelFlag);

    CResultFile* CreateResultFile(int kind);
    void DiscardResultFile(int kind);
    bool HasResult(int kind) const;
    // How long creating a result file keeps trying before the run fails.
    void SetCreateTimeout(int milliseconds) { m_createTimeoutMs = milliseconds; }

    // Table result
    const QStringList& TableNames() const { return m_tableNames; }
    const Counters& TableCounters() const { return m_tableCounters; }
    qint32 GetTableStatus(int tableIndex);
    bool OpenTableRows(int tableIndex, TableRows& rows);
    std::unique_ptr<CColumnCompareInfo> ReadColumnRow(int rowIndex, qint64 firstRow, int nameWidth,
                                                      int typeNameWidth);
    qint32 GetColumnRowStatus(int rowIndex, qint64 firstRow, int nameWidth, int typeNameWidth);

    // Data-dictionary result
    const Counters& DictionaryCounters() const { return m_dictionaryCounters; }
    qint32 KeyWidth() const { return m_keyWidth; }
    qint32 ItemTypeWidth() const { return m_itemTypeWidth; }
    qint32 DataTypeWidth() const { return m_dataTypeWidth; }
    qint32 DisplayDecimalsWidth() const { return m_displayDecimalsWidth; }
    qint32 KeyCount() const { return m_keyCount; }
    qint32 RowCount() const { return m_rowCount; }
    QString ReadDictionaryKey(int entryIndex);
    int FindDictionaryKey(const QString& key);
    std::unique_ptr<CAliasCompareInfo> ReadDictionaryItem(int entryIndex);
    qint32 GetDictionaryItemStatus(int entryIndex);

private:
    bool CompareTable(int tableIndex, bool caseSensitive, bool compareTypes, bool stringsAlike,
                      const QStringList& leftNames, const QStringList& rightNames,
                      IComparisonProgress& waitDialog);
    bool WriteDictionaryIndex();
    bool ReadItemSize(const QString& item, qint32& size);
    bool FailRead(const CDataSourceSide& side, const QString& object);
    void FailFile();
    void StartRun();
    bool EndRun(int kind, bool succeeded, bool failed, IComparisonProgress& waitDialog);
    qsizetype FindKey(const QString& key);
    void AddKey(const QString& key);
    qint64 EntrySize() const { return 2 * qint64(std::max(m_keyWidth, 0)) + 8; }
    qint64 RecordSize() const;
    std::unique_ptr<CResultFile>& File(int kind);

    CDataSourceSide& m_left;
    CDataSourceSide& m_right;
    const CParamWord& m_params;
    int m_createTimeoutMs = 10000;
    QString m_failure;

    QStringList m_tableNames;
    Counters m_tableCounters{};
    std::unique_ptr<CResultFile> m_tableFile;

    Counters m_dictionaryCounters{};
    qint32 m_keyWidth = 0;
    qint32 m_itemTypeWidth = 0;
    qint32 m_dataTypeWidth = 0;
    qint32 m_displayDecimalsWidth = 0;
    qint32 m_keyCount = 0;
    qint32 m_rowCount = 0;
    std::unique_ptr<CResultFile> m_dictionaryFile;

    // During a data-dictionary run: the keys in the order of the file's index, and per key the
    // position of its record and whether a right row has reached it.
    QStringList m_keyList;
    std::vector<qint64> m_recordPositions;
    std::vector<quint8> m_rightSeen;
    // Rows arrive in item order, so the next key is mostly the one after the last one found.
    qsizetype m_keyHint = 0;
    QByteArray m_recordBytes;
    QByteArray m_storedBytes;
};
