#include "export/ColumnReport.h"
#include "export/ColumnExport.h"

#include "export/ExpectedFiles.h"
#include "export/ReportPage.h"
#include "odbc/OdbcTestEnvironment.h"

namespace {

// The column report of a different table with a column of each status, with and without the
// type details, read in the browser against the CSV of the same run.
class ColumnReport : public ReportPageTest {
protected:
    static void SetUpTestSuite() {
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("HtmlColLeft"),
            QStringLiteral("CREATE TABLE T1 (C1 INT, C2 INT, C4 VARCHAR(10), \"<b>\" INT);"));
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("HtmlColRight"),
            QStringLiteral("CREATE TABLE T1 (C2 INT, C3 INT, C4 VARCHAR(20), \"<b>\" INT);"));
        ReportPageTest::SetUpTestSuite();
    }
    void Compare(bool types) {
        m_params.SetBit(ParamBit::CompareSqlTypes, types);
        OpenSide(m_left, QStringLiteral("HtmlColLeft"));
        OpenSide(m_right, QStringLiteral("HtmlColRight"));
        ASSERT_TRUE(m_results.RunTableComparison(m_progress));
        m_table = int(m_results.TableNames().indexOf(QStringLiteral("T1")));
        ASSERT_GE(m_table, 0);
    }
    void Open(bool types) {
        WriteAndOpen(m_tmp.filePath(QStringLiteral("columns.html")), [&](CHtmlStream& out) {
            WriteColumnReport(out, m_results, m_table, m_params, types, kLeft, kRight);
        });
    }
    QByteArray Csv(bool types) {
        const QString path = m_tmp.filePath(QStringLiteral("columns.csv"));
        {
            CExportFile file;
            EXPECT_TRUE(file.Open(path, ExportEncoding::Utf8));
            WriteColumnExport(file, m_results, m_table, m_params, types, kLeft, kRight);
        }
        return Contents(path);
    }

    const QString kLeft = QStringLiteral("HtmlColLeft");
    const QString kRight = QStringLiteral("HtmlColRight");
    int m_table = -1;
};

} // namespace

TEST_F(ColumnReport, TypeDetailsRowsAndTheDifferentFilterMatchTheCsv) {
    Compare(true);
    Open(true);
    const QStringList csvRows = CsvRows(Csv(true), 0);
    ASSERT_EQ(csvRows.size(), 5);
    EXPECT_EQ(Rows(), csvRows);
    EXPECT_EQ(Run(QStringLiteral("document.title")).toString(),
              QStringLiteral("Columns of T1 - %1 / %2").arg(kLeft, kRight));
    EXPECT_EQ(Strings(Run(QStringLiteral(
                  "[...document.querySelectorAll('.hd th')].map(h => h.innerText)"))),
              (QStringList{"Status", "Field", "SQL Type", "Size", "Type From Driver\n" + kLeft,
                           "Type From Driver\n" + kRight}));

    ClickFilter(CompareStatus::Different);
    QStringList shown;
    for (const QString& row : csvRows) {
        if (!row.startsWith(QLatin1String("different;")))
            shown.append(row);
    }
    EXPECT_EQ(shown.size(), 4);
    EXPECT_EQ(Rows(true), shown);
}

TEST_F(ColumnReport, WithoutTypesNoColumnDiffersAndNoDifferentFilterShows) {
    Compare(true);
    Open(false);
    EXPECT_EQ(Rows(), CsvRows(Csv(false), 0));
    EXPECT_EQ(Run(QStringLiteral("document.querySelectorAll('.filters input').length")).toInt(), 3);
    EXPECT_EQ(Run(QStringLiteral("document.querySelectorAll('.hd th').length")).toInt(), 2);
}
