#include "odbc/DataSourceSide.h"

#include "odbc/ColumnCatalogue.h"
#include "odbc/DescribedColumns.h"
#include "odbc/ListTargets.h"
#include "odbc/OdbcTestEnvironment.h"
#include "services/Language.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

namespace {

const char* const kSchema = R"sql(
CREATE TABLE "Orders" (id INTEGER PRIMARY KEY, customer VARCHAR(40), amount DECIMAL(10,2),
                       note TEXT, code CHAR(5), created DATE);
CREATE TABLE "A_B" (a1 INTEGER);
CREATE TABLE "AXB" (x1 INTEGER, x2 INTEGER);
CREATE TABLE zeta (z INTEGER);
CREATE TABLE "_first" (f INTEGER);
CREATE INDEX ix_orders_amount ON "Orders" (amount DESC, customer);
CREATE VIEW v_orders AS SELECT id, amount FROM "Orders";
CREATE VIEW "Zview" AS SELECT 1 AS one;
CREATE TABLE f9210 (frdtai VARCHAR(16), frdtat VARCHAR(2), frdtas INTEGER, frowtp VARCHAR(4),
                    frdtad SMALLINT, frcdec VARCHAR(1));
INSERT INTO f9210 VALUES ('DTAI', 'S', 10, 'VARC', 0, '0'), ('DTAT', 'S', 2, 'VARC', 0, '0'),
    ('AN8', 'N', 8, 'NUMB', 3, '0'), ('ALPH', NULL, 40, 'VARC', 1, NULL),
    ('AMT', 'N ', NULL, 'NUMB', NULL, '2'), ('LONGERTHANTEN', 'S', 3, 'VARC', 0, '0');
)sql";

using Mode = CDataSourceSide::DictionaryMode;

struct DictionaryRow {
    Mode mode;
    QString key;
    bool hadKeyList;
    std::unique_ptr<CAliasCompareInfo> record;
};

// Collects what the reader hands to the row callback; sets the cancel flag after stopAfter rows.
struct DictionaryCollector {
    std::vector<DictionaryRow> rows;
    int stopAfter = -1;

    CDataSourceSide::DictionaryRowCallback Callback() {
        return [this](Mode mode, const QString& key, QStringList* keyList,
                      std::unique_ptr<CAliasCompareInfo> record, bool& cancelFlag) {
            rows.push_back({mode, key, keyList != nullptr, std::move(record)});
            if (int(rows.size()) == stopAfter) {
                cancelFlag = true;
                return true;
            }
            return false;
        };
    }
    QStringList Keys() const {
        QStringList keys;
        for (const DictionaryRow& row : rows)
            keys.append(row.key);
        return keys;
    }
};

class SqliteSide : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        COdbcTestEnvironment::AddSqliteDataSource(QStringLiteral("LiteMain"),
                                                  QLatin1String(kSchema));
    }

    void ConnectAndList(const QString& dataSource = QStringLiteral("LiteMain")) {
        m_side.SetDataSource(dataSource, CDataSourceSide::SystemDataSource);
        ASSERT_TRUE(m_side.Connect());
        ASSERT_TRUE(m_side.ListTables(&m_tables));
    }

    CDataSourceSide m_side;
    CTableListRecorder m_tables;
};

} // namespace

TEST(DataSourceSideQualifier, SplitsAtTheFirstDotOnly) {
    CDataSourceSide side;
    QString catalog;
    QString schema;
    const struct {
        const char* qualifier;
        const char* catalog;
        const char* schema;
        const char* qualified;
    } cases[] = {
        {"", "", "", "T"},
        {"db", "db", "", "db.T"},
        {".public", "", "public", "public.T"},
        {"db.", "db", "", "db.T"},
        {"db.s1", "db", "s1", "db.s1.T"},
        // Without a connection there is no quote character: only plain identifiers pass.
        {"db.s.x", "db", "s.x", ""},
        {".", "", "", "T"},
    };
    for (const auto& c : cases) {
        side.SetOwnerQualifier(QLatin1String(c.qualifier));
        side.SplitQualifier(catalog, schema);
        EXPECT_EQ(catalog, QLatin1String(c.catalog)) << c.qualifier;
        EXPECT_EQ(schema, QLatin1String(c.schema)) << c.qualifier;
        EXPECT_EQ(side.QualifiedName(QStringLiteral("T")), QLatin1String(c.qualified))
            << c.qualifier;
    }
}

