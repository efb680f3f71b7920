#include "batch/BatchProcess.h"

#include "EventWait.h"
#include "export/ExpectedFiles.h"
#include "odbc/OdbcTestEnvironment.h"
#include "runs/HeldDictionaryLock.h"
#include "runs/OpenFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>

namespace {

const QString kLeft = QStringLiteral("ExpLeft");
const QString kRight = QStringLiteral("ExpRight");
const QString kPostgres = QStringLiteral("QuorvixPostgres");
const QString kMariaDb = QStringLiteral("QuorvixMariaDB");

// The tool run as a CI job would run it, on the SQLite sides of the table layout's expected
// files: T1 differs (C1 only left, C2 same, C3 only right), SAME is the same, LONLY and "R;ONLY"
// are on one side each.
class BatchTool : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!COdbcTestEnvironment::HasDataSource(kLeft))
            COdbcTestEnvironment::AddSqliteDataSource(
                kLeft, QStringLiteral("CREATE TABLE T1 (C1 INT, C2 INT); CREATE TABLE SAME (a INT);"
                                      "CREATE TABLE LONLY (x INT);"));
        if (!COdbcTestEnvironment::HasDataSource(kRight))
            COdbcTestEnvironment::AddSqliteDataSource(
                kRight,
                QStringLiteral("CREATE TABLE T1 (C2 INT, C3 INT); CREATE TABLE SAME (a INT);"
                               "CREATE TABLE \"R;ONLY\" (y INT);"));
    }
    void SetUp() override {
        ASSERT_TRUE(m_tmp.isValid());
        QDir(m_tmp.path()).mkdir(QStringLiteral("results"));
    }

    QString Path(const char* name) const { return m_tmp.filePath(QLatin1String(name)); }
    // The result files' folder of the tool, private to the test.
    QStringList Environment() const { return {QStringLiteral("TMP=") + Path("results")}; }
    CBatchProcess Run(QStringList arguments) const {
        return CBatchProcess::Run(arguments, Environment());
    }
    // Every file the tool left in the output folder, hidden ones included.
    QStringList FilesIn(const QString& folder) const {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

    QTemporaryDir m_tmp;
};

TEST_F(BatchTool, ExitCodeTellsWhetherTheStatusesTheExportSelectsDiffer) {
    const QString path = Path("tables.csv");
    const CBatchProcess different =
        Run({QStringLiteral("tables"), QStringLiteral("--left"), kLeft, QStringLiteral("--right"),
             kRight, QStringLiteral("-o"), path});
    EXPECT_EQ(different.exitCode, 2) << different;
    EXPECT_EQ(Contents(path), Expected("table-export-all.csv"));
    EXPECT_EQ(different.err, "1 same, 1 only in ExpLeft, 1 only in ExpRight, 1 different\n");
    EXPECT_TRUE(different.out.isEmpty());

    // The same bytes on standard output; --quiet prints nothing else.
    const CBatchProcess toOutput =
        Run({QStringLiteral("tables"), QStringLiteral("--left=") + kLeft,
             QStringLiteral("--right=") + kRight, QStringLiteral("--quiet")});
    EXPECT_EQ(toOutput.exitCode, 2) << toOutput;
    EXPECT_EQ(toOutput.out, Expected("table-export-all.csv"));
    EXPECT_TRUE(toOutput.err.isEmpty()) << toOutput;

    const CBatchProcess same = Run({QStringLiteral("tables"), QStringLiteral("--left"), kLeft,
                                    QStringLiteral("--right"), kLeft});
    EXPECT_EQ(same.exitCode, 0) << same;

    // Differences whose status the export leaves out do not count.
    const CBatchProcess unselected =
        Run({QStringLiteral("tables"), QStringLiteral("--left"), kLeft, QStringLiteral("--right"),
             kRight, QStringLiteral("--clear"), QStringLiteral("4"), QStringLiteral("--clear"),
             QStringLiteral("5"), QStringLiteral("--clear"), QStringLiteral("6")});
    EXPECT_EQ(unselected.exitCode, 0) << unselected;
    EXPECT_TRUE(unselected.out.endsWith("\r\n\r\n\r\n=;SAME\r\n")) << unselected;
}

