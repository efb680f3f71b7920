#include "model/FixedWidthFields.h"
#include "odbc/OdbcTestEnvironment.h"
#include "runs/ComparisonTestBase.h"

#include <QFile>

namespace {

const char* const kLeftSchema = R"sql(
CREATE TABLE merge_abc (A INTEGER, B INTEGER, C INTEGER);
CREATE TABLE merge_top (A INTEGER);
CREATE TABLE same_one (id INTEGER, name VARCHAR(20));
CREATE TABLE left_only (x INTEGER);
CREATE TABLE sized (id INTEGER(10), label VARCHAR(10), note TEXT, w VARCHAR(10));
CREATE TABLE wide ("COLUMN_NAME_OF_THIRTY_LETTERS_" NUMERICAL, k INTEGER);
)sql";

const char* const kRightSchema = R"sql(
CREATE TABLE merge_abc (A INTEGER, X INTEGER, C INTEGER, Y INTEGER);
CREATE TABLE merge_top (X INTEGER, Y INTEGER, A INTEGER);
CREATE TABLE same_one (id INTEGER, name VARCHAR(20));
CREATE TABLE right_only (y INTEGER);
CREATE TABLE sized (id INTEGER(11), label VARCHAR(10), note VARCHAR(10), w VARCHAR(12));
CREATE TABLE wide ("COLUMN_NAME_OF_THIRTY_LETTERS_" NUMERICAL);
CREATE TABLE orders (id INTEGER, line INTEGER);
)sql";

// Each table of the left differs from the right's by one kind of attribute, but unchanged and
// amounts: the SQLite driver gives every column 10 decimal digits.
const char* const kLeftAttributes = R"sql(
CREATE TABLE amounts (price NUMERIC(15,2));
CREATE TABLE defaults (added INTEGER, changed VARCHAR(10) DEFAULT 'a', removed INTEGER DEFAULT 5,
                       kept INTEGER DEFAULT 7, blank TEXT DEFAULT '');
CREATE TABLE long_end (note TEXT DEFAULT '%1x');
CREATE TABLE nulls (id INTEGER, code VARCHAR(10));
CREATE TABLE unchanged (id INTEGER NOT NULL, note TEXT DEFAULT '');
)sql";

const char* const kRightAttributes = R"sql(
CREATE TABLE amounts (price NUMERIC(15,4));
CREATE TABLE defaults (added INTEGER DEFAULT 1, changed VARCHAR(10) DEFAULT 'b', removed INTEGER,
                       kept INTEGER DEFAULT 7, blank TEXT DEFAULT '');
CREATE TABLE long_end (note TEXT DEFAULT '%1y');
CREATE TABLE nulls (id INTEGER, code VARCHAR(10) NOT NULL);
CREATE TABLE unchanged (id INTEGER NOT NULL, note TEXT DEFAULT '');
)sql";

struct Row {
    QString name;
    qint32 status;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& stream, const Row& row) {
    return stream << row.name << ':' << row.status;
}

class TableComparison : public ComparisonTestBase {
protected:
    static void SetUpTestSuite() {
        COdbcTestEnvironment::AddSqliteDataSource(QStringLiteral("CmpLeft"),
                                                  QLatin1String(kLeftSchema));
        COdbcTestEnvironment::AddSqliteDataSource(QStringLiteral("CmpRight"),
                                                  QLatin1String(kRightSchema));
        COdbcTestEnvironment::AddSqliteDataSource(QStringLiteral("CmpLeftAttributes"),
                                                  QLatin1String(kLeftAttributes).arg(LongText()));
        COdbcTestEnvironment::AddSqliteDataSource(QStringLiteral("CmpRightAttributes"),
                                                  QLatin1String(kRightAttributes).arg(LongText()));
    }
    static QString LongText() { return QStringLiteral("0123456789").repeated(500); }

    void OpenSqlitePair() {
        OpenSide(m_left, QStringLiteral("CmpLeft"));
        OpenSide(m_right, QStringLiteral("CmpRight"));
    }

    int IndexOf(const QString& table) const { return int(m_results.TableNames().indexOf(table)); }

