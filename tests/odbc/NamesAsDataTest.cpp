// Names from a catalogue or a data source list are data: they can neither change what SQL runs
// nor where the program connects, every table is read as itself, and every connection refuses
// writes where the database can be told to.
#include "odbc/DataSourceSide.h"
#include "odbc/OdbcConnection.h"
#include "odbc/OdbcStatement.h"

#include "odbc/ListTargets.h"
#include "odbc/OdbcTestEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <map>

namespace {

const QString kPostgres = QStringLiteral("QuorvixPostgres");
const QString kMariaDb = QStringLiteral("QuorvixMariaDB");

// An owner of the PostgreSQL fixture whose name would run a DELETE if pasted into SQL.
const QString kHostileDot =
    QStringLiteral("public.f9201;DELETE FROM public.victim;SELECT 1 FROM public");
const QString kHostileQuote = QStringLiteral("q\";DELETE FROM public.victim;--");

QStringList DictionaryKeys(CDataSourceSide& side) {
    QStringList keys;
    bool cancelFlag = false;
    const bool read = side.ReadDataDictionary(
        CDataSourceSide::DictionaryMode::LeftKeys, {10}, nullptr,
        [&keys](CDataSourceSide::DictionaryMode, const QString& key, QStringList*,
                std::unique_ptr<CAliasCompareInfo>, bool&) {
            keys.append(key.trimmed());
            return false;
        },
        cancelFlag);
    EXPECT_TRUE(read) << side.LastDiagnostic().toStdString();
    return keys;
}

QStringList ColumnNames(CDataSourceSide& side, const QString& table) {
    CColumnInfoArray columns;
    EXPECT_TRUE(side.ReadColumns(table, columns))
        << table.toStdString() << ": " << side.LastDiagnostic().toStdString();
    QStringList names;
    for (const auto& column : columns)
        names.append(column->name);
    return names;
}

// The tables of the escape fixtures and the columns that belong to each alone.
const std::map<QString, QStringList> kPatternTables{
    {QStringLiteral("back\\slash"), {QStringLiteral("b1")}},
    {QStringLiteral("backXslash"), {QStringLiteral("x1"), QStringLiteral("x2")}},
    {QStringLiteral("A_B"), {QStringLiteral("a1")}},
    {QStringLiteral("AXB"), {QStringLiteral("x1"), QStringLiteral("x2")}},
    {QStringLiteral("A%B"), {QStringLiteral("p1")}},
    {QStringLiteral("A9B"), {QStringLiteral("n1"), QStringLiteral("n2")}},
};

void ExpectEachTableReadAsItself(CDataSourceSide& side) {
    ASSERT_TRUE(side.ListTables(nullptr)) << side.LastDiagnostic().toStdString();
    for (const auto& [table, columns] : kPatternTables) {
        EXPECT_TRUE(side.TableNames().contains(table)) << table.toStdString();
        EXPECT_EQ(ColumnNames(side, table), columns) << table.toStdString();
    }
    CIndexInfoArray indexes;
    ASSERT_TRUE(side.ReadIndexes(QStringLiteral("back\\slash"), indexes));
    ASSERT_EQ(indexes.size(), 1u);
    EXPECT_EQ(indexes[0]->name, QStringLiteral("ix_back"));
}

} // namespace

TEST(NamesAsData, HostileOwnerNamesStayInsideTheirQuotedIdentifiers) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    const QString victims = QStringLiteral("SELECT COUNT(*) FROM public.victim");
    ASSERT_EQ(COdbcTestEnvironment::QueryNumber(kPostgres, victims), 3);

    CDataSourceSide side;
    side.SetDataSource(kPostgres, CDataSourceSide::SystemDataSource);
    ASSERT_TRUE(side.Connect());
    // Choosing the owner counts the rows of its F9201, the first statement that names it.
    side.SetOwner({QStringLiteral("quorvix"), kHostileDot});
    ASSERT_TRUE(side.ListTables(nullptr)) << side.LastDiagnostic().toStdString();
    EXPECT_EQ(side.DataDictionaryTable(), QStringLiteral("f9201"));
    EXPECT_EQ(side.LookupDataItemSize(QStringLiteral("DTAI")), 10);
    EXPECT_EQ(DictionaryKeys(side), (QStringList{"AN8", "DTAI"}));
    EXPECT_EQ(ColumnNames(side, QStringLiteral("orders")), QStringList{QStringLiteral("id")});

    side.SetOwner({QStringLiteral("quorvix"), kHostileQuote});
    ASSERT_TRUE(side.ListTables(nullptr)) << side.LastDiagnostic().toStdString();
    EXPECT_EQ(side.DataDictionaryTable(), QStringLiteral("f9210"));
    EXPECT_EQ(DictionaryKeys(side), (QStringList{"AN8", "DTAI", "O'Brien"}));
    EXPECT_EQ(side.LookupDataItemSize(QStringLiteral("O'Brien")), 1);

    EXPECT_EQ(COdbcTestEnvironment::QueryNumber(kPostgres, victims), 3);
}

