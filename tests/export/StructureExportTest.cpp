#include "export/StructureExport.h"
#include "export/ExportFile.h"

#include "export/ExpectedFiles.h"
#include "model/ParamWord.h"
#include "odbc/DataSourceSide.h"
#include "odbc/OdbcTestEnvironment.h"
#include "services/Language.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The structure layout written from what the drivers read: an SQLite table with a sized type, a
// name holding ";", a multi-column index and a unique one, and a table without indexes; and the
// PostgreSQL fixture's "Orders", whose index has a descending column (SQLite reads every column
// as ascending).
class StructureExport : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("StructLite"),
            QStringLiteral("CREATE TABLE SHAPES (NAME VARCHAR(20), SIZE INTEGER, \"POINT;X\" REAL,"
                           " LABEL TEXT);"
                           "CREATE INDEX IX_SHAPE ON SHAPES (NAME, SIZE, LABEL);"
                           "CREATE UNIQUE INDEX UX_LABEL ON SHAPES (LABEL);"
                           "CREATE TABLE BARE (a INTEGER);"));
    }
    void SetUp() override { ASSERT_TRUE(m_tmp.isValid()); }
    void TearDown() override { ChooseLanguage(QStringLiteral("ENG"), {}); }

    void Read(const QString& dataSource, const QString& owner, const QString& table) {
        m_side.SetDataSource(dataSource, CDataSourceSide::SystemDataSource);
        ASSERT_TRUE(m_side.Connect());
        m_side.SetOwnerQualifier(owner);
        ASSERT_TRUE(m_side.ReadColumns(table, m_fields));
        ASSERT_TRUE(m_side.ReadIndexes(table, m_indexes));
    }
    QByteArray Written(bool fields, bool indexes) {
        m_params.SetBit(ParamBit::ExportFields, fields);
        m_params.SetBit(ParamBit::ExportIndexes, indexes);
        const QString path = m_tmp.filePath(QStringLiteral("structure.csv"));
        {
            CExportFile file;
            EXPECT_TRUE(file.Open(path));
            WriteStructureExport(file, m_fields, m_indexes, m_params);
        }
        return Contents(path);
    }

    QTemporaryDir m_tmp;
    CDataSourceSide m_side;
    CColumnInfoArray m_fields;
    CIndexInfoArray m_indexes;
    CParamWord m_params;
};

} // namespace

TEST_F(StructureExport, BothListsInEachLanguage) {
    Read(QStringLiteral("StructLite"), {}, QStringLiteral("SHAPES"));
    EXPECT_EQ(Written(true, true), Expected("structure-shapes-en.csv"));
    ChooseLanguage(QStringLiteral("FRA"), {});
    EXPECT_EQ(Written(true, true), Expected("structure-shapes-fr.csv"));
}

TEST_F(StructureExport, DescendingColumnOfAPostgresIndexInFrench) {
    QUORVIX_REQUIRE_DATA_SOURCE(QStringLiteral("QuorvixPostgres"));
    ChooseLanguage(QStringLiteral("FRA"), {});
    Read(QStringLiteral("QuorvixPostgres"), QStringLiteral("quorvix.s1"), QStringLiteral("Orders"));
    EXPECT_EQ(Written(true, true), Expected("structure-postgres-orders-fr.csv"));
}

TEST_F(StructureExport, EachBitWritesItsListAlone) {
    Read(QStringLiteral("StructLite"), {}, QStringLiteral("SHAPES"));
    const QByteArray both = Expected("structure-shapes-en.csv");
    const qsizetype split = both.indexOf("\r\n\r\n\r\n") + 6; // the fields, then two empty lines
    ASSERT_GT(split, 6);
    EXPECT_EQ(Written(true, false), both.left(split));
    EXPECT_EQ(Written(false, true), both.mid(split));
    EXPECT_EQ(Written(false, false), QByteArray());
}

TEST_F(StructureExport, TableWithoutIndexesWritesNoIndexLines) {
    Read(QStringLiteral("StructLite"), {}, QStringLiteral("BARE"));
    ASSERT_TRUE(m_indexes.empty());
    EXPECT_EQ(Written(true, true), QByteArray("a;INTEGER\r\n\r\n\r\n"));
    m_fields.clear();
    EXPECT_EQ(Written(true, true), QByteArray("\r\n\r\n")); // the empty lines stay
}

TEST_F(StructureExport, IndexWithoutColumnsGivesNoLine) {
    m_indexes.push_back(std::make_unique<CIndexInfo>(QStringLiteral("EMPTY")));
    m_indexes.push_back(std::make_unique<CIndexInfo>(QStringLiteral("IX")));
    m_indexes.back()->AddColumn(QStringLiteral("A"), false);
    m_indexes.back()->AddColumn(QStringLiteral("B"), true);
    EXPECT_EQ(Written(false, true), QByteArray("IX;A;Descending\r\n;B;Ascending\r\n"));
}
