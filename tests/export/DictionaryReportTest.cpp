#include "export/DictionaryReport.h"
#include "export/DictionaryExport.h"

#include "export/ExpectedFiles.h"
#include "export/ReportPage.h"
#include "odbc/OdbcTestEnvironment.h"
#include "services/Language.h"

#include <algorithm>

namespace {

const char* const kTable = R"sql(
CREATE TABLE F9210 (FRDTAI VARCHAR(40), FRDTAT VARCHAR(2), FRDTAS INTEGER, FROWTP VARCHAR(40),
                    FRDTAD SMALLINT, FRCDEC VARCHAR(1));
INSERT INTO F9210 VALUES ('DTAI', 'S', 40, 'VARC', 0, '0'), ('DTAT', 'S', 2, 'VARC', 0, '0'),
    ('OWTP', 'S', 40, 'VARC', 0, '0'), ('CDEC', 'S', 1, 'VARC', 0, '0');
)sql";

// An item of each status, a value holding ";" and values that would be markup.
const char* const kLeftRows = R"sql(
INSERT INTO F9210 VALUES ('AMT', 'N', 15, 'NUMB', 2, '2'), ('CDONLY', 'S', 5, 'VARC', 0, '0'),
    ('DIFFALL', 'S', 5, '<i>x</i>', 0, '0'), ('LEFTONLY', 'S', 7, 'CHAR', 0, '0'),
    ('SEMI', 'S', 3, 'A;B', 0, '0');
)sql";

const char* const kRightRows = R"sql(
INSERT INTO F9210 VALUES ('AMT', 'N', 15, 'NUMB', 2, '2'), ('CDONLY', 'S', 5, 'VARC', 0, '1'),
    ('DIFFALL', 'N', -6, 'NUMB & <b>', -1, '2'), ('RIGHTONLY', 'A', 30, 'VARC', 0, '0'),
    ('SEMI', 'S', 3, 'A;B', 0, '0'), ('ÉTÉ', 'S', 1, 'VARC', 0, '0');
)sql";

// The data-dictionary report of two SQLite dictionaries, read in the browser against the CSV of
// the same run, in both languages.
class DictionaryReport : public ReportPageTest {
protected:
    static void SetUpTestSuite() {
        COdbcTestEnvironment::AddSqliteDataSource(QStringLiteral("HtmlDictLeft"),
                                                  QLatin1String(kTable) + QLatin1String(kLeftRows));
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("HtmlDictRight"), QLatin1String(kTable) + QString::fromUtf8(kRightRows));
        ReportPageTest::SetUpTestSuite();
    }
    void TearDown() override {
        ChooseLanguage(QStringLiteral("ENG"), {});
        ReportPageTest::TearDown();
    }
    void Compare(std::initializer_list<int> values) {
        for (int value = 0; value < 5; ++value)
            m_params.SetBit(ParamBit::CompareValue0 + value,
                            std::find(values.begin(), values.end(), value) != values.end());
        OpenSide(m_left, QStringLiteral("HtmlDictLeft"));
        OpenSide(m_right, QStringLiteral("HtmlDictRight"));
        ASSERT_TRUE(m_results.RunDictionaryComparison(m_progress));
    }
    void Open() {
        WriteAndOpen(m_tmp.filePath(QStringLiteral("dictionary.html")), [this](CHtmlStream& out) {
            WriteDictionaryReport(out, m_results, m_params, QStringLiteral("HtmlDictLeft"),
                                  QStringLiteral("HtmlDictRight"));
        });
    }
    QByteArray Csv() {
        const QString path = m_tmp.filePath(QStringLiteral("dictionary.csv"));
        {
            CExportFile file;
            EXPECT_TRUE(file.Open(path, ExportEncoding::Utf8));
            WriteDictionaryExport(file, m_results, m_params, QStringLiteral("HtmlDictLeft"),
                                  QStringLiteral("HtmlDictRight"));
        }
        return Contents(path);
    }
};

} // namespace

