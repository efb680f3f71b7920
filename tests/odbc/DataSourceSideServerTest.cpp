// The readers against the private PostgreSQL and MariaDB servers that scripts/test starts.
#include "EventWait.h"
#include "model/NameOrdering.h"
#include "odbc/CatalogueDefaults.h"
#include "odbc/ColumnCatalogue.h"
#include "odbc/DataSourceSetup.h"
#include "odbc/DataSourceSide.h"

#include "odbc/DescribedColumns.h"
#include "odbc/ListTargets.h"
#include "odbc/OdbcTestEnvironment.h"

#include <gtest/gtest.h>

#include <QProcess>

namespace {

const QString kPostgres = QStringLiteral("QuorvixPostgres");
const QString kMariaDb = QStringLiteral("QuorvixMariaDB");

class ServerSide : public ::testing::Test {
protected:
    void Open(const QString& dataSource, const QString& qualifier) {
        m_side.SetDataSource(dataSource, CDataSourceSide::SystemDataSource);
        ASSERT_TRUE(m_side.Connect()) << dataSource.toStdString();
        m_side.SetOwnerQualifier(qualifier);
        ASSERT_TRUE(m_side.ListTables(&m_tables));
    }

    QStringList ColumnNames(const QString& table) {
        CColumnInfoArray columns;
        EXPECT_TRUE(m_side.ReadColumns(table, columns)) << table.toStdString();
        QStringList names;
        for (const auto& column : columns)
            names.append(column->name);
        return names;
    }

    QStringList ColumnAttributes(const QString& table) {
        CColumnInfoArray columns;
        EXPECT_TRUE(m_side.ReadColumns(table, columns, true)) << table.toStdString();
        return DescribedAttributes(columns);
    }

    const CIndexInfo* FindIndex(const CIndexInfoArray& indexes, const QString& name) {
        for (const auto& index : indexes) {
            if (index->name == name)
                return index.get();
        }
        return nullptr;
    }

    int FlaggedViews() const {
        int views = 0;
        for (int i = 0; i < m_side.TableCount(); ++i)
            views += m_side.IsView(i);
        return views;
    }

    CDataSourceSide m_side;
    CTableListRecorder m_tables;
};

// Databases whose names are search patterns that match one another's: "qvx_a_b" matches
// "qvxXaYb", "qvx%c" matches "qvxZZc" and "qvx\d" as a pattern matches "qvxd" only. Made here,
// as root over the server's socket, so that the test brings its own data to any running server.
void CreatePatternDatabases() {
    CDataSourceDefinition definition;
    QString error;
    ASSERT_TRUE(CDataSourceDefinition::Read(kMariaDb, true, definition, error))
        << error.toStdString();
    QProcess client;
    client.start(QStringLiteral("mariadb"),
                 {QStringLiteral("--no-defaults"),
                  QStringLiteral("--socket=") + definition.Attribute(QStringLiteral("Socket")),
                  QStringLiteral("-u"), QStringLiteral("root")});
    client.write(R"sql(
CREATE DATABASE IF NOT EXISTS `qvx_a_b`;
CREATE TABLE IF NOT EXISTS `qvx_a_b`.`ab_table` (ab1 int, ab2 int);
CREATE DATABASE IF NOT EXISTS `qvxXaYb`;
CREATE TABLE IF NOT EXISTS `qvxXaYb`.`xy_table` (xy1 int);
CREATE TABLE IF NOT EXISTS `qvxXaYb`.`F9210` (FRDTAI varchar(10), FRDTAS int);
CREATE DATABASE IF NOT EXISTS `qvx%c`;
CREATE TABLE IF NOT EXISTS `qvx%c`.`pc_table` (pc1 int);
CREATE DATABASE IF NOT EXISTS `qvxZZc`;
CREATE TABLE IF NOT EXISTS `qvxZZc`.`zc_table` (zc1 int);
CREATE DATABASE IF NOT EXISTS `qvx\d`;
CREATE TABLE IF NOT EXISTS `qvx\d`.`bd_table` (bd1 int);
CREATE DATABASE IF NOT EXISTS `qvxd`;
CREATE TABLE IF NOT EXISTS `qvxd`.`d_table` (d1 int);
CREATE INDEX IF NOT EXISTS ix_d ON `qvxd`.`d_table` (d1);
)sql");
    client.closeWriteChannel();
    ASSERT_TRUE(client.waitForFinished(kEventLimitMs));
    ASSERT_EQ(client.exitCode(), 0) << client.readAllStandardError().toStdString();
}

} // namespace

