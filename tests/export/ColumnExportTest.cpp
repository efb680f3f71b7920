#include "export/ColumnExport.h"
#include "export/ExportFile.h"

#include "export/ExpectedFiles.h"
#include "odbc/OdbcTestEnvironment.h"
#include "runs/ComparisonTestBase.h"
#include "services/Language.h"

#include <QFile>

#include <algorithm>

namespace {

// The column layout written from a real table comparison with type comparison on. Table T1 of
// two SQLite data sources holds a column of each status, two of status 3 (VARCHAR 10 against
// VARCHAR 20, where only the sizes differ, and INTEGER against VARCHAR) and a name holding ";".
class ColumnExport : public ComparisonTestBase {
protected:
    static void SetUpTestSuite() {
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("ColLeft"),
            QStringLiteral("CREATE TABLE T1 (id INTEGER, lonly INTEGER, sized VARCHAR(10),"
                           " kind INTEGER, \"a;b\" INTEGER); CREATE TABLE SAME (a INTEGER);"));
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("ColRight"),
            QStringLiteral("CREATE TABLE T1 (id INTEGER, ronly VARCHAR(8), sized VARCHAR(20),"
                           " kind VARCHAR(10), \"a;b\" INTEGER); CREATE TABLE SAME (a INTEGER);"));
        // Defaults holding a ";", a double quote, a line feed and a carriage return.
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("ColAttrLeft"),
            QStringLiteral("CREATE TABLE T1 (id INTEGER NOT NULL, note TEXT DEFAULT 'a;\"b',"
                           " memo TEXT DEFAULT 'one\ntwo', lonly INTEGER, kept INTEGER DEFAULT 7,"
                           " cr TEXT DEFAULT 'x\ry');"));
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("ColAttrRight"),
            QStringLiteral("CREATE TABLE T1 (id INTEGER, note TEXT DEFAULT 'a;\"c',"
                           " memo TEXT DEFAULT 'one\ntwo', ronly INTEGER, kept INTEGER DEFAULT 7,"
                           " cr TEXT DEFAULT 'x\ry');"));
        // Indexes: one alike, one on each side only, one unique on the left only.
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("ColIdxLeft"),
            QStringLiteral("CREATE TABLE T1 (id INTEGER NOT NULL, v TEXT); CREATE INDEX ix_same"
                           " ON T1 (v); CREATE INDEX ix_left ON T1 (v, id); CREATE UNIQUE INDEX"
                           " ux_id ON T1 (id);"));
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("ColIdxRight"),
            QStringLiteral("CREATE TABLE T1 (id INTEGER, v TEXT); CREATE INDEX ix_same ON T1"
                           " (v); CREATE INDEX ix_right ON T1 (id); CREATE INDEX ux_id ON T1"
                           " (id);"));
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("ColEuro"),
            QStringLiteral("CREATE TABLE T1 (id INTEGER, \"PRIX\u20AC\" INTEGER, lonly INTEGER);"));
    }
    void TearDown() override {
        ChooseLanguage(QStringLiteral("ENG"), {});
        ComparisonTestBase::TearDown();
    }

    void Compare(const QString& left, const QString& right, const QString& leftOwner = {},
                 const QString& rightOwner = {}) {
        OpenSide(m_left, left, leftOwner);
        OpenSide(m_right, right, rightOwner);
        // As the program names a side: its data source, then the chosen owner in brackets.
        m_leftName = leftOwner.isEmpty() ? left : left + QStringLiteral(" (%1)").arg(leftOwner);
        m_rightName =
            rightOwner.isEmpty() ? right : right + QStringLiteral(" (%1)").arg(rightOwner);
        m_params.SetBit(ParamBit::CompareSqlTypes, true);
        m_params.SetBit(ParamBit::StringsAlike, false);
        m_params.SetBit(ParamBit::CompareAttributes, m_attributes);
        m_params.SetBit(ParamBit::CompareIndexes, m_indexes);
        ASSERT_TRUE(m_results.RunTableComparison(m_progress));
    }
    void Keep(std::initializer_list<int> statuses) {
        for (int status = 0; status < CompareStatus::Count; ++status)
            m_params.SetBit(ParamBit::ExportColumnStatus0 + status,
                            std::find(statuses.begin(), statuses.end(), status) != statuses.end());
    }
    int TableIndex(const QString& table) const {
        return int(m_results.TableNames().indexOf(table));
    }
    QByteArray Written(int tableIndex, bool typeDetails) {
        const QString path = m_tmp.filePath(QStringLiteral("columns.csv"));
        {
            CExportFile file;
            EXPECT_TRUE(file.Open(path));
            WriteColumnExport(file, m_results, tableIndex, m_params, typeDetails, m_leftName,
                              m_rightName);
        }
        return Contents(path);
    }

    QString m_leftName;
    QString m_rightName;
    bool m_attributes = false;
    bool m_indexes = false;
};

} // namespace

TEST_F(ColumnExport, ExpectedBytesOfEachLayoutAndLanguage) {
    Compare(QStringLiteral("ColLeft"), QStringLiteral("ColRight"));
    const int t1 = TableIndex(QStringLiteral("T1"));
    Keep({0, 1, 2, 3});
    EXPECT_EQ(Written(t1, false), Expected("column-names-en.csv"));
    EXPECT_EQ(Written(t1, true), Expected("column-details-en.csv"));

    ChooseLanguage(QStringLiteral("FRA"), {});
    Keep({CompareStatus::OnlyLeft, CompareStatus::Different});
    EXPECT_EQ(Written(t1, true), Expected("column-details-left-different-fr.csv"));
}