// Sides whose columns differ only in their attributes are the same until bit 27 compares them;
// then the table differs, and the columns command writes its different columns without the
// type comparison.
TEST_F(BatchTool, AttributesAloneDifferWithTheirBit) {
    const QString left = QStringLiteral("BatchAttrLeft");
    const QString right = QStringLiteral("BatchAttrRight");
    if (!COdbcTestEnvironment::HasDataSource(left)) {
        COdbcTestEnvironment::AddSqliteDataSource(
            left, QStringLiteral("CREATE TABLE T (id INT NOT NULL, v TEXT DEFAULT 'a');"));
        COdbcTestEnvironment::AddSqliteDataSource(
            right, QStringLiteral("CREATE TABLE T (id INT, v TEXT DEFAULT 'b');"));
    }
    const QStringList sides{QStringLiteral("--left"), left, QStringLiteral("--right"), right};
    const CBatchProcess same = Run(QStringList{QStringLiteral("tables")} + sides);
    EXPECT_EQ(same.exitCode, 0) << same;
    EXPECT_TRUE(same.out.endsWith("\r\n\r\n\r\n=;T\r\n")) << same;

    const QStringList attributes{QStringLiteral("--set"), QStringLiteral("27")};
    const CBatchProcess tables = Run(QStringList{QStringLiteral("tables")} + sides + attributes);
    EXPECT_EQ(tables.exitCode, 2) << tables;
    EXPECT_TRUE(tables.out.endsWith("\r\n\r\n\r\n<>;T\r\n;;<>;id;NOT NULL | NULL;10;NULL\r\n"
                                    ";;<>;v;NULL;10;a | b\r\n"))
        << tables;
    const CBatchProcess columns =
        Run(QStringList{QStringLiteral("columns"), QStringLiteral("T")} + sides + attributes);
    EXPECT_EQ(columns.exitCode, 2) << columns;
    EXPECT_TRUE(columns.out.endsWith("\r\n\r\n\r\n<>;id;NOT NULL | NULL;10;NULL\r\n"
                                     "<>;v;NULL;10;a | b\r\n"))
        << columns;
}

// A table that differs only by an index is the same until bit 26 compares indexes; then both
// commands find a difference (exit code 2) and write the index line.
TEST_F(BatchTool, IndexesAloneDifferWithTheirBit) {
    const QString left = QStringLiteral("BatchIdxLeft");
    const QString right = QStringLiteral("BatchIdxRight");
    if (!COdbcTestEnvironment::HasDataSource(left)) {
        COdbcTestEnvironment::AddSqliteDataSource(
            left, QStringLiteral("CREATE TABLE T (id INT, v TEXT); CREATE INDEX ix_v ON T (v);"));
        COdbcTestEnvironment::AddSqliteDataSource(
            right, QStringLiteral("CREATE TABLE T (id INT, v TEXT);"));
    }
    const QStringList sides{QStringLiteral("--left"), left, QStringLiteral("--right"), right};
    const CBatchProcess same = Run(QStringList{QStringLiteral("tables")} + sides);
    EXPECT_EQ(same.exitCode, 0) << same;
    EXPECT_TRUE(same.out.endsWith("\r\n\r\n\r\n=;T\r\n")) << same;

    const QStringList indexes{QStringLiteral("--set"), QStringLiteral("26")};
    const CBatchProcess tables = Run(QStringList{QStringLiteral("tables")} + sides + indexes);
    EXPECT_EQ(tables.exitCode, 2) << tables;
    EXPECT_TRUE(tables.out.endsWith("\r\n\r\n\r\n<>;T\r\n;;=;id\r\n;;=;v\r\n"
                                    ";;>;ix_v;INDEX;not unique;v\r\n"))
        << tables;
    const CBatchProcess columns =
        Run(QStringList{QStringLiteral("columns"), QStringLiteral("T")} + sides + indexes);
    EXPECT_EQ(columns.exitCode, 2) << columns;
    EXPECT_TRUE(columns.out.endsWith("\r\n\r\n\r\n=;id\r\n=;v\r\n"
                                     ">;ix_v;INDEX;not unique;v\r\n"))
        << columns;
}