TEST_F(ServerSide, PostgresOwnersAreDatabaseAndSchema) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    Open(kPostgres, QString());
    COwnerList ownerNames;
    COwnerComboRecorder combo;
    m_side.ListQualifiers(ownerNames, &combo);
    const QStringList owners = Qualifiers(ownerNames);
    ASSERT_TRUE(owners.contains(QStringLiteral("quorvix.s1")));
    ASSERT_TRUE(owners.contains(QStringLiteral("quorvix.s2")));
    EXPECT_EQ(owners.count(QStringLiteral("quorvix.s1")), 1);
    ASSERT_EQ(combo.entries.size(), owners.size());
    for (int i = 0; i < owners.size(); ++i)
        EXPECT_EQ(combo.TextOf(i), owners[i]);
}

TEST_F(ServerSide, PostgresTablesOfOneSchemaKeepNamesThatDifferInCase) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    Open(kPostgres, QStringLiteral("quorvix.s1"));
    EXPECT_EQ(m_side.TableNames(),
              (QStringList{"AXB", "A_B", "ORDERS", "Orders", "f9210", "v_orders", "zeta"}));
    EXPECT_EQ(m_side.IsView(5), 1);
    EXPECT_EQ(FlaggedViews(), 1);
    EXPECT_EQ(m_tables.items.size(), 7);
    EXPECT_EQ(m_side.DataDictionaryTable(), QStringLiteral("f9210"));

    EXPECT_EQ(ColumnNames(QStringLiteral("A_B")), QStringList{QStringLiteral("a1")});
    EXPECT_EQ(ColumnNames(QStringLiteral("ORDERS")),
              (QStringList{"id", "line", "created", "stamp"}));
    EXPECT_EQ(ColumnNames(QStringLiteral("Orders")),
              (QStringList{"id", "Customer", "amount", "note", "code", "flags"}));
}

TEST_F(ServerSide, PostgresColumnTypesAndSizes) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    Open(kPostgres, QStringLiteral("quorvix.s1"));
    CColumnInfoArray columns;
    ASSERT_TRUE(m_side.ReadColumns(QStringLiteral("Orders"), columns));
    ASSERT_EQ(columns.size(), 6u);
    EXPECT_EQ(columns[0]->dataType, 4);
    EXPECT_EQ(columns[1]->dataType, -9);
    EXPECT_EQ(columns[1]->size, 40);
    EXPECT_EQ(columns[2]->dataType, 2);
    EXPECT_EQ(columns[3]->dataType, -10);
    EXPECT_EQ(columns[4]->dataType, -8);
    EXPECT_EQ(columns[4]->size, 5);
    EXPECT_EQ(columns[4]->GetText(1), QStringLiteral("bpchar (5)"));
}

TEST_F(ServerSide, PostgresIndexesKeepDescendingColumnsAndKeyOrder) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    Open(kPostgres, QStringLiteral("quorvix.s1"));
    CIndexInfoArray indexes;
    ASSERT_TRUE(m_side.ReadIndexes(QStringLiteral("Orders"), indexes));
    ASSERT_EQ(indexes.size(), 2u); // in the driver's order, which need not put unique ones first
    ASSERT_NE(FindIndex(indexes, QStringLiteral("ux_orders_id")), nullptr);
    const CIndexInfo* amount = FindIndex(indexes, QStringLiteral("ix_orders_amount"));
    ASSERT_NE(amount, nullptr);
    EXPECT_EQ(amount->columns, (QStringList{"amount", "Customer"}));
    EXPECT_EQ(amount->ascending, (std::vector<quint8>{0, 1}));
}

