// The table run reads each side's columns in one catalogue call, or table by table when the
// driver refuses that call or the settings ask for it. Both paths must give the very same result
// file: these tests run both on every fixture and compare the files byte for byte.
#include "odbc/ColumnCatalogue.h"
#include "odbc/OdbcTestEnvironment.h"
#include "runs/ComparisonTestBase.h"

#include <QProcess>

#include <tuple>

namespace {

const QString kPostgres = QStringLiteral("QuorvixPostgres");
const QString kMariaDb = QStringLiteral("QuorvixMariaDB");

// What a run judged of each table: its status symbol, then for a different table each column's
// status symbol and name, and the texts of its attributes where the run compared them, then
// after " /" each index row's status symbol, name, and uniqueness and columns where the run
// compared indexes.
QMap<QString, QString> Judged(const CComparisonResults& results) {
    static const char* const kSymbols[] = {"=", ">", "<", "<>"};
    QMap<QString, QString> judged;
    for (int table = 0; table < results.TableNames().size(); ++table) {
        const qint32 status = results.GetTableStatus(table);
        QString text = QLatin1String(CompareStatus::IsValid(status) ? kSymbols[status] : "?");
        CComparisonResults::TableRows rows;
        if (results.OpenTableRows(table, rows)) {
            for (int row = 0; row < rows.rowCount; ++row) {
                const auto column = results.ReadColumnRow(rows, row);
                text += QLatin1Char(' ') + QLatin1String(kSymbols[column->status]) + column->name;
                if (rows.attributes)
                    text += QLatin1Char('(') + column->AttributeTexts().join(QLatin1Char(',')) +
                            QLatin1Char(')');
            }
            if (results.ComparedIndexes() && status == CompareStatus::Different)
                text += QStringLiteral(" /");
            for (int row = 0; row < rows.indexCount; ++row) {
                const auto index = results.ReadIndexRow(rows, row);
                text += QLatin1Char(' ') + QLatin1String(kSymbols[index->status]) + index->name +
                        QLatin1Char('(') + index->GetText(1) + QLatin1Char(',') +
                        index->GetText(2) + QLatin1Char(')');
            }
        }
        judged.insert(results.TableNames()[table], text);
    }
    return judged;
}

struct RunResult {
    bool succeeded = false;
    QString failure;
    QStringList tables;
    CComparisonResults::Counters counters{};
    QByteArray file;
    int tablesReadAlone = 0;
    int indexTablesReadAlone = 0;
    QMap<QString, QString> judged;
};

class ColumnReadingPaths : public ComparisonTestBase {
protected:
    static void SetUpTestSuite() {
        // One table spelt in two cases, "_" and "%" in names, a view, names over 128 units that
        // differ at their end, names outside Latin-1, and attributes that differ, a default
        // longer than a piece of a long value among them.
        const QString longName = QString(150, QLatin1Char('L'));
        const QString longDefault = QString(600, QLatin1Char('d'));
        const QString common =
            QStringLiteral("CREATE TABLE A_B (a1 INT); CREATE TABLE AXB (x1 INT, x2 INT);"
                           "CREATE TABLE \"A%B\" (p1 INT); CREATE TABLE \"%1A\" (k INT);"
                           "CREATE TABLE \"\u4E2D\u6587\" (\"\u5217\" VARCHAR(4));")
                .arg(longName);
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("PathsLeft"),
            common + QStringLiteral("CREATE TABLE \"Orders\" (id INT, amount DECIMAL(10,2));"
                                    "CREATE TABLE \"%1B\" (k INT, l INT);"
                                    "CREATE VIEW v_orders AS SELECT id, amount FROM \"Orders\";"
                                    "CREATE TABLE attrs (n INT NOT NULL DEFAULT 0, d TEXT DEFAULT"
                                    " 'x', l TEXT DEFAULT '%2');")
                         .arg(longName, longDefault));
        // Indexes: one of two alike tables indexed, an index name over other columns, another
        // order, a descending column, unique against not unique, names that differ in case
        // only, and an index on the right only.
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("IndexesLeft"),
            QStringLiteral("CREATE TABLE alike_a (id INT, v INT); CREATE INDEX ix_alike ON alike_a"
                           " (v); CREATE TABLE alike_b (id INT, v INT);"
                           "CREATE TABLE cols (a INT, b INT, c INT);"
                           "CREATE INDEX ix_cols ON cols (a, b); CREATE INDEX ix_order ON cols"
                           " (b, c); CREATE INDEX ix_dir ON cols (c DESC, a);"
                           "CREATE UNIQUE INDEX ux_flag ON cols (a, c);"
                           "CREATE TABLE cased (a INT); CREATE INDEX Ix_Case ON cased (a);"
                           "CREATE TABLE right_only (a INT);"));
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("IndexesRight"),
            QStringLiteral("CREATE TABLE alike_a (id INT, v INT);"
                           "CREATE TABLE alike_b (id INT, v INT);"
                           "CREATE TABLE cols (a INT, b INT, c INT);"
                           "CREATE INDEX ix_cols ON cols (a, c); CREATE INDEX ix_order ON cols"
                           " (c, b); CREATE INDEX ix_dir ON cols (c, a);"
                           "CREATE INDEX ux_flag ON cols (a, c);"
                           "CREATE TABLE cased (a INT); CREATE INDEX IX_CASE ON cased (a);"
                           "CREATE TABLE right_only (a INT); CREATE INDEX ix_right ON"
                           " right_only (a);"));
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("PathsRight"),
            common + QStringLiteral("CREATE TABLE ORDERS (ID INT, amount VARCHAR(3));"
                                    "CREATE TABLE \"%1B\" (k BIGINT);"
                                    "CREATE VIEW v_orders AS SELECT id FROM \"Orders\";"
                                    "CREATE TABLE attrs (n INT DEFAULT 0, d TEXT,"
                                    " l TEXT DEFAULT '%2');")
                         .arg(longName, longDefault));
    }

    // Tables that the one call gives no rows for: without columns, or views a driver leaves out.
    int m_expectedReadAlone = 0;
    int m_perTableReads = 0;

    RunResult Run(bool readAll) {
        m_results.SetReadAllColumns(readAll);
        RunResult result;
        result.succeeded = m_results.RunTableComparison(m_progress);
        result.failure = m_results.LastFailure();
        result.tables = m_results.TableNames();
        result.counters = m_results.TableCounters();
        result.file = ResultFileBytes(QStringLiteral("BFDB"));
        result.tablesReadAlone = m_results.TablesReadAlone();
        result.indexTablesReadAlone = m_results.IndexTablesReadAlone();
        result.judged = Judged(m_results);
        m_results.DiscardResultFile(CResultFile::TableResult);
        return result;
    }

    // Both paths, under both case rules, with the SQL types compared or not, and then the
    // attributes and the indexes too.
    void ExpectSameResults(const QString& left, const QString& leftOwner, const QString& right,
                           const QString& rightOwner) {
        OpenSide(m_left, left, leftOwner);
        OpenSide(m_right, right, rightOwner);
        for (const bool caseSensitive : {true, false}) {
            for (const auto& [types, attributes, indexes] :
                 {std::tuple{false, false, false}, std::tuple{true, false, false},
                  std::tuple{true, true, false}, std::tuple{false, false, true},
                  std::tuple{true, true, true}}) {
                m_params.SetBit(ParamBit::CaseSensitive, caseSensitive);
                m_params.SetBit(ParamBit::CompareSqlTypes, types);
                m_params.SetBit(ParamBit::CompareAttributes, attributes);
                m_params.SetBit(ParamBit::CompareIndexes, indexes);
                const RunResult perTable = Run(false);
                const RunResult readAll = Run(true);
                // Groups of two tables: prefixes with "_", "%", the escape character and
                // surrogate pairs become patterns, and patterns that ignore case meet tables
                // of an earlier group again.
                const int tablesPerCall = CDataSourceSide::TablesPerColumnCall();
                CDataSourceSide::SetTablesPerColumnCall(2);
                const RunResult grouped = Run(true);
                CDataSourceSide::SetTablesPerColumnCall(tablesPerCall);
                const std::string where =
                    (left + QLatin1Char(' ') + leftOwner + QStringLiteral(" / ") + right +
                     QLatin1Char(' ') + rightOwner)
                        .toStdString() +
                    (caseSensitive ? " case" : " nocase") + (types ? " types" : "") +
                    (attributes ? " attributes" : "") + (indexes ? " indexes" : "");
                ASSERT_TRUE(perTable.succeeded) << where << perTable.failure.toStdString();
                ASSERT_TRUE(readAll.succeeded) << where << readAll.failure.toStdString();
                EXPECT_EQ(readAll.tables, perTable.tables) << where;
                EXPECT_EQ(readAll.counters, perTable.counters) << where;
                EXPECT_FALSE(perTable.file.isEmpty()) << where;
                EXPECT_TRUE(readAll.file == perTable.file) << where;
                EXPECT_EQ(readAll.judged, perTable.judged) << where;
                ASSERT_TRUE(grouped.succeeded) << where << grouped.failure.toStdString();
                EXPECT_TRUE(grouped.file == perTable.file) << where;
                EXPECT_LE(grouped.tablesReadAlone, m_expectedReadAlone) << where;
                // The one call did the reading: only what it gave no rows for was asked again.
                EXPECT_LE(readAll.tablesReadAlone, m_expectedReadAlone) << where;
                // Indexes too, where the database's own catalogue can be asked.
                if (indexes && m_left.ReadsAllIndexesAtOnce() && m_right.ReadsAllIndexesAtOnce()) {
                    EXPECT_EQ(readAll.indexTablesReadAlone, 0) << where;
                }
                if (!indexes)
                    m_perTableReads = perTable.tablesReadAlone;
            }
        }
        m_params.SetBit(ParamBit::CompareIndexes, false);
    }
};