TEST_F(BatchTool, ProgressLineOnlyOnATerminal) {
    // script(1) gives the tool a terminal; the run above showed that a pipe gets none.
    const QString command = QStringLiteral("'%1' tables --left ExpLeft --right ExpRight -o '%2'")
                                .arg(CBatchProcess::Program(), Path("tty.csv"));
    QProcess terminal;
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    variables.insert(QStringLiteral("TMP"), Path("results"));
    variables.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    terminal.setProcessEnvironment(variables);
    terminal.start(QStringLiteral("script"),
                   {QStringLiteral("-qec"), command, QStringLiteral("/dev/null")});
    ASSERT_TRUE(terminal.waitForFinished(kEventLimitMs));
    const QByteArray shown = terminal.readAllStandardOutput();
    EXPECT_EQ(terminal.exitCode(), 2) << shown.toStdString();
    EXPECT_TRUE(shown.contains("\r[  0%] 0/4 ")) << shown.toStdString();
    // The line is cleared before the counts.
    EXPECT_TRUE(shown.contains("\r\033[K1 same, 1 only in ExpLeft")) << shown.toStdString();
    EXPECT_EQ(Contents(Path("tty.csv")), Expected("table-export-all.csv"));
}

TEST_F(BatchTool, ColumnsOfADifferentTableAndTheStructureOfATable) {
    const CBatchProcess columns =
        Run({QStringLiteral("columns"), QStringLiteral("t1"), QStringLiteral("--left"), kLeft,
             QStringLiteral("--right"), kRight, QStringLiteral("--lang"), QStringLiteral("fr")});
    EXPECT_EQ(columns.exitCode, 2) << columns;
    EXPECT_TRUE(columns.out.startsWith("=;identique\r\n>;uniquement dans ExpLeft\r\n")) << columns;
    EXPECT_TRUE(columns.out.endsWith("\r\n\r\n\r\n>;C1\r\n=;C2\r\n<;C3\r\n")) << columns;
    EXPECT_EQ(columns.err, "1 identique(s), 1 uniquement dans ExpLeft, 1 uniquement dans ExpRight, "
                           "0 différent(s)\n");

    // Only a different table has its columns compared.
    const CBatchProcess same =
        Run({QStringLiteral("columns"), QStringLiteral("SAME"), QStringLiteral("--left"), kLeft,
             QStringLiteral("--right"), kRight, QStringLiteral("-o"), Path("same.csv")});
    EXPECT_EQ(same.exitCode, 0) << same;
    EXPECT_TRUE(same.err.startsWith("Table \"SAME\" is the same on both sides.\n")) << same;
    const CBatchProcess oneSide =
        Run({QStringLiteral("columns"), QStringLiteral("R;ONLY"), QStringLiteral("--left"), kLeft,
             QStringLiteral("--right"), kRight, QStringLiteral("-o"), Path("one.csv")});
    EXPECT_EQ(oneSide.exitCode, 2) << oneSide;
    EXPECT_TRUE(oneSide.err.contains("only in ExpRight")) << oneSide;
    const CBatchProcess missing =
        Run({QStringLiteral("columns"), QStringLiteral("NOPE"), QStringLiteral("--left"), kLeft,
             QStringLiteral("--right"), kRight, QStringLiteral("-o"), Path("missing.csv")});
    EXPECT_EQ(missing.exitCode, 1) << missing;
    EXPECT_EQ(missing.err, "Table \"NOPE\" exists on neither side.\n");
    EXPECT_FALSE(QFile::exists(Path("same.csv")) || QFile::exists(Path("one.csv")) ||
                 QFile::exists(Path("missing.csv")));

    const CBatchProcess structure =
        Run({QStringLiteral("structure"), QStringLiteral("R;ONLY"), QStringLiteral("--side"),
             QStringLiteral("right"), QStringLiteral("--right"), kRight});
    EXPECT_EQ(structure.exitCode, 0) << structure;
    EXPECT_EQ(structure.out, "y;INT\r\n\r\n\r\n");
    const CBatchProcess notThere =
        Run({QStringLiteral("structure"), QStringLiteral("R;ONLY"), QStringLiteral("--side"),
             QStringLiteral("left"), QStringLiteral("--left"), kLeft});
    EXPECT_EQ(notThere.exitCode, 1) << notThere;
    EXPECT_EQ(notThere.err, "Table \"R;ONLY\" does not exist in ExpLeft.\n");
}