TEST_F(ServerSide, PostgresViewNamedLikeATableOfAnotherSchemaIsFlaggedOnce) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    Open(kPostgres, QString());
    // s1's table, s2's view and case_l's table: the view alone is flagged.
    const QStringList& names = m_side.TableNames();
    EXPECT_EQ(names.count(QStringLiteral("Orders")), 3);
    int views = 0;
    for (int index = 0; index < names.size(); ++index) {
        if (names[index] == QLatin1String("Orders"))
            views += m_side.IsView(index);
    }
    EXPECT_EQ(views, 1);
}

TEST_F(ServerSide, PostgresF9201WithRowsServesAsTheDataDictionary) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    Open(kPostgres, QStringLiteral("quorvix.s2"));
    EXPECT_EQ(m_side.DataDictionaryTable(), QStringLiteral("f9201"));
    EXPECT_EQ(m_side.LookupDataItemSize(QStringLiteral("DTAI")), 10);
    EXPECT_EQ(m_side.LookupDataItemSize(QStringLiteral("DTAT")), -1);
}

TEST_F(ServerSide, PostgresDictionaryRowsInItemOrder) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    Open(kPostgres, QStringLiteral("quorvix.s1"));
    ASSERT_EQ(m_side.LookupDataItemSize(QStringLiteral("DTAI")), 10);

    QStringList keys;
    std::vector<std::unique_ptr<CAliasCompareInfo>> records;
    bool cancelFlag = false;
    const bool read = m_side.ReadDataDictionary(
        CDataSourceSide::DictionaryMode::LeftRows, {10, 2, 4, 1}, nullptr,
        [&](CDataSourceSide::DictionaryMode, const QString& key, QStringList*,
            std::unique_ptr<CAliasCompareInfo> record, bool&) {
            keys.append(key);
            records.push_back(std::move(record));
            return false;
        },
        cancelFlag);
    EXPECT_TRUE(read);
    EXPECT_EQ(keys,
              (QStringList{"ALPH", "AMT", "AN8", "CDEC", "DTAI", "DTAT", "LONGERTHAN", "OWTP"}));
    ASSERT_EQ(records.size(), 8u);
    EXPECT_EQ(records[0]->itemType[0], QString());
    EXPECT_EQ(records[0]->itemSize[0], 40);
    EXPECT_EQ(records[1]->itemSize[0], 0); // NULL FRDTAS
    EXPECT_EQ(records[0]->fileDecimals[0], 0);
    EXPECT_EQ(records[1]->fileDecimals[0], 2);
}

TEST_F(ServerSide, PostgresServerDownGivesNoConnectionQuickly) {
    QUORVIX_REQUIRE_DATA_SOURCE(QStringLiteral("QuorvixPostgresDown"));
    m_side.SetDataSource(QStringLiteral("QuorvixPostgresDown"), CDataSourceSide::SystemDataSource);
    EXPECT_FALSE(m_side.Connect());
    EXPECT_FALSE(m_side.ListTables(&m_tables));
    COwnerList ownerNames;
    m_side.ListQualifiers(ownerNames, nullptr);
    const QStringList owners = Qualifiers(ownerNames);
    EXPECT_TRUE(owners.isEmpty());
}

TEST_F(ServerSide, MariaDbOwnersAreCatalogsIncludingSystemDatabases) {
    QUORVIX_REQUIRE_DATA_SOURCE(kMariaDb);
    Open(kMariaDb, QString());
    COwnerList ownerNames;
    COwnerComboRecorder combo;
    m_side.ListQualifiers(ownerNames, &combo);
    const QStringList owners = Qualifiers(ownerNames);
    const qsizetype a = owners.indexOf(QStringLiteral("quorvix_a."));
    ASSERT_GE(a, 0);
    EXPECT_EQ(combo.TextOf(int(a)), QStringLiteral("quorvix_a"));
    EXPECT_TRUE(owners.contains(QStringLiteral("mysql.")));
}