TEST_F(ColumnReadingPaths, SqliteMixedCaseWildcardsViewsAndLongNames) {
    ExpectSameResults(QStringLiteral("PathsLeft"), {}, QStringLiteral("PathsRight"), {});
    // Nine tables on both sides with case ignored ("Orders" is "ORDERS"), each read by a call
    // of its own on the per-table path.
    EXPECT_EQ(m_perTableReads, 18);
}

TEST_F(ColumnReadingPaths, SqliteIndexes) {
    ExpectSameResults(QStringLiteral("IndexesLeft"), {}, QStringLiteral("IndexesRight"), {});
}

TEST_F(ColumnReadingPaths, PostgresSchemas) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    // Mixed case and views; a backslash, "_", "%" and a table without columns; case only.
    ExpectSameResults(kPostgres, QStringLiteral("quorvix.s1"), kPostgres,
                      QStringLiteral("quorvix.s2"));
    ExpectSameResults(kPostgres, QStringLiteral("quorvix.esc\\ape"), kPostgres,
                      QStringLiteral("quorvix.escXape"));
    // A table without columns on both sides: the one call gives it no rows, so it alone is
    // asked again, and found listed.
    m_expectedReadAlone = 2;
    ExpectSameResults(kPostgres, QStringLiteral("quorvix.esc\\ape"), kPostgres,
                      QStringLiteral("quorvix.esc\\ape"));
    m_expectedReadAlone = 0;
    ExpectSameResults(kPostgres, QStringLiteral("quorvix.mixed_l"), kPostgres,
                      QStringLiteral("quorvix.mixed_r"));
    ExpectSameResults(kPostgres, QStringLiteral("quorvix.ta"), kPostgres,
                      QStringLiteral("quorvix.tb"));
    // Defaults that the driver gives cut are read again on both paths.
    ExpectSameResults(kPostgres, QStringLiteral("quorvix.attr_l"), kPostgres,
                      QStringLiteral("quorvix.attr_r"));
    // Expression, partial and INCLUDE indexes, a partitioned table and a table without columns
    // (asked again for its columns on both sides), quoted names.
    m_expectedReadAlone = 2;
    ExpectSameResults(kPostgres, QStringLiteral("quorvix.idx_l"), kPostgres,
                      QStringLiteral("quorvix.idx_r"));
}

