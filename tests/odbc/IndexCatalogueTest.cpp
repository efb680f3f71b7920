// A whole side's indexes, read with a few SELECTs of the database's own catalogue, must be
// exactly those that SQLStatisticsW gives table by table. These tests read every owner of the
// test servers and the SQLite fixtures both ways and compare each table's indexes whole.
#include "odbc/IndexCatalogue.h"
#include "odbc/DataSourceSetup.h"
#include "odbc/DataSourceSide.h"
#include "odbc/OdbcConnection.h"
#include "odbc/OdbcStatement.h"

#include "odbc/OdbcTestEnvironment.h"

#include <QMap>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

const QString kPostgres = QStringLiteral("QuorvixPostgres");
const QString kMariaDb = QStringLiteral("QuorvixMariaDB");

// Everything the reader keeps of a table's indexes, in their order: per index its name, U for
// unique, and its columns, each with + for ascending or - for descending.
QString Described(const CIndexInfoArray& indexes) {
    QStringList texts;
    for (const auto& index : indexes) {
        QString text = index->name + (index->unique ? QStringLiteral(" U") : QStringLiteral(" N"));
        for (qsizetype column = 0; column < index->columns.size(); ++column)
            text +=
                (index->ascending[size_t(column)] ? QStringLiteral(" +") : QStringLiteral(" -")) +
                index->columns[column];
        texts.append(text);
    }
    return texts.join(QStringLiteral(" | "));
}

class IndexReadingPaths : public ::testing::Test {
protected:
    void TearDown() override { CDataSourceSide::SetTablesPerIndexCall(m_tablesPerCall); }

    void Open(const QString& dataSource, const COwnerName& owner = {}) {
        m_side.SetDataSource(dataSource, CDataSourceSide::SystemDataSource);
        ASSERT_TRUE(m_side.Connect()) << m_side.LastDiagnostic().toStdString();
        m_side.SetOwner(owner);
        ASSERT_TRUE(m_side.ListTables(nullptr)) << m_side.LastDiagnostic().toStdString();
    }

    // Each listed table's indexes as SQLStatisticsW gives them.
    QMap<QString, QString> ReadTableByTable() {
        QMap<QString, QString> described;
        for (const QString& table : m_side.TableNames()) {
            CIndexInfoArray indexes;
            EXPECT_TRUE(m_side.ReadIndexes(table, indexes))
                << table.toStdString() << ": " << m_side.LastDiagnostic().toStdString();
            described.insert(table, Described(indexes));
        }
        return described;
    }

    // Reads the side whole in groups of tablesPerCall tables and expects every listed table's
    // indexes to be those read table by table; returns the tables that onTable heard of.
    QStringList ExpectSameAsTableByTable(const QMap<QString, QString>& expected, int tablesPerCall,
                                         const std::string& where) {
        CDataSourceSide::SetTablesPerIndexCall(tablesPerCall);
        CIndexCatalogue catalogue;
        QStringList heard;
        EXPECT_TRUE(m_side.ReadAllIndexes(catalogue,
                                          [&heard](const QString& table) {
                                              heard.append(table);
                                              return false;
                                          }))
            << where << ": " << m_side.LastDiagnostic().toStdString();
        for (auto table = expected.begin(); table != expected.end(); ++table) {
            CIndexInfoArray indexes;
            EXPECT_TRUE(catalogue.Indexes(table.key(), indexes))
                << where << " " << table.key().toStdString();
            EXPECT_EQ(Described(indexes), table.value())
                << where << " " << table.key().toStdString() << " in groups of " << tablesPerCall;
        }
        return heard;
    }

    // Both readings of the side's owner; a whole-side reading hears only of tables with
    // indexes (as it gives no rows for the others), so it is one indeed.
    QMap<QString, QString> ExpectOwnerAlike(const COwnerName& owner) {
        const std::string where = owner.Qualifier().toStdString();
        m_side.SetOwner(owner);
        EXPECT_TRUE(m_side.ListTables(nullptr)) << where;
        EXPECT_TRUE(m_side.ReadsAllIndexesAtOnce()) << where;
        const QMap<QString, QString> expected = ReadTableByTable();
        QStringList indexed;
        for (auto table = expected.begin(); table != expected.end(); ++table) {
            if (!table.value().isEmpty())
                indexed.append(table.key());
        }
        m_indexedTables += int(indexed.size());
        for (const int tablesPerCall : {250, 2}) {
            QStringList heard = ExpectSameAsTableByTable(expected, tablesPerCall, where);
            heard.sort();
            EXPECT_EQ(heard, indexed) << where;
        }
        return expected;
    }

