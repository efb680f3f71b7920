#include "export/StructureReport.h"
#include "export/StructureExport.h"

#include "export/ExpectedFiles.h"
#include "export/ReportPage.h"
#include "odbc/OdbcTestEnvironment.h"
#include "runs/RunFacts.h"

namespace {

// The structure report of the PostgreSQL fixture's "Orders" (a descending index column), read in
// the browser against the CSV written from the same reading.
class StructureReport : public ReportPageTest {
protected:
    void Read() {
        OpenSide(m_right, QStringLiteral("QuorvixPostgres"), QStringLiteral("quorvix.s1"));
        ASSERT_TRUE(m_right.ReadColumns(QStringLiteral("Orders"), m_fields));
        ASSERT_TRUE(m_right.ReadIndexes(QStringLiteral("Orders"), m_indexes));
        m_facts = CRunFacts::ReadNow(m_right, 1);
    }
    void Open() {
        WriteAndOpen(m_tmp.filePath(QStringLiteral("structure.html")), [this](CHtmlStream& out) {
            WriteStructureReport(out, m_fields, m_indexes, m_params, m_facts, 1, kSide,
                                 QStringLiteral("Orders"));
        });
    }
    QStringList CsvLines() {
        const QString path = m_tmp.filePath(QStringLiteral("structure.csv"));
        {
            CExportFile file;
            EXPECT_TRUE(file.Open(path, ExportEncoding::Utf8));
            WriteStructureExport(file, m_fields, m_indexes, m_params);
        }
        return ReportPageTest::CsvLines(Contents(path));
    }

    const QString kSide = QStringLiteral("QuorvixPostgres (quorvix.s1)");
    CColumnInfoArray m_fields;
    CIndexInfoArray m_indexes;
    CRunFacts m_facts;
};

} // namespace

TEST_F(StructureReport, FieldsAndIndexesMatchTheCsvAndTheSearchKeepsIndexesWhole) {
    QUORVIX_REQUIRE_DATA_SOURCE(QStringLiteral("QuorvixPostgres"));
    Read();
    Open();
    // The CSV: fields, two empty lines, then the index lines.
    QStringList csv = CsvLines();
    csv.removeAll(QString());
    EXPECT_EQ(Rows(), csv);
    EXPECT_TRUE(Rows().contains(QStringLiteral("ix_orders_amount;amount;Descending")));
    EXPECT_EQ(Run(QStringLiteral("document.title")).toString(),
              QStringLiteral("Orders (right: %1)").arg(kSide));
    EXPECT_EQ(Strings(Run(QStringLiteral(
                  "[...document.querySelectorAll('.sides tr')].map(r => r.cells[0].textContent + "
                  "'|' + r.cells[1].textContent.split(' ')[0])"))),
              (QStringList{"|Right", "Name|QuorvixPostgres", "Data source|QuorvixPostgres",
                           "Owner|quorvix.s1", "DBMS|PostgreSQL"}));
    EXPECT_EQ(Run(QStringLiteral("document.querySelector('.counts').textContent")).toString(),
              QStringLiteral("6 field(s), 2 index(es)"));

    // An index's name finds every row of it, though only its first row shows the name.
    Search(QStringLiteral("ix_orders"));
    EXPECT_EQ(Rows(true),
              (QStringList{"ix_orders_amount;amount;Descending", ";Customer;Ascending"}));

    m_params.SetBit(ParamBit::ExportFields, false);
    Open();
    EXPECT_EQ(Rows().size(), 3);
    EXPECT_EQ(Run(QStringLiteral("document.querySelectorAll('h2').length")).toInt(), 1);
}