TEST_F(ColumnReadingPaths, MariaDbDatabases) {
    QUORVIX_REQUIRE_DATA_SOURCE(kMariaDb);
    ExpectSameResults(kMariaDb, QStringLiteral("quorvix_a"), kMariaDb, QStringLiteral("quorvix_b"));
    ExpectSameResults(kMariaDb, QStringLiteral("quorvix_esc"), kMariaDb,
                      QStringLiteral("quorvix_c"));
    ExpectSameResults(kMariaDb, QStringLiteral("quorvix_attr_l"), kMariaDb,
                      QStringLiteral("quorvix_attr_r"));
    ExpectSameResults(kMariaDb, QStringLiteral("quorvix_idx_l"), kMariaDb,
                      QStringLiteral("quorvix_idx_r"));
}

// Indexes judged as each driver reports them, on both paths and under both case rules: a table
// whose columns are all the same is different when an index is one-sided or different.
TEST_F(ColumnReadingPaths, IndexesAreJudgedAsEachDriverReportsThem) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    QUORVIX_REQUIRE_DATA_SOURCE(kMariaDb);
    const QString cols = QStringLiteral(
        "<> =a =b =c / <>ix_cols(not unique,a, b | a, c) <>ix_dir(not unique,c DESC, a | c, a) "
        "<>ix_order(not unique,b, c | c, b) <>ux_flag(unique | not unique,a, c)");
    struct Fixture {
        QString leftSource;
        QString left;
        QString rightSource;
        QString right;
        // Some tables' judgement with the names' case heeded.
        QMap<QString, QString> judged;
        // Different tables without the indexes, under each case rule.
        std::array<int, 2> differentByColumns;
    };
    const Fixture fixtures[] = {
        {QStringLiteral("IndexesLeft"),
         {},
         QStringLiteral("IndexesRight"),
         {},
         {{"alike_a", "<> =id =v / >ix_alike(not unique,v)"},
          {"alike_b", "="},
          // The driver gives unique indexes first and every column ascending.
          {"cols", "<> =a =b =c / <>ux_flag(unique | not unique,a, c) =ix_dir(not unique,c, a) "
                   "<>ix_order(not unique,b, c | c, b) <>ix_cols(not unique,a, b | a, c)"},
          {"cased", "<> =a / <IX_CASE(not unique,a) >Ix_Case(not unique,a)"},
          {"right_only", "<> =a / <ix_right(not unique,a)"}},
         {0, 0}},
        {kPostgres,
         QStringLiteral("quorvix.idx_l"),
         kPostgres,
         QStringLiteral("quorvix.idx_r"),
         {{"alike_a", "<> =id =v / >ix_alike(not unique,v)"},
          {"alike_b", "="},
          {"cols", cols},
          {"pk2", "<> =a =b =c / <>pk2_pkey(unique,a, b | b, a) >pk2_c_key(unique,c)"},
          {"expr", "<> =a =b =name / <>ix_expr(not unique,lower(name), (a + b) DESC, a | "
                   "upper(name), (a + b), a) >ix_hash(not unique,name) >ix_incl(not unique,b "
                   "DESC, name, a) >ix_part(not unique,a)"}},
         {0, 1}},
        {kMariaDb,
         QStringLiteral("quorvix_idx_l"),
         kMariaDb,
         QStringLiteral("quorvix_idx_r"),
         {{"alike_a", "<> =id =v / >ix_alike(not unique,v)"},
          {"alike_b", "="},
          {"cols", "<> =a =b =c / <>ux_flag(unique | not unique,a, c) <>ix_cols(not unique,a, b "
                   "| a, c) <>ix_dir(not unique,c DESC, a | c, a) <>ix_order(not unique,b, c | "
                   "c, b)"},
          {"pk2", "<> =a =b =c / >c(unique,c) <>PRIMARY(unique,a, b | b, a)"}},
         {1, 1}},
    };
    for (const Fixture& fixture : fixtures) {
        OpenSide(m_left, fixture.leftSource, fixture.left);
        OpenSide(m_right, fixture.rightSource, fixture.right);
        for (const bool caseSensitive : {true, false}) {
            for (const bool readAll : {false, true}) {
                const std::string where = fixture.leftSource.toStdString() +
                                          (readAll ? " whole side" : " table by table") +
                                          (caseSensitive ? " case" : " nocase");
                m_params.SetBit(ParamBit::CaseSensitive, caseSensitive);
                m_params.SetBit(ParamBit::CompareIndexes, true);
                RunResult run = Run(readAll);
                ASSERT_TRUE(run.succeeded) << where << run.failure.toStdString();
                for (auto table = fixture.judged.begin(); table != fixture.judged.end(); ++table) {
                    QString expected = table.value();
                    // Ignoring case, index names that differ only in case are one index.
                    if (!caseSensitive && table.key() == QLatin1String("cased"))
                        expected = QStringLiteral("=");
                    EXPECT_EQ(run.judged.value(table.key()), expected)
                        << where << " " << table.key().toStdString();
                }
                m_params.SetBit(ParamBit::CompareIndexes, false);
                run = Run(readAll);
                ASSERT_TRUE(run.succeeded) << where;
                EXPECT_EQ(run.counters[CompareStatus::Different],
                          fixture.differentByColumns[caseSensitive ? 0 : 1])
                    << where;
                EXPECT_EQ(run.judged.value(QStringLiteral("alike_a")), QStringLiteral("="))
                    << where;
            }
        }
    }
}