// The attributes follow the name or the type details; a field holding ";", a double quote, CR
// or LF is quoted, its quotes doubled and its CR and LF kept as they are.
TEST_F(ColumnExport, AttributesFollowEachLayoutQuotedWhereTheyMustBe) {
    m_attributes = true;
    Compare(QStringLiteral("ColAttrLeft"), QStringLiteral("ColAttrRight"));
    const int t1 = TableIndex(QStringLiteral("T1"));
    Keep({0, 1, 2, 3});
    const QByteArray legend = "=;same\r\n>;only in ColAttrLeft\r\n<;only in ColAttrRight\r\n"
                              "<>;different\r\n\r\n\r\n\r\n";
    EXPECT_EQ(Written(t1, false), legend + "<>;id;NOT NULL | NULL;10;NULL\r\n"
                                           "<>;note;NULL;10;\"a;\"\"b | a;\"\"c\"\r\n"
                                           "=;memo;NULL;10;\"one\ntwo\"\r\n"
                                           "<;ronly;NULL;10;NULL\r\n"
                                           ">;lonly;NULL;10;NULL\r\n"
                                           "=;kept;NULL;10;7\r\n"
                                           "=;cr;NULL;10;\"x\ry\"\r\n");
    EXPECT_EQ(Written(t1, true), Expected("column-details-attributes-en.csv"));
}

// Index lines follow the column lines in every layout, the marker INDEX after the name, then
// whether the index is unique and its columns; the column status bits choose them too.
TEST_F(ColumnExport, IndexLinesFollowTheColumnsInEveryLayout) {
    m_indexes = true;
    Compare(QStringLiteral("ColIdxLeft"), QStringLiteral("ColIdxRight"));
    const int t1 = TableIndex(QStringLiteral("T1"));
    Keep({0, 1, 2, 3});
    const std::string legend = "=;same\r\n>;only in ColIdxLeft\r\n<;only in ColIdxRight\r\n"
                               "<>;different\r\n\r\n\r\n\r\n";
    // The driver gives unique indexes first, then the latest made first; a right-only index
    // follows the right index before it.
    const std::string indexes = "<>;ux_id;INDEX;unique | not unique;id\r\n"
                                "<;ix_right;INDEX;not unique;id\r\n"
                                ">;ix_left;INDEX;not unique;v, id\r\n"
                                "=;ix_same;INDEX;not unique;v\r\n";
    EXPECT_EQ(Written(t1, false).toStdString(), legend + "=;id\r\n=;v\r\n" + indexes);
    EXPECT_EQ(Written(t1, true).toStdString(), legend +
                                                   "=;id;INTEGER;9;INTEGER;INTEGER\r\n"
                                                   "=;v;LONG VARCHAR;0;TEXT;TEXT\r\n" +
                                                   indexes);
    // With the attributes, a column line has as many fields as an index line.
    m_attributes = true;
    Compare(QStringLiteral("ColIdxLeft"), QStringLiteral("ColIdxRight"));
    Keep({CompareStatus::Different});
    EXPECT_EQ(Written(t1, false).toStdString(), legend +
                                                    "<>;id;NOT NULL | NULL;10;NULL\r\n"
                                                    "<>;ux_id;INDEX;unique | not unique;id\r\n");
}

TEST_F(ColumnExport, DriverTypeNamesOfBothSidesFromPostgres) {
    QUORVIX_REQUIRE_DATA_SOURCE(QStringLiteral("QuorvixPostgres"));
    Compare(QStringLiteral("QuorvixPostgres"), QStringLiteral("QuorvixPostgres"),
            QStringLiteral("quorvix.ta"), QStringLiteral("quorvix.tb"));
    Keep({0, 1, 2, 3});
    EXPECT_EQ(Written(TableIndex(QStringLiteral("strings")), true),
              Expected("column-postgres-strings-en.csv"));

    m_attributes = true;
    Compare(QStringLiteral("QuorvixPostgres"), QStringLiteral("QuorvixPostgres"),
            QStringLiteral("quorvix.attr_l"), QStringLiteral("quorvix.attr_r"));
    EXPECT_EQ(Written(TableIndex(QStringLiteral("defaults")), true),
              Expected("column-postgres-defaults-en.csv"));
}

TEST_F(ColumnExport, LegendAloneWhenNoRowIsKeptOrThereAreNone) {
    Compare(QStringLiteral("ColLeft"), QStringLiteral("ColRight"));
    const QByteArray legend = "=;same\r\n>;only in ColLeft\r\n<;only in ColRight\r\n"
                              "<>;different\r\n\r\n\r\n\r\n";
    Keep({});
    EXPECT_EQ(Written(TableIndex(QStringLiteral("T1")), true), legend);
    Keep({0, 1, 2, 3});
    EXPECT_EQ(Written(TableIndex(QStringLiteral("SAME")), true), legend);
    EXPECT_EQ(Written(-1, true), legend);
}

TEST_F(ColumnExport, NameOutsideTheByteEncodingStopsAtItsLineKeepingTheEarlierOnes) {
    Compare(QStringLiteral("ColLeft"), QStringLiteral("ColEuro"));
    Keep({0, 1, 2, 3});
    const QString path = m_tmp.filePath(QStringLiteral("euro.csv"));
    {
        CExportFile file;
        ASSERT_TRUE(file.Open(path));
        EXPECT_THROW(WriteColumnExport(file, m_results, TableIndex(QStringLiteral("T1")), m_params,
                                       false, m_leftName, m_rightName),
                     CExportError);
    }
    const QByteArray written = Contents(path);
    EXPECT_TRUE(written.endsWith("\r\n\r\n\r\n=;id\r\n")) << written.toStdString();
}