TEST(NamesAsData, OwnersDifferingOnlyInCaseAndQuotedUpperCaseDictionaries) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    CDataSourceSide side;
    side.SetDataSource(kPostgres, CDataSourceSide::SystemDataSource);
    ASSERT_TRUE(side.Connect());
    const struct {
        const char* schema;
        const char* table;
        QStringList keys;
    } cases[] = {
        {"Sales", "f9210", {"DTAI", "UPPERSALES"}},
        {"sales", "f9210", {"DTAI", "LOWERSALES"}},
        {"upper_dict", "F9210", {"DTAI", "UPPER"}},
    };
    for (const auto& c : cases) {
        side.SetOwner({QStringLiteral("quorvix"), QLatin1String(c.schema)});
        ASSERT_TRUE(side.ListTables(nullptr)) << c.schema;
        EXPECT_EQ(side.DataDictionaryTable(), QLatin1String(c.table)) << c.schema;
        EXPECT_EQ(DictionaryKeys(side), c.keys) << c.schema;
    }
}

TEST(NamesAsData, IdentifiersAreQuotedWithTheDriversCharacterEachPartApart) {
    COdbcTestEnvironment::AddSqliteDataSource(QStringLiteral("LiteQuote"),
                                              QStringLiteral("CREATE TABLE t (a INTEGER);"));
    CDataSourceSide side;
    side.SetDataSource(QStringLiteral("LiteQuote"), CDataSourceSide::SystemDataSource);
    ASSERT_TRUE(side.Connect());
    EXPECT_EQ(side.QuoteIdentifier(QStringLiteral("a\"b")), QStringLiteral("\"a\"\"b\""));
    side.SetOwner({QStringLiteral("db.one"), QStringLiteral("s.x")});
    EXPECT_EQ(side.QualifiedName(QStringLiteral("T")), QStringLiteral("\"db.one\".\"s.x\".\"T\""));
    side.SetOwner({});
    EXPECT_EQ(side.QualifiedName(QStringLiteral("T")), QStringLiteral("\"T\""));

    QUORVIX_REQUIRE_DATA_SOURCE(kMariaDb);
    CDataSourceSide maria;
    maria.SetDataSource(kMariaDb, CDataSourceSide::SystemDataSource);
    ASSERT_TRUE(maria.Connect());
    maria.SetOwner({QStringLiteral("quorvix_a"), QString()});
    EXPECT_EQ(maria.QualifiedName(QStringLiteral("a`b")), QStringLiteral("`quorvix_a`.`a``b`"));
}