TEST_F(ServerSide, MariaDbTablesColumnsAndIndexes) {
    QUORVIX_REQUIRE_DATA_SOURCE(kMariaDb);
    Open(kMariaDb, QStringLiteral("quorvix_a."));
    EXPECT_EQ(m_side.TableNames(),
              (QStringList{"AXB", "A_B", "F9210", "ORDERS", "Orders", "v_orders"}));
    EXPECT_EQ(m_side.IsView(5), 1);
    EXPECT_EQ(FlaggedViews(), 1);
    EXPECT_EQ(m_side.DataDictionaryTable(), QStringLiteral("F9210"));

    EXPECT_EQ(ColumnNames(QStringLiteral("A_B")), QStringList{QStringLiteral("a1")});
    EXPECT_EQ(ColumnNames(QStringLiteral("ORDERS")),
              (QStringList{"id", "line", "created", "stamp"}));
    EXPECT_EQ(ColumnNames(QStringLiteral("Orders")).size(), 6);

    CIndexInfoArray indexes;
    ASSERT_TRUE(m_side.ReadIndexes(QStringLiteral("Orders"), indexes));
    const CIndexInfo* amount = FindIndex(indexes, QStringLiteral("ix_orders_amount"));
    ASSERT_NE(amount, nullptr);
    EXPECT_EQ(amount->columns, (QStringList{"amount", "Customer"}));
    EXPECT_EQ(amount->ascending, (std::vector<quint8>{0, 1}));
    const CIndexInfo* fullText = FindIndex(indexes, QStringLiteral("ft_note"));
    ASSERT_NE(fullText, nullptr);
    EXPECT_EQ(fullText->ascending, std::vector<quint8>{1}); // no sort order reads as ascending
    EXPECT_EQ(indexes.size(), 3u);
}

TEST_F(ServerSide, MariaDbDataDictionaryChoice) {
    QUORVIX_REQUIRE_DATA_SOURCE(kMariaDb);
    Open(kMariaDb, QStringLiteral("quorvix_b."));
    EXPECT_EQ(m_side.DataDictionaryTable(), QString()); // its F9201 is empty
    m_side.SetOwnerQualifier(QStringLiteral("quorvix_c."));
    ASSERT_TRUE(m_side.ListTables(&m_tables));
    EXPECT_EQ(m_side.DataDictionaryTable(), QStringLiteral("f9201"));
    EXPECT_EQ(m_side.LookupDataItemSize(QStringLiteral("DTAI")), 10);
    m_side.SetOwnerQualifier(QStringLiteral("quorvix_a."));
    ASSERT_TRUE(m_side.ListTables(&m_tables));
    EXPECT_EQ(m_side.LookupDataItemSize(QStringLiteral("ALPH")), 40);
}

TEST_F(ServerSide, MariaDbDatabaseNamedLikeAPatternReadsOnlyItsOwnTables) {
    QUORVIX_REQUIRE_DATA_SOURCE(kMariaDb);
    CreatePatternDatabases();
    const struct {
        const char* database;
        QStringList tables;
        const char* otherTable; // a table of a database that the name matches as a pattern
    } cases[] = {
        {"qvx_a_b", {"ab_table"}, "xy_table"},
        {"qvx%c", {"pc_table"}, "zc_table"},
        {"qvx\\d", {"bd_table"}, "d_table"},
    };
    for (const auto& c : cases) {
        const QString database = QString::fromUtf8(c.database);
        Open(kMariaDb, database + QLatin1Char('.'));
        EXPECT_EQ(m_side.TableNames(), c.tables) << c.database;
        // The other database's F9210 is no data dictionary of this one.
        EXPECT_EQ(m_side.DataDictionaryTable(), QString()) << c.database;
        EXPECT_EQ(ColumnNames(c.tables.front()).size(), c.tables.front() == "ab_table" ? 2 : 1);
        CColumnCatalogue catalogue;
        ASSERT_TRUE(m_side.ReadAllColumns(catalogue, {}));
        EXPECT_EQ(catalogue.TableCount(), 1) << c.database;
        // A table of the other database is not found here, rather than read as one without
        // columns.
        CColumnInfoArray columns;
        EXPECT_FALSE(m_side.ReadColumns(QString::fromUtf8(c.otherTable), columns)) << c.database;
        CIndexInfoArray indexes;
        ASSERT_TRUE(m_side.ReadIndexes(QString::fromUtf8(c.otherTable), indexes));
        EXPECT_TRUE(indexes.empty()) << c.database;
    }
}

