#include "batch/BatchProcess.h"

#include "EventWait.h"
#include "ProcessWatch.h"
#include "export/ExpectedFiles.h"
#include "odbc/OdbcTestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kLeft = QStringLiteral("OutLeft");
const QString kRight = QStringLiteral("OutRight");

struct stat StatOf(const QString& path, bool followLinks = true) {
    struct stat status {};
    const QByteArray name = QFile::encodeName(path);
    EXPECT_EQ(followLinks ? ::stat(name.constData(), &status) : ::lstat(name.constData(), &status),
              0)
        << path.toStdString();
    return status;
}

// Where -o sends the export: what is replaced, what is written through, what is refused, and
// what a run that fails leaves behind (nothing).
class BatchOutput : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_leftDatabase = COdbcTestEnvironment::AddSqliteDataSource(
            kLeft, QStringLiteral("CREATE TABLE T1 (C1 INT, C2 INT); CREATE TABLE SAME (a INT);"
                                  "CREATE TABLE LONLY (x INT);"));
        COdbcTestEnvironment::AddSqliteDataSource(
            kRight, QStringLiteral("CREATE TABLE T1 (C2 INT, C3 INT); CREATE TABLE SAME (a INT);"
                                   "CREATE TABLE \"R;ONLY\" (y INT);"));
    }
    void SetUp() override {
        ASSERT_TRUE(m_tmp.isValid());
        QDir(m_tmp.path()).mkdir(QStringLiteral("results"));
        QDir(m_tmp.path()).mkdir(QStringLiteral("out"));
    }

    QString Path(const char* name) const { return m_tmp.filePath(QLatin1String(name)); }
    CBatchProcess Run(const QStringList& arguments) const {
        return CBatchProcess::Run(arguments, {QStringLiteral("TMP=") + Path("results")});
    }
    CBatchProcess Tables(const QString& output, QStringList more = {}) const {
        // Named as the expected files name the sides.
        return Run(QStringList{QStringLiteral("tables"), QStringLiteral("--left"), kLeft,
                               QStringLiteral("--right"), kRight, QStringLiteral("--left-name"),
                               QStringLiteral("ExpLeft"), QStringLiteral("--right-name"),
                               QStringLiteral("ExpRight"), QStringLiteral("-o"), output}
                   << more);
    }
    // Every name in the output folder, hidden ones included.
    QStringList OutputFolder() const {
        return QDir(Path("out"))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    static void Write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static inline QString s_leftDatabase;
    QTemporaryDir m_tmp;
};

TEST_F(BatchOutput, RegularFileIsReplacedWholeKeepingItsModeAndOwner) {
    const QString path = Path("out/report.csv");
    Write(path, "an older report");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0600), 0);
    // Another owner, as a report shared by a team would have.
    ASSERT_EQ(::chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
    const ino_t before = StatOf(path).st_ino;

    const CBatchProcess run = Tables(path);
    EXPECT_EQ(run.exitCode, 2) << run;
    EXPECT_EQ(Contents(path), Expected("table-export-all.csv"));
    const struct stat after = StatOf(path);
    EXPECT_NE(after.st_ino, before) << "written in place instead of replaced whole";
    EXPECT_EQ(after.st_mode & 07777, 0600u);
    EXPECT_EQ(after.st_uid, 65534u);
    EXPECT_EQ(after.st_gid, 65534u);
    EXPECT_EQ(OutputFolder(), QStringList{QStringLiteral("report.csv")});

    // A new file gets the user's mask, and nothing else is left beside it.
    const CBatchProcess fresh = Tables(Path("out/new.csv"));
    EXPECT_EQ(fresh.exitCode, 2) << fresh;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(StatOf(Path("out/new.csv")).st_mode & 0777, 0666u & ~mask);
    EXPECT_EQ(OutputFolder(),
              (QStringList{QStringLiteral("new.csv"), QStringLiteral("report.csv")}));
}

TEST_F(BatchOutput, SymbolicLinkIsFollowedAndStaysALink) {
    Write(Path("out/target.csv"), "old");
    ASSERT_TRUE(QFile::link(QStringLiteral("target.csv"), Path("out/link.csv")));
    const CBatchProcess run = Tables(Path("out/link.csv"));
    EXPECT_EQ(run.exitCode, 2) << run;
    EXPECT_TRUE(S_ISLNK(StatOf(Path("out/link.csv"), false).st_mode));
    EXPECT_EQ(Contents(Path("out/target.csv")), Expected("table-export-all.csv"));

    // A link to a file not yet there makes that file.
    ASSERT_TRUE(QFile::link(QStringLiteral("later.csv"), Path("out/dangling.csv")));
    EXPECT_EQ(Tables(Path("out/dangling.csv")).exitCode, 2);
    EXPECT_TRUE(S_ISLNK(StatOf(Path("out/dangling.csv"), false).st_mode));
    EXPECT_EQ(Contents(Path("out/later.csv")), Expected("table-export-all.csv"));
}