TEST(NamesAsData, PatternCharactersFindEachTableAsItselfOnEveryDriver) {
    // SQLite
    COdbcTestEnvironment::AddSqliteDataSource(
        QStringLiteral("LitePatterns"),
        QStringLiteral("CREATE TABLE \"back\\slash\" (b1 INTEGER);"
                       "CREATE TABLE \"backXslash\" (x1 INTEGER, x2 INTEGER);"
                       "CREATE TABLE \"A_B\" (a1 INTEGER); CREATE TABLE \"AXB\" (x1, x2);"
                       "CREATE TABLE \"A%B\" (p1 INTEGER); CREATE TABLE \"A9B\" (n1, n2);"
                       "CREATE INDEX ix_back ON \"back\\slash\" (b1);"));
    CDataSourceSide lite;
    lite.SetDataSource(QStringLiteral("LitePatterns"), CDataSourceSide::SystemDataSource);
    ASSERT_TRUE(lite.Connect());
    ExpectEachTableReadAsItself(lite);

    // PostgreSQL, in an owner whose own name holds the escape character; a table without
    // columns is told from one that cannot be found.
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    CDataSourceSide postgres;
    postgres.SetDataSource(kPostgres, CDataSourceSide::SystemDataSource);
    ASSERT_TRUE(postgres.Connect());
    postgres.SetOwner({QStringLiteral("quorvix"), QStringLiteral("esc\\ape")});
    ExpectEachTableReadAsItself(postgres);
    EXPECT_EQ(postgres.TableCount(), int(kPatternTables.size()) + 1);
    EXPECT_EQ(ColumnNames(postgres, QStringLiteral("no_columns")), QStringList());
    CColumnInfoArray columns;
    EXPECT_FALSE(postgres.ReadColumns(QStringLiteral("dropped_meanwhile"), columns));
    EXPECT_TRUE(postgres.LastDiagnostic().contains(QStringLiteral("dropped_meanwhile")));

    // MariaDB
    QUORVIX_REQUIRE_DATA_SOURCE(kMariaDb);
    CDataSourceSide maria;
    maria.SetDataSource(kMariaDb, CDataSourceSide::SystemDataSource);
    ASSERT_TRUE(maria.Connect());
    maria.SetOwner({QStringLiteral("quorvix_esc"), QString()});
    ExpectEachTableReadAsItself(maria);
}

TEST(NamesAsData, DataSourceNameCannotAddConnectionAttributes) {
    const QString own = COdbcTestEnvironment::AddSqliteDataSource(
        QStringLiteral("LiteOwnFile"), QStringLiteral("CREATE TABLE own_table (a INTEGER);"));
    COdbcTestEnvironment::AddSqliteDataSource(
        QStringLiteral("o"), QStringLiteral("CREATE TABLE other_table (a INTEGER);"));
    // The driver would open "o.sqlite" relative to the working folder.
    const QString savedFolder = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(COdbcTestEnvironment::Folder()));
    // The definition names its own file; the name tries to point the driver at another one.
    for (const QString& name :
         {QStringLiteral("I;Database=o.sqlite"), QStringLiteral("I};Database=o.sqlite;{")}) {
        COdbcTestEnvironment::AddDataSource(name, false, QStringLiteral("SQLite3"),
                                            QStringLiteral("Database=") + own);
        EXPECT_TRUE(COdbcConnection::ConnectString(name).isEmpty());
        CDataSourceSide side;
        side.SetDataSource(name, CDataSourceSide::UserDataSource);
        ASSERT_TRUE(side.Connect()) << name.toStdString();
        ASSERT_TRUE(side.ListTables(nullptr));
        EXPECT_EQ(side.TableNames(), QStringList{QStringLiteral("own_table")})
            << name.toStdString();
    }
    QDir::setCurrent(savedFolder);
    EXPECT_EQ(COdbcConnection::ConnectString(QStringLiteral("Plain name")),
              QStringLiteral("DSN=Plain name;"));
}