TEST_F(BatchTool, HtmlReportOfEveryCommandInTheChosenLanguage) {
    const QStringList sides{QStringLiteral("--left"), kLeft, QStringLiteral("--right"), kRight};
    const CBatchProcess tables =
        Run(QStringList{QStringLiteral("tables"), QStringLiteral("--format"),
                        QStringLiteral("html"), QStringLiteral("-o"), Path("tables.html")}
            << sides);
    // The exit code and the counts are those of the CSV run.
    EXPECT_EQ(tables.exitCode, 2) << tables;
    EXPECT_EQ(tables.err, "1 same, 1 only in ExpLeft, 1 only in ExpRight, 1 different\n");
    const QByteArray report = Contents(Path("tables.html"));
    EXPECT_TRUE(report.startsWith("<!DOCTYPE html>\n<html lang=\"en\""))
        << report.left(200).toStdString();
    EXPECT_TRUE(report.contains("<title>Tables - ExpLeft / ExpRight</title>"));
    EXPECT_TRUE(report.contains("<details><summary>T1</summary>"));
    EXPECT_TRUE(report.endsWith("</html>\n"));

    const CBatchProcess columns =
        Run(QStringList{QStringLiteral("columns"), QStringLiteral("T1"), QStringLiteral("--lang"),
                        QStringLiteral("fr"), QStringLiteral("--format=html")}
            << sides);
    EXPECT_EQ(columns.exitCode, 2) << columns;
    EXPECT_TRUE(columns.out.startsWith("<!DOCTYPE html>\n<html lang=\"fr\"")) << columns;
    EXPECT_TRUE(columns.out.contains("<title>Champs de T1 - ExpLeft / ExpRight</title>"));
    EXPECT_TRUE(columns.out.contains("<tr class=s1><td>uniquement dans ExpLeft<td>C1<tr>"));

    const CBatchProcess structure =
        Run({QStringLiteral("structure"), QStringLiteral("R;ONLY"), QStringLiteral("--side"),
             QStringLiteral("right"), QStringLiteral("--right"), kRight, QStringLiteral("--format"),
             QStringLiteral("html")});
    EXPECT_EQ(structure.exitCode, 0) << structure;
    EXPECT_TRUE(structure.out.contains("<title>R;ONLY (right: ExpRight)</title>")) << structure;
    EXPECT_TRUE(structure.out.contains("<tr><td>y<td>INT</tbody>")) << structure;

    const CBatchProcess unknown =
        Run(QStringList{QStringLiteral("tables"), QStringLiteral("--format"), QStringLiteral("pdf")}
            << sides);
    EXPECT_EQ(unknown.exitCode, 1) << unknown;
    EXPECT_TRUE(unknown.err.startsWith("Invalid value for --format: pdf")) << unknown;
}