TEST_F(BatchOutput, DevicesFifosAndStandardOutputAreWrittenThrough) {
    // As root a rename over /dev/null would make it a regular file for the whole machine.
    const CBatchProcess null = Tables(QStringLiteral("/dev/null"));
    EXPECT_EQ(null.exitCode, 2) << null;
    EXPECT_TRUE(S_ISCHR(StatOf(QStringLiteral("/dev/null")).st_mode));

    const QString fifo = Path("out/pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    std::future<QByteArray> reader = std::async(std::launch::async, [fifo] {
        QFile file(fifo);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    });
    const CBatchProcess throughFifo = Tables(fifo);
    EXPECT_EQ(throughFifo.exitCode, 2) << throughFifo;
    EXPECT_EQ(reader.get(), Expected("table-export-all.csv"));
    EXPECT_TRUE(S_ISFIFO(StatOf(fifo).st_mode));
    EXPECT_EQ(OutputFolder(), QStringList{QStringLiteral("pipe")});

    // /dev/stdout names the tool's own standard output, here the test's pipe; "-" says so too.
    for (const QString& name : {QStringLiteral("/dev/stdout"), QStringLiteral("-")}) {
        const CBatchProcess toOutput = Tables(name);
        EXPECT_EQ(toOutput.exitCode, 2) << toOutput;
        EXPECT_EQ(toOutput.out, Expected("table-export-all.csv")) << name.toStdString();
    }
    EXPECT_TRUE(S_ISLNK(StatOf(QStringLiteral("/dev/stdout"), false).st_mode));
}

TEST_F(BatchOutput, TheDatabaseOfASideIsNeverWrittenOver) {
    const QByteArray database = Contents(s_leftDatabase);
    ASSERT_FALSE(database.isEmpty());
    // Under its own name, and through a link to it.
    ASSERT_TRUE(QFile::link(s_leftDatabase, Path("out/db-link")));
    for (const QString& target : {s_leftDatabase, Path("out/db-link")}) {
        const CBatchProcess run = Tables(target);
        EXPECT_EQ(run.exitCode, 1) << run;
        EXPECT_EQ(run.err, ("'" + target +
                            "' is the database of OutLeft: Quorvix does not write "
                            "over it. Choose another file.\n")
                               .toUtf8());
        EXPECT_EQ(Contents(s_leftDatabase), database);
    }
    const CBatchProcess structure =
        Run({QStringLiteral("structure"), QStringLiteral("T1"), QStringLiteral("--side"),
             QStringLiteral("left"), QStringLiteral("--left"), kLeft, QStringLiteral("-o"),
             s_leftDatabase});
    EXPECT_EQ(structure.exitCode, 1) << structure;
    EXPECT_EQ(Contents(s_leftDatabase), database);
}

TEST_F(BatchOutput, ColumnsWithNothingToWriteLeaveTheTargetAlone) {
    const QString report = Path("out/report.csv");
    Write(report, "a report of yesterday");
    const CBatchProcess same =
        Run({QStringLiteral("columns"), QStringLiteral("SAME"), QStringLiteral("--left"), kLeft,
             QStringLiteral("--right"), kRight, QStringLiteral("-o"), report});
    EXPECT_EQ(same.exitCode, 0) << same;
    EXPECT_EQ(same.err, ("Table \"SAME\" is the same on both sides.\nNo column comparison to "
                         "write: '" +
                         report + "' was left as it was.\n")
                            .toUtf8());
    EXPECT_EQ(Contents(report), "a report of yesterday");

    for (const QString& target : {report, QStringLiteral("/dev/null")}) {
        const CBatchProcess oneSide =
            Run({QStringLiteral("columns"), QStringLiteral("LONLY"), QStringLiteral("--left"),
                 kLeft, QStringLiteral("--right"), kRight, QStringLiteral("-o"), target});
        EXPECT_EQ(oneSide.exitCode, 2) << oneSide;
    }
    EXPECT_EQ(Contents(report), "a report of yesterday");
    EXPECT_TRUE(S_ISCHR(StatOf(QStringLiteral("/dev/null")).st_mode));
    // The database of a side is refused before anything is compared.
    const QByteArray database = Contents(s_leftDatabase);
    const CBatchProcess onDatabase =
        Run({QStringLiteral("columns"), QStringLiteral("SAME"), QStringLiteral("--left"), kLeft,
             QStringLiteral("--right"), kRight, QStringLiteral("-o"), s_leftDatabase});
    EXPECT_EQ(onDatabase.exitCode, 1) << onDatabase;
    EXPECT_EQ(Contents(s_leftDatabase), database);
}