// What each server's catalogue gives is judged alike on both paths: with the attributes, a
// column whose decimal digits, nullability or default differ; without them, every table of the
// fixtures is the same.
TEST_F(ColumnReadingPaths, AttributesAreJudgedAsEachServerReportsThem) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    QUORVIX_REQUIRE_DATA_SOURCE(kMariaDb);
    struct Fixture {
        QString dataSource;
        QString left;
        QString right;
        QMap<QString, QString> judged;
    };
    const Fixture fixtures[] = {
        {kPostgres,
         QStringLiteral("quorvix.attr_l"),
         QStringLiteral("quorvix.attr_r"),
         {{"amounts", "<> =id(NULL,0,) <>price(NULL,2 | 4,)"},
          {"nulls", "<> =id(NULL,0,) <>code(NULL | NOT NULL,,)"},
          {"defaults", "<> <>added(NULL,0, | 1) <>changed(NULL,,'a'::character varying | "
                       "'b'::character varying) <>removed(NULL,0,5 | ) =kept(NULL,0,7) "
                       "=marks(NULL,,'a;\"b'::character varying)"},
          {"unchanged", "="},
          {"long_same", "="},
          {"long_end", "<> <>note(NULL,,'" + QStringLiteral("0123456789").repeated(500) +
                           "x'::text | '" + QStringLiteral("0123456789").repeated(500) +
                           "y'::text)"}}},
        {kMariaDb,
         QStringLiteral("quorvix_attr_l"),
         QStringLiteral("quorvix_attr_r"),
         {{"amounts", "<> =id(NULL,0,NULL) <>price(NULL,2 | 4,NULL)"},
          {"nulls", "<> =id(NULL,0,NULL) <>code(NULL | NOT NULL,,NULL | )"},
          {"defaults", "<> <>added(NULL,0,NULL | 1) <>changed(NULL,,'a' | 'b') "
                       "<>removed(NULL,0,5 | NULL) =kept(NULL,0,7) =marks(NULL,,'a;\"b')"},
          {"unchanged", "="},
          {"long_same", "="},
          {"long_end", "<> <>note(NULL,,'" + QStringLiteral("0123456789").repeated(500) + "x' | '" +
                           QStringLiteral("0123456789").repeated(500) + "y')"}}},
    };
    for (const Fixture& fixture : fixtures) {
        OpenSide(m_left, fixture.dataSource, fixture.left);
        OpenSide(m_right, fixture.dataSource, fixture.right);
        for (const bool readAll : {false, true}) {
            const std::string where =
                fixture.dataSource.toStdString() + (readAll ? " whole side" : " table by table");
            m_params.SetBit(ParamBit::CompareAttributes, true);
            RunResult run = Run(readAll);
            ASSERT_TRUE(run.succeeded) << where << run.failure.toStdString();
            EXPECT_EQ(run.judged, fixture.judged) << where;
            m_params.SetBit(ParamBit::CompareAttributes, false);
            run = Run(readAll);
            ASSERT_TRUE(run.succeeded) << where;
            EXPECT_EQ(run.counters, (CComparisonResults::Counters{6, 0, 0, 0})) << where;
        }
    }
}

