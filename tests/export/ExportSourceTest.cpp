// What an export offers and where it may go are asked of one source per kind, by the window and
// the batch tool alike: the options a result can hold, how a view's filters preset them, and the
// files that a side reads, which nothing the program writes may replace.
#include "export/ColumnExportSource.h"
#include "export/ExportTarget.h"
#include "export/SideFiles.h"
#include "export/StructureExportSource.h"
#include "export/TableExportSource.h"
#include "snapshot/SnapshotSide.h"
#include "snapshot/SnapshotWriter.h"

#include "odbc/OdbcTestEnvironment.h"
#include "runs/ComparisonTestBase.h"

#include <QFile>

namespace {

class ExportSource : public ComparisonTestBase {
protected:
    static void SetUpTestSuite() {
        s_leftDatabase = COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("SrcLeft"),
            QStringLiteral("CREATE TABLE T (a INT, b INT); CREATE INDEX tx ON T (a);"));
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("SrcRight"),
            QStringLiteral("CREATE TABLE T (a INT, b INT); CREATE INDEX tx ON T (b);"));
    }
    void Compare(std::initializer_list<int> bits) {
        for (const int bit : {int(ParamBit::CompareSqlTypes), int(ParamBit::CompareIndexes),
                              int(ParamBit::CompareAttributes)})
            m_params.SetBit(bit, std::find(bits.begin(), bits.end(), bit) != bits.end());
        OpenSide(m_left, QStringLiteral("SrcLeft"));
        OpenSide(m_right, QStringLiteral("SrcRight"));
        ASSERT_TRUE(m_results.RunTableComparison(m_progress)) << m_results.LastFailure();
    }
    CColumnExportSource Columns() {
        return CColumnExportSource(m_results, int(m_results.TableNames().indexOf("T")),
                                   m_params.TestBit(ParamBit::CompareSqlTypes), m_params,
                                   QStringLiteral("L"), QStringLiteral("R"));
    }
    static inline QString s_leftDatabase;
};

// A view whose "different" filter is hidden (no type or attribute comparison) still exports a
// different index: the option is offered and preset, as the batch tool keeps it.
TEST_F(ExportSource, ColumnsOfferDifferentRowsWhereTheRunCouldFindThem) {
    const std::vector<CExportFilter> hiddenDifferent{
        {true, true}, {true, false}, {true, true}, {false, false}};
    Compare({});
    {
        const CColumnExportSource source = Columns();
        m_params.SetBit(ParamBit::ExportColumnStatus0 + 3, true);
        const CExportOptions options = source.PresetOptions(hiddenDifferent);
        EXPECT_EQ(options.bits, (std::vector<int>{11, 12, 13}));
        EXPECT_FALSE(m_params.TestBit(ParamBit::ExportColumnStatus0 + 3));
        EXPECT_FALSE(m_params.TestBit(ParamBit::ExportColumnStatus0 + 1));
        m_params.SetBit(ParamBit::ExportColumnStatus0 + 3, true);
        EXPECT_TRUE(source.KeepOfferedOptions());
        EXPECT_FALSE(m_params.TestBit(ParamBit::ExportColumnStatus0 + 3));
    }
    m_results.DiscardResultFile(CResultFile::TableResult);
    Compare({ParamBit::CompareIndexes});
    const CColumnExportSource source = Columns();
    const CExportOptions options = source.PresetOptions(hiddenDifferent);
    EXPECT_EQ(options.bits, (std::vector<int>{11, 12, 13, 14}));
    EXPECT_TRUE(m_params.TestBit(ParamBit::ExportColumnStatus0 + 3));
    EXPECT_EQ(source.RowCounts(), (CExportSource::Counters{2, 0, 0, 1}));
    EXPECT_TRUE(source.KeepsDifferences());
    m_params.SetBit(ParamBit::ExportColumnStatus0 + 3, false);
    EXPECT_FALSE(source.KeepsDifferences());
}

// The table export asks its table options with every column option under them set; the
// structure export both of its lists, either one enough.
TEST_F(ExportSource, TableAndStructureOptions) {
    Compare({});
    m_params.SetValue(0);
    const CTableExportSource tables(m_results, m_params, QStringLiteral("L"), QStringLiteral("R"));
    const CExportOptions options = tables.PresetOptions({{true, true}, {true, false}});
    EXPECT_EQ(options.bits, (std::vector<int>{3, 4, 5, 6}));
    EXPECT_EQ(options.nestedFirstBit, int(ParamBit::ExportTableColumnStatus0));
    EXPECT_EQ(m_params.Value(), 0b11111101000u);
    EXPECT_EQ(tables.FileName(), QStringLiteral("L / R"));

    m_params.SetValue(0);
    const CColumnInfoArray fields;
    const CIndexInfoArray indexes;
    const CRunFacts facts;
    const CStructureExportSource structure(m_left, 0, QStringLiteral("L"), QStringLiteral("T"),
                                           fields, indexes, facts, m_params);
    const CExportOptions both = structure.PresetOptions();
    EXPECT_EQ(both.bits, (std::vector<int>{0, 1}));
    EXPECT_EQ(both.requiredCount, 2);
    EXPECT_EQ(m_params.Value(), 0b11u);
    EXPECT_EQ(structure.FileName(), QStringLiteral("L_T"));
}

// The database file of an SQLite side, reached by its path or through a link, and a snapshot
// side's file are refused, naming the file and the side; any other path is not.
TEST_F(ExportSource, FilesThatASideReadsAreNeverWritten) {
    Compare({});
    const std::vector<const CSide*> sides{&m_left, &m_right};
    EXPECT_EQ(RefuseSideFile(s_leftDatabase, sides),
              QStringLiteral("'%1' is the database of SrcLeft: Quorvix does not write over it. "
                             "Choose another file.")
                  .arg(s_leftDatabase));
    const QString link = m_tmp.filePath(QStringLiteral("link.csv"));
    ASSERT_TRUE(QFile::link(s_leftDatabase, link));
    EXPECT_FALSE(RefuseSideFile(link, sides).isEmpty());
    EXPECT_TRUE(RefuseSideFile(m_tmp.filePath(QStringLiteral("new.csv")), sides).isEmpty());
    EXPECT_TRUE(RefuseSideFile(QString(), sides).isEmpty());
    const CColumnExportSource columns = Columns();
    EXPECT_EQ(columns.RefusedTarget(link), RefuseSideFile(link, sides));

    const QString path = m_tmp.filePath(QStringLiteral("side.qvsnap"));
    CSnapshotWriter writer;
    ASSERT_TRUE(writer.Take(m_right, m_params, path, m_progress)) << writer.LastFailure();
    CSnapshotSide snapshot;
    ASSERT_TRUE(snapshot.Open(path)) << snapshot.LastDiagnostic();
    EXPECT_EQ(RefuseSideFile(path, {&m_left, &snapshot}),
              QStringLiteral("'%1' is the snapshot file that %2 reads: Quorvix does not write "
                             "over it. Choose another file.")
                  .arg(path, snapshot.DisplayName()));
    EXPECT_TRUE(RefuseSideFile(path, sides).isEmpty());
}

} // namespace
