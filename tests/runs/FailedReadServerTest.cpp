// A read that fails is a failed run, never a result: a server that goes away in the middle of a
// run, or restarts between listing and comparing, fails the run with the side, the object and
// the driver's message named; a stalled statement gives way to the user's cancel, and a
// connection whose call does not return at all is given up.
#include "ProcessWatch.h"
#include "odbc/OdbcConnection.h"
#include "odbc/OdbcStatement.h"
#include "odbc/OdbcTestEnvironment.h"
#include "runs/ComparisonTestBase.h"
#include "runs/HeldDictionaryLock.h"
#include "runs/StoppedBackend.h"

#include <QProcess>
#include <QRegularExpression>

#include <chrono>
#include <future>

namespace {

const QString kPostgres = QStringLiteral("QuorvixPostgres");
const QString kVolatile = QStringLiteral("QuorvixPostgresVolatile");

// Stops or starts the server that these tests may disturb.
void Volatile(const char* command) {
    const int exitCode = QProcess::execute(
        QStringLiteral(QUORVIX_SOURCE_DIR "/scripts/volatile-postgres"), {QLatin1String(command)});
    ASSERT_EQ(exitCode, 0) << command;
}

class FailedRead : public ComparisonTestBase {
protected:
    void OpenVolatilePair() {
        OpenSide(m_left, kVolatile, QStringLiteral("quorvix.a"));
        OpenSide(m_right, kVolatile, QStringLiteral("quorvix.b"));
    }
    // Waits until the read of the left side's server process waits for the lock.
    static bool WaitsForTheLock(qint32 reader) {
        return WaitForEvent([reader] { return CHeldDictionaryLock::IsWaitedForBy(reader); });
    }
    void ExpectFailureNaming(const QString& object) {
        const QString failure = m_results.LastFailure();
        EXPECT_TRUE(failure.contains(kVolatile)) << failure.toStdString();
        EXPECT_TRUE(failure.contains(object)) << failure.toStdString();
        // The driver's diagnostic comes with its SQLSTATE.
        EXPECT_TRUE(failure.contains(QRegularExpression(QStringLiteral("[0-9A-Z]{5}: "))))
            << failure.toStdString();
        EXPECT_EQ(LeftoverFiles(QStringLiteral("BFD")), 0);
    }
};

} // namespace

TEST_F(FailedRead, CaseIgnoredEachSideIsAskedUnderItsOwnSpelling) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    OpenSide(m_left, kPostgres, QStringLiteral("quorvix.mixed_l"));
    OpenSide(m_right, kPostgres, QStringLiteral("quorvix.mixed_r"));
    m_params.SetBit(ParamBit::CaseSensitive, false);
    ASSERT_TRUE(m_results.RunTableComparison(m_progress)) << m_results.LastFailure().toStdString();
    ASSERT_EQ(m_results.TableNames(), QStringList{QStringLiteral("MixedCase")});
    CComparisonResults::TableRows rows;
    ASSERT_TRUE(m_results.OpenTableRows(0, rows));
    std::vector<std::pair<QString, int>> read;
    for (int i = 0; i < rows.rowCount; ++i) {
        const auto row = m_results.ReadColumnRow(rows, i);
        ASSERT_NE(row, nullptr);
        read.emplace_back(row->name, row->status);
    }
    // The right-only column follows the right column before it.
    EXPECT_EQ(read, (std::vector<std::pair<QString, int>>{{"a", CompareStatus::Same},
                                                          {"c", CompareStatus::OnlyRight},
                                                          {"b", CompareStatus::OnlyLeft}}));
}

// One test for everything that stops the shared volatile server, so that nothing else uses it
// meanwhile.
TEST_F(FailedRead, ServerGoingAwayFailsEveryRunNamingWhatCouldNotBeRead) {
    QUORVIX_REQUIRE_DATA_SOURCE(kVolatile);

    // Stopped in the middle of the table run.
    OpenVolatilePair();
    m_progress.onQuery = [](int query) {
        if (query == 10)
            Volatile("stop");
    };
    EXPECT_FALSE(m_results.RunTableComparison(m_progress));
    EXPECT_FALSE(m_results.HasResult(CResultFile::TableResult));
    ExpectFailureNaming(QStringLiteral("columns of table "));
    Volatile("start");

    // Restarted between listing and comparing: the connections are gone.
    m_progress = CFakeProgress();
    OpenVolatilePair();
    Volatile("stop");
    Volatile("start");
    EXPECT_FALSE(m_results.RunTableComparison(m_progress));
    ExpectFailureNaming(QStringLiteral("columns of table "));

    // Stopped during the data-dictionary run.
    m_progress = CFakeProgress();
    OpenVolatilePair();
    m_progress.onQuery = [](int query) {
        if (query == 200)
            Volatile("stop");
    };
    EXPECT_FALSE(m_results.RunDictionaryComparison(m_progress));
    EXPECT_FALSE(m_results.HasResult(CResultFile::DictionaryResult));
    ExpectFailureNaming(QStringLiteral("f9210"));
    Volatile("start");

    // Back up, the same sides compare in full.
    m_progress = CFakeProgress();
    OpenVolatilePair();
    ASSERT_TRUE(m_results.RunTableComparison(m_progress)) << m_results.LastFailure().toStdString();
    EXPECT_EQ(m_results.TableCounters(), (CComparisonResults::Counters{37, 0, 0, 4}));
    ASSERT_TRUE(m_results.RunDictionaryComparison(m_progress))
        << m_results.LastFailure().toStdString();
    EXPECT_EQ(m_results.DictionaryCounters(), (CComparisonResults::Counters{501, 0, 0, 0}));
}