// Orders, ORDERS and orders on the left, orders on the right: each left table is read as itself
// on both paths, and a table without columns never borrows its sibling's.
TEST_F(ColumnReadingPaths, TablesWhoseNamesDifferOnlyInCaseAreEachReadAsThemselves) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    QUORVIX_REQUIRE_DATA_SOURCE(kMariaDb);
    struct Fixture {
        QString dataSource;
        QString left;
        QString right;
        bool hasNoColumnTable;
    };
    for (const Fixture& fixture : {Fixture{kPostgres, QStringLiteral("quorvix.case_l"),
                                           QStringLiteral("quorvix.case_r"), true},
                                   Fixture{kMariaDb, QStringLiteral("quorvix_case_l"),
                                           QStringLiteral("quorvix_case_r"), false}}) {
        // The tables without columns are asked again on the whole-side path, as they must be:
        // Nocols, and the right's nocols once for it and once for NOCOLS when case is ignored.
        m_expectedReadAlone = fixture.hasNoColumnTable ? 3 : 0;
        ExpectSameResults(fixture.dataSource, fixture.left, fixture.dataSource, fixture.right);
        for (const bool readAll : {false, true}) {
            const std::string where =
                fixture.dataSource.toStdString() + (readAll ? " whole side" : " table by table");
            m_params.SetBit(ParamBit::CompareSqlTypes, true);
            m_params.SetBit(ParamBit::CompareAttributes, false);
            m_params.SetBit(ParamBit::CaseSensitive, false);
            RunResult run = Run(readAll);
            ASSERT_TRUE(run.succeeded) << where;
            const QMap<QString, QString>& judged = run.judged;
            EXPECT_EQ(judged.value(QStringLiteral("Orders")), QStringLiteral("=")) << where;
            EXPECT_EQ(judged.value(QStringLiteral("orders")), QStringLiteral("=")) << where;
            EXPECT_EQ(judged.value(QStringLiteral("ORDERS")),
                      QStringLiteral("<> =id <amount >custno"))
                << where;
            EXPECT_EQ(judged.value(QStringLiteral("NOCOLS")),
                      fixture.hasNoColumnTable ? QStringLiteral("<> >n") : QStringLiteral(">"))
                << where;
            if (fixture.hasNoColumnTable) {
                EXPECT_EQ(judged.value(QStringLiteral("Nocols")), QStringLiteral("=")) << where;
                // Code units as the catalogue gives them: "\uFEFFid" is not "id".
                EXPECT_EQ(judged.value(QStringLiteral("marked")),
                          QStringLiteral("<> <id <key >\uFEFFid >\uFFFEkey"))
                    << where;
            }
            EXPECT_EQ(run.counters[CompareStatus::Different], fixture.hasNoColumnTable ? 3 : 1)
                << where;

            m_params.SetBit(ParamBit::CaseSensitive, true);
            run = Run(readAll);
            ASSERT_TRUE(run.succeeded) << where;
            EXPECT_EQ(run.judged.value(QStringLiteral("Orders")), QStringLiteral(">")) << where;
            EXPECT_EQ(run.judged.value(QStringLiteral("ORDERS")), QStringLiteral(">")) << where;
            EXPECT_EQ(run.judged.value(QStringLiteral("orders")), QStringLiteral("=")) << where;
        }
    }
}

