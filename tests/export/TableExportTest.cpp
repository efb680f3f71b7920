#include "export/TableExport.h"
#include "export/ExportFile.h"

#include "export/ExpectedFiles.h"
#include "odbc/OdbcTestEnvironment.h"
#include "runs/ComparisonTestBase.h"
#include "services/Language.h"

#include <QFile>

#include <algorithm>

namespace {

// The table layout written from a real comparison of two SQLite data sources: a table on both
// sides with one column of each status, a same table and a table on each side only.
class TableExport : public ComparisonTestBase {
protected:
    static void SetUpTestSuite() {
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("ExpLeft"),
            QStringLiteral("CREATE TABLE T1 (C1 INT, C2 INT); CREATE TABLE SAME (a INT);"
                           "CREATE TABLE LONLY (x INT);"));
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("ExpRight"),
            QStringLiteral("CREATE TABLE T1 (C2 INT, C3 INT); CREATE TABLE SAME (a INT);"
                           "CREATE TABLE \"R;ONLY\" (y INT);"));
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("ExpAttrLeft"),
            QStringLiteral("CREATE TABLE T1 (C1 INT NOT NULL, C2 INT DEFAULT 1, C3 TEXT DEFAULT"
                           " 'x;y'); CREATE TABLE SAME (a INT DEFAULT 0);"));
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("ExpAttrRight"),
            QStringLiteral("CREATE TABLE T1 (C1 INT, C2 INT DEFAULT 1, C3 TEXT DEFAULT 'x;z',"
                           " C4 INT); CREATE TABLE SAME (a INT DEFAULT 0);"));
        // An index on the left only, one over other columns whose name holds ";", one alike.
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("ExpIdxLeft"),
            QStringLiteral("CREATE TABLE T1 (a INT, b INT); CREATE INDEX ix_a ON T1 (a);"
                           "CREATE INDEX \"ix;b\" ON T1 (b, a); CREATE TABLE SAME (a INT);"
                           "CREATE UNIQUE INDEX ux_same ON SAME (a);"));
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("ExpIdxRight"),
            QStringLiteral("CREATE TABLE T1 (a INT, b INT); CREATE INDEX \"ix;b\" ON T1 (b);"
                           "CREATE TABLE SAME (a INT); CREATE UNIQUE INDEX ux_same ON SAME (a);"));
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("ExpEuro"),
            QStringLiteral("CREATE TABLE \"PRIX\u20AC\" (p INT); CREATE TABLE AAA (a INT);"));
    }
    void TearDown() override {
        ChooseLanguage(QStringLiteral("ENG"), {});
        ComparisonTestBase::TearDown();
    }

    void Compare(const QString& right, const QString& left = QStringLiteral("ExpLeft")) {
        OpenSide(m_left, left);
        OpenSide(m_right, right);
        ASSERT_TRUE(m_results.RunTableComparison(m_progress));
    }
    // Keeps the tables of the given statuses and, under a different table, the columns of the
    // given statuses.
    void Keep(std::initializer_list<int> tableStatuses, std::initializer_list<int> columnStatuses) {
        for (int status = 0; status < CompareStatus::Count; ++status) {
            m_params.SetBit(ParamBit::ExportTableStatus0 + status,
                            std::find(tableStatuses.begin(), tableStatuses.end(), status) !=
                                tableStatuses.end());
            m_params.SetBit(ParamBit::ExportTableColumnStatus0 + status,
                            std::find(columnStatuses.begin(), columnStatuses.end(), status) !=
                                columnStatuses.end());
        }
    }
    QByteArray Written() {
        const QString path = m_tmp.filePath(QStringLiteral("tables.csv"));
        {
            CExportFile file;
            EXPECT_TRUE(file.Open(path));
            WriteTableExport(file, m_results, m_params, QStringLiteral("ExpLeft"),
                             QStringLiteral("ExpRight"));
        }
        return Contents(path);
    }
};

} // namespace