TEST_F(DictionaryReport, ValuesPairsAndStatusesMatchTheCsvOfTheSameRun) {
    Compare({0, 1, 2, 3, 4});
    Open();
    const QStringList csvRows = CsvRows(Csv(), 2);
    ASSERT_EQ(csvRows.size(), 11);
    EXPECT_EQ(Rows(), csvRows);
    EXPECT_TRUE(Rows().contains(
        QStringLiteral("different;DIFFALL;S | N;5 | -6;<i>x</i> | NUMB & <b>;0 | -1;0 | 2")));
    EXPECT_EQ(Run(QStringLiteral("document.querySelectorAll('#rows i, #rows b').length")).toInt(),
              0);
    EXPECT_EQ(
        Strings(
            Run(QStringLiteral("[...document.querySelectorAll('.hd th')].map(h => h.innerText)"))),
        (QStringList{"Status", "Alias", "DTAT\nData Item Type", "DTAS\nItem Size",
                     "OWTP\nData Type", "DTAD\nData File Decimals", "CDEC\nDisplay Decimals"}));

    ClickFilter(CompareStatus::Same);
    ClickFilter(CompareStatus::OnlyRight);
    QStringList shown;
    for (const QString& row : csvRows) {
        if (!row.startsWith(QLatin1String("same;")) &&
            !row.startsWith(QLatin1String("only in HtmlDictRight;")))
            shown.append(row);
    }
    EXPECT_EQ(shown.size(), 3);
    EXPECT_EQ(Rows(true), shown);
    Search(QStringLiteral("numb"));
    EXPECT_EQ(Rows(true), QStringList{shown.filter(QStringLiteral("DIFFALL"))});
}

// The search reads names and values as the page shows them: markup is text, a word is found
// whatever its case, and a text between two values is not found.
TEST_F(DictionaryReport, SearchFindsValuesAsText) {
    Compare({0, 1, 2, 3, 4});
    Open();
    const QStringList all = Rows();
    const auto rowsOf = [&](const QStringList& names) {
        QStringList rows;
        for (const QString& row : all) {
            if (names.contains(row.section(QLatin1Char(';'), 1, 1)))
                rows.append(row);
        }
        return rows;
    };
    Search(QStringLiteral("NUMB & <B>"));
    EXPECT_EQ(Rows(true), rowsOf({QStringLiteral("DIFFALL")}));
    Search(QStringLiteral("<i>x</i> |"));
    EXPECT_EQ(Rows(true), rowsOf({QStringLiteral("DIFFALL")}));
    Search(QStringLiteral("\u00e9t\u00e9"));
    EXPECT_EQ(Rows(true), rowsOf({QStringLiteral("\u00c9T\u00c9")}));
    Search(QStringLiteral("a;b"));
    EXPECT_EQ(Rows(true), rowsOf({QStringLiteral("SEMI")}));
    // The name and the first value of a row, one after the other.
    Search(QStringLiteral("AMTN"));
    EXPECT_EQ(Rows(true), QStringList{});
    Search(QString());
    EXPECT_EQ(Rows(true), all);
}

TEST_F(DictionaryReport, FrenchReportWithTwoValues) {
    Compare({1, 4});
    ChooseLanguage(QStringLiteral("FRA"), {});
    Open();
    EXPECT_EQ(Rows(), CsvRows(Csv(), 2));
    EXPECT_EQ(Run(QStringLiteral("document.documentElement.lang")).toString(), "fr");
    EXPECT_TRUE(Rows().contains(QStringLiteral("uniquement dans HtmlDictRight;ÉTÉ;1;0")));
    const QStringList parameters = Strings(Run(
        QStringLiteral("[...document.querySelectorAll('.params li')].map(l => l.textContent)")));
    EXPECT_TRUE(parameters.contains(
        QStringLiteral("oui Comparer les valeurs du champ DTAS (Taille article)")));
    EXPECT_TRUE(parameters.contains(
        QStringLiteral("non Comparer les valeurs du champ DTAT (Type article DD)")));
}