// Without StepAPI the SQLite driver builds each whole answer in memory before the first row.
// Every connection asks it to step through the rows, whatever the definition says, keeps the
// definition's other settings (FKSupport here), and opens the data source's own database
// whatever its name and however its file is spelt.
TEST(NamesAsData, SqliteDataSourcesAreReadRowByRowWhateverTheirNameOrDefinition) {
    const QString own = COdbcTestEnvironment::AddSqliteDataSource(
        QStringLiteral("LiteStepped"),
        QStringLiteral("CREATE TABLE own_table (a INTEGER); CREATE TABLE steps (v INTEGER);"
                       "INSERT INTO steps VALUES (1), (2), (-9223372036854775807 - 1);"));
    COdbcTestEnvironment::AddSqliteDataSource(QStringLiteral("q"),
                                              QStringLiteral("CREATE TABLE other (a INTEGER);"));
    const QString braced = COdbcTestEnvironment::Folder() + QStringLiteral("/{own}.sqlite");
    ASSERT_TRUE(QFile::copy(own, braced));
    const QString savedFolder = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(COdbcTestEnvironment::Folder()));
    const auto definition = [](const QString& file, const QString& more = {}) {
        return QStringLiteral("Database=") + file + QStringLiteral("\nFKSupport=1\n") + more;
    };
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("Lite unstepped"), definition(own)},
        {QStringLiteral("Lite stepping off"), definition(own, QStringLiteral("StepAPI=0"))},
        {QStringLiteral("I=Database=q.sqlite"), definition(own)},
        {QStringLiteral("I;StepAPI=0;Database=q.sqlite"), definition(own)},
        {QStringLiteral("I};Database=q.sqlite;{"), definition(braced, QStringLiteral("StepAPI=0"))},
        // Keys the driver manager itself would act on stay out of the string.
        {QStringLiteral("K;x"), definition(own, QStringLiteral("DSN=q\nSAVEFILE=saved.dsn"))},
    };
    for (const auto& [name, attributes] : cases) {
        SCOPED_TRACE(name.toStdString());
        COdbcTestEnvironment::AddDataSource(name, false, QStringLiteral("SQLite3"), attributes);
        COdbcConnection connection;
        ASSERT_TRUE(connection.Open(name)) << connection.Diagnostic().toStdString();
        {
            // The third row overflows: a driver that steps gives the first two before the
            // error, one that builds the whole answer fails the statement itself.
            COdbcStatement steps(connection);
            ASSERT_TRUE(
                steps.ExecuteDirect(QStringLiteral("SELECT abs(v) FROM steps ORDER BY rowid")))
                << steps.Diagnostic().toStdString();
            EXPECT_EQ(steps.Fetch(), COdbcStatement::FetchResult::Row);
            EXPECT_EQ(steps.Fetch(), COdbcStatement::FetchResult::Row);
            EXPECT_EQ(steps.Fetch(), COdbcStatement::FetchResult::Error);
        }
        COdbcStatement setting(connection);
        ASSERT_TRUE(setting.ExecuteDirect(QStringLiteral("PRAGMA foreign_keys")));
        const int enabled = setting.BindInt32(1);
        ASSERT_EQ(setting.Fetch(), COdbcStatement::FetchResult::Row);
        EXPECT_EQ(setting.Number(enabled), 1);
        COdbcStatement ownTable(connection);
        EXPECT_TRUE(ownTable.ExecuteDirect(QStringLiteral("SELECT a FROM own_table")))
            << ownTable.Diagnostic().toStdString();
    }
    EXPECT_FALSE(QFile::exists(QStringLiteral("saved.dsn")));
    QDir::setCurrent(savedFolder);
}

TEST(NamesAsData, EveryConnectionRefusesWritesWhereTheDatabaseCanBeToldTo) {
    COdbcTestEnvironment::AddSqliteDataSource(
        QStringLiteral("LiteVictim"),
        QStringLiteral(
            "CREATE TABLE victim (id INTEGER); INSERT INTO victim VALUES (1), (2), (3);"));
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    QUORVIX_REQUIRE_DATA_SOURCE(kMariaDb);
    const struct {
        QString dataSource;
        QString victim;
    } cases[] = {
        {QStringLiteral("LiteVictim"), QStringLiteral("victim")},
        {kPostgres, QStringLiteral("public.victim")},
        {kMariaDb, QStringLiteral("quorvix_esc.victim")},
    };
    for (const auto& c : cases) {
        COdbcConnection connection;
        ASSERT_TRUE(connection.Open(c.dataSource)) << c.dataSource.toStdString();
        EXPECT_TRUE(connection.SessionReadOnly()) << c.dataSource.toStdString();
        COdbcStatement statement(connection);
        EXPECT_FALSE(statement.ExecuteDirect(QStringLiteral("DELETE FROM ") + c.victim))
            << c.dataSource.toStdString();
        EXPECT_FALSE(statement.Diagnostic().isEmpty());
        EXPECT_EQ(COdbcTestEnvironment::QueryNumber(
                      c.dataSource, QStringLiteral("SELECT COUNT(*) FROM ") + c.victim),
                  3)
            << c.dataSource.toStdString();
    }
}