TEST(DataSourceSideConnection, UnknownDataSourceLeavesTheSideEmptyAndSilent) {
    CDataSourceSide side;
    side.SetDataSource(QStringLiteral("NoSuchDataSource"), CDataSourceSide::UserDataSource);
    EXPECT_FALSE(side.Connect());
    EXPECT_FALSE(side.IsConnected());

    COwnerList ownerNames{{QStringLiteral("stale"), {}}};
    COwnerComboRecorder combo;
    combo.AddEntry(QStringLiteral("stale"), 0);
    side.ListQualifiers(ownerNames, &combo);
    const QStringList owners = Qualifiers(ownerNames);
    EXPECT_TRUE(owners.isEmpty());
    EXPECT_TRUE(combo.entries.isEmpty());

    CTableListRecorder tables;
    tables.AppendItem(7);
    EXPECT_FALSE(side.ListTables(&tables));
    EXPECT_TRUE(tables.items.isEmpty());
    EXPECT_EQ(side.TableCount(), 0);

    CColumnInfoArray columns;
    columns.push_back(std::make_unique<CColumnInfo>(QStringLiteral("old"), 4, QString(), 4));
    EXPECT_FALSE(side.ReadColumns(QStringLiteral("Orders"), columns));
    EXPECT_TRUE(columns.empty());
    CIndexInfoArray indexes;
    EXPECT_FALSE(side.ReadIndexes(QStringLiteral("Orders"), indexes));
    EXPECT_EQ(side.LookupDataItemSize(QStringLiteral("DTAI")), -1);
}

// The SQLite driver would create the missing file and every table would read as gone. Names that
// cannot go into a connection string are opened another way, and must refuse it all the same.
TEST(DataSourceSideConnection, EverySqliteDataSourceRefusesAMissingFileAndNamesIt) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString savedFolder = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    const QString gone = folder.filePath(QStringLiteral("gone.sqlite"));
    for (const QString& name : {QStringLiteral("Gone plain"), QStringLiteral("Gone;semicolon"),
                                QStringLiteral("Gone{brace}"), QStringLiteral("Gone}closing")}) {
        COdbcTestEnvironment::AddDataSource(name, false, QStringLiteral("SQLite3"),
                                            QStringLiteral("Database=") + gone);
        CDataSourceSide side;
        side.SetDataSource(name, CDataSourceSide::UserDataSource);
        EXPECT_FALSE(side.Connect()) << name.toStdString();
        EXPECT_EQ(side.LastDiagnostic(),
                  QStringLiteral("The database file %1 of the data source %2 does not exist.")
                      .arg(gone, name));
        EXPECT_FALSE(QFile::exists(gone)) << name.toStdString();
    }
    for (const QString& name : {QStringLiteral("No file"), QStringLiteral("No;file")}) {
        COdbcTestEnvironment::AddDataSource(name, true, QStringLiteral("SQLite3"),
                                            QStringLiteral("StepAPI=1"));
        CDataSourceSide side;
        side.SetDataSource(name, CDataSourceSide::SystemDataSource);
        EXPECT_FALSE(side.Connect()) << name.toStdString();
        EXPECT_EQ(side.LastDiagnostic(),
                  QStringLiteral("The data source %1 names no database file.").arg(name));
    }
    ChooseLanguage(QStringLiteral("FRA"), {});
    CDataSourceSide side;
    side.SetDataSource(QStringLiteral("Gone;semicolon"), CDataSourceSide::UserDataSource);
    EXPECT_FALSE(side.Connect());
    ChooseLanguage(QStringLiteral("ENG"), {});
    EXPECT_EQ(side.LastDiagnostic(),
              QStringLiteral("Le fichier de base de données %1 de la source de données "
                             "Gone;semicolon n'existe pas.")
                  .arg(gone));
    QDir::setCurrent(savedFolder);
    // Nothing was written anywhere the driver could have put a database.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList());
}

