#pragma once

#include "batch/BatchCommandLine.h"
#include "batch/ConsoleProgress.h"
#include "model/ParamWord.h"
#include "odbc/DataSourceSide.h"
#include "runs/ComparisonResults.h"
#include "snapshot/SnapshotSide.h"

#include <array>
#include <atomic>
#include <functional>

class CExportSource;

// One command of the batch tool, from opening the data sources to the exit code: the same sides,
// runs and export writers as the window, so that for the same sides, parameter word, language
// and display names the file holds the window's bytes.
class CBatchRun {
public:
    enum ExitCode { AllSame = 0, Failed = 1, DifferencesFound = 2, Cancelled = 130 };

    explicit CBatchRun(CBatchOptions options);

    // On a thread of its own; returns the exit code.
    int Execute();
    // From another thread, any number of times: the run stops at its next step, and whatever
    // query or catalogue call a side is waiting for is cancelled.
    void Cancel();

private:
    int ListSources();
    int ListOwners();
    int CompareTables();
    int CompareColumns();
    int CompareDictionaries();
    int ShowStructure();
    int TakeSnapshot();

    // The side of a comparison: a snapshot file's when the command line names one, else the
    // data source's.
    bool IsSnapshot(int index) const;
    CSide& Side(int index);
    // Opens a snapshot file as side index; prints why and returns false when it cannot.
    bool OpenSnapshot(int index);

    // Opens a side as the selection view does: connect, choose the owner as the owner combo
    // would, list the tables. Prints why and returns false when it cannot.
    bool PrepareSide(int index, const QString& dataSource, const std::optional<QString>& owner,
                     bool listTables = true);
    bool OpenSide(int index, const QString& dataSource);
    // Both sides of a comparison, with the display names the legend gives them.
    bool PrepareBothSides();
    // The exit code of a command that could not go on: cancelled or failed.
    int Stopped() const;
    // The texts of the owner combo, in its order, each with its place in owners.
    bool ReadOwners(int index, COwnerList& owners, QList<std::pair<QString, int>>& entries);
    // Prepares both sides and runs a comparison: false (with exitCode set) when it could not.
    bool RunComparison(CResultFile::Kind kind, int& exitCode);
    // Writes a comparison's export and prints its counts; returns the comparison's exit code:
    // differences count when the export keeps their status.
    int Report(const CExportSource& source);
    // A comparison run ended: false (with exitCode set) when it failed or was cancelled.
    bool RunEnded(bool succeeded, int& exitCode);
    // False, with the message printed, when none of bits first..first+count-1 is set.
    bool AnyBitSet(int first, int count, int whatText) const;
    // Writes the export, in the form asked for, to the output; returns Failed or Cancelled, or
    // AllSame once written.
    int WriteOutput(const CExportSource& source);
    // True, with the message printed, when the output is a file that one of these sides reads.
    bool OutputIsASideFile(const std::vector<const CSide*>& sides);
    void PrintCounts(const CComparisonRun::Counters& counters) const;
    int Fail(const QString& message) const;
    static QString StandardOutputError();
    QString SideName(int index) const { return m_sideNames[size_t(index)]; }

    CBatchOptions m_options;
    CParamWord m_params;
    std::array<CDataSourceSide, 2> m_sides;
    std::array<CSnapshotSide, 2> m_snapshots;
    std::array<QString, 2> m_sideNames;
    // Set once a side's connection exists, so that Cancel never meets one being opened.
    std::array<std::atomic<bool>, 2> m_connected{};
    CComparisonResults m_results;
    CConsoleProgress m_progress;
};
