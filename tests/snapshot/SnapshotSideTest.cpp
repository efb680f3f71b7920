// A snapshot is compared as the side it was taken of: every run on snapshots writes the very
// result that the same run on the live sides writes, on each driver. A file that is not a sound
// snapshot of this program's format gives no side, and a read that fails gives no file.
#include "snapshot/SnapshotSide.h"
#include "snapshot/SnapshotWriter.h"

#include "compare/DictionaryTable.h"
#include "odbc/OdbcTestEnvironment.h"
#include "runs/ComparisonTestBase.h"

#include <QFile>
#include <QProcess>

namespace {

const QString kPostgres = QStringLiteral("QuorvixPostgres");
const QString kMariaDb = QStringLiteral("QuorvixMariaDB");

// What one run wrote: its counters and its result file, or why it failed.
struct RunBytes {
    bool succeeded = false;
    QString failure;
    CComparisonResults::Counters counters{};
    QByteArray file;
    bool operator==(const RunBytes& other) const {
        return succeeded == other.succeeded && counters == other.counters && file == other.file;
    }
};

class SnapshotSide : public ComparisonTestBase {
protected:
    static void SetUpTestSuite() {
        // Columns of each status, attributes, indexes, a view, a table without columns, a name
        // outside Latin-1 and data dictionaries that differ.
        const QString dictionary =
            QLatin1String(kDictionaryTable) +
            QStringLiteral("INSERT INTO F9210 VALUES ('AB', 'S', 1, 'X', 0, '0'),");
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("SnapLeft"),
            dictionary +
                QStringLiteral(
                    "('LONGKEY_ABCDEFGH', 'SS', 3, 'VARCHAR', 1, '12');"
                    "CREATE TABLE T1 (id INTEGER NOT NULL, v TEXT DEFAULT 'a;b', lonly INT);"
                    "CREATE INDEX ix_v ON T1 (v); CREATE UNIQUE INDEX ux_id ON T1 (id);"
                    "CREATE TABLE \"\u4E2D\u6587\" (k INT); CREATE VIEW v1 AS SELECT id FROM T1;"
                    "CREATE TABLE SAME (a INT DEFAULT 0); CREATE TABLE LEFTONLY (x INT);"));
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("SnapRight"),
            dictionary +
                QStringLiteral(
                    "('XY', 'S', 1, 'X', 0, '0');"
                    "CREATE TABLE T1 (id INTEGER, v VARCHAR(20) DEFAULT 'a;c', ronly INT);"
                    "CREATE INDEX ix_v ON T1 (v, id); CREATE INDEX ux_id ON T1 (id);"
                    "CREATE TABLE \"\u4E2D\u6587\" (k INT); CREATE VIEW v1 AS SELECT id FROM T1;"
                    "CREATE TABLE SAME (a INT DEFAULT 0); CREATE TABLE RIGHTONLY (y INT);"));
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("SnapBrokenDictionary"),
            QStringLiteral("CREATE TABLE F9210 (FRDTAI VARCHAR(10), FRDTAS INTEGER);"
                           "INSERT INTO F9210 VALUES ('DTAI', 10);"));
    }

    QString Take(CDataSourceSide& side, const QString& dataSource, const QString& owner,
                 const QString& file) {
        OpenSide(side, dataSource, owner);
        const QString path = m_tmp.filePath(file);
        CSnapshotWriter writer;
        EXPECT_TRUE(writer.Take(side, m_params, path, m_progress))
            << writer.LastFailure().toStdString();
        EXPECT_GT(writer.FileSize(), 0);
        return path;
    }

    RunBytes Run(CSide& left, CSide& right, bool dictionary) {
        CComparisonResults results(left, right, m_params);
        RunBytes run;
        run.succeeded = dictionary ? results.RunDictionaryComparison(m_progress)
                                   : results.RunTableComparison(m_progress);
        run.failure = results.LastFailure();
        run.counters = dictionary ? results.DictionaryCounters() : results.TableCounters();
        run.file = ResultFileBytes(dictionary ? QStringLiteral("BFDD") : QStringLiteral("BFDB"));
        return run;
    }

    // Snapshots of both sides, then each run on the live pair, the snapshot pair and both mixed
    // pairs, under the default word and with every comparison option on.
    void ExpectSnapshotsCompareAsLiveSides(const QString& leftSource, const QString& leftOwner,
                                           const QString& rightSource, const QString& rightOwner,
                                           bool dictionary) {
        const QString leftPath = Take(m_left, leftSource, leftOwner, QStringLiteral("left.qvsnap"));
        const QString rightPath =
            Take(m_right, rightSource, rightOwner, QStringLiteral("right.qvsnap"));
        CSnapshotSide leftSnapshot;
        CSnapshotSide rightSnapshot;
        ASSERT_TRUE(leftSnapshot.Open(leftPath)) << leftSnapshot.LastDiagnostic().toStdString();
        ASSERT_TRUE(rightSnapshot.Open(rightPath)) << rightSnapshot.LastDiagnostic().toStdString();
        EXPECT_EQ(leftSnapshot.TableNames(), m_left.TableNames());
        EXPECT_EQ(leftSnapshot.DataDictionaryTable(), m_left.DataDictionaryTable());
        EXPECT_EQ(leftSnapshot.DbmsName(), m_left.DbmsName());
        for (const bool options : {false, true}) {
            const std::string where = (leftSource + QLatin1Char(' ') + leftOwner).toStdString() +
                                      (options ? " with every option" : "");
            m_params = CParamWord();
            for (const int bit :
                 {ParamBit::CompareSqlTypes, ParamBit::CompareIndexes, ParamBit::CompareAttributes})
                m_params.SetBit(bit, options);
            for (const bool dictionaryRun : {false, true}) {
                if (dictionaryRun && !dictionary)
                    continue;
                const RunBytes live = Run(m_left, m_right, dictionaryRun);
                ASSERT_TRUE(live.succeeded) << where << live.failure.toStdString();
                EXPECT_FALSE(live.file.isEmpty()) << where;
                EXPECT_TRUE(Run(leftSnapshot, rightSnapshot, dictionaryRun) == live) << where;
                EXPECT_TRUE(Run(leftSnapshot, m_right, dictionaryRun) == live) << where;
                EXPECT_TRUE(Run(m_left, rightSnapshot, dictionaryRun) == live) << where;
            }
        }
    }
};

} // namespace

