#include "export/TableReport.h"
#include "export/TableExport.h"

#include "export/ExpectedFiles.h"
#include "export/ReportPage.h"
#include "odbc/OdbcTestEnvironment.h"
#include "services/Language.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

const QString kScriptName = QStringLiteral("<script>window.ran = 1</script>");
const QString kAttributeName = QStringLiteral("\"><img src=x onerror=\"window.ran = 2\">");
// A right-to-left override, which would show the rest of the name backwards, and an isolate.
const QString kTurnedName = QStringLiteral("AB\u202ECD\u2067EF");

// The table report of a real SQLite comparison, read in the browser: a table of each status, a
// different one with a column of each status, names that would be markup, a name too long for
// any line, and enough tables on one side to fill several blocks of rows.
class TableReport : public ReportPageTest {
protected:
    static void SetUpTestSuite() {
        QString many;
        for (int table = 0; table < 600; ++table)
            many += QStringLiteral("CREATE TABLE N%1 (a INT);").arg(table, 3, 10, QLatin1Char('0'));
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("HtmlLeft"),
            QStringLiteral("CREATE TABLE T1 (C1 INT, C2 INT, C4 VARCHAR(10));"
                           "CREATE TABLE SAME (a INT); CREATE TABLE \"%1\" (x INT);"
                           "CREATE TABLE \"%2\" (a INT);")
                    .arg(kScriptName, QString(QLatin1Char('W')).repeated(300)) +
                many);
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("HtmlRight"),
            QStringLiteral("CREATE TABLE T1 (C2 INT, C3 INT, C4 VARCHAR(20));"
                           "CREATE TABLE SAME (a INT); CREATE TABLE \"%1\" (y INT);")
                .arg(QString(kAttributeName).replace(QLatin1Char('"'), QStringLiteral("\"\""))));
        AddIndexAndAttributeSources(QStringLiteral("HtmlIdxLeft"), QStringLiteral("HtmlIdxRight"));
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("HtmlBidiLeft"),
            QStringLiteral("CREATE TABLE \"%1\" (a INT); CREATE TABLE SAME (a INT);")
                .arg(kTurnedName));
        COdbcTestEnvironment::AddSqliteDataSource(QStringLiteral("HtmlBidiRight"),
                                                  QStringLiteral("CREATE TABLE SAME (a INT);"));
        ReportPageTest::SetUpTestSuite();
    }
    void TearDown() override {
        ChooseLanguage(QStringLiteral("ENG"), {});
        if (s_browser)
            s_browser->SetScriptsEnabled(true);
        ReportPageTest::TearDown();
    }

    void Compare() {
        m_params.SetBit(ParamBit::CompareSqlTypes, true);
        OpenSide(m_left, QStringLiteral("HtmlLeft"));
        OpenSide(m_right, QStringLiteral("HtmlRight"));
        ASSERT_TRUE(m_results.RunTableComparison(m_progress));
    }
    // The sides made for the newer comparisons, with or without them; without the types, which
    // the CSV of the tables leaves out.
    void CompareIndexesAndAttributes(bool on) {
        m_params.SetBit(ParamBit::CompareIndexes, on);
        m_params.SetBit(ParamBit::CompareAttributes, on);
        OpenSide(m_left, QStringLiteral("HtmlIdxLeft"));
        OpenSide(m_right, QStringLiteral("HtmlIdxRight"));
        ASSERT_TRUE(m_results.RunTableComparison(m_progress));
    }
    void KeepColumns(std::initializer_list<int> statuses) {
        for (int status = 0; status < CompareStatus::Count; ++status)
            m_params.SetBit(ParamBit::ExportTableColumnStatus0 + status,
                            std::find(statuses.begin(), statuses.end(), status) != statuses.end());
    }
    // The rows of every detail table, and each unfolding table's captions.
    static QStringList DetailRows() {
        return Strings(Run(QStringLiteral(R"js(
            [...document.querySelectorAll('details .sub tbody tr')]
              .map(r => [...r.cells].map(c => c.textContent).join(';')))js")));
    }
    static QStringList Captions() {
        return Strings(Run(QStringLiteral(R"js(
            [...document.querySelectorAll('details')]
              .map(d => [...d.querySelectorAll('caption')].map(c => c.textContent).join(',')))js")));
    }
    static QStringList Parameters() {
        return Strings(Run(QStringLiteral(
            "[...document.querySelectorAll('.params li')].map(l => l.textContent)")));
    }

    void Open() {
        WriteAndOpen(m_tmp.filePath(QStringLiteral("tables.html")), [this](CHtmlStream& out) {
            WriteTableReport(out, m_results, m_params, QStringLiteral("HtmlLeft"),
                             QStringLiteral("HtmlRight"));
        });
    }
    QByteArray Csv() {
        m_params.SetEncoding(ExportEncoding::Utf8);
        const QString path = m_tmp.filePath(QStringLiteral("tables.csv"));
        {
            CExportFile file;
            EXPECT_TRUE(file.Open(path, ExportEncoding::Utf8));
            WriteTableExport(file, m_results, m_params, QStringLiteral("HtmlLeft"),
                             QStringLiteral("HtmlRight"));
        }
        return Contents(path);
    }
    static bool IsColumnLine(const QString& line) { return line.startsWith(QLatin1String(";;")); }
};

} // namespace

TEST_F(TableReport, RowsCountsAndFiltersMatchTheCsvOfTheSameRun) {
    Compare();
    Open();
    const QStringList csvRows = CsvRows(Csv(), 0, IsColumnLine);
    ASSERT_EQ(csvRows.size(), 605);
    EXPECT_EQ(Rows(), csvRows);
    EXPECT_EQ(
        Strings(Run(QStringLiteral(
            "[...document.querySelectorAll('.filters label')].map(l => l.textContent.trim())"))),
        (QStringList{"1 file(s) is/are the same", "602 file(s) is/are only in HtmlLeft",
                     "1 file(s) is/are only in HtmlRight", "1 file(s) is/are different"}));
    EXPECT_EQ(Run(QStringLiteral("document.documentElement.lang")).toString(), "en");
    EXPECT_EQ(Run(QStringLiteral("document.title")).toString(), "Tables - HtmlLeft / HtmlRight");

    // The different table unfolds to its columns, as the CSV writes them under it.
    const QHash<QString, QString> words = Legend(Csv());
    QStringList csvColumns;
    for (const QString& line : CsvLines(Csv())) {
        if (IsColumnLine(line))
            csvColumns.append(words.value(line.section(QLatin1Char(';'), 2, 2)) + QLatin1Char(';') +
                              line.section(QLatin1Char(';'), 3));
    }
    EXPECT_EQ(csvColumns.size(), 4);
    EXPECT_EQ(Strings(Run(QStringLiteral(R"js(
        [...document.querySelectorAll('details .sub tbody tr')]
          .map(r => r.cells[0].textContent + ';' + r.cells[1].textContent))js"))),
              csvColumns);

    // Unchecking a filter hides exactly the rows of its status, in every block of rows.
    ClickFilter(CompareStatus::OnlyLeft);
    QStringList shown;
    for (const QString& row : csvRows) {
        if (!row.startsWith(QLatin1String("only in HtmlLeft;")))
            shown.append(row);
    }
    EXPECT_EQ(Rows(true), shown);
    ClickFilter(CompareStatus::Same);
    shown.removeAll(QStringLiteral("same;SAME"));
    EXPECT_EQ(Rows(true), shown);
    ClickFilter(CompareStatus::OnlyLeft);
    ClickFilter(CompareStatus::Same);
    EXPECT_EQ(Rows(true), csvRows);

    Search(QStringLiteral("n59"));
    EXPECT_EQ(Rows(true).size(), 10);
    Search(QString());
    EXPECT_EQ(Rows(true).size(), 605);
}

// A search hides the rows it does not find over the filters, in every block; clearing it shows
// again exactly the rows that the filters keep, even after a filter changed meanwhile.
TEST_F(TableReport, ClearingTheSearchShowsTheRowsTheFiltersKeep) {
    Compare();
    Open();
    const QStringList csvRows = CsvRows(Csv(), 0, IsColumnLine);
    const auto kept = [&](const QString& text, bool sameShown) {
        QStringList rows;
        for (const QString& row : csvRows) {
            if ((sameShown || !row.startsWith(QLatin1String("same;"))) &&
                row.section(QLatin1Char(';'), 1).contains(text, Qt::CaseInsensitive))
                rows.append(row);
        }
        return rows;
    };
    ClickFilter(CompareStatus::Same);
    Search(QStringLiteral("N59"));
    EXPECT_EQ(Rows(true), kept(QStringLiteral("n59"), false));
    ASSERT_EQ(Rows(true).size(), 10);
    Search(QString());
    EXPECT_EQ(Rows(true), kept(QString(), false));

    Search(QStringLiteral("a"));
    EXPECT_EQ(Rows(true), kept(QStringLiteral("a"), false));
    ClickFilter(CompareStatus::Same);
    EXPECT_EQ(Rows(true), kept(QStringLiteral("a"), true));
    ClickFilter(CompareStatus::OnlyLeft);
    Search(QStringLiteral("n0"));
    EXPECT_EQ(Rows(true), QStringList{});
    Search(QString());
    const QStringList shown =
        csvRows.filter(QRegularExpression(QStringLiteral("^(?!only in HtmlLeft;)")));
    EXPECT_EQ(Rows(true), shown);
    ClickFilter(CompareStatus::OnlyLeft);
    EXPECT_EQ(Rows(true), csvRows);
}

// A name's controls of the text's direction are shown by their short names, not obeyed: the name
// is laid out in its own order; the CSV keeps the name as it is.
TEST_F(TableReport, DirectionControlsInNamesAreShownNotObeyed) {
    OpenSide(m_left, QStringLiteral("HtmlBidiLeft"));
    OpenSide(m_right, QStringLiteral("HtmlBidiRight"));
    ASSERT_TRUE(m_results.RunTableComparison(m_progress));
    Open();
    const QString shown = QStringLiteral("AB\u2039RLO\u203ACD\u2039RLI\u203AEF");
    EXPECT_EQ(Rows(), (QStringList{QStringLiteral("only in HtmlLeft;") + shown,
                                   QStringLiteral("same;SAME")}));
    EXPECT_TRUE(QString::fromUtf8(Csv()).contains(QStringLiteral(";") + kTurnedName + "\r\n"));
    // A side's name inside the words of a filter is isolated from them.
    EXPECT_EQ(Run(QStringLiteral("document.querySelector('.filters .s1 bdi').textContent")),
              QStringLiteral("HtmlLeft"));
    // Each character of the name left of the next one.
    EXPECT_TRUE(Run(QStringLiteral(R"js((() => {
        const walk = document.createTreeWalker(document.getElementById('rows'), NodeFilter.SHOW_TEXT);
        let node = walk.nextNode();
        while (node && !node.data.includes('RLO')) node = walk.nextNode();
        if (!node || node.data.length != %1) return false;
        const range = document.createRange();
        let last = -Infinity;
        for (let at = 0; at < node.data.length; ++at) {
            range.setStart(node, at); range.setEnd(node, at + 1);
            const left = range.getBoundingClientRect().left;
            if (!(left > last)) return false;
            last = left;
        }
        return true; })())js")
                        .arg(shown.size()))
                    .toBool());
}

TEST_F(TableReport, HostileNamesStayTextAndLongNamesKeepThePageWidth) {
    Compare();
    Open();
    EXPECT_TRUE(Run(QStringLiteral("window.ran === undefined")).toBool());
    EXPECT_EQ(Run(QStringLiteral("document.querySelectorAll('script').length")).toInt(), 1);
    EXPECT_EQ(Run(QStringLiteral("document.querySelectorAll('img').length")).toInt(), 1);
    const QStringList rows = Rows();
    EXPECT_TRUE(rows.contains(QStringLiteral("only in HtmlLeft;") + kScriptName));
    EXPECT_TRUE(rows.contains(QStringLiteral("only in HtmlRight;") + kAttributeName));
    // The page never scrolls sideways: a long name wraps in its cell.
    EXPECT_LE(Run(QStringLiteral("document.documentElement.scrollWidth")).toInt(),
              Run(QStringLiteral("window.innerWidth")).toInt());
}

TEST_F(TableReport, DetailsFoldAndTheFactsOfTheRunHeadThePage) {
    Compare();
    ChooseLanguage(QStringLiteral("FRA"), {});
    Open();
    EXPECT_EQ(Run(QStringLiteral("document.documentElement.lang")).toString(), "fr");
    EXPECT_EQ(Run(QStringLiteral("document.querySelectorAll('details[open]').length")).toInt(), 0);
    Run(QStringLiteral("document.getElementById('unfold').click(), 0"));
    EXPECT_EQ(Run(QStringLiteral("document.querySelectorAll('details[open]').length")).toInt(), 1);
    EXPECT_EQ(Run(QStringLiteral("document.getElementById('unfold').textContent")).toString(),
              QStringLiteral("Tout déplier"));

    // The sides, their DBMS, the moment of the run and the parameters in words.
    const QStringList sides = Strings(Run(QStringLiteral(
        "[...document.querySelectorAll('.sides tbody tr')].map(r => r.textContent)")));
    ASSERT_EQ(sides.size(), 4);
    EXPECT_EQ(sides[0], QStringLiteral("NomHtmlLeftHtmlRight"));
    EXPECT_EQ(sides[1], QStringLiteral("Source de donnéesHtmlLeftHtmlRight"));
    EXPECT_TRUE(sides[3].startsWith(QLatin1String("SGBDSQLite 3"))) << sides[3].toStdString();
    EXPECT_EQ(
        Run(QStringLiteral("document.querySelector('time').getAttribute('datetime')")).toString(),
        m_results.TableFacts().MachineMoment());
    const QStringList parameters = Strings(Run(
        QStringLiteral("[...document.querySelectorAll('.params li')].map(l => l.textContent)")));
    EXPECT_TRUE(
        parameters.contains(QStringLiteral("oui Comparer les types de données SQL des champs")));
    EXPECT_TRUE(
        parameters.contains(QStringLiteral("non Tenir compte de la casse lors du "
                                           "rapprochement des noms de tables et de champs")));
    EXPECT_TRUE(
        parameters.contains(QStringLiteral("oui Exporter les tables uniquement dans HtmlLeft")));
}

TEST_F(TableReport, StatusLeftOutOfTheReportHasNoRowsAndADisabledFilter) {
    Compare();
    m_params.SetBit(ParamBit::ExportTableStatus0 + int(CompareStatus::OnlyLeft), false);
    Open();
    EXPECT_EQ(Rows(), CsvRows(Csv(), 0, IsColumnLine));
    EXPECT_EQ(Rows().size(), 3);
    EXPECT_TRUE(
        Run(QStringLiteral("document.querySelector('.filters input[data-s=\"1\"]').disabled"))
            .toBool());
}

TEST_F(TableReport, ReadsWithoutScript) {
    Compare();
    ASSERT_TRUE(s_browser->SetScriptsEnabled(false)) << s_browser->Error().toStdString();
    Open();
    EXPECT_EQ(Rows().size(), 605);
    EXPECT_EQ(Run(QStringLiteral("getComputedStyle(document.querySelector('.tools')).display"))
                  .toString(),
              "none");
}

// Under both newer comparisons a different table unfolds to its kept column rows with their
// attributes and to its kept index rows, as the CSV writes them under it: a table whose only kept
// differences are indexes unfolds too, the column bits leave index rows out, and the index names
// and defaults that are markup stay text. Without those comparisons the same sides show none of
// it.
TEST_F(TableReport, DifferentTablesUnfoldToTheirAttributesAndIndexesAsInTheCsv) {
    CompareIndexesAndAttributes(false);
    Open();
    EXPECT_EQ(Rows(), (QStringList{"same;ATTR", "same;IONLY", "same;SAME"}));
    EXPECT_EQ(Parameters().size(), 11);
    EXPECT_TRUE(Parameters().filter(QStringLiteral("indexes of tables")).isEmpty());

    CompareIndexesAndAttributes(true);
    Open();
    const QByteArray csv = Csv();
    EXPECT_EQ(Rows(), CsvRows(csv, 0, IsColumnLine));
    EXPECT_EQ(Rows(), (QStringList{"different;ATTR", "different;IONLY", "same;SAME"}));
    const QStringList details = CsvDetailRows(csv, 2, IsColumnLine);
    ASSERT_EQ(details.size(), 10);
    EXPECT_EQ(DetailRows(), details);
    EXPECT_EQ(Captions(), (QStringList{"Fields", "Fields,Indexes"}));
    EXPECT_EQ(
        Strings(Run(
            QStringLiteral("[...document.querySelectorAll('details .sub')].map(t => "
                           "[...t.querySelectorAll('th')].map(h => h.textContent).join(','))"))),
        (QStringList{"Status,Field,Nullable,Decimals,Default Value",
                     "Status,Field,Nullable,Decimals,Default Value", "Status,Name,Unique,Fields"}));
    EXPECT_TRUE(details.contains("only in HtmlLeft;" + kMarkupIndex + ";not unique;b"))
        << details.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(details.filter(kScriptDefault + " | " + kMarkupDefault).size(), 1);
    Run(QStringLiteral("document.getElementById('unfold').click(), 0"));
    EXPECT_TRUE(RanNoMarkup());
    EXPECT_TRUE(Parameters().contains("yes Compare the indexes of tables"));
    EXPECT_TRUE(Parameters().contains(
        "yes Compare nullability, decimal digits and default values of fields"));

    KeepColumns({CompareStatus::Different});
    Open();
    EXPECT_EQ(DetailRows(), CsvDetailRows(Csv(), 2, IsColumnLine));
    EXPECT_EQ(DetailRows().size(), 3);
    EXPECT_EQ(Captions(), (QStringList{"Fields", "Indexes"}));

    // ATTR has no column of the status kept: it no longer unfolds.
    KeepColumns({CompareStatus::OnlyRight});
    Open();
    EXPECT_EQ(Rows(), CsvRows(Csv(), 0, IsColumnLine));
    EXPECT_EQ(DetailRows(), CsvDetailRows(Csv(), 2, IsColumnLine));
    EXPECT_EQ(DetailRows(), (QStringList{"only in HtmlRight;ic;not unique;c"}));
    EXPECT_EQ(Captions(), (QStringList{"Indexes"}));
}