    qint32 StatusOf(const QString& table) { return m_results.GetTableStatus(IndexOf(table)); }

    std::vector<Row> RowsOf(const QString& table) {
        CComparisonResults::TableRows rows;
        EXPECT_TRUE(m_results.OpenTableRows(IndexOf(table), rows));
        std::vector<Row> result;
        for (int j = 0; j < rows.rowCount; ++j) {
            const auto row = m_results.ReadColumnRow(rows, j);
            EXPECT_NE(row, nullptr);
            if (row)
                result.push_back({row->name, row->status});
        }
        return result;
    }
};

} // namespace

TEST_F(TableComparison, UnionStatusesAndCounters) {
    OpenSqlitePair();
    ASSERT_TRUE(m_results.RunTableComparison(m_progress));
    EXPECT_EQ(m_results.TableNames(), (QStringList{"left_only", "merge_abc", "merge_top", "orders",
                                                   "right_only", "same_one", "sized", "wide"}));
    EXPECT_EQ(StatusOf(QStringLiteral("same_one")), CompareStatus::Same);
    EXPECT_EQ(StatusOf(QStringLiteral("left_only")), CompareStatus::OnlyLeft);
    EXPECT_EQ(StatusOf(QStringLiteral("right_only")), CompareStatus::OnlyRight);
    EXPECT_EQ(StatusOf(QStringLiteral("merge_abc")), CompareStatus::Different);
    // Without type comparison a table whose columns match by name is the same.
    EXPECT_EQ(StatusOf(QStringLiteral("sized")), CompareStatus::Same);
    EXPECT_EQ(m_results.TableCounters(), (CComparisonResults::Counters{2, 1, 2, 3}));

    EXPECT_EQ(m_progress.progress.front(), 8);
    EXPECT_EQ(m_progress.progress.size(), 9u);
    // The tables being read are named, then each table as it is judged.
    ASSERT_GE(m_progress.items.size(), 8);
    EXPECT_EQ(m_progress.items.mid(m_progress.items.size() - 8), m_results.TableNames());
    EXPECT_EQ(LeftoverFiles(QStringLiteral("BFDB")), 1);
    m_results.DiscardResultFile(CResultFile::TableResult);
    EXPECT_EQ(LeftoverFiles(QStringLiteral("BFDB")), 0);
}

TEST_F(TableComparison, RightOnlyColumnsFollowTheirPredecessor) {
    OpenSqlitePair();
    ASSERT_TRUE(m_results.RunTableComparison(m_progress));
    EXPECT_EQ(RowsOf(QStringLiteral("merge_abc")),
              (std::vector<Row>{{"A", 0}, {"X", 2}, {"B", 1}, {"C", 0}, {"Y", 2}}));
    EXPECT_EQ(RowsOf(QStringLiteral("merge_top")),
              (std::vector<Row>{{"X", 2}, {"Y", 2}, {"A", 0}}));
}

TEST_F(TableComparison, TypeRulesCompareSizesOfSizedTypesOnly) {
    OpenSqlitePair();
    m_params.SetBit(ParamBit::CompareSqlTypes, true);
    m_params.SetBit(ParamBit::StringsAlike, true);
    ASSERT_TRUE(m_results.RunTableComparison(m_progress));
    // INTEGER(10) and INTEGER(11) are alike; TEXT is no character type; VARCHAR sizes count.
    EXPECT_EQ(RowsOf(QStringLiteral("sized")),
              (std::vector<Row>{{"id", 0}, {"label", 0}, {"note", 3}, {"w", 3}}));
    EXPECT_EQ(StatusOf(QStringLiteral("same_one")), CompareStatus::Same);
}