TEST_F(SnapshotSide, SnapshotsCompareAsTheLiveSidesOnSqlite) {
    ExpectSnapshotsCompareAsLiveSides(QStringLiteral("SnapLeft"), {}, QStringLiteral("SnapRight"),
                                      {}, true);
    CSnapshotSide snapshot;
    ASSERT_TRUE(snapshot.Open(m_tmp.filePath(QStringLiteral("left.qvsnap"))));
    EXPECT_TRUE(snapshot.DisplayName().startsWith(QStringLiteral("left.qvsnap (SnapLeft, ")))
        << snapshot.DisplayName().toStdString();
    EXPECT_EQ(snapshot.IsView(int(snapshot.TableNames().indexOf(QStringLiteral("v1")))), 1);
}

TEST_F(SnapshotSide, SnapshotsCompareAsTheLiveSidesOnTheServers) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    QUORVIX_REQUIRE_DATA_SOURCE(kMariaDb);
    ExpectSnapshotsCompareAsLiveSides(kPostgres, QStringLiteral("quorvix.s1"), kPostgres,
                                      QStringLiteral("quorvix.s2"), false);
    ExpectSnapshotsCompareAsLiveSides(kPostgres, QStringLiteral("quorvix.idx_l"), kPostgres,
                                      QStringLiteral("quorvix.idx_r"), false);
    ExpectSnapshotsCompareAsLiveSides(kPostgres, QStringLiteral("quorvix.attr_l"), kPostgres,
                                      QStringLiteral("quorvix.attr_r"), false);
    ExpectSnapshotsCompareAsLiveSides(kPostgres, QStringLiteral("quorvix.upper_dict"), kPostgres,
                                      QStringLiteral("quorvix.s1"), true);
    ExpectSnapshotsCompareAsLiveSides(kMariaDb, QStringLiteral("quorvix_a"), kMariaDb,
                                      QStringLiteral("quorvix_b"), false);
    ExpectSnapshotsCompareAsLiveSides(kMariaDb, QStringLiteral("quorvix_a"), kMariaDb,
                                      QStringLiteral("quorvix_a"), true);
    ExpectSnapshotsCompareAsLiveSides(kMariaDb, QStringLiteral("quorvix_idx_l"), kMariaDb,
                                      QStringLiteral("quorvix_idx_r"), false);
    ExpectSnapshotsCompareAsLiveSides(kMariaDb, QStringLiteral("quorvix_attr_l"), kMariaDb,
                                      QStringLiteral("quorvix_attr_r"), false);
}