TEST_F(BatchOutput, AFailedExportLeavesNothingAtTheTargetNorBesideIt) {
    COdbcTestEnvironment::AddSqliteDataSource(
        QStringLiteral("OutZloty"), QStringLiteral("CREATE TABLE \"Z\u0141OTY_\u20AC\" (p INT);"
                                                   "CREATE TABLE AAA (a INT);"));
    const QString fresh = Path("out/fresh.csv");
    const QString existing = Path("out/existing.csv");
    Write(existing, "kept");
    for (const QString& target : {fresh, existing}) {
        const CBatchProcess run =
            Run({QStringLiteral("tables"), QStringLiteral("--left"), kLeft,
                 QStringLiteral("--right"), QStringLiteral("OutZloty"), QStringLiteral("-o"),
                 target, QStringLiteral("--lang"), QStringLiteral("fr")});
        EXPECT_EQ(run.exitCode, 1) << run;
        // The character, its name or value and the line, in the user's language.
        EXPECT_EQ(QString::fromUtf8(run.err),
                  QStringLiteral("La ligne 12 de « %1 » contient « Z\u0141OTY_\u20AC », dont le "
                                 "caractère U+0141 (\u0141) ne peut pas être écrit en ISO 8859-1 ; "
                                 "l'encodage UTF-8 peut l'écrire.\n")
                      .arg(target));
    }
    EXPECT_FALSE(QFile::exists(fresh));
    EXPECT_EQ(Contents(existing), "kept");
    EXPECT_EQ(OutputFolder(), QStringList{QStringLiteral("existing.csv")});

    // A full device: the same, in English.
    const CBatchProcess full = Tables(QStringLiteral("/dev/full"));
    EXPECT_EQ(full.exitCode, 1) << full;
    EXPECT_EQ(full.err, "Disk full while accessing /dev/full.\n");
}

// A write that fails says what happened, in the system's words: a standard output closed by the
// caller (which no file opened meanwhile may stand in for), a name longer than the system allows,
// a folder that is not there. Only a full disk is called one.
TEST_F(BatchOutput, AFailedWriteSaysWhatHappened) {
    const auto closedOutput = [this](const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
        variables.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        variables.insert(QStringLiteral("TMP"), Path("results"));
        process.setProcessEnvironment(variables);
        process.start(QStringLiteral("/bin/sh"),
                      QStringList{QStringLiteral("-c"), QStringLiteral("exec \"$0\" \"$@\" >&-"),
                                  CBatchProcess::Program()} +
                          arguments);
        CBatchProcess run;
        EXPECT_TRUE(process.waitForFinished(120000));
        run.Collect(process);
        return run;
    };
    const QString closedText =
        QStringLiteral("Cannot write to standard output: Bad file descriptor.\n");
    const CBatchProcess tables = closedOutput({QStringLiteral("tables"), QStringLiteral("--left"),
                                               kLeft, QStringLiteral("--right"), kRight});
    EXPECT_EQ(tables.exitCode, 1) << tables;
    EXPECT_EQ(QString::fromLocal8Bit(tables.err), closedText);
    const CBatchProcess sources = closedOutput({QStringLiteral("list-sources")});
    EXPECT_EQ(sources.exitCode, 1) << sources;
    EXPECT_EQ(QString::fromLocal8Bit(sources.err), closedText);

    const QString tooLong = Path("out/") + QString(300, QLatin1Char('x')) + QStringLiteral(".csv");
    const CBatchProcess longName = Tables(tooLong);
    EXPECT_EQ(longName.exitCode, 1) << longName;
    EXPECT_EQ(QString::fromLocal8Bit(longName.err),
              QStringLiteral("Cannot write to %1: File name too long.\n").arg(tooLong));
    const QString nowhere = Path("out/missing/file.csv");
    const CBatchProcess missing = Tables(nowhere);
    EXPECT_EQ(QString::fromLocal8Bit(missing.err),
              QStringLiteral("Cannot write to %1: No such file or directory.\n").arg(nowhere));
    EXPECT_EQ(OutputFolder(), QStringList());
}