TEST_F(BatchTool, ServerSidesAreChosenAsTheOwnerComboShowsThem) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    QUORVIX_REQUIRE_DATA_SOURCE(kMariaDb);
    const CBatchProcess owners = Run({QStringLiteral("list-owners"), kPostgres});
    EXPECT_EQ(owners.exitCode, 0) << owners;
    const QList<QByteArray> listed = owners.out.split('\n');
    EXPECT_TRUE(listed.contains("quorvix.s1") && listed.contains("quorvix.Sales")) << owners;
    // The combo's order: case ignored, an equal text after the one before it.
    EXPECT_LT(listed.indexOf("quorvix.s1"), listed.indexOf("quorvix.Sales"));

    const CBatchProcess unchosen = Run({QStringLiteral("tables"), QStringLiteral("--left"),
                                        kPostgres, QStringLiteral("--right"), kMariaDb});
    EXPECT_EQ(unchosen.exitCode, 1) << unchosen;
    EXPECT_TRUE(unchosen.err.startsWith("QuorvixPostgres offers several owners; choose one with "
                                        "--left-owner: "))
        << unchosen;

    const CBatchProcess schemas = Run(
        {QStringLiteral("tables"), QStringLiteral("--left"), kPostgres, QStringLiteral("--right"),
         kPostgres, QStringLiteral("--left-owner"), QStringLiteral("quorvix.s1"),
         QStringLiteral("--right-owner"), QStringLiteral("quorvix.s2")});
    EXPECT_EQ(schemas.exitCode, 2) << schemas;
    EXPECT_TRUE(schemas.out.contains(">;only in QuorvixPostgres (quorvix.s1)\r\n")) << schemas;

    const CBatchProcess maria =
        Run({QStringLiteral("tables"), QStringLiteral("--left"), kMariaDb,
             QStringLiteral("--right"), kMariaDb, QStringLiteral("--left-owner"),
             QStringLiteral("quorvix_a"), QStringLiteral("--right-owner"),
             QStringLiteral("quorvix_a"), QStringLiteral("--left-name"), QStringLiteral("PROD"),
             QStringLiteral("--right-name"), QStringLiteral("STAGING")});
    EXPECT_EQ(maria.exitCode, 0) << maria;
    EXPECT_TRUE(maria.out.startsWith("=;same\r\n>;only in PROD\r\n<;only in STAGING\r\n")) << maria;

    const CBatchProcess wrongOwner = Run(
        {QStringLiteral("tables"), QStringLiteral("--left"), kMariaDb, QStringLiteral("--right"),
         kLeft, QStringLiteral("--left-owner"), QStringLiteral("nobody")});
    EXPECT_EQ(wrongOwner.exitCode, 1) << wrongOwner;
    EXPECT_TRUE(wrongOwner.err.startsWith("QuorvixMariaDB offers no owner \"nobody\"; it offers: "))
        << wrongOwner;
}

// A PostgreSQL database whose one schema is off the search path: its statements name that
// schema, whether the owner is left out or given, and a snapshot of it compares as it does.
TEST_F(BatchTool, TheOneOwnerOfADataSourceQualifiesItsStatements) {
    const QString erp = QStringLiteral("QuorvixPostgresErp");
    QUORVIX_REQUIRE_DATA_SOURCE(erp);
    const QStringList sides{QStringLiteral("--left"), erp, QStringLiteral("--right"), erp};
    const CBatchProcess owners = Run({QStringLiteral("list-owners"), erp});
    EXPECT_EQ(owners.out, "quorvix_erp.erp\n") << owners;

    for (const QStringList& owner :
         {QStringList{}, QStringList{QStringLiteral("--left-owner"), "quorvix_erp.erp",
                                     QStringLiteral("--right-owner"), "quorvix_erp.erp"}}) {
        const CBatchProcess dictionary =
            Run(QStringList{QStringLiteral("dictionary"), QStringLiteral("--set"),
                            QStringLiteral("19")} +
                sides + owner);
        EXPECT_EQ(dictionary.exitCode, 0) << dictionary;
        EXPECT_TRUE(dictionary.out.contains("\r\n=;AN8;N;8;NUMB;0;0\r\n=;CDEC;S;")) << dictionary;
        const CBatchProcess structure =
            Run(QStringList{QStringLiteral("structure"), QStringLiteral("f4101"),
                            QStringLiteral("--side"), QStringLiteral("left")} +
                sides + owner);
        EXPECT_EQ(structure.exitCode, 0) << structure;
        EXPECT_TRUE(structure.out.startsWith("imitm;int4\r\n")) << structure;
    }
    const QString snapshot = Path("erp.qvsnap");
    const CBatchProcess taken = Run({QStringLiteral("snapshot"), QStringLiteral("--source"), erp,
                                     QStringLiteral("-o"), snapshot});
    ASSERT_EQ(taken.exitCode, 0) << taken;
    const CBatchProcess fromSnapshot =
        Run({QStringLiteral("dictionary"), QStringLiteral("--set"), QStringLiteral("19"),
             QStringLiteral("--left-snapshot"), snapshot, QStringLiteral("--right"), erp});
    EXPECT_EQ(fromSnapshot.exitCode, 0) << fromSnapshot;
}

