#include "export/TableReport.h"

#include "export/Export.h"
#include "export/HtmlReport.h"
#include "model/ColumnCompareInfo.h"
#include "model/IndexCompareInfo.h"
#include "model/ParamWord.h"
#include "runs/ComparisonResults.h"
#include "services/Language.h"

namespace {

constexpr int kTitleText = 1994;
constexpr int kTableHeading = 1182;
constexpr int kFieldsCaption = 1170;
constexpr int kIndexesCaption = 1171;
constexpr int kFirstCountText = 1200;
constexpr int kSizeWidth = 10;

// The column rows of a different table that the column bits keep, with their types and their
// attributes where the run compared them.
void WriteColumnDifferences(CHtmlReport& report, const CComparisonResults& results,
                            const CComparisonResults::TableRows& rows, const CParamWord& params,
                            bool typeDetails) {
    std::vector<int> texts;
    std::vector<CHtmlReport::Column> headings;
    for (int text = 0; text < CColumnCompareInfo::TextCount; ++text) {
        if (!CColumnCompareInfo::IsTextShown(text, typeDetails, rows.attributes))
            continue;
        texts.push_back(text);
        const bool narrow =
            text == CColumnCompareInfo::SizeText || text == CColumnCompareInfo::DecimalDigitsText;
        headings.push_back(report.ColumnTextColumn(text, narrow ? kSizeWidth : 0));
    }
    report.BeginDetailTable(LoadLocalizedString(kFieldsCaption), headings);
    for (int row = 0; row < rows.rowCount; ++row) {
        const auto column = results.ReadColumnRow(rows, row);
        if (!column || !IsStatusKept(params, ParamBit::ExportTableColumnStatus0, column->status))
            continue;
        QStringList cells;
        for (const int text : texts)
            cells.append(column->GetText(text));
        report.DetailRow(column->status, cells);
    }
    report.EndDetailTable();
}

// The index rows of a different table that the column bits keep.
void WriteIndexDifferences(CHtmlReport& report, const CComparisonResults& results,
                           const CComparisonResults::TableRows& rows, const CParamWord& params) {
    std::vector<CHtmlReport::Column> headings;
    for (int text = 0; text < CIndexCompareInfo::TextCount; ++text)
        headings.push_back(CHtmlReport::IndexTextColumn(text, 0));
    report.BeginDetailTable(LoadLocalizedString(kIndexesCaption), headings);
    for (int row = 0; row < rows.indexCount; ++row) {
        const auto index = results.ReadIndexRow(rows, row);
        if (!index || !IsStatusKept(params, ParamBit::ExportTableColumnStatus0, index->status))
            continue;
        QStringList cells;
        for (int text = 0; text < CIndexCompareInfo::TextCount; ++text)
            cells.append(index->GetText(text));
        report.DetailRow(index->status, cells);
    }
    report.EndDetailTable();
}

// Whether the column bits keep any of count rows, whose statuses statusOf gives.
template <typename StatusOf>
bool HasKeptRow(int count, const CParamWord& params, StatusOf statusOf) {
    for (int row = 0; row < count; ++row) {
        if (IsStatusKept(params, ParamBit::ExportTableColumnStatus0, statusOf(row)))
            return true;
    }
    return false;
}

} // namespace

void WriteTableReport(CHtmlStream& out, const CComparisonResults& results, const CParamWord& params,
                      const QString& leftName, const QString& rightName) {
    const CRunFacts& facts = results.TableFacts();
    const bool typeDetails = CParamWord(facts.params).TestBit(ParamBit::CompareSqlTypes);
    CHtmlReport report(out, leftName, rightName);
    report.Begin(LoadLocalizedString(kTitleText).arg(leftName + QStringLiteral(" / ") + rightName),
                 "tables");
    report.WriteSides(facts, {0, 1}, false);
    std::vector<int> reportBits;
    for (int bit = ParamBit::ExportTableStatus0; bit < ParamBit::ExportTableColumnStatus0 + 4;
         ++bit)
        reportBits.push_back(bit);
    std::array<bool, 4> kept{};
    for (int status = 0; status < CompareStatus::Count; ++status)
        kept[size_t(status)] = IsStatusKept(params, ParamBit::ExportTableStatus0, status);
    report.WriteFilters(kFirstCountText, results.TableCounters(), {true, true, true, true}, kept);
    report.WriteParameters(
        {CHtmlReport::TableRunBits(facts.params), facts.params, reportBits, params.Value()});
    report.WriteTools(true);

    report.BeginRows({{LoadLocalizedString(kTableHeading), {}, CHtmlReport::kRowWidth}}, true);
    const QStringList& names = results.TableNames();
    for (int table = 0; table < names.size(); ++table) {
        const qint32 status = results.GetTableStatus(table);
        if (!IsStatusKept(params, ParamBit::ExportTableStatus0, status))
            continue;
        report.BeginRow(status);
        CComparisonResults::TableRows rows;
        const bool opened =
            status == CompareStatus::Different && results.OpenTableRows(table, rows);
        const bool keptColumn = opened && HasKeptRow(rows.rowCount, params, [&](int row) {
                                    return results.GetColumnRowStatus(rows, row);
                                });
        const bool keptIndex = opened && HasKeptRow(rows.indexCount, params, [&](int row) {
                                   return results.GetIndexRowStatus(rows, row);
                               });
        if (keptColumn || keptIndex) {
            report.BeginDetails(names[table]);
            if (keptColumn)
                WriteColumnDifferences(report, results, rows, params, typeDetails);
            if (keptIndex)
                WriteIndexDifferences(report, results, rows, params);
            report.EndDetails();
        } else {
            report.Cell(names[table]);
        }
        report.EndRow();
    }
    report.EndRows();
    report.End();
}
