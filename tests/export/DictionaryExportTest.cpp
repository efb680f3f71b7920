#include "export/DictionaryExport.h"
#include "export/ExportFile.h"

#include "export/ExpectedFiles.h"
#include "odbc/OdbcTestEnvironment.h"
#include "runs/ComparisonTestBase.h"
#include "services/Language.h"

#include <algorithm>

namespace {

const char* const kTable = R"sql(
CREATE TABLE F9210 (FRDTAI VARCHAR(12), FRDTAT VARCHAR(2), FRDTAS INTEGER, FROWTP VARCHAR(4),
                    FRDTAD SMALLINT, FRCDEC VARCHAR(1));
INSERT INTO F9210 VALUES ('DTAI', 'S', 10, 'VARC', 0, '0'), ('DTAT', 'S', 2, 'VARC', 0, '0'),
    ('OWTP', 'S', 4, 'VARC', 0, '0'), ('CDEC', 'S', 1, 'VARC', 0, '0');
)sql";

// DIFFALL differs in every value (negative numbers on the right), CDONLY in CDEC alone; SEMI
// holds ";" in its OWTP on both sides; the right side has an item with a Latin-1 letter.
const char* const kLeftRows = R"sql(
INSERT INTO F9210 VALUES ('AMT', 'N', 15, 'NUMB', 2, '2'), ('CDONLY', 'S', 5, 'VARC', 0, '0'),
    ('DIFFALL', 'S', 5, 'VARC', 0, '0'), ('LEFTONLY', 'S', 7, 'CHAR', 0, '0'),
    ('SEMI', 'S', 3, 'A;B', 0, '0');
)sql";

const char* const kRightRows = R"sql(
INSERT INTO F9210 VALUES ('AMT', 'N', 15, 'NUMB', 2, '2'), ('CDONLY', 'S', 5, 'VARC', 0, '1'),
    ('DIFFALL', 'N', -6, 'NUMB', -1, '2'), ('RIGHTONLY', 'A', 30, 'VARC', 0, '0'),
    ('SEMI', 'S', 3, 'A;B', 0, '0'), ('ÉTÉ', 'S', 1, 'VARC', 0, '0');
)sql";

// The data-dictionary layout written from real comparisons: two SQLite dictionaries holding an
// item of each status, and the PostgreSQL test server's F9210 against its F9201.
class DictionaryExport : public ComparisonTestBase {
protected:
    static void SetUpTestSuite() {
        COdbcTestEnvironment::AddSqliteDataSource(QStringLiteral("DictExpLeft"),
                                                  QLatin1String(kTable) + QLatin1String(kLeftRows));
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("DictExpRight"), QLatin1String(kTable) + QString::fromUtf8(kRightRows));
    }
    void TearDown() override {
        ChooseLanguage(QStringLiteral("ENG"), {});
        ComparisonTestBase::TearDown();
    }

    void Open(const QString& left = QStringLiteral("DictExpLeft"),
              const QString& right = QStringLiteral("DictExpRight"), const QString& leftOwner = {},
              const QString& rightOwner = {}) {
        OpenSide(m_left, left, leftOwner);
        OpenSide(m_right, right, rightOwner);
        // As the program names a side: its data source, then the chosen owner in brackets.
        m_leftName = leftOwner.isEmpty() ? left : left + QStringLiteral(" (%1)").arg(leftOwner);
        m_rightName =
            rightOwner.isEmpty() ? right : right + QStringLiteral(" (%1)").arg(rightOwner);
    }
    // The value bits steer the judging as much as the columns written, so they are chosen
    // before the run, as the program's parameters are.
    void Compare(std::initializer_list<int> values) {
        for (int value = 0; value < 5; ++value)
            m_params.SetBit(ParamBit::CompareValue0 + value,
                            std::find(values.begin(), values.end(), value) != values.end());
        ASSERT_TRUE(m_results.RunDictionaryComparison(m_progress));
    }
    void Keep(std::initializer_list<int> statuses) {
        for (int status = 0; status < CompareStatus::Count; ++status)
            m_params.SetBit(ParamBit::ExportDictionaryStatus0 + status,
                            std::find(statuses.begin(), statuses.end(), status) != statuses.end());
    }
    QByteArray Written() {
        const QString path = m_tmp.filePath(QStringLiteral("dictionary.csv"));
        {
            CExportFile file;
            EXPECT_TRUE(file.Open(path));
            WriteDictionaryExport(file, m_results, m_params, m_leftName, m_rightName);
        }
        return Contents(path);
    }

    QString m_leftName;
    QString m_rightName;
};

} // namespace

TEST_F(DictionaryExport, ExpectedBytesOfEachValueChoiceAndLanguage) {
    Open();
    Compare({0, 1, 2, 3, 4});
    Keep({0, 1, 2, 3});
    EXPECT_EQ(Written(), Expected("dictionary-all-en.csv"));

    // DTAS and CDEC alone: DIFFALL and CDONLY stay different, on those two values.
    ChooseLanguage(QStringLiteral("FRA"), {});
    Compare({1, 4});
    EXPECT_EQ(Written(), Expected("dictionary-size-decimals-fr.csv"));

    // No value at all: every line holds the status and the name, the headers ";" and ";Alias".
    ChooseLanguage(QStringLiteral("ENG"), {});
    Compare({});
    EXPECT_EQ(Written(), Expected("dictionary-no-values-en.csv"));
}

TEST_F(DictionaryExport, ValueHoldingASemicolonIsWrittenUnquotedAndShiftsTheFieldsAfterIt) {
    Open();
    Compare({0, 1, 2, 3, 4});
    Keep({0, 1, 2, 3});
    EXPECT_TRUE(Written().contains("\r\n=;SEMI;S;3;A;B;0;0\r\n"));
}

TEST_F(DictionaryExport, StatusBitsChooseTheItemsUnderAlwaysWrittenHeaders) {
    Open();
    Compare({0, 1, 2, 3, 4});
    Keep({CompareStatus::OnlyRight, CompareStatus::Different});
    EXPECT_EQ(Written(), Expected("dictionary-right-different-en.csv"));

    Keep({});
    EXPECT_EQ(Written(), "=;same\r\n>;only in DictExpLeft\r\n<;only in DictExpRight\r\n"
                         "<>;different\r\n\r\n\r\n\r\n;;DTAT;DTAS;OWTP;DTAD;CDEC\r\n"
                         ";Alias;Data Item Type;Item Size;Data Type;Data File Decimals;"
                         "Display Decimals\r\n");
}

TEST_F(DictionaryExport, PostgresDictionaryAgainstAnF9201) {
    QUORVIX_REQUIRE_DATA_SOURCE(QStringLiteral("QuorvixPostgres"));
    Open(QStringLiteral("QuorvixPostgres"), QStringLiteral("QuorvixPostgres"),
         QStringLiteral("quorvix.s1"), QStringLiteral("quorvix.s2"));
    Compare({0, 1, 2, 3, 4});
    Keep({0, 1, 2, 3});
    EXPECT_EQ(Written(), Expected("dictionary-postgres-en.csv"));
}