// UTF-8 writes what Latin-1 cannot, and for Latin-1 names it is the same file re-encoded after a
// byte order mark, in every layout.
TEST_F(BatchOutput, Utf8IsTheLatin1FileReEncodedAfterAByteOrderMark) {
    COdbcTestEnvironment::AddSqliteDataSource(
        QStringLiteral("OutAccents"),
        QStringLiteral("CREATE TABLE T1 (C2 INT, \"Caf\u00E9\" VARCHAR(5)); CREATE TABLE SAME (a "
                       "INT); CREATE TABLE \"\u00C9t\u00E9\" (y INT);"));
    const QStringList sides{QStringLiteral("--left"),  kLeft,
                            QStringLiteral("--right"), QStringLiteral("OutAccents"),
                            QStringLiteral("--set"),   QStringLiteral("24"),
                            QStringLiteral("--lang"),  QStringLiteral("fr")};
    const QList<QStringList> commands{
        QStringList{QStringLiteral("tables")} + sides,
        QStringList{QStringLiteral("columns"), QStringLiteral("T1")} + sides,
        {QStringLiteral("structure"), QStringLiteral("T1"), QStringLiteral("--side"),
         QStringLiteral("right"), QStringLiteral("--right"), QStringLiteral("OutAccents")}};
    for (const QStringList& command : commands) {
        const CBatchProcess latin1 = Run(command);
        const CBatchProcess utf8 =
            Run(QStringList(command) << QStringLiteral("--encoding") << QStringLiteral("utf-8"));
        ASSERT_NE(latin1.exitCode, 1) << latin1;
        EXPECT_EQ(utf8.exitCode, latin1.exitCode) << utf8;
        EXPECT_TRUE(latin1.out.contains('\xE9')) << latin1;
        EXPECT_EQ(utf8.out, "\xEF\xBB\xBF" + QString::fromLatin1(latin1.out).toUtf8())
            << command.join(' ').toStdString();
    }

    const CBatchProcess euro =
        Run({QStringLiteral("tables"), QStringLiteral("--left"), kLeft, QStringLiteral("--right"),
             kLeft, QStringLiteral("--left-name"), QStringLiteral("Prod \u2013 main"),
             QStringLiteral("--encoding"), QStringLiteral("utf-8")});
    EXPECT_EQ(euro.exitCode, 0) << euro;
    EXPECT_TRUE(euro.out.contains(">;only in Prod \xE2\x80\x93 main\r\n")) << euro;
    EXPECT_EQ(
        Run({QStringLiteral("tables"), QStringLiteral("--encoding"), QStringLiteral("utf-16")})
            .exitCode,
        1);
}

TEST_F(BatchOutput, ArgumentsKeepALeadingByteOrderMarkAndMatchCaseAToZOnly) {
    COdbcTestEnvironment::AddSqliteDataSource(
        QStringLiteral("OutMarks"), QStringLiteral("CREATE TABLE \"\uFEFFT\" (marked INT);"
                                                   "CREATE TABLE T (plain INT);"
                                                   "CREATE TABLE \"\u00C9T\u00C9\" (e INT);"));
    const auto structure = [this](const QString& table) {
        return Run({QStringLiteral("structure"), table, QStringLiteral("--side"),
                    QStringLiteral("left"), QStringLiteral("--left"), QStringLiteral("OutMarks")});
    };
    EXPECT_EQ(structure(QStringLiteral("\uFEFFT")).out, "marked;INT\r\n\r\n\r\n");
    EXPECT_EQ(structure(QStringLiteral("T")).out, "plain;INT\r\n\r\n\r\n");
    EXPECT_EQ(structure(QStringLiteral("\u00C9t\u00C9")).out, "e;INT\r\n\r\n\r\n");
    // Only A-Z fold: é is not É to the program, so the table is not found.
    EXPECT_EQ(structure(QStringLiteral("\u00E9T\u00E9")).exitCode, 1);
}

