// How soon what the user or a script asks to stop does stop, in milliseconds: the progress
// window's Cancel on a read that the server holds (the statement is cancelled) and on a server
// that does not answer (the connection is given up), and quorvix-batch ended by a signal on a
// query that the server holds, in the middle of a long table run, and in a driver call that
// never returns (a second signal, or the first alone once its grace has passed). The tests
// check that each of these stops at all, and in which order; this prints how long each took,
// the best of several tries, as "name: value". --smoke tries once. The figures that need the
// PostgreSQL test server are left out when it cannot be reached.
#include "BenchData.h"

#include "ProcessWatch.h"
#include "dialogs/DlgWait.h"
#include "model/ParamWord.h"
#include "odbc/DataSourceSide.h"
#include "runs/ComparisonResults.h"
#include "runs/HeldDictionaryLock.h"
#include "runs/OpenFiles.h"
#include "runs/StoppedBackend.h"
#include "services/ThreadKeeper.h"
#include "ui/TemplateBuilder.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <functional>

#include <sys/stat.h>

namespace {

const QString kPostgres = QStringLiteral("QuorvixPostgres");
const QString kLarge = QStringLiteral("StopBenchLarge");

bool g_failed = false;

void Print(const char* name, double milliseconds) {
    if (milliseconds < 0) {
        std::fprintf(stderr, "%s: the run did not stop as it should\n", name);
        g_failed = true;
        return;
    }
    std::printf("%s: %.0f\n", name, milliseconds);
    std::fflush(stdout);
}

// The best of tries, each of which gives its milliseconds or a negative number when it failed.
double BestTry(int tries, const std::function<double()>& attempt) {
    double best = -1;
    for (int index = 0; index < tries; ++index) {
        const double milliseconds = attempt();
        if (milliseconds < 0)
            return -1;
        best = best < 0 ? milliseconds : std::min(best, milliseconds);
    }
    return best;
}

bool OpenOwner(CDataSourceSide& side, const QString& dataSource, const QString& owner) {
    side.SetDataSource(dataSource, CDataSourceSide::SystemDataSource);
    if (!side.Connect())
        return false;
    side.SetOwnerQualifier(owner);
    return side.ListTables(nullptr);
}

// Cancel pressed on a dictionary comparison whose left read waits for the held lock (and, with
// stopServer, whose server process is then stopped): the time until the window has closed.
double WindowCancel(bool stopServer) {
    CDataSourceSide left;
    CDataSourceSide right;
    CParamWord params;
    CComparisonResults results(left, right, params);
    if (!OpenOwner(left, kPostgres, QStringLiteral("quorvix.stall")) ||
        !OpenOwner(right, kPostgres, QStringLiteral("quorvix.s1")))
        return -1;
    CStoppedBackend stopped(kPostgres, CStoppedBackend::BackendPid(*left.Connection()));
    CHeldDictionaryLock lock;
    CDlgWait dialog(CDlgWait::DictionaryRun, true, results, nullptr);
    QElapsedTimer sinceCancel;
    QTimer::singleShot(0, &dialog, [&] {
        if (!WaitForEvent([&] { return CHeldDictionaryLock::IsWaitedForBy(stopped.Pid()); }))
            return;
        if (stopServer)
            stopped.Stop();
        sinceCancel.start();
        CTemplateBuilder::Find<QPushButton>(dialog, 2)->click();
    });
    const int result = dialog.exec();
    const double milliseconds = sinceCancel.isValid() ? sinceCancel.nsecsElapsed() / 1e6 : -1;
    lock.Release();
    stopped.Continue();
    return result == CDlgWait::Stopped ? milliseconds : -1;
}

// quorvix-batch started with arguments, signalled once ready() holds (with signals, one after
// the other, each once the one before was taken): the time from the last signal to its end.
double BatchSignalled(const QStringList& arguments, const QStringList& environment,
                      const std::function<bool(qint64)>& ready, const QList<int>& sent) {
    QProcess process;
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    variables.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    for (const QString& variable : environment)
        variables.insert(variable.section(QLatin1Char('='), 0, 0),
                         variable.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(variables);
    process.start(QStringLiteral(QUORVIX_BATCH_PROGRAM), arguments);
    if (!process.waitForStarted() || !WaitForEvent([&] {
            return ready(process.processId()) || process.state() == QProcess::NotRunning;
        }) ||
        process.state() != QProcess::Running) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    QElapsedTimer sinceLast;
    for (const int signal : sent) {
        WaitForEvent([&] {
            return !IsSignalPending(process.processId(), SIGINT) &&
                   !IsSignalPending(process.processId(), SIGTERM);
        });
        sinceLast.start();
        ::kill(pid_t(process.processId()), signal);
    }
    const bool ended = process.waitForFinished(kEventLimitMs);
    const double milliseconds = sinceLast.nsecsElapsed() / 1e6;
    if (!ended) {
        process.kill();
        process.waitForFinished();
    }
    return ended && process.exitStatus() == QProcess::NormalExit ? milliseconds : -1;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const bool smoke = application.arguments().contains(QStringLiteral("--smoke"));
    const int tries = smoke ? 1 : 5;

    // A long table run: thousands of tables, read one by one as the settings may ask.
    QByteArray sql = "BEGIN;";
    for (int table = 0; table < 3000; ++table)
        sql += QStringLiteral("CREATE TABLE T%1 (A INT, B VARCHAR(10), C REAL);")
                   .arg(table)
                   .toLatin1();
    sql += "COMMIT;";
    if (!EnsureDatabase(kLarge, sql))
        return 1;
    UseBenchDataSources({kLarge});
    AddBenchDataSource(QStringLiteral("[%1]\nDriver=PostgreSQL Unicode\nServername=%2\nPort=%3\n"
                                      "Database=quorvix\nUsername=postgres")
                           .arg(kPostgres, qEnvironmentVariable("QUORVIX_PG_SOCKETS"),
                                qEnvironmentVariable("QUORVIX_PG_PORT")));
    QTemporaryDir work;
    const QString results = work.filePath(QStringLiteral("results"));
    QDir().mkpath(results);
    QDir().mkpath(work.filePath(QStringLiteral("config/Ostrinel")));
    QFile settings(work.filePath(QStringLiteral("config/Ostrinel/quorvix.conf")));
    if (settings.open(QIODevice::WriteOnly))
        settings.write("[Params]\nPerTableColumns=1\n");
    settings.close();
    const QStringList environment{QStringLiteral("TMP=") + results,
                                  QStringLiteral("XDG_CONFIG_HOME=") +
                                      work.filePath(QStringLiteral("config"))};

    const double tableRun = BestTry(tries, [&] {
        return BatchSignalled(
            {QStringLiteral("tables"), QStringLiteral("--left"), kLarge, QStringLiteral("--right"),
             kLarge, QStringLiteral("--use-settings"), QStringLiteral("-o"),
             work.filePath(QStringLiteral("large.csv"))},
            environment,
            [&results](qint64 process) {
                return !OpenDescriptorsIn(results, QStringLiteral("BFDB"), process).isEmpty();
            },
            {SIGINT});
    });
    Print("batch_interrupt_table_run_ms", tableRun);

    // A data source list that nobody opens from the other end: the driver manager waits for good.
    const QString hung = work.filePath(QStringLiteral("hung.ini"));
    ::mkfifo(QFile::encodeName(hung).constData(), 0600);
    const QStringList hungEnvironment{QStringLiteral("TMP=") + results,
                                      QStringLiteral("ODBCINI=") + hung};
    const QStringList hungArguments{QStringLiteral("tables"), QStringLiteral("--left"), kLarge,
                                    QStringLiteral("--right"), kLarge};
    Print("batch_second_signal_ms", BestTry(tries, [&] {
              return BatchSignalled(hungArguments, hungEnvironment, WaitsToOpenAFifo,
                                    {SIGINT, SIGINT});
          }));
    Print("batch_first_signal_alone_ms", BestTry(tries, [&] {
              return BatchSignalled(hungArguments, hungEnvironment, WaitsToOpenAFifo, {SIGTERM});
          }));

    if (COdbcTestEnvironment::QueryNumber(kPostgres, QStringLiteral("SELECT 1")) != 1) {
        std::fprintf(stderr, "the PostgreSQL test server cannot be reached: its figures are "
                             "left out\n");
        return g_failed ? 1 : 0;
    }
    const QString session =
        QStringLiteral("qvx_stop_bench_%1").arg(QCoreApplication::applicationPid());
    AddBenchDataSource(QStringLiteral("[StopBenchHeld]\nDriver=PostgreSQL Unicode\nServername=%1\n"
                                      "Port=%2\nDatabase=quorvix\nUsername=postgres\n"
                                      "pqopt=application_name=%3")
                           .arg(qEnvironmentVariable("QUORVIX_PG_SOCKETS"),
                                qEnvironmentVariable("QUORVIX_PG_PORT"), session));
    Print("batch_cancel_held_query_ms", BestTry(tries, [&] {
              const CHeldDictionaryLock lock;
              return BatchSignalled(
                  {QStringLiteral("dictionary"), QStringLiteral("--left"),
                   QStringLiteral("StopBenchHeld"), QStringLiteral("--left-owner"),
                   QStringLiteral("quorvix.stall"), QStringLiteral("--right"), kPostgres,
                   QStringLiteral("--right-owner"), QStringLiteral("quorvix.s1")},
                  {QStringLiteral("TMP=") + results},
                  [&session](qint64) {
                      return CHeldDictionaryLock::IsWaitedForByApplication(session);
                  },
                  {SIGTERM});
          }));
    Print("window_cancel_held_read_ms", BestTry(tries, [] { return WindowCancel(false); }));
    Print("window_cancel_stopped_server_ms", BestTry(tries, [] { return WindowCancel(true); }));
    return CThreadKeeper::Instance().SettleBeforeExit(g_failed ? 1 : 0);
}