TEST_F(TableComparison, FileLayoutOfEntriesAndRows) {
    OpenSqlitePair();
    ASSERT_TRUE(m_results.RunTableComparison(m_progress));
    const QByteArray bytes = ResultFileBytes(QStringLiteral("BFDB"));
    const int tables = int(m_results.TableNames().size());

    // Entries follow the index in table order; a same or one-sided table stores its status only.
    qint64 expected = 8 * tables;
    for (int i = 0; i < tables; ++i) {
        const qint64 position = CFixedWidthFields::ReadInt64(bytes.constData() + 8 * i);
        EXPECT_EQ(position, expected) << i;
        const qint32 status = CFixedWidthFields::ReadInt32(bytes.constData() + position);
        expected += 4;
        if (status == CompareStatus::Different) {
            const qint32 rows = CFixedWidthFields::ReadInt32(bytes.constData() + position + 4);
            const qint16 nameWidth = CFixedWidthFields::ReadInt16(bytes.constData() + position + 8);
            const qint16 typeWidth =
                CFixedWidthFields::ReadInt16(bytes.constData() + position + 10);
            expected += 8 + rows * 2 * (nameWidth + 2 * typeWidth + 10);
        }
    }
    EXPECT_EQ(bytes.size(), expected);

    // 30-letter column name, 9-letter type name: rows of 2 * (30 + 18 + 10) bytes.
    CComparisonResults::TableRows rows;
    ASSERT_TRUE(m_results.OpenTableRows(IndexOf(QStringLiteral("wide")), rows));
    EXPECT_EQ(rows.rowCount, 2);
    EXPECT_EQ(rows.nameWidth, 30);
    EXPECT_EQ(rows.typeNameWidth, 9);
    EXPECT_EQ(CColumnCompareInfo::RecordSize(rows.nameWidth, rows.typeNameWidth), 116);
    const auto first = m_results.ReadColumnRow(rows, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->name, QStringLiteral("COLUMN_NAME_OF_THIRTY_LETTERS_"));
    EXPECT_EQ(first->typeName[1], QStringLiteral("NUMERICAL"));
    EXPECT_EQ(m_results.GetColumnRowStatus(rows, 1), CompareStatus::OnlyLeft);
    // "wide" is the file's last entry: a row after its last one runs past the end.
    EXPECT_EQ(rows.firstRow + 2 * 116, bytes.size());
    EXPECT_EQ(m_results.ReadColumnRow(rows, 2), nullptr);
    EXPECT_EQ(m_results.GetColumnRowStatus(rows, 2), -1);
}

TEST_F(TableComparison, AllSameComparisonStoresFourByteEntries) {
    OpenSqlitePair();
    OpenSide(m_right, QStringLiteral("CmpLeft"));
    ASSERT_TRUE(m_results.RunTableComparison(m_progress));
    const QByteArray bytes = ResultFileBytes(QStringLiteral("BFDB"));
    const int tables = 6;
    ASSERT_EQ(bytes.size(), 8 * tables + 4 * tables);
    for (int i = 0; i < tables; ++i) {
        EXPECT_EQ(CFixedWidthFields::ReadInt64(bytes.constData() + 8 * i), 8 * tables + 4 * i);
        EXPECT_EQ(CFixedWidthFields::ReadInt32(bytes.constData() + 8 * tables + 4 * i), 0);
    }
    EXPECT_EQ(m_results.TableCounters(), (CComparisonResults::Counters{6, 0, 0, 0}));
}

TEST_F(TableComparison, CancelBeforeTheFirstTableLeavesNoFile) {
    OpenSqlitePair();
    m_progress.cancelAtQuery = 1;
    EXPECT_FALSE(m_results.RunTableComparison(m_progress));
    EXPECT_FALSE(m_results.HasResult(CResultFile::TableResult));
    EXPECT_EQ(LeftoverFiles(QStringLiteral("BFDB")), 0);
    EXPECT_TRUE(m_progress.items.isEmpty());
}

TEST_F(TableComparison, CancelInTheMiddleStopsAfterTheCurrentTable) {
    OpenSqlitePair();
    // Table by table, the queries after the first are those after each table.
    m_results.SetReadAllColumns(false);
    m_progress.cancelAtQuery = 3;
    EXPECT_FALSE(m_results.RunTableComparison(m_progress));
    EXPECT_EQ(m_progress.items.size(), 2);
    EXPECT_EQ(LeftoverFiles(QStringLiteral("BFDB")), 0);
}

