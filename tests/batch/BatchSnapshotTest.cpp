// quorvix-batch snapshot, and snapshots as sides: every command on a snapshot writes the bytes it
// writes on the data source the snapshot was taken of (under the same side names), on each
// driver; a bad file or a failed read is said and leaves nothing.
#include "batch/BatchProcess.h"

#include "compare/DictionaryTable.h"
#include "odbc/OdbcTestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QString kPostgres = QStringLiteral("QuorvixPostgres");
const QString kMariaDb = QStringLiteral("QuorvixMariaDB");

class BatchSnapshot : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const QString dictionary =
            QLatin1String(kDictionaryTable) +
            QStringLiteral("INSERT INTO F9210 VALUES ('AB', 'S', 1, 'X', 0, '0'),");
        if (COdbcTestEnvironment::HasDataSource(QStringLiteral("BatchSnapLeft")))
            return;
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("BatchSnapLeft"),
            dictionary + QStringLiteral("('LONG', 'SS', 3, 'VARCHAR', 1, '12');"
                                        "CREATE TABLE T1 (id INTEGER NOT NULL, v TEXT DEFAULT"
                                        " 'a;b', lonly INT); CREATE INDEX ix_v ON T1 (v);"
                                        "CREATE TABLE SAME (a INT); CREATE TABLE LONLY (x INT);"));
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("BatchSnapRight"),
            dictionary + QStringLiteral("('XY', 'S', 1, 'X', 0, '0');"
                                        "CREATE TABLE T1 (id INTEGER, v VARCHAR(9) DEFAULT 'a;c',"
                                        " ronly INT); CREATE INDEX ix_v ON T1 (v, id);"
                                        "CREATE TABLE SAME (a INT); CREATE TABLE RONLY (y INT);"));
    }
    void SetUp() override {
        ASSERT_TRUE(m_tmp.isValid());
        QDir(m_tmp.path()).mkdir(QStringLiteral("results"));
    }

    QString Path(const QString& name) const { return m_tmp.filePath(name); }
    CBatchProcess Run(const QStringList& arguments) const {
        return CBatchProcess::Run(arguments,
                                  {QStringLiteral("TMP=") + Path(QStringLiteral("results"))});
    }
    // A snapshot of a data source and owner; its path.
    QString Take(const QString& dataSource, const QString& owner, const QString& file) {
        QStringList arguments{QStringLiteral("snapshot"), QStringLiteral("--source"), dataSource,
                              QStringLiteral("-o"), Path(file)};
        if (!owner.isEmpty())
            arguments << QStringLiteral("--owner") << owner;
        const CBatchProcess taken = Run(arguments);
        EXPECT_EQ(taken.exitCode, 0) << taken;
        EXPECT_TRUE(taken.err.contains("written to")) << taken;
        return Path(file);
    }

    // Each command on the live pair, then on the snapshot pair and on both mixed pairs, with
    // the same side names and every comparison option: the same bytes and exit code.
    void ExpectEveryCommandAlike(const QString& left, const QString& leftOwner,
                                 const QString& right, const QString& rightOwner,
                                 const QString& table, bool dictionary) {
        const QString leftFile = Take(left, leftOwner, QStringLiteral("left.qvsnap"));
        const QString rightFile = Take(right, rightOwner, QStringLiteral("right.qvsnap"));
        const auto side = [&](int index, bool snapshot) {
            QStringList arguments;
            const QString name = index == 0 ? QStringLiteral("--left") : QStringLiteral("--right");
            const QString& owner = index == 0 ? leftOwner : rightOwner;
            if (snapshot)
                arguments << name + QStringLiteral("-snapshot")
                          << (index == 0 ? leftFile : rightFile);
            else
                arguments << name << (index == 0 ? left : right);
            if (!snapshot && !owner.isEmpty())
                arguments << name + QStringLiteral("-owner") << owner;
            return arguments << name + QStringLiteral("-name")
                             << QStringLiteral("SIDE%1").arg(index);
        };
        const QStringList options{QStringLiteral("--set"), QStringLiteral("24"),
                                  QStringLiteral("--set"), QStringLiteral("26"),
                                  QStringLiteral("--set"), QStringLiteral("27")};
        QList<QStringList> commands{
            {QStringLiteral("tables")},
            {QStringLiteral("columns"), table},
            {QStringLiteral("structure"), table, QStringLiteral("--side"), QStringLiteral("left")}};
        if (dictionary)
            commands.append({QStringLiteral("dictionary")});
        for (const QStringList& command : commands) {
            const CBatchProcess live = Run(command + side(0, false) + side(1, false) + options);
            ASSERT_NE(live.exitCode, 1) << live;
            for (const auto& [leftSnapshot, rightSnapshot] :
                 {std::pair{true, true}, std::pair{true, false}, std::pair{false, true}}) {
                const CBatchProcess snapshot =
                    Run(command + side(0, leftSnapshot) + side(1, rightSnapshot) + options);
                EXPECT_EQ(snapshot.exitCode, live.exitCode) << snapshot;
                EXPECT_EQ(snapshot.out, live.out)
                    << command.join(QLatin1Char(' ')).toStdString() << " " << leftSnapshot
                    << rightSnapshot << " " << left.toStdString();
            }
        }
    }

    QTemporaryDir m_tmp;
};

} // namespace

TEST_F(BatchSnapshot, EveryCommandOnSnapshotsWritesTheLiveBytesOnSqlite) {
    ExpectEveryCommandAlike(QStringLiteral("BatchSnapLeft"), {}, QStringLiteral("BatchSnapRight"),
                            {}, QStringLiteral("T1"), true);
}

