#pragma once

#include "runs/DictionaryComparison.h"
#include "runs/TableComparison.h"

class CSettingsStore;

// The results of the two comparison runs and the runs themselves, as the program and its views
// know them: each run keeps its result in its own temporary file, read back record by record.
// Both runs compare the same two sides under the same parameter word.
class CComparisonResults {
public:
    using Counters = CComparisonRun::Counters;
    using TableRows = CTableComparison::TableRows;

    CComparisonResults(CSide& left, CSide& right, const CParamWord& params);

    // The runs, on the progress dialog's worker thread. False when cancelled or failed; a run
    // that fails leaves no result file of its kind, and any read that fails fails the run:
    // nothing read in part is ever judged.
    bool RunTableComparison(IComparisonProgress& waitDialog);
    bool RunDictionaryComparison(IComparisonProgress& waitDialog);
    // Why the last run failed, naming the side, the object and the driver's diagnostic; empty
    // after a success or a cancel.
    QString LastFailure() const { return m_lastRun ? m_lastRun->LastFailure() : QString(); }
    // From the user-interface thread while a run goes on: cancels the catalogue call or query
    // that the run is waiting for, so that a stalled server cannot hold the run.
    void Interrupt();
    // The same in two steps: no statement starts from now on, and the returned job, which may
    // wait for the server, cancels the running one on a thread of its own.
    std::function<void()> BeginInterrupt();
    // When the progress dialog gives a run up: the connections that a driver call still holds
    // leave their sides, which connect again when next used. The run's thread leaves the run
    // as that call returns, touching nothing, so a new run may start on these results at once.
    std::vector<CAbandonedConnection> AbandonStuckConnections();
    // One data-dictionary row; true (and the cancel flag set) stops the reader.
    bool OnDictionaryRow(CSide::DictionaryMode mode, const QString& key, QStringList* keyList,
                         std::unique_ptr<CAliasCompareInfo> record, IComparisonProgress& waitDialog,
                         bool& cancelFlag);

    CResultFile* CreateResultFile(CResultFile::Kind kind) { return Run(kind).CreateResultFile(); }
    void DiscardResultFile(CResultFile::Kind kind) { Run(kind).DiscardResultFile(); }
    bool HasResult(CResultFile::Kind kind) const { return Run(kind).HasResult(); }
    // How long creating a result file keeps trying before the run fails.
    void SetCreateTimeout(int milliseconds);
    // The table run reads each side's columns in one catalogue call unless told to read them
    // table by table; the settings can ask for that to diagnose a driver ("Params",
    // "PerTableColumns" = 1).
    void SetReadAllColumns(bool readAll) { m_table.SetReadAllColumns(readAll); }
    void LoadReadingOption(const CSettingsStore& store);
    int TablesReadAlone() const { return m_table.TablesReadAlone(); }
    int IndexTablesReadAlone() const { return m_table.IndexTablesReadAlone(); }

    // Table result
    const QStringList& TableNames() const { return m_table.TableNames(); }
    const Counters& TableCounters() const { return m_table.TableCounters(); }
    qint32 GetTableStatus(int tableIndex) const { return m_table.GetTableStatus(tableIndex); }
    bool OpenTableRows(int tableIndex, TableRows& rows) const {
        return m_table.OpenTableRows(tableIndex, rows);
    }
    std::unique_ptr<CColumnCompareInfo> ReadColumnRow(const TableRows& rows, int rowIndex) const {
        return m_table.ReadColumnRow(rows, rowIndex);
    }
    qint32 GetColumnRowStatus(const TableRows& rows, int rowIndex) const {
        return m_table.GetColumnRowStatus(rows, rowIndex);
    }
    bool ComparedAttributes() const { return m_table.ComparedAttributes(); }
    std::unique_ptr<CIndexCompareInfo> ReadIndexRow(const TableRows& rows, int rowIndex) const {
        return m_table.ReadIndexRow(rows, rowIndex);
    }
    qint32 GetIndexRowStatus(const TableRows& rows, int rowIndex) const {
        return m_table.GetIndexRowStatus(rows, rowIndex);
    }
    bool ComparedIndexes() const { return m_table.ComparedIndexes(); }

    // The sides both runs compare: 0 left, 1 right.
    const CSide& Side(int index) const { return m_table.SideAt(index); }

    // When each run started, under which word, and its sides as they were.
    const CRunFacts& TableFacts() const { return m_table.Facts(); }
    const CRunFacts& DictionaryFacts() const { return m_dictionary.Facts(); }

    // Data-dictionary result
    const Counters& DictionaryCounters() const { return m_dictionary.DictionaryCounters(); }
    qint32 KeyWidth() const { return m_dictionary.KeyWidth(); }
    qint32 ItemTypeWidth() const { return m_dictionary.RecordWidths().itemType; }
    qint32 DataTypeWidth() const { return m_dictionary.RecordWidths().dataType; }
    qint32 DisplayDecimalsWidth() const { return m_dictionary.RecordWidths().displayDecimals; }
    qint32 KeyCount() const { return m_dictionary.KeyCount(); }
    qint32 RowCount() const { return m_dictionary.RowCount(); }
    QString ReadDictionaryKey(int entryIndex) const {
        return m_dictionary.ReadDictionaryKey(entryIndex);
    }
    int FindDictionaryKey(const QString& key) const { return m_dictionary.FindDictionaryKey(key); }
    std::unique_ptr<CAliasCompareInfo> ReadDictionaryItem(int entryIndex) const {
        return m_dictionary.ReadDictionaryItem(entryIndex);
    }
    qint32 GetDictionaryItemStatus(int entryIndex) const {
        return m_dictionary.GetDictionaryItemStatus(entryIndex);
    }

private:
    CComparisonRun& Run(CResultFile::Kind kind);
    const CComparisonRun& Run(CResultFile::Kind kind) const;

    CTableComparison m_table;
    CDictionaryComparison m_dictionary;
    // The run that LastFailure speaks of.
    const CComparisonRun* m_lastRun = nullptr;
};