    void ExpectEveryOwnerAlike(const QString& dataSource) {
        Open(dataSource);
        COwnerList owners;
        m_side.ListQualifiers(owners, nullptr);
        ASSERT_GT(owners.size(), 3u);
        for (const COwnerName& owner : owners) {
            const QMap<QString, QString> read = ExpectOwnerAlike(owner);
            if (owner.schema == QLatin1String("idx_l") ||
                owner.catalog == QLatin1String("quorvix_idx_l"))
                m_left = read;
        }
        ASSERT_FALSE(m_left.isEmpty());
    }

    int m_tablesPerCall = CDataSourceSide::TablesPerIndexCall();
    CDataSourceSide m_side;
    // Of the server's every owner; and the left fixture owner's indexes.
    int m_indexedTables = 0;
    QMap<QString, QString> m_left;
};

} // namespace

TEST_F(IndexReadingPaths, PostgresEveryOwnerAlikeIncludingExpressionsPartialAndQuotedNames) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    ExpectEveryOwnerAlike(kPostgres);
    // The system catalogues too, which the driver lists when asked to.
    CDataSourceDefinition definition;
    QString error;
    ASSERT_TRUE(CDataSourceDefinition::Read(kPostgres, true, definition, error))
        << error.toStdString();
    QString attributes = QStringLiteral("ShowSystemTables=1");
    for (const auto& [key, value] : definition.attributes)
        attributes += QLatin1Char('\n') + key + QLatin1Char('=') + value;
    COdbcTestEnvironment::AddDataSource(QStringLiteral("IndexPathsSystem"), true, definition.driver,
                                        attributes);
    Open(QStringLiteral("IndexPathsSystem"));
    m_indexedTables = 0;
    for (const char* schema : {"pg_catalog", "information_schema"})
        ExpectOwnerAlike({QStringLiteral("quorvix"), QLatin1String(schema)});
    EXPECT_GT(m_indexedTables, 50);

    // What psqlODBC reports: the primary key first, then the other indexes non-unique before
    // unique, each by name; an expression as its text, INCLUDE columns ascending, a partial
    // index as a whole one; a table without columns has none.
    EXPECT_EQ(m_left.value(QStringLiteral("cols")),
              QStringLiteral("ix_cols N +a +b | ix_dir N -c +a | ix_order N +b +c | "
                             "ux_flag U +a +c"));
    EXPECT_EQ(m_left.value(QStringLiteral("pk2")),
              QStringLiteral("pk2_pkey U +a +b | pk2_c_key U +c"));
    EXPECT_EQ(m_left.value(QStringLiteral("expr")),
              QStringLiteral("ix_expr N +lower(name) -(a + b) +a | ix_hash N +name | "
                             "ix_incl N -b +name +a | ix_part N +a"));
    EXPECT_EQ(m_left.value(QStringLiteral("dropped")), QStringLiteral("ix_dropped N +b +a"));
    EXPECT_EQ(m_left.value(QStringLiteral("no_columns")), QString());
    EXPECT_EQ(m_left.value(QStringLiteral("Mixed Case")),
              QStringLiteral("Ix \"Quoted\" Name N -spaced col +Col \"Q\" | UX Upper U +Upper"));
    EXPECT_EQ(m_left.value(QStringLiteral("mixed case")), QStringLiteral("ix_lower_twin N +a"));
    EXPECT_EQ(m_left.value(QStringLiteral("alike_b")), QString());
}

TEST_F(IndexReadingPaths, MariaDbEveryDatabaseAlikeIncludingNamesThatDifferOnlyInCase) {
    QUORVIX_REQUIRE_DATA_SOURCE(kMariaDb);
    ExpectEveryOwnerAlike(kMariaDb);
    // The mysql database's own indexes are among them.
    EXPECT_GT(m_indexedTables, 30);

    // What MariaDB Connector/ODBC reports: unique before non-unique, then by name without case
    // (so "c" before "PRIMARY"); a full-text index has no order and reads as ascending.
    EXPECT_EQ(m_left.value(QStringLiteral("cols")),
              QStringLiteral("ux_flag U +a +c | ix_cols N +a +b | ix_dir N -c +a | "
                             "ix_order N +b +c"));
    EXPECT_EQ(m_left.value(QStringLiteral("pk2")), QStringLiteral("c U +c | PRIMARY U +a +b"));
    EXPECT_EQ(m_left.value(QStringLiteral("texts")),
              QStringLiteral("ux_long U +body | ft_body N +body +title | ix_prefix N +title"));
    EXPECT_EQ(m_left.value(QStringLiteral("Twins")), QStringLiteral("ix_twin N +a"));
    EXPECT_EQ(m_left.value(QStringLiteral("TWINS")), QStringLiteral("ix_twin N +b +a"));
    EXPECT_EQ(m_left.value(QStringLiteral("twins")), QString());
    EXPECT_EQ(m_left.value(QStringLiteral("Mixed Case")),
              QStringLiteral("UX it's U +it's | Ix \"Quoted\" Name N -spaced col +Col \"Q\""));
}