TEST_F(SqliteSide, ConnectingAgainReplacesTheConnection) {
    ConnectAndList();
    m_side.SetDataSource(QStringLiteral("NoSuchDataSource"), CDataSourceSide::SystemDataSource);
    EXPECT_FALSE(m_side.Connect());
    EXPECT_FALSE(m_side.IsConnected());
    // The table list of the last listing stays until the next listing.
    EXPECT_GT(m_side.TableCount(), 0);
    EXPECT_FALSE(m_side.ListTables(&m_tables));
    EXPECT_EQ(m_side.TableCount(), 0);

    m_side.SetDataSource(QStringLiteral("LiteMain"), CDataSourceSide::SystemDataSource);
    EXPECT_TRUE(m_side.Connect());
    EXPECT_TRUE(m_side.Connect());
    EXPECT_TRUE(m_side.ListTables(&m_tables));
}

TEST_F(SqliteSide, UserAndSystemDataSourcesBothOpen) {
    COdbcTestEnvironment::AddSqliteDataSource(QStringLiteral("LiteUser"),
                                              QStringLiteral("CREATE TABLE t (a INTEGER);"), false);
    ConnectAndList(QStringLiteral("LiteUser"));
    EXPECT_EQ(m_side.TableNames(), QStringList{QStringLiteral("t")});
}

TEST_F(SqliteSide, OneOwnerWithoutCatalogOrSchema) {
    ConnectAndList();
    COwnerList ownerNames;
    COwnerComboRecorder combo;
    m_side.ListQualifiers(ownerNames, &combo);
    const QStringList owners = Qualifiers(ownerNames);
    EXPECT_EQ(owners, QStringList{QStringLiteral(".")});
    ASSERT_EQ(combo.entries.size(), 1);
    EXPECT_EQ(combo.entries[0].first, QString());
    EXPECT_EQ(combo.entries[0].second, 0);
}