TEST_F(TableComparison, ResultFileThatCannotBeCreatedFailsTheRun) {
    OpenSqlitePair();
    qputenv("TMP", "/proc"); // an existing folder where nobody may create files
    m_results.SetCreateTimeout(200);
    EXPECT_FALSE(m_results.RunTableComparison(m_progress));
    EXPECT_FALSE(m_results.HasResult(CResultFile::TableResult));
    EXPECT_TRUE(m_progress.items.isEmpty());
}

TEST_F(TableComparison, ColumnReadFailingOnOneSideFailsTheRunNamingSideAndTable) {
    OpenSqlitePair();
    // The right side keeps its table list but loses its connection: nothing it could not read
    // may be judged, neither "same" nor "only in the left side".
    m_right.SetDataSource(QStringLiteral("NoSuchDataSource"), CDataSourceSide::SystemDataSource);
    ASSERT_FALSE(m_right.Connect());
    EXPECT_FALSE(m_results.RunTableComparison(m_progress));
    EXPECT_FALSE(m_results.HasResult(CResultFile::TableResult));
    EXPECT_EQ(LeftoverFiles(QStringLiteral("BFDB")), 0);
    const QString failure = m_results.LastFailure();
    EXPECT_TRUE(failure.contains(QStringLiteral("NoSuchDataSource"))) << failure;
    EXPECT_TRUE(failure.contains(QStringLiteral("columns of table"))) << failure;
    EXPECT_TRUE(failure.contains(QStringLiteral("08003"))) << failure;
}

TEST_F(TableComparison, NamesDifferingInCaseFollowTheCaseBit) {
    QUORVIX_REQUIRE_DATA_SOURCE(QStringLiteral("QuorvixPostgres"));
    OpenSide(m_left, QStringLiteral("QuorvixPostgres"), QStringLiteral("quorvix.s1"));
    OpenSide(m_right, QStringLiteral("CmpRight"));

    // Ignoring case: both left spellings stay and each finds the right "orders", whose columns
    // are asked for under the left spelling.
    ASSERT_TRUE(m_results.RunTableComparison(m_progress));
    const QStringList& names = m_results.TableNames();
    EXPECT_EQ(names.count(QStringLiteral("ORDERS")) + names.count(QStringLiteral("Orders")), 2);
    EXPECT_FALSE(names.contains(QStringLiteral("orders")));
    EXPECT_EQ(StatusOf(QStringLiteral("ORDERS")), CompareStatus::Different);
    EXPECT_EQ(RowsOf(QStringLiteral("ORDERS")),
              (std::vector<Row>{{"id", 0}, {"line", 0}, {"created", 1}, {"stamp", 1}}));
    EXPECT_EQ(StatusOf(QStringLiteral("Orders")), CompareStatus::Different);

    m_params.SetBit(ParamBit::CaseSensitive, true);
    ASSERT_TRUE(m_results.RunTableComparison(m_progress));
    EXPECT_EQ(StatusOf(QStringLiteral("ORDERS")), CompareStatus::OnlyLeft);
    EXPECT_EQ(StatusOf(QStringLiteral("Orders")), CompareStatus::OnlyLeft);
    EXPECT_EQ(StatusOf(QStringLiteral("orders")), CompareStatus::OnlyRight);
}