TEST_F(IndexReadingPaths, SqliteAlikeIncludingTheDriversOwnReadings) {
    // The driver reports a lone INTEGER primary key as sqlite_autoindex_0 (even one that is no
    // rowid alias), never a descending column, and no name for an expression. It takes "\_"
    // in a table name for "_": such a table is read through it, so that both readings agree.
    const QString sql = QStringLiteral(R"sql(
CREATE TABLE alike_a (id INTEGER PRIMARY KEY, v INT);
CREATE TABLE alike_b (id INTEGER PRIMARY KEY, v INT);
CREATE INDEX ix_alike ON alike_a (v);
CREATE TABLE cols (a INT, b INT, c INT, name TEXT);
CREATE INDEX ix_cols ON cols (a, b);
CREATE INDEX ix_dir ON cols (c DESC, a);
CREATE UNIQUE INDEX ux_flag ON cols (a, c);
CREATE INDEX ix_expr ON cols (lower(name), a);
CREATE INDEX ix_part ON cols (b) WHERE b > 0;
CREATE TABLE pk2 (a INT, b TEXT, c INT UNIQUE, PRIMARY KEY (b, a));
CREATE TABLE desc_pk (id INTEGER PRIMARY KEY DESC, v INT);
CREATE TABLE int_pk (id INT PRIMARY KEY, v INT);
CREATE TABLE no_rowid (id INTEGER PRIMARY KEY, v INT) WITHOUT ROWID;
CREATE INDEX ix_no_rowid ON no_rowid (v);
CREATE TABLE "Mixed Case" ("Col ""Q""" INT, "spaced col" INT);
CREATE INDEX "Ix ""Quoted"" Name" ON "Mixed Case" ("spaced col" DESC, "Col ""Q""");
CREATE TABLE "a\_b" (x INT);
CREATE TABLE "a_b" (y INT);
CREATE INDEX ix_underscore ON "a_b" (y);
CREATE VIEW v_cols AS SELECT a, b FROM cols;
)sql");
    COdbcTestEnvironment::AddSqliteDataSource(QStringLiteral("IndexPathsLite"), sql);
    Open(QStringLiteral("IndexPathsLite"));
    ASSERT_TRUE(m_side.ReadsAllIndexesAtOnce());
    const QMap<QString, QString> expected = ReadTableByTable();
    for (const int tablesPerCall : {250, 2}) {
        QStringList heard = ExpectSameAsTableByTable(expected, tablesPerCall, "sqlite");
        heard.sort();
        // The tables with indexes, and the one read through the driver.
        EXPECT_EQ(heard, (QStringList{"Mixed Case", "a\\_b", "a_b", "alike_a", "alike_b", "cols",
                                      "desc_pk", "int_pk", "no_rowid", "pk2"}))
            << tablesPerCall;
    }
    EXPECT_EQ(expected.value(QStringLiteral("alike_a")),
              QStringLiteral("sqlite_autoindex_0 U +id | ix_alike N +v"));
    EXPECT_EQ(expected.value(QStringLiteral("cols")),
              QStringLiteral("ix_part N +b | ix_expr N + +a | ux_flag U +a +c | ix_dir N +c +a | "
                             "ix_cols N +a +b"));
    EXPECT_EQ(expected.value(QStringLiteral("desc_pk")),
              QStringLiteral("sqlite_autoindex_0 U +id | sqlite_autoindex_desc_pk_1 U +id"));
    EXPECT_EQ(expected.value(QStringLiteral("int_pk")),
              QStringLiteral("sqlite_autoindex_int_pk_1 U +id"));
    // Read as "a_b" by the driver.
    EXPECT_EQ(expected.value(QStringLiteral("a\\_b")), QStringLiteral("ix_underscore N +y"));
}