TEST_F(SqliteSide, TablesAndViewsInCodeUnitOrderWithViewFlags) {
    ConnectAndList();
    const QStringList expected{"AXB",    "A_B",   "Orders",   "Zview",
                               "_first", "f9210", "v_orders", "zeta"};
    EXPECT_EQ(m_side.TableNames(), expected);
    EXPECT_EQ(m_tables.items, (QList<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    for (int i = 0; i < expected.size(); ++i) {
        const bool isView =
            expected[i] == QLatin1String("Zview") || expected[i] == QLatin1String("v_orders");
        EXPECT_EQ(m_side.IsView(i), isView ? 1 : 0) << expected[i].toStdString();
    }
    EXPECT_EQ(m_side.GetTableName(-1), QString());
    EXPECT_EQ(m_side.GetTableName(8), QString());
    EXPECT_EQ(m_side.GetTableName(2), QStringLiteral("Orders"));
    EXPECT_TRUE(m_side.TableNameContains(2, QStringLiteral("rder")));
    EXPECT_FALSE(m_side.TableNameContains(2, QStringLiteral("Orders")));
    EXPECT_FALSE(m_side.TableNameContains(8, QString()));
    EXPECT_EQ(m_side.DataDictionaryTable(), QStringLiteral("f9210"));
}

TEST_F(SqliteSide, ColumnsOfTheTableAskedForOnly) {
    ConnectAndList();
    CColumnInfoArray columns;
    ASSERT_TRUE(m_side.ReadColumns(QStringLiteral("A_B"), columns));
    ASSERT_EQ(columns.size(), 1u);
    EXPECT_EQ(columns[0]->name, QStringLiteral("a1"));

    ASSERT_TRUE(m_side.ReadColumns(QStringLiteral("Orders"), columns));
    QStringList names;
    for (const auto& column : columns)
        names.append(column->name);
    EXPECT_EQ(names, (QStringList{"id", "customer", "amount", "note", "code", "created"}));
    EXPECT_EQ(columns[1]->dataType, 12);
    EXPECT_EQ(columns[1]->size, 40);
    EXPECT_EQ(columns[4]->size, 5);

    // Asked under another spelling, as the right side is when case is ignored.
    ASSERT_TRUE(m_side.ReadColumns(QStringLiteral("ORDERS"), columns));
    EXPECT_EQ(columns.size(), 6u);

    // A table that the catalogue does not list is a failed read, never a table without columns.
    EXPECT_FALSE(m_side.ReadColumns(QStringLiteral("missing"), columns));
    EXPECT_TRUE(columns.empty());
    EXPECT_TRUE(m_side.LastDiagnostic().contains(QStringLiteral("missing")));
}

TEST_F(SqliteSide, IndexesWithTheirColumnsInKeyOrder) {
    ConnectAndList();
    CIndexInfoArray indexes;
    ASSERT_TRUE(m_side.ReadIndexes(QStringLiteral("Orders"), indexes));
    const auto amount = std::find_if(indexes.begin(), indexes.end(), [](const auto& index) {
        return index->name == QLatin1String("ix_orders_amount");
    });
    ASSERT_NE(amount, indexes.end());
    EXPECT_EQ((*amount)->columns, (QStringList{"amount", "customer"}));
    EXPECT_EQ((*amount)->ascending.size(), 2u);
}

TEST_F(SqliteSide, DataDictionaryTableIsChosenByNameAndRows) {
    const struct {
        const char* name;
        const char* sql;
        const char* expected;
    } cases[] = {
        {"LiteBoth", "CREATE TABLE F9210 (x INT); CREATE TABLE F9201 (x INT);", "F9210"},
        {"LiteEmpty9201", "CREATE TABLE F9201 (frdtai VARCHAR(10));", ""},
        {"LiteFull9201", "CREATE TABLE f9201 (frdtai VARCHAR(10)); INSERT INTO f9201 VALUES ('A');",
         "f9201"},
        {"LiteNone", "CREATE TABLE other (x INT);", ""},
        {"LiteNoTables", "PRAGMA user_version = 1;", ""}, // a database file without tables
    };
    for (const auto& c : cases) {
        COdbcTestEnvironment::AddSqliteDataSource(QLatin1String(c.name), QLatin1String(c.sql));
        CDataSourceSide side;
        side.SetDataSource(QLatin1String(c.name), CDataSourceSide::SystemDataSource);
        ASSERT_TRUE(side.Connect()) << c.name;
        EXPECT_TRUE(side.ListTables(nullptr)) << c.name;
        EXPECT_EQ(side.DataDictionaryTable(), QLatin1String(c.expected)) << c.name;
    }
}

TEST_F(SqliteSide, DataItemSizeOrMinusOne) {
    ConnectAndList();
    EXPECT_EQ(m_side.LookupDataItemSize(QStringLiteral("DTAI")), 10);
    EXPECT_EQ(m_side.LookupDataItemSize(QStringLiteral("AN8")), 8);
    EXPECT_EQ(m_side.LookupDataItemSize(QStringLiteral("NOPE")), -1);
    EXPECT_EQ(m_side.LookupDataItemSize(QStringLiteral("O'Brien")), -1);
    EXPECT_EQ(m_side.LookupDataItemSize(QStringLiteral("AMT")), 0); // NULL size
}

TEST_F(SqliteSide, DictionaryKeysArriveInItemOrderCutToTheirWidth) {
    ConnectAndList();
    DictionaryCollector collector;
    QStringList keyList;
    bool cancelFlag = false;
    EXPECT_TRUE(m_side.ReadDataDictionary(Mode::LeftKeys, {10}, &keyList, collector.Callback(),
                                          cancelFlag));
    EXPECT_EQ(collector.Keys(), (QStringList{"ALPH", "AMT", "AN8", "DTAI", "DTAT", "LONGERTHAN"}));
    for (const DictionaryRow& row : collector.rows) {
        EXPECT_EQ(row.mode, Mode::LeftKeys);
        EXPECT_TRUE(row.hadKeyList);
        EXPECT_EQ(row.record, nullptr);
    }
    EXPECT_FALSE(cancelFlag);
}

TEST_F(SqliteSide, DictionaryRowsBuildTrimmedRecordsAndNullsReadAsEmptyOrZero) {
    ConnectAndList();
    DictionaryCollector collector;
    bool cancelFlag = false;
    EXPECT_TRUE(m_side.ReadDataDictionary(Mode::RightRows, {10, 2, 4, 1}, nullptr,
                                          collector.Callback(), cancelFlag));
    ASSERT_EQ(collector.rows.size(), 6u);
    const CAliasCompareInfo& alph = *collector.rows[0].record;
    EXPECT_EQ(alph.status, 2);
    EXPECT_EQ(alph.itemType[1], QString());
    EXPECT_EQ(alph.itemSize[1], 40);
    EXPECT_EQ(alph.fileDecimals[1], 1);
    EXPECT_EQ(alph.displayDecimals[1], QString());
    const CAliasCompareInfo& amt = *collector.rows[1].record;
    EXPECT_EQ(amt.itemType[1], QStringLiteral("N"));
    EXPECT_EQ(amt.itemSize[1], 0);     // NULL, not the 40 of the row before
    EXPECT_EQ(amt.fileDecimals[1], 0); // NULL, not the 1 of the row before
    EXPECT_EQ(amt.displayDecimals[1], QStringLiteral("2"));
    EXPECT_FALSE(collector.rows[1].hadKeyList);

    DictionaryCollector left;
    EXPECT_TRUE(m_side.ReadDataDictionary(Mode::LeftRows, {10, 2, 4, 1}, nullptr, left.Callback(),
                                          cancelFlag));
    EXPECT_EQ(left.rows[2].record->status, 1);
    EXPECT_EQ(left.rows[2].record->dataType[0], QStringLiteral("NUMB"));
}

TEST_F(SqliteSide, CancelFromTheCallbackStopsAfterThatRow) {
    ConnectAndList();
    DictionaryCollector collector;
    collector.stopAfter = 2;
    bool cancelFlag = false;
    QStringList keyList;
    EXPECT_TRUE(m_side.ReadDataDictionary(Mode::LeftKeys, {10}, &keyList, collector.Callback(),
                                          cancelFlag));
    EXPECT_EQ(collector.rows.size(), 2u);
    EXPECT_TRUE(cancelFlag);

    // A flag already set reads nothing.
    DictionaryCollector none;
    EXPECT_TRUE(
        m_side.ReadDataDictionary(Mode::LeftKeys, {10}, &keyList, none.Callback(), cancelFlag));
    EXPECT_TRUE(none.rows.empty());
}

TEST_F(SqliteSide, DictionaryReadFailsWithoutEnoughWidths) {
    ConnectAndList();
    DictionaryCollector collector;
    bool cancelFlag = false;
    EXPECT_FALSE(m_side.ReadDataDictionary(Mode::LeftRows, {10, 2, 4}, nullptr,
                                           collector.Callback(), cancelFlag));
    EXPECT_FALSE(
        m_side.ReadDataDictionary(Mode::LeftKeys, {}, nullptr, collector.Callback(), cancelFlag));
    EXPECT_TRUE(collector.rows.empty());
}

TEST_F(SqliteSide, NamesUpToTheDriversLongestAreReadWhole) {
    // Longer than the 129 code units that a fixed catalogue buffer would hold.
    const QString table = QStringLiteral("T") + QString(199, QLatin1Char('x'));
    const QString column = QStringLiteral("C") + QString(199, QLatin1Char('y'));
    COdbcTestEnvironment::AddSqliteDataSource(
        QStringLiteral("LiteLongNames"),
        QStringLiteral("CREATE TABLE \"%1\" (\"%2\" INTEGER);").arg(table, column));
    ConnectAndList(QStringLiteral("LiteLongNames"));
    EXPECT_EQ(m_side.TableNames(), QStringList{table});
    CColumnInfoArray columns;
    ASSERT_TRUE(m_side.ReadColumns(table, columns));
    ASSERT_EQ(columns.size(), 1u);
    EXPECT_EQ(columns[0]->name, column);
}

TEST_F(SqliteSide, LongAndUnusualNamesAreEachFoundAsThemselves) {
    // Names over the driver's declared 255 units that differ only at their end, a name of 200
    // code units above U+00FF, and names that begin with U+FEFF or U+FFFE (which decoding would
    // drop or swap).
    const QString longA = QString(300, QLatin1Char('L')) + QLatin1Char('a');
    const QString longB = QString(300, QLatin1Char('L')) + QLatin1Char('b');
    const QString wide = QString(200, QChar(0x4E2D));
    const QString bom = QChar(0xFEFF) + QStringLiteral("bom");
    const QString swapped = QChar(0xFFFE) + QStringLiteral("swapped");
    const auto create = [](const QString& table, const QString& column) {
        return QStringLiteral("CREATE TABLE \"%1\" (\"%2\" INTEGER);").arg(table, column);
    };
    COdbcTestEnvironment::AddSqliteDataSource(
        QStringLiteral("LiteUnusualNames"),
        create(longA, QStringLiteral("ca")) + create(longB, QStringLiteral("cb")) +
            create(wide, QStringLiteral("cw")) + create(bom, QStringLiteral("cbom")) +
            create(swapped, QStringLiteral("cswap")));
    ConnectAndList(QStringLiteral("LiteUnusualNames"));
    const std::map<QString, QString> expected{{longA, QStringLiteral("ca")},
                                              {longB, QStringLiteral("cb")},
                                              {wide, QStringLiteral("cw")},
                                              {bom, QStringLiteral("cbom")},
                                              {swapped, QStringLiteral("cswap")}};
    ASSERT_EQ(m_side.TableCount(), int(expected.size()));
    for (const auto& [table, column] : expected) {
        EXPECT_TRUE(m_side.TableNames().contains(table)) << table.size();
        CColumnInfoArray columns;
        ASSERT_TRUE(m_side.ReadColumns(table, columns)) << m_side.LastDiagnostic().toStdString();
        ASSERT_EQ(columns.size(), 1u) << table.size();
        EXPECT_EQ(columns[0]->name, column);
    }
}

// The SQLite driver gives text defaults without their quotes, the word NULL for a column without
// a default, and 10 (its radix) as every column's decimal digits: NUMERIC(15,2) and
// NUMERIC(15,4) cannot be told apart by them there. Both reading paths give the same.
TEST_F(SqliteSide, ColumnAttributesAsTheDriverReportsThemOnBothPaths) {
    const QString longText = QStringLiteral("0123456789").repeated(500);
    COdbcTestEnvironment::AddSqliteDataSource(
        QStringLiteral("LiteAttributes"),
        QStringLiteral("CREATE TABLE t (a NUMERIC(15,2) NOT NULL DEFAULT 0, b NUMERIC(15,4),"
                       " c VARCHAR(10) DEFAULT 'x;y', d TEXT DEFAULT '', e TEXT DEFAULT"
                       " (datetime('now')), f TEXT DEFAULT 'a  ', g TEXT DEFAULT '%1');")
            .arg(longText));
    ConnectAndList(QStringLiteral("LiteAttributes"));
    CColumnInfoArray columns;
    ASSERT_TRUE(m_side.ReadColumns(QStringLiteral("t"), columns, true));
    const QStringList expected{
        "a:0:10:0", "b:1:10:NULL",       "c:1:10:x;y", "d:1:10:", "e:1:10:datetime('now')",
        "f:1:10:a", "g:1:10:" + longText};
    EXPECT_EQ(DescribedAttributes(columns), expected);
    CColumnCatalogue catalogue;
    ASSERT_TRUE(m_side.ReadAllColumns(catalogue, {}, true));
    ASSERT_TRUE(catalogue.Columns(QStringLiteral("t"), columns));
    EXPECT_EQ(DescribedAttributes(columns), expected);

    // Without them asked for, nothing of them is read.
    ASSERT_TRUE(m_side.ReadColumns(QStringLiteral("t"), columns));
    EXPECT_EQ(DescribedAttributes(columns).first(), QStringLiteral("a:2:null:null"));
}