TEST_F(BatchSnapshot, EveryCommandOnSnapshotsWritesTheLiveBytesOnTheServers) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    QUORVIX_REQUIRE_DATA_SOURCE(kMariaDb);
    ExpectEveryCommandAlike(kPostgres, QStringLiteral("quorvix.idx_l"), kPostgres,
                            QStringLiteral("quorvix.idx_r"), QStringLiteral("cols"), false);
    ExpectEveryCommandAlike(kPostgres, QStringLiteral("quorvix.attr_l"), kPostgres,
                            QStringLiteral("quorvix.attr_r"), QStringLiteral("defaults"), false);
    ExpectEveryCommandAlike(kPostgres, QStringLiteral("quorvix.upper_dict"), kPostgres,
                            QStringLiteral("quorvix.s1"), QStringLiteral("F9210"), true);
    ExpectEveryCommandAlike(kMariaDb, QStringLiteral("quorvix_a"), kMariaDb,
                            QStringLiteral("quorvix_b"), QStringLiteral("F9210"), false);
    ExpectEveryCommandAlike(kMariaDb, QStringLiteral("quorvix_a"), kMariaDb,
                            QStringLiteral("quorvix_a"), QStringLiteral("F9210"), true);
    ExpectEveryCommandAlike(kMariaDb, QStringLiteral("quorvix_idx_l"), kMariaDb,
                            QStringLiteral("quorvix_idx_r"), QStringLiteral("cols"), false);
    ExpectEveryCommandAlike(kMariaDb, QStringLiteral("quorvix_attr_l"), kMariaDb,
                            QStringLiteral("quorvix_attr_r"), QStringLiteral("defaults"), false);
}

// Two snapshots compare with no data source at all, and a snapshot side is named after its file.
TEST_F(BatchSnapshot, SnapshotsAloneNeedNoDataSource) {
    const QString left = Take(QStringLiteral("BatchSnapLeft"), {}, QStringLiteral("l.qvsnap"));
    const QString right = Take(QStringLiteral("BatchSnapRight"), {}, QStringLiteral("r.qvsnap"));
    const CBatchProcess compared =
        CBatchProcess::Run({QStringLiteral("tables"), QStringLiteral("--left-snapshot"), left,
                            QStringLiteral("--right-snapshot"), right},
                           {QStringLiteral("TMP=") + Path(QStringLiteral("results")),
                            QStringLiteral("ODBCSYSINI=") + Path(QStringLiteral("results")),
                            QStringLiteral("ODBCINI=") + Path(QStringLiteral("none.ini"))});
    EXPECT_EQ(compared.exitCode, 2) << compared;
    EXPECT_TRUE(compared.out.contains(">;only in l.qvsnap (BatchSnapLeft, ")) << compared;
    EXPECT_TRUE(compared.out.endsWith("<>;T1\r\n;;=;id\r\n;;=;v\r\n;;<;ronly\r\n;;>;lonly\r\n"))
        << compared;
}

// A file that is no snapshot, a side given twice, an output over a side's snapshot, and a read
// that fails: each exits with 1 and says why, and the snapshot that failed leaves no file.
TEST_F(BatchSnapshot, BadFilesAndFailedReadsAreSaidAndLeaveNothing) {
    const QString text = Path(QStringLiteral("text.qvsnap"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a snapshot\n");
    file.close();
    const CBatchProcess notSnapshot =
        Run({QStringLiteral("tables"), QStringLiteral("--left-snapshot"), text,
             QStringLiteral("--right"), QStringLiteral("BatchSnapRight")});
    EXPECT_EQ(notSnapshot.exitCode, 1) << notSnapshot;
    EXPECT_TRUE(notSnapshot.err.contains("is not a Quorvix snapshot")) << notSnapshot;

    const CBatchProcess twice =
        Run({QStringLiteral("tables"), QStringLiteral("--left-snapshot"), text,
             QStringLiteral("--left"), QStringLiteral("BatchSnapLeft"), QStringLiteral("--right"),
             QStringLiteral("BatchSnapRight")});
    EXPECT_EQ(twice.exitCode, 1) << twice;

    const QString good = Take(QStringLiteral("BatchSnapLeft"), {}, QStringLiteral("good.qvsnap"));
    const qint64 size = QFileInfo(good).size();
    const CBatchProcess over = Run({QStringLiteral("tables"), QStringLiteral("--left-snapshot"),
                                    good, QStringLiteral("--right"),
                                    QStringLiteral("BatchSnapRight"), QStringLiteral("-o"), good});
    EXPECT_EQ(over.exitCode, 1) << over;
    EXPECT_TRUE(over.err.contains("is the snapshot file that")) << over;
    EXPECT_EQ(QFileInfo(good).size(), size);

    const CBatchProcess noOutput = Run(
        {QStringLiteral("snapshot"), QStringLiteral("--source"), QStringLiteral("BatchSnapLeft")});
    EXPECT_EQ(noOutput.exitCode, 1) << noOutput;
    EXPECT_TRUE(noOutput.err.contains("-o FILE")) << noOutput;

    const CBatchProcess unknown =
        Run({QStringLiteral("snapshot"), QStringLiteral("--source"), QStringLiteral("NoSuchSource"),
             QStringLiteral("-o"), Path(QStringLiteral("none.qvsnap"))});
    EXPECT_EQ(unknown.exitCode, 1) << unknown;
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("none.qvsnap"))));
    EXPECT_EQ(QDir(m_tmp.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    EXPECT_TRUE(QDir(Path(QStringLiteral("results"))).isEmpty());
}