TEST_F(TableExport, EveryStatusKeptWritesTheWholeLayout) {
    Compare(QStringLiteral("ExpRight"));
    Keep({0, 1, 2, 3}, {0, 1, 2, 3});
    EXPECT_EQ(Written(), Expected("table-export-all.csv"));
}

TEST_F(TableExport, StatusBitsChooseTablesAndColumnsInFrench) {
    Compare(QStringLiteral("ExpRight"));
    ChooseLanguage(QStringLiteral("FRA"), {});
    Keep({CompareStatus::Different}, {CompareStatus::OnlyLeft});
    EXPECT_EQ(Written(), Expected("table-export-different-left-columns-fr.csv"));
}

// Where the run compared the attributes, each column line under a different table gains them,
// a field holding ";" quoted.
TEST_F(TableExport, ColumnLinesGainTheAttributesWhereTheRunComparedThem) {
    m_params.SetBit(ParamBit::CompareAttributes, true);
    Compare(QStringLiteral("ExpAttrRight"), QStringLiteral("ExpAttrLeft"));
    Keep({0, 1, 2, 3}, {0, 1, 2, 3});
    const QByteArray legend = "=;same\r\n>;only in ExpLeft\r\n<;only in ExpRight\r\n"
                              "<>;different\r\n\r\n\r\n\r\n";
    EXPECT_EQ(Written(), legend + "=;SAME\r\n"
                                  "<>;T1\r\n"
                                  ";;<>;C1;NOT NULL | NULL;10;NULL\r\n"
                                  ";;=;C2;NULL;10;1\r\n"
                                  ";;<>;C3;NULL;10;\"x;y | x;z\"\r\n"
                                  ";;<;C4;NULL;10;NULL\r\n");
}

// Where the run compared indexes, a table whose columns are all the same differs by its
// indexes, whose lines follow its column lines with the marker INDEX after the name; the column
// status bits choose them too. Without the bit the table is the same.
TEST_F(TableExport, IndexLinesFollowTheColumnLinesWithTheirMarker) {
    const std::string legend = "=;same\r\n>;only in ExpLeft\r\n<;only in ExpRight\r\n"
                               "<>;different\r\n\r\n\r\n\r\n";
    Compare(QStringLiteral("ExpIdxRight"), QStringLiteral("ExpIdxLeft"));
    Keep({0, 1, 2, 3}, {0, 1, 2, 3});
    EXPECT_EQ(Written().toStdString(), legend + "=;SAME\r\n=;T1\r\n");

    m_params.SetBit(ParamBit::CompareIndexes, true);
    Compare(QStringLiteral("ExpIdxRight"), QStringLiteral("ExpIdxLeft"));
    EXPECT_EQ(Written().toStdString(), legend + "=;SAME\r\n"
                                                "<>;T1\r\n"
                                                ";;=;a\r\n"
                                                ";;=;b\r\n"
                                                ";;<>;\"ix;b\";INDEX;not unique;b, a | b\r\n"
                                                ";;>;ix_a;INDEX;not unique;a\r\n");
    Keep({CompareStatus::Different}, {CompareStatus::Different});
    EXPECT_EQ(Written().toStdString(),
              legend + "<>;T1\r\n;;<>;\"ix;b\";INDEX;not unique;b, a | b\r\n");
}

TEST_F(TableExport, NameOutsideTheByteEncodingStopsAtItsLineKeepingTheEarlierOnes) {
    Compare(QStringLiteral("ExpEuro"));
    Keep({0, 1, 2, 3}, {0, 1, 2, 3});
    const QString path = m_tmp.filePath(QStringLiteral("euro.csv"));
    {
        CExportFile file;
        ASSERT_TRUE(file.Open(path));
        EXPECT_THROW(WriteTableExport(file, m_results, m_params, QStringLiteral("ExpLeft"),
                                      QStringLiteral("ExpEuro")),
                     CExportError);
    }
    const QByteArray written = Contents(path);
    EXPECT_TRUE(written.endsWith("\r\n<;AAA\r\n>;LONLY\r\n")) << written.toStdString();
}