TEST_F(ColumnReadingPaths, ATableGoneAfterListingFailsBothPathsAlike) {
    const QString path = COdbcTestEnvironment::AddSqliteDataSource(
        QStringLiteral("PathsGone"), QStringLiteral("CREATE TABLE KEEP (a INT);"
                                                    "CREATE TABLE GONE (b INT);"));
    OpenSide(m_left, QStringLiteral("PathsGone"));
    OpenSide(m_right, QStringLiteral("PathsGone"));
    ASSERT_EQ(
        QProcess::execute(QStringLiteral("sqlite3"), {path, QStringLiteral("DROP TABLE GONE")}), 0);
    const RunResult perTable = Run(false);
    const RunResult readAll = Run(true);
    EXPECT_FALSE(perTable.succeeded);
    EXPECT_FALSE(readAll.succeeded);
    EXPECT_TRUE(perTable.failure.contains(QStringLiteral("columns of table GONE")))
        << perTable.failure.toStdString();
    EXPECT_EQ(readAll.failure, perTable.failure);
}

TEST_F(ColumnReadingPaths, CancelDuringTheCatalogueCallIsACancel) {
    OpenSide(m_left, QStringLiteral("PathsLeft"));
    OpenSide(m_right, QStringLiteral("PathsRight"));
    m_results.SetReadAllColumns(true);
    // The first query is the run's own, before any reading; the next ones come as the tables'
    // rows begin.
    m_progress.cancelAtQuery = 3;
    EXPECT_FALSE(m_results.RunTableComparison(m_progress));
    EXPECT_TRUE(m_results.LastFailure().isEmpty()) << m_results.LastFailure().toStdString();
    EXPECT_FALSE(m_results.HasResult(CResultFile::TableResult));
    EXPECT_EQ(m_progress.progress.size(), 1u) << "no table was judged";
}