TEST_F(FailedRead, InterruptCancelsAStalledQuery) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    OpenSide(m_left, kPostgres, QStringLiteral("quorvix.stall"));
    OpenSide(m_right, kPostgres, QStringLiteral("quorvix.s1"));

    const qint32 reader = CStoppedBackend::BackendPid(*m_left.Connection());

    // Another session holds the dictionary locked, so that reading it waits. (The run is
    // waited for after the lock has gone, whatever fails.)
    std::future<bool> run;
    const CHeldDictionaryLock lock;
    ASSERT_TRUE(lock.IsHeld());

    run = std::async(std::launch::async,
                     [this] { return m_results.RunDictionaryComparison(m_progress); });
    ASSERT_TRUE(WaitsForTheLock(reader)) << "the dictionary read should wait for the lock";
    m_results.Interrupt();
    ASSERT_EQ(run.wait_for(std::chrono::milliseconds(kEventLimitMs)), std::future_status::ready);
    // Ended while the lock was still held: the statement was cancelled, not waited for.
    EXPECT_TRUE(lock.IsHeld());
    EXPECT_FALSE(run.get());
    // A cancel is not a failure to report.
    EXPECT_TRUE(m_results.LastFailure().isEmpty()) << m_results.LastFailure().toStdString();
    EXPECT_EQ(LeftoverFiles(QStringLiteral("BFDD")), 0);

    // The sides take statements again after the run.
    EXPECT_TRUE(m_left.ListTables(nullptr)) << m_left.LastDiagnostic().toStdString();
}

TEST_F(FailedRead, ConnectionHeldByACallIsGivenUpAndTheSideConnectsAgainOnItsNextUse) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    OpenSide(m_left, kPostgres, QStringLiteral("quorvix.stall"));
    // No call holds an idle connection: it is kept.
    EXPECT_EQ(m_left.AbandonStuckConnection(), nullptr);
    EXPECT_TRUE(m_left.IsConnected());

    const qint32 reader = CStoppedBackend::BackendPid(*m_left.Connection());
    std::future<qint64> read;
    const CHeldDictionaryLock lock;
    ASSERT_TRUE(lock.IsHeld());
    const COdbcConnection* held = m_left.Connection();
    read = std::async(std::launch::async,
                      [this] { return m_left.LookupDataItemSize(QStringLiteral("DTAI")); });
    ASSERT_TRUE(WaitsForTheLock(reader)) << "the dictionary read should wait for the lock";
    const std::shared_ptr<COdbcConnection> abandoned = m_left.AbandonStuckConnection();
    ASSERT_EQ(abandoned.get(), held);
    EXPECT_TRUE(abandoned->IsAbandoned());
    EXPECT_FALSE(m_left.IsConnected());

    // Used again while the old call still waits: a connection of its own.
    EXPECT_TRUE(m_left.ListTables(nullptr)) << m_left.LastDiagnostic().toStdString();
    EXPECT_TRUE(m_left.IsConnected());
    EXPECT_NE(m_left.Connection(), held);

    // Whenever the old call returns, here cancelled, its thread leaves by the exception,
    // reading nothing.
    abandoned->Interrupt();
    ASSERT_EQ(read.wait_for(std::chrono::milliseconds(kEventLimitMs)), std::future_status::ready);
    EXPECT_THROW(read.get(), COdbcAbandoned);
    EXPECT_TRUE(m_left.IsConnected());
}

TEST_F(FailedRead, CancelThatComesAfterTheRunEndedLeavesTheNextRunAlone) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    OpenSide(m_left, kPostgres, QStringLiteral("quorvix.stall"));
    OpenSide(m_right, kPostgres, QStringLiteral("quorvix.s1"));
    // Cancel pressed as a run ended: its driver cancel, on a thread of its own, comes late.
    const std::function<void()> lateCancel = m_results.BeginInterrupt();
    m_left.ClearInterrupt();
    m_right.ClearInterrupt();

    const qint32 reader = CStoppedBackend::BackendPid(*m_left.Connection());
    std::future<bool> run;
    const CHeldDictionaryLock lock;
    ASSERT_TRUE(lock.IsHeld());
    run = std::async(std::launch::async,
                     [this] { return m_results.RunDictionaryComparison(m_progress); });
    ASSERT_TRUE(WaitsForTheLock(reader));
    // The server process of the waiting read, stopped, keeps any cancel it is sent: a driver's
    // cancel returns once the server has passed it on.
    ASSERT_EQ(::kill(pid_t(reader), SIGSTOP), 0);
    lateCancel();
    const bool cancelReached = IsSignalPending(reader, SIGINT);
    ::kill(pid_t(reader), SIGCONT);
    EXPECT_FALSE(cancelReached) << "the cancel of the earlier run reached this one";
    EXPECT_EQ(run.wait_for(std::chrono::milliseconds(0)), std::future_status::timeout);
    m_results.Interrupt();
    ASSERT_EQ(run.wait_for(std::chrono::milliseconds(kEventLimitMs)), std::future_status::ready);
    EXPECT_FALSE(run.get());
}