TEST_F(BatchTool, ErrorsExitWithOneAndSayWhy) {
    // A data source that does not exist: the driver manager's message, no file.
    const CBatchProcess missing =
        Run({QStringLiteral("tables"), QStringLiteral("--left"), QStringLiteral("NoSuchSource"),
             QStringLiteral("--right"), kRight, QStringLiteral("-o"), Path("never.csv")});
    EXPECT_EQ(missing.exitCode, 1) << missing;
    EXPECT_TRUE(missing.err.startsWith("Data source NoSuchSource cannot be opened.\nDriver: IM002"))
        << missing;
    EXPECT_FALSE(QFile::exists(Path("never.csv")));

    // A folder that does not exist.
    const QString unwritable = Path("no/such/folder/out.csv");
    const CBatchProcess folder =
        Run({QStringLiteral("tables"), QStringLiteral("--left"), kLeft, QStringLiteral("--right"),
             kRight, QStringLiteral("-o"), unwritable});
    EXPECT_EQ(folder.exitCode, 1) << folder;
    EXPECT_EQ(folder.err,
              ("Cannot write to " + unwritable + ": No such file or directory.\n").toUtf8());

    // A listing that cannot be written is an error too.
    QProcess full;
    full.setStandardOutputFile(QStringLiteral("/dev/full"));
    CBatchProcess::Start(full, {QStringLiteral("list-sources")}, Environment());
    ASSERT_TRUE(full.waitForFinished(kEventLimitMs));
    EXPECT_EQ(full.exitCode(), 1);
    EXPECT_EQ(full.readAllStandardError(), "Disk full while accessing standard output.\n");

    // Arguments the tool cannot use.
    for (const QStringList& arguments :
         {QStringList{QStringLiteral("tables"), QStringLiteral("--left"), kLeft},
          QStringList{QStringLiteral("compare")},
          QStringList{QStringLiteral("tables"), QStringLiteral("--set"), QStringLiteral("26")},
          QStringList{QStringLiteral("tables"), QStringLiteral("--frobnicate")},
          QStringList{QStringLiteral("tables"), QStringLiteral("--left"), kLeft,
                      QStringLiteral("--right"), kRight, QStringLiteral("--params"),
                      QStringLiteral("0")}}) {
        const CBatchProcess bad = Run(arguments);
        EXPECT_EQ(bad.exitCode, 1) << arguments.join(' ').toStdString() << "\n" << bad;
        EXPECT_FALSE(bad.err.isEmpty()) << arguments.join(' ').toStdString();
    }
}