TEST_F(BatchOutput, ColumnOptionsWithoutAnyShownStatusAreRefused) {
    // Without type details no column differs: bit 14 alone writes a legend and nothing else.
    const CBatchProcess run =
        Run({QStringLiteral("columns"), QStringLiteral("T1"), QStringLiteral("--left"), kLeft,
             QStringLiteral("--right"), kRight, QStringLiteral("--clear"), QStringLiteral("11"),
             QStringLiteral("--clear"), QStringLiteral("12"), QStringLiteral("--clear"),
             QStringLiteral("13"), QStringLiteral("-o"), Path("out/columns.csv")});
    EXPECT_EQ(run.exitCode, 1) << run;
    EXPECT_FALSE(run.err.isEmpty());
    EXPECT_EQ(OutputFolder(), QStringList());
}

// A driver call that never returns (here the driver manager opening a data source list that
// nobody opens from the other end) cannot be cancelled: the tool still ends on a second signal,
// or on the first alone once its grace has passed, with 128 + the first signal's number while
// the call still waits, and leaves nothing behind. How soon is a figure of bench/stop_bench.
TEST_F(BatchOutput, ASecondSignalOrTwoSecondsEndAHungRunAtOnce) {
    const QString neverEnding = Path("never-ending.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(neverEnding).constData(), 0600), 0);
    for (const bool twice : {true, false}) {
        QProcess process;
        CBatchProcess::Start(
            process,
            {QStringLiteral("tables"), QStringLiteral("--left"), kLeft, QStringLiteral("--right"),
             kRight, QStringLiteral("-o"), Path("out/hung.csv")},
            {QStringLiteral("TMP=") + Path("results"), QStringLiteral("ODBCINI=") + neverEnding});
        ASSERT_TRUE(process.waitForStarted());
        ASSERT_TRUE(WaitForEvent([&process] {
            return WaitsToOpenAFifo(process.processId()) || process.state() == QProcess::NotRunning;
        }));
        ASSERT_EQ(process.state(), QProcess::Running) << "the run should hang on the list";
        ::kill(pid_t(process.processId()), twice ? SIGINT : SIGTERM);
        if (twice) {
            // Sent while the first still waited to be taken, the second would merge with it.
            ASSERT_TRUE(
                WaitForEvent([&process] { return !IsSignalPending(process.processId(), SIGINT); }));
            ::kill(pid_t(process.processId()), SIGINT);
        }
        ASSERT_TRUE(process.waitForFinished(kEventLimitMs));
        CBatchProcess run;
        run.Collect(process);
        EXPECT_EQ(run.exitCode, twice ? 130 : 143) << run;
        EXPECT_TRUE(run.err.contains("Stopped at once")) << run;
        EXPECT_EQ(OutputFolder(), QStringList());
    }
}

// Killed at any moment, the tool leaves either nothing or the whole file: never a part of it,
// under the final name or a hidden one.
TEST_F(BatchOutput, KilledAtAnyMomentLeavesTheWholeFileOrNothing) {
    QString sql = QStringLiteral("BEGIN;");
    for (int table = 0; table < 1500; ++table)
        sql += QStringLiteral("CREATE TABLE T%1 (A INT, B VARCHAR(10));").arg(table);
    sql += QStringLiteral("COMMIT;");
    COdbcTestEnvironment::AddSqliteDataSource(QStringLiteral("OutKilled"), sql);
    const QStringList arguments{QStringLiteral("tables"),
                                QStringLiteral("--left"),
                                QStringLiteral("OutKilled"),
                                QStringLiteral("--right"),
                                kRight,
                                QStringLiteral("-o"),
                                Path("out/killed.csv")};
    const CBatchProcess whole = Run(arguments);
    ASSERT_EQ(whole.exitCode, 2) << whole;
    const QByteArray complete = Contents(Path("out/killed.csv"));
    for (int delay = 40; delay <= 400; delay += 45) {
        QFile::remove(Path("out/killed.csv"));
        QProcess process;
        CBatchProcess::Start(process, arguments, {QStringLiteral("TMP=") + Path("results")});
        ASSERT_TRUE(process.waitForStarted());
        QThread::msleep(delay);
        ::kill(pid_t(process.processId()), SIGKILL);
        process.waitForFinished(kEventLimitMs);
        const QStringList left = OutputFolder();
        EXPECT_TRUE(left.isEmpty() || left == QStringList{QStringLiteral("killed.csv")})
            << left.join(' ').toStdString();
        if (!left.isEmpty()) {
            EXPECT_EQ(Contents(Path("out/killed.csv")), complete) << "killed after " << delay;
        }
    }
}

} // namespace