TEST(ColumnCatalogue, NamesAreGroupedByTheirStartWithinTheLimit) {
    using Group = CColumnCatalogue::NameGroup;
    const QStringList names{"B", "AA", "AB", "ABC", "ABD", "C"};
    // Within the limit: one call for every table.
    EXPECT_EQ(CColumnCatalogue::GroupNames(names, 6), (std::vector<Group>{{"", false}}));
    // "AB" is both a name and the start of two others: asked as itself, then by "ABC" and "ABD".
    EXPECT_EQ(CColumnCatalogue::GroupNames(names, 2), (std::vector<Group>{{"AA", false},
                                                                          {"AB", true},
                                                                          {"ABC", false},
                                                                          {"ABD", false},
                                                                          {"B", false},
                                                                          {"C", false}}));
    EXPECT_EQ(CColumnCatalogue::GroupNames(names, 3),
              (std::vector<Group>{{"AA", false}, {"AB", false}, {"B", false}, {"C", false}}));
    // A character outside the basic plane stays whole in a prefix.
    const QString wide = QString::fromUcs4(U"\U0001F600");
    const auto groups = CColumnCatalogue::GroupNames({wide + "a", wide + "b", "x"}, 2);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].prefix, QStringLiteral("x"));
    EXPECT_EQ(groups[1].prefix, wide);
}

TEST(ColumnCatalogue, ATableReadByAnEarlierCallKeepsItsRows) {
    CColumnCatalogue catalogue;
    catalogue.BeginCall();
    EXPECT_TRUE(catalogue.AddRow(u"T", u"a", 4, u"INTEGER", 10));
    catalogue.BeginCall();
    // "t%" matched T again under a pattern that ignores case.
    EXPECT_FALSE(catalogue.AddRow(u"T", u"a", 4, u"INTEGER", 10));
    EXPECT_TRUE(catalogue.AddRow(u"t2", u"b", 4, u"INTEGER", 10));
    CColumnInfoArray columns;
    ASSERT_TRUE(catalogue.Columns(QStringLiteral("T"), columns));
    EXPECT_EQ(columns.size(), 1u);
}

TEST(ColumnCatalogue, RowsOfATableComeBackAsTheDriverGaveThem) {
    CColumnCatalogue catalogue;
    // Two spellings of one name, interleaved as a collation that ignores case may order them.
    catalogue.AddRow(u"abc", u"a1", 4, u"INTEGER", 10);
    catalogue.AddRow(u"ABC", u"A1", 12, u"VARCHAR", 20);
    catalogue.AddRow(u"abc", u"a2", 4, u"INTEGER", 10);
    catalogue.AddRow(u"other", u"o", 4, u"INTEGER", 10);
    CColumnInfoArray columns;
    ASSERT_TRUE(catalogue.Columns(QStringLiteral("abc"), columns));
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[1]->name, QStringLiteral("a2"));
    // No exact spelling: never the rows of other tables, however alike their names; taking
    // another spelling is asked for, and only where it is one table's.
    EXPECT_FALSE(catalogue.Columns(QStringLiteral("Abc"), columns));
    EXPECT_FALSE(catalogue.Columns(QStringLiteral("Abc"), columns, true));
    ASSERT_TRUE(catalogue.Columns(QStringLiteral("OTHER"), columns, true));
    ASSERT_EQ(columns.size(), 1u);
    ASSERT_TRUE(catalogue.Columns(QStringLiteral("ABC"), columns));
    EXPECT_EQ(columns[0]->name, QStringLiteral("A1"));
    EXPECT_EQ(columns[0]->typeName, QStringLiteral("VARCHAR"));
    EXPECT_EQ(columns[0]->size, 20);
    EXPECT_FALSE(catalogue.Columns(QStringLiteral("missing"), columns));
    EXPECT_TRUE(columns.empty());
}

} // namespace