TEST_F(IndexReadingPaths, ATableTheDriverRefusesFailsBothReadingsAlike) {
    // The SQLite driver takes a name that begins with "%" for a pattern and refuses it.
    COdbcTestEnvironment::AddSqliteDataSource(
        QStringLiteral("IndexPathsRefused"),
        QStringLiteral("CREATE TABLE \"%share\" (a INT); CREATE INDEX ix_share ON \"%share\" (a);"
                       "CREATE TABLE plain (b INT); CREATE INDEX ix_plain ON plain (b);"));
    Open(QStringLiteral("IndexPathsRefused"));
    CIndexInfoArray indexes;
    ASSERT_FALSE(m_side.ReadIndexes(QStringLiteral("%share"), indexes));
    const QString refused = m_side.LastDiagnostic();
    EXPECT_FALSE(refused.isEmpty());
    CIndexCatalogue catalogue;
    EXPECT_FALSE(m_side.ReadAllIndexes(catalogue, {}));
    EXPECT_EQ(m_side.LastDiagnostic(), refused);
    EXPECT_EQ(catalogue.TableCount(), 0);
}

// A server that drops the connection between two groups fails the reading with the driver's
// message and keeps nothing of what it had read; a stop asked for by onTable keeps nothing
// either and is no failure.
TEST_F(IndexReadingPaths, ALostConnectionFailsTheReadingWithTheDriversMessage) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    QUORVIX_REQUIRE_DATA_SOURCE(kMariaDb);
    struct Server {
        QString dataSource;
        COwnerName owner;
        QString sessionSql;
        QString killSql;
    };
    for (const Server& server :
         {Server{kPostgres,
                 {QStringLiteral("quorvix"), QStringLiteral("idx_l")},
                 QStringLiteral("SELECT pg_backend_pid()"),
                 QStringLiteral("SELECT CASE WHEN pg_terminate_backend(%1) THEN 1 END")},
          Server{kMariaDb,
                 {QStringLiteral("quorvix_idx_l"), QString()},
                 QStringLiteral("SELECT CONNECTION_ID()"),
                 QStringLiteral("KILL CONNECTION %1")}}) {
        const std::string where = server.dataSource.toStdString();
        Open(server.dataSource, server.owner);
        CDataSourceSide::SetTablesPerIndexCall(2);
        CIndexCatalogue catalogue;
        int heard = 0;
        EXPECT_FALSE(
            m_side.ReadAllIndexes(catalogue, [&heard](const QString&) { return ++heard == 1; }));
        EXPECT_TRUE(m_side.LastDiagnostic().isEmpty()) << where;
        EXPECT_EQ(catalogue.TableCount(), 0) << where;

        qint32 session = -1;
        {
            COdbcStatement statement(*m_side.Connection());
            ASSERT_TRUE(statement.ExecuteDirect(server.sessionSql)) << where;
            const int number = statement.BindInt32(1);
            ASSERT_EQ(statement.Fetch(), COdbcStatement::FetchResult::Row) << where;
            session = statement.Number(number);
        }
        bool killed = false;
        EXPECT_FALSE(m_side.ReadAllIndexes(catalogue, [&](const QString&) {
            if (!killed)
                COdbcTestEnvironment::QueryNumber(server.dataSource, server.killSql.arg(session));
            killed = true;
            return false;
        }));
        EXPECT_TRUE(killed) << where;
        EXPECT_TRUE(m_side.LastDiagnostic().contains(
            QRegularExpression(QStringLiteral("^[0-9A-Z]{5}: .+"))))
            << where << ": " << m_side.LastDiagnostic().toStdString();
        EXPECT_EQ(catalogue.TableCount(), 0) << where;
    }
}

TEST(IndexCatalogue, ATableTheReadingAnsweredForWithoutRowsHasNoIndexes) {
    CIndexCatalogue catalogue;
    catalogue.AddTable(QStringLiteral("T"));
    catalogue.AddTable(QStringLiteral("bare"));
    catalogue.AddRow(QStringLiteral("T"), u"ix", false, u"a", true);
    catalogue.AddRow(QStringLiteral("T"), u"ix", true, u"b", false);
    // Rows of one name make one index only where they follow each other.
    catalogue.AddRow(QStringLiteral("T"), u"ux", true, u"c", true);
    catalogue.AddRow(QStringLiteral("T"), u"ix", false, u"d", true);
    CIndexInfoArray indexes;
    ASSERT_TRUE(catalogue.Indexes(QStringLiteral("T"), indexes));
    EXPECT_EQ(Described(indexes), QStringLiteral("ix N +a -b | ux U +c | ix N +d"));
    EXPECT_TRUE(catalogue.Indexes(QStringLiteral("bare"), indexes));
    EXPECT_TRUE(indexes.empty());
    // A table the reading never answered for is not taken for one without indexes.
    EXPECT_FALSE(catalogue.Indexes(QStringLiteral("t"), indexes));
}