TEST_F(TableComparison, CharacterTypesAlikeOnlyWithTheStringsBit) {
    QUORVIX_REQUIRE_DATA_SOURCE(QStringLiteral("QuorvixPostgres"));
    OpenSide(m_left, QStringLiteral("QuorvixPostgres"), QStringLiteral("quorvix.ta"));
    OpenSide(m_right, QStringLiteral("QuorvixPostgres"), QStringLiteral("quorvix.tb"));
    m_params.SetBit(ParamBit::CompareSqlTypes, true);
    m_params.SetBit(ParamBit::StringsAlike, true);
    ASSERT_TRUE(m_results.RunTableComparison(m_progress));
    EXPECT_EQ(StatusOf(QStringLiteral("strings")), CompareStatus::Same);
    EXPECT_EQ(StatusOf(QStringLiteral("long_text")), CompareStatus::Different);
    EXPECT_EQ(StatusOf(QStringLiteral("sizes")), CompareStatus::Different);
    EXPECT_EQ(StatusOf(QStringLiteral("same")), CompareStatus::Same);

    m_params.SetBit(ParamBit::StringsAlike, false);
    ASSERT_TRUE(m_results.RunTableComparison(m_progress));
    EXPECT_EQ(StatusOf(QStringLiteral("strings")), CompareStatus::Different);

    m_params.SetBit(ParamBit::CompareSqlTypes, false);
    ASSERT_TRUE(m_results.RunTableComparison(m_progress));
    EXPECT_EQ(m_results.TableCounters(), (CComparisonResults::Counters{4, 0, 0, 0}));
}

// With the attributes compared, a column that became NOT NULL or whose default was added,
// changed or removed is different, and so its table; without them every table is the same, as
// before, in entries of four bytes.
TEST_F(TableComparison, AttributesJudgeColumnsOnlyWithTheirBit) {
    OpenSide(m_left, QStringLiteral("CmpLeftAttributes"));
    OpenSide(m_right, QStringLiteral("CmpRightAttributes"));
    ASSERT_TRUE(m_results.RunTableComparison(m_progress));
    EXPECT_FALSE(m_results.ComparedAttributes());
    EXPECT_EQ(m_results.TableCounters(), (CComparisonResults::Counters{5, 0, 0, 0}));
    EXPECT_EQ(ResultFileBytes(QStringLiteral("BFDB")).size(), 8 * 5 + 4 * 5);

    m_params.SetBit(ParamBit::CompareAttributes, true);
    ASSERT_TRUE(m_results.RunTableComparison(m_progress));
    EXPECT_TRUE(m_results.ComparedAttributes());
    EXPECT_EQ(StatusOf(QStringLiteral("amounts")), CompareStatus::Same);
    EXPECT_EQ(StatusOf(QStringLiteral("unchanged")), CompareStatus::Same);
    EXPECT_EQ(RowsOf(QStringLiteral("nulls")), (std::vector<Row>{{"id", 0}, {"code", 3}}));
    EXPECT_EQ(RowsOf(QStringLiteral("defaults")),
              (std::vector<Row>{
                  {"added", 3}, {"changed", 3}, {"removed", 3}, {"kept", 0}, {"blank", 0}}));

    // Rows hold their attributes; the defaults, whole, in the block after them.
    CComparisonResults::TableRows rows;
    ASSERT_TRUE(m_results.OpenTableRows(IndexOf(QStringLiteral("long_end")), rows));
    EXPECT_TRUE(rows.attributes);
    EXPECT_EQ(rows.RowSize(), CColumnCompareInfo::RecordSize(rows.nameWidth, rows.typeNameWidth) +
                                  CColumnCompareInfo::AttributeBytes);
    EXPECT_EQ(rows.defaults, rows.firstRow + rows.RowSize());
    const auto note = m_results.ReadColumnRow(rows, 0);
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->GetText(CColumnCompareInfo::DefaultText),
              LongText() + QStringLiteral("x | ") + LongText() + QStringLiteral("y"));
    EXPECT_EQ(m_results.ReadColumnRow(rows, 1), nullptr);
    EXPECT_EQ(m_results.GetColumnRowStatus(rows, 1), -1);
    ASSERT_TRUE(m_results.OpenTableRows(IndexOf(QStringLiteral("defaults")), rows));
    const auto added = m_results.ReadColumnRow(rows, 0);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->AttributeTexts(), (QStringList{"NULL", "10", "NULL | 1"}));
    EXPECT_EQ(m_results.ReadColumnRow(rows, 3)->AttributeTexts(), (QStringList{"NULL", "10", "7"}));
    // An empty default alike on both sides is still told from none.
    EXPECT_EQ(m_results.ReadColumnRow(rows, 4)->AttributeTexts(),
              (QStringList{"NULL", "10", "''"}));
}