// Nullability, decimal digits and defaults as each server's catalogue reports them. psqlODBC
// gives "TRUNCATE" for a default of more than 254 bytes: it is read again whole, as the driver
// gives a shorter one.
TEST_F(ServerSide, ColumnAttributesAsEachServerReportsThemAndLongDefaultsWhole) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    QUORVIX_REQUIRE_DATA_SOURCE(kMariaDb);
    const QString longText = QStringLiteral("0123456789").repeated(500);
    Open(kPostgres, QStringLiteral("quorvix.attr_l"));
    EXPECT_EQ(ColumnAttributes(QStringLiteral("amounts")),
              (QStringList{"id:1:0:null", "price:1:2:null"}));
    EXPECT_EQ(ColumnAttributes(QStringLiteral("nulls")),
              (QStringList{"id:1:0:null", "code:1:null:null"}));
    EXPECT_EQ(
        ColumnAttributes(QStringLiteral("defaults")),
        (QStringList{"added:1:0:null", "changed:1:null:'a'::character varying", "removed:1:0:5",
                     "kept:1:0:7", "marks:1:null:'a;\"b'::character varying"}));
    EXPECT_EQ(ColumnAttributes(QStringLiteral("unchanged")),
              (QStringList{"id:0:0:null", "price:1:2:0", "note:1:null:''::character varying"}));
    EXPECT_EQ(ColumnAttributes(QStringLiteral("long_end")),
              QStringList{"note:1:null:'" + longText + "x'::text"});
    CCatalogueDefaults defaults(*m_side.Connection());
    std::optional<QString> value;
    ASSERT_TRUE(defaults.Read(QStringLiteral("attr_l"), QStringLiteral("defaults"),
                              QStringLiteral("marks"), value));
    EXPECT_EQ(value, QStringLiteral("'a;\"b'::character varying"));
    EXPECT_FALSE(defaults.Read(QStringLiteral("attr_l"), QStringLiteral("defaults"),
                               QStringLiteral("gone"), value));
    EXPECT_EQ(defaults.Diagnostic(), QStringLiteral("The default value of column gone of table "
                                                    "defaults can no longer be found in the "
                                                    "catalogue."));

    // MariaDB quotes text defaults and gives a nullable column without one the text NULL.
    Open(kMariaDb, QStringLiteral("quorvix_attr_r."));
    EXPECT_EQ(ColumnAttributes(QStringLiteral("amounts")),
              (QStringList{"id:1:0:NULL", "price:1:4:NULL"}));
    EXPECT_EQ(ColumnAttributes(QStringLiteral("nulls")),
              (QStringList{"id:1:0:NULL", "code:0:null:null"}));
    EXPECT_EQ(ColumnAttributes(QStringLiteral("defaults")),
              (QStringList{"added:1:0:1", "changed:1:null:'b'", "removed:1:0:NULL", "kept:1:0:7",
                           "marks:1:null:'a;\"b'"}));
    EXPECT_EQ(ColumnAttributes(QStringLiteral("unchanged")),
              (QStringList{"id:0:0:null", "price:1:2:0.00", "note:1:null:''"}));
    EXPECT_EQ(ColumnAttributes(QStringLiteral("long_end")),
              QStringList{"note:1:null:'" + longText + "y'"});
}