// Not SQLite, cut short, another schema, a newer format: each is said, and gives no side.
TEST_F(SnapshotSide, FilesThatAreNoSoundSnapshotAreRefusedWithTheirReason) {
    const QString good =
        Take(m_left, QStringLiteral("SnapLeft"), {}, QStringLiteral("good.qvsnap"));
    const auto refused = [](const QString& path) {
        CSnapshotSide side;
        EXPECT_FALSE(side.Open(path)) << path.toStdString();
        EXPECT_EQ(side.TableCount(), 0) << path.toStdString();
        return side.LastDiagnostic();
    };

    const QString text = m_tmp.filePath(QStringLiteral("text.qvsnap"));
    QFile textFile(text);
    ASSERT_TRUE(textFile.open(QIODevice::WriteOnly));
    textFile.write("id;name\n1;orders\n");
    textFile.close();
    EXPECT_TRUE(refused(text).contains(QStringLiteral("is not a Quorvix snapshot")));

    const QString cut = m_tmp.filePath(QStringLiteral("cut.qvsnap"));
    ASSERT_TRUE(QFile::copy(good, cut));
    ASSERT_TRUE(QFile::resize(cut, QFileInfo(good).size() / 2));
    const QString cutReason = refused(cut);
    EXPECT_TRUE(cutReason.contains(QStringLiteral("is damaged")) ||
                cutReason.contains(QStringLiteral("is not a Quorvix snapshot")))
        << cutReason.toStdString();

    const QString other = m_tmp.filePath(QStringLiteral("other.qvsnap"));
    ASSERT_EQ(QProcess::execute(QStringLiteral("sqlite3"),
                                {other, QStringLiteral("CREATE TABLE orders (id INT);")}),
              0);
    EXPECT_TRUE(refused(other).contains(QStringLiteral("is not a Quorvix snapshot")));

    const QString newer = m_tmp.filePath(QStringLiteral("newer.qvsnap"));
    ASSERT_TRUE(QFile::copy(good, newer));
    QFile::setPermissions(newer, QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_EQ(QProcess::execute(QStringLiteral("sqlite3"),
                                {newer, QStringLiteral("UPDATE snapshot SET value = '2' WHERE key"
                                                       " = 'format';")}),
              0);
    EXPECT_TRUE(refused(newer).contains(QStringLiteral("is in format 2, newer than")))
        << refused(newer).toStdString();
    // An earlier or unknown format: no version of this program wrote one.
    ASSERT_EQ(QProcess::execute(QStringLiteral("sqlite3"),
                                {newer, QStringLiteral("UPDATE snapshot SET value = '0' WHERE key"
                                                       " = 'format';")}),
              0);
    EXPECT_TRUE(refused(newer).contains(
        QStringLiteral("is in format \"0\", which this program does not read (it reads format 1)")))
        << refused(newer).toStdString();
    EXPECT_TRUE(refused(m_tmp.filePath(QStringLiteral("missing.qvsnap")))
                    .contains(QStringLiteral("is not a Quorvix snapshot")));
}

// A dictionary that cannot be read fails the snapshot, naming it, and leaves nothing at the
// path; a file already there stays as it was.
TEST_F(SnapshotSide, AFailedReadLeavesNoFile) {
    OpenSide(m_left, QStringLiteral("SnapBrokenDictionary"));
    const QString path = m_tmp.filePath(QStringLiteral("broken.qvsnap"));
    CSnapshotWriter writer;
    EXPECT_FALSE(writer.Take(m_left, m_params, path, m_progress));
    EXPECT_TRUE(writer.LastFailure().contains(QStringLiteral("data dictionary F9210")))
        << writer.LastFailure().toStdString();
    EXPECT_FALSE(QFile::exists(path));

    QFile existing(path);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("kept");
    existing.close();
    EXPECT_FALSE(writer.Take(m_left, m_params, path, m_progress));
    QFile kept(path);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("kept"));
    EXPECT_EQ(QDir(m_tmp.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

// Cancelled at any point of the reading, a snapshot says nothing failed and leaves no file.
TEST_F(SnapshotSide, ACancelAtAnyPointLeavesNoFile) {
    OpenSide(m_left, QStringLiteral("SnapLeft"));
    const QString path = m_tmp.filePath(QStringLiteral("cancelled.qvsnap"));
    for (const int query : {1, 3, 8}) {
        CFakeProgress progress;
        progress.cancelAtQuery = query;
        CSnapshotWriter writer;
        EXPECT_FALSE(writer.Take(m_left, m_params, path, progress)) << query;
        EXPECT_TRUE(writer.LastFailure().isEmpty()) << writer.LastFailure().toStdString();
        EXPECT_FALSE(QFile::exists(path)) << query;
    }
    EXPECT_EQ(LeftoverFiles(QStringLiteral("BFDS")), 0);
}
