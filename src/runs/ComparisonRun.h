#pragma once

#include "model/CompareStatus.h"
#include "runs/ResultFile.h"
#include "runs/RunFacts.h"

#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class CSide;
class CParamWord;
class IComparisonProgress;
struct CAbandonedConnection;

// What the table and the data-dictionary runs share: the two sides and the parameter word they
// compare under, the run's result file, and how a run starts, fails and ends. A run that fails
// leaves no result file, and any read that fails fails the run: nothing read in part is ever
// judged.
class CComparisonRun {
public:
    using Counters = std::array<qint32, CompareStatus::Count>;

    CComparisonRun(const CComparisonRun&) = delete;
    CComparisonRun& operator=(const CComparisonRun&) = delete;

    // Why the last run failed, naming the side, the object and the driver's diagnostic; empty
    // after a success or a cancel.
    QString LastFailure() const { return m_failure; }
    // From the user-interface thread while the run goes on: cancels the catalogue call or query
    // that the run is waiting for, so that a stalled server cannot hold the run.
    void Interrupt();
    // The same in two steps (see CSide::BeginInterrupt): the returned job does the
    // cancelling and may be done on a thread of its own.
    std::function<void()> BeginInterrupt();
    // When the run is given up: both sides' connections that a driver call still holds.
    std::vector<CAbandonedConnection> AbandonStuckConnections();

    // When the last run started, under which word, and its sides as they were.
    const CRunFacts& Facts() const { return m_facts; }
    // The side the run compares on the left (0) or on the right (1).
    const CSide& SideAt(int index) const { return index == 0 ? m_left : m_right; }

    CResultFile* CreateResultFile();
    void DiscardResultFile() { m_file.reset(); }
    bool HasResult() const { return m_file != nullptr; }
    // How long creating the result file keeps trying before the run fails.
    void SetCreateTimeout(int milliseconds) { m_createTimeoutMs = milliseconds; }

protected:
    CComparisonRun(CResultFile::Kind kind, CSide& left, CSide& right, const CParamWord& params);
    ~CComparisonRun();

    void StartRun();
    // Ends a run that succeeded, failed or was cancelled; returns succeeded.
    bool EndRun(bool succeeded, bool failed, IComparisonProgress& waitDialog);
    // Record why the run fails; FailRead returns false for the caller to pass on.
    bool FailRead(const CSide& side, const QString& object);
    void FailFile();
    void Fail(const QString& reason) { m_failure = reason; }

    CSide& m_left;
    CSide& m_right;
    const CParamWord& m_params;
    // Reading it changes only its read cache: the readers of a result are const, for one thread
    // at a time.
    std::unique_ptr<CResultFile> m_file;

private:
    CResultFile::Kind m_kind;
    int m_createTimeoutMs = 10000;
    QString m_failure;
    CRunFacts m_facts;
};