TEST_F(BatchTool, HelpAndVersionInTheUsersLanguage) {
    const CBatchProcess english = Run({QStringLiteral("--help")});
    EXPECT_EQ(english.exitCode, 0);
    EXPECT_TRUE(english.out.startsWith("Usage: quorvix-batch COMMAND")) << english;
    EXPECT_TRUE(english.out.contains("Exit codes:\n  0 ")) << english;

    const CBatchProcess french =
        Run({QStringLiteral("--help"), QStringLiteral("--lang"), QStringLiteral("fr")});
    EXPECT_TRUE(french.out.startsWith("Utilisation : quorvix-batch COMMANDE")) << french;
    EXPECT_TRUE(french.out.contains("Codes de sortie :")) << french;

    // Without --lang, the regional settings choose, as they do for the window.
    const CBatchProcess regional =
        CBatchProcess::Run({QStringLiteral("--help")}, {QStringLiteral("LC_ALL=fr_FR.UTF-8")});
    EXPECT_EQ(regional.out, french.out);

    const CBatchProcess version = Run({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "quorvix-batch " QUORVIX_VERSION "\n");
}

TEST_F(BatchTool, InterruptDuringALargeTableRunLeavesNoFile) {
    QString sql = QStringLiteral("BEGIN;");
    for (int table = 0; table < 3000; ++table)
        sql += QStringLiteral("CREATE TABLE T%1 (A INT, B VARCHAR(10), C REAL);").arg(table);
    sql += QStringLiteral("COMMIT;");
    COdbcTestEnvironment::AddSqliteDataSource(QStringLiteral("BatchLarge"), sql);

    // Read table by table, as the settings may ask, the run lasts long enough to be
    // interrupted in the middle.
    const QString settings = Path("config/Ostrinel/quorvix.conf");
    QDir().mkpath(QFileInfo(settings).absolutePath());
    QFile store(settings);
    ASSERT_TRUE(store.open(QIODevice::WriteOnly));
    store.write("[Params]\nPerTableColumns=1\n");
    store.close();

    for (const int signal : {SIGINT, SIGTERM}) {
        const QString path = Path("large.csv");
        QProcess process;
        CBatchProcess::Start(process,
                             {QStringLiteral("tables"), QStringLiteral("--left"),
                              QStringLiteral("BatchLarge"), QStringLiteral("--right"),
                              QStringLiteral("BatchLarge"), QStringLiteral("--use-settings"),
                              QStringLiteral("-o"), path},
                             Environment() << QStringLiteral("XDG_CONFIG_HOME=") + Path("config"));
        ASSERT_TRUE(process.waitForStarted());
        // In the middle: the tables listed, the comparison writes its result file.
        ASSERT_TRUE(WaitForEvent([&process, this] {
            return !OpenDescriptorsIn(Path("results"), QStringLiteral("BFDB"), process.processId())
                        .isEmpty() ||
                   process.state() == QProcess::NotRunning;
        }));
        ASSERT_EQ(process.state(), QProcess::Running) << "the run ended before the signal";
        ::kill(pid_t(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished(kEventLimitMs));
        CBatchProcess run;
        run.Collect(process);
        // Cancelled: a run that went on to its end would say how the sides differ.
        EXPECT_EQ(run.exitCode, 130) << run;
        EXPECT_EQ(run.err, "Cancelled.\n") << run;
        EXPECT_EQ(FilesIn(m_tmp.path()), QStringList()) << "signal " << signal;
        EXPECT_FALSE(QFile::exists(path));
        EXPECT_EQ(FilesIn(Path("results")), QStringList());
    }
}

TEST_F(BatchTool, TerminateCancelsAQueryTheServerHolds) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    // The left side's sessions carry a name of their own, so that the test sees its read wait.
    const QString application =
        QStringLiteral("qvx_batch_held_%1").arg(QCoreApplication::applicationPid());
    COdbcTestEnvironment::AddDataSource(
        QStringLiteral("BatchHeldLeft"), true, QStringLiteral("PostgreSQL Unicode"),
        QStringLiteral("Servername=%1\nPort=%2\nDatabase=quorvix\nUsername=postgres\n"
                       "pqopt=application_name=%3")
            .arg(qEnvironmentVariable("QUORVIX_PG_SOCKETS"),
                 qEnvironmentVariable("QUORVIX_PG_PORT"), application));
    const CHeldDictionaryLock lock;
    ASSERT_TRUE(lock.IsHeld());
    QProcess process;
    CBatchProcess::Start(process,
                         {QStringLiteral("dictionary"), QStringLiteral("--left"),
                          QStringLiteral("BatchHeldLeft"), QStringLiteral("--left-owner"),
                          QStringLiteral("quorvix.stall"), QStringLiteral("--right"), kPostgres,
                          QStringLiteral("--right-owner"), QStringLiteral("quorvix.s1"),
                          QStringLiteral("-o"), Path("dd.csv")},
                         Environment());
    ASSERT_TRUE(process.waitForStarted());
    ASSERT_TRUE(WaitForEvent([&] {
        return CHeldDictionaryLock::IsWaitedForByApplication(application) ||
               process.state() == QProcess::NotRunning;
    }));
    ASSERT_EQ(process.state(), QProcess::Running) << "the dictionary read should wait for the lock";
    ::kill(pid_t(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(kEventLimitMs));
    // Ended while the lock was still held: the query was cancelled, not waited for.
    EXPECT_TRUE(lock.IsHeld());
    CBatchProcess run;
    run.Collect(process);
    EXPECT_EQ(run.exitCode, 130) << run;
    EXPECT_EQ(run.err, "Cancelled.\n");
    EXPECT_EQ(FilesIn(m_tmp.path()), QStringList());
}

} // namespace
