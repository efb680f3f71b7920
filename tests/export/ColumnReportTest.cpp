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
        AddIndexAndAttributeSources(QStringLiteral("HtmlColIdxLeft"),
                                    QStringLiteral("HtmlColIdxRight"));
        ReportPageTest::SetUpTestSuite();
    }
    void Compare(bool types, const QString& table = QStringLiteral("T1")) {
        m_params.SetBit(ParamBit::CompareSqlTypes, types);
        const bool indexes = m_params.TestBit(ParamBit::CompareIndexes);
        OpenSide(m_left, indexes ? QStringLiteral("HtmlColIdxLeft") : kLeft);
        OpenSide(m_right, indexes ? QStringLiteral("HtmlColIdxRight") : kRight);
        ASSERT_TRUE(m_results.RunTableComparison(m_progress));
        m_table = int(m_results.TableNames().indexOf(table));
        ASSERT_GE(m_table, 0);
    }
    // Both comparisons of the newer runs, and one table of the sides made for them.
    void CompareIndexesAndAttributes(bool types, const QString& table) {
        m_params.SetBit(ParamBit::CompareIndexes, true);
        m_params.SetBit(ParamBit::CompareAttributes, true);
        Compare(types, table);
    }
    // The rows of the list after the section heading: the index rows.
    static QStringList IndexRows(bool shownOnly = false) {
        const QStringList rows = Rows(shownOnly);
        const int indexRows =
            Run(QStringLiteral("[...document.querySelectorAll('#rows h2 ~ .c .m>tbody>tr')]"
                               ".filter(r => !%1 || getComputedStyle(r).display != 'none')"
                               ".length")
                    .arg(shownOnly ? QStringLiteral("true") : QStringLiteral("false")))
                .toInt();
        return rows.mid(rows.size() - indexRows);
    }
    static QStringList Headings() {
        return Strings(
            Run(QStringLiteral("[...document.querySelectorAll('.hd th')].map(h => h.innerText)")));
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

// A table that differs in its indexes alone: its column rows, then its index rows under their own
// heading, each kept by the column bits as in the CSV; the status filters and the search reach the
// index rows too, whose names stay text.
TEST_F(ColumnReport, IndexRowsFollowTheColumnsAsInTheCsvAndTheFiltersAndSearchReachThem) {
    CompareIndexesAndAttributes(false, QStringLiteral("IONLY"));
    Open(false);
    const QStringList csvRows = CsvDetailRows(Csv(false), 0);
    ASSERT_EQ(csvRows.size(), 7);
    EXPECT_EQ(Rows(), csvRows);
    const QStringList indexRows = IndexRows();
    ASSERT_EQ(indexRows.size(), 4);
    EXPECT_EQ(indexRows, csvRows.mid(3));
    EXPECT_TRUE(indexRows.contains("only in " + kLeft + ";" + kMarkupIndex + ";not unique;b"))
        << indexRows.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(RanNoMarkup());
    EXPECT_EQ(Run(QStringLiteral("document.querySelector('#rows h2').textContent")).toString(),
              "Indexes");
    EXPECT_EQ(Headings(), (QStringList{"Status", "Field", "Nullable", "Decimals", "Default Value",
                                       "Status", "Name", "Unique", "Fields"}));
    // Each filter counts the index rows of its status beside the columns; an index can differ
    // where no column can.
    EXPECT_EQ(
        Strings(Run(QStringLiteral(
            "[...document.querySelectorAll('.filters label')].map(l => l.textContent.trim())"))),
        (QStringList{"3 field(s) is/are the same (indexes: 1)",
                     "0 field(s) is/are only in " + kLeft + " (indexes: 1)",
                     "0 field(s) is/are only in " + kRight + " (indexes: 1)",
                     "0 field(s) is/are different (indexes: 1)"}));
    const QStringList parameters = Strings(Run(
        QStringLiteral("[...document.querySelectorAll('.params li')].map(l => l.textContent)")));
    EXPECT_TRUE(parameters.contains("yes Compare the indexes of tables"));
    EXPECT_TRUE(parameters.contains(
        "yes Compare nullability, decimal digits and default values of fields"));

    ClickFilter(CompareStatus::OnlyLeft);
    ClickFilter(CompareStatus::Different);
    QStringList shown;
    for (const QString& row : indexRows) {
        if (row.startsWith(QLatin1String("same;")) || row.startsWith("only in " + kRight + ";"))
            shown.append(row);
    }
    EXPECT_EQ(shown.size(), 2);
    EXPECT_EQ(IndexRows(true), shown);
    ClickFilter(CompareStatus::Different);
    Search(QStringLiteral("c, b"));
    EXPECT_EQ(Rows(true), QStringList{indexRows.filter(QStringLiteral("different;ib;")).value(0)});

    // The column bits leave index rows out of the report as they do in the CSV.
    m_params.SetBit(ParamBit::ExportColumnStatus0 + int(CompareStatus::Same), false);
    m_params.SetBit(ParamBit::ExportColumnStatus0 + int(CompareStatus::OnlyRight), false);
    Open(false);
    EXPECT_EQ(Rows(), CsvDetailRows(Csv(false), 0));
    EXPECT_EQ(IndexRows().size(), 2);
}

// A table that differs in a nullability and a default: the attributes follow the type details,
// under the column window's headings, as the CSV writes them, the defaults that are markup as
// text; the list of its indexes, which it has none of, stays empty.
TEST_F(ColumnReport, AttributesFollowTheTypesAsInTheCsvAndMarkupDefaultsStayText) {
    CompareIndexesAndAttributes(true, QStringLiteral("ATTR"));
    Open(true);
    const QStringList csvRows = CsvDetailRows(Csv(true), 0);
    ASSERT_EQ(csvRows.size(), 3);
    EXPECT_EQ(Rows(), csvRows);
    EXPECT_TRUE(IndexRows().isEmpty());
    EXPECT_EQ(csvRows.filter(QStringLiteral("different;")).size(), 2);
    EXPECT_EQ(csvRows.filter(kScriptDefault + " | " + kMarkupDefault).size(), 1)
        << csvRows.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(RanNoMarkup());
    EXPECT_EQ(
        Headings().mid(0, 9),
        (QStringList{"Status", "Field", "SQL Type", "Size", "Type From Driver\n" + kLeft,
                     "Type From Driver\n" + kRight, "Nullable", "Decimals", "Default Value"}));
    // The columns still fill the list's width together.
    EXPECT_EQ(Run(QStringLiteral("[...document.querySelectorAll('.hd col')].slice(0, 9)"
                                 ".reduce((s, c) => s + parseInt(c.style.width), 0)"))
                  .toInt(),
              100);

    Search(QStringLiteral("onerror"));
    EXPECT_EQ(Rows(true), csvRows.filter(QStringLiteral("onerror")));
}
