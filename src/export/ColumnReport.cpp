#include "export/ColumnReport.h"

#include "export/HtmlReport.h"
#include "model/ParamWord.h"
#include "runs/ComparisonResults.h"
#include "services/Language.h"

namespace {

constexpr int kTitleText = 1995;
constexpr int kFirstHeading = 1800;
constexpr int kFirstCountText = 1300;
constexpr int kColumnCount = 5;
// The window's weights, in percent of the list, of which the status takes its share.
constexpr int kWidths[kColumnCount] = {18, 21, 10, 16, 17};

} // namespace

void WriteColumnReport(CHtmlStream& out, const CComparisonResults& results, int tableIndex,
                       const CParamWord& params, bool typeDetails, const QString& leftName,
                       const QString& rightName) {
    const CRunFacts& facts = results.TableFacts();
    CComparisonResults::TableRows rows;
    const bool readable = results.OpenTableRows(tableIndex, rows);
    CHtmlReport::Counts counts{};
    for (int row = 0; readable && row < rows.rowCount; ++row) {
        const qint32 status = results.GetColumnRowStatus(rows, row);
        if (CompareStatus::IsValid(status))
            ++counts[size_t(status)];
    }

    CHtmlReport report(out, leftName, rightName);
    report.Begin(LoadLocalizedString(kTitleText)
                     .arg(results.TableNames().value(tableIndex),
                          leftName + QStringLiteral(" / ") + rightName),
                 "columns");
    report.WriteSides(facts, {0, 1}, false);
    std::vector<int> reportBits;
    std::array<bool, 4> shown{};
    std::array<bool, 4> kept{};
    for (int status = 0; status < CompareStatus::Count; ++status) {
        // Without the type comparison no column can be different.
        shown[size_t(status)] = status != CompareStatus::Different || typeDetails;
        kept[size_t(status)] = params.TestBit(ParamBit::ExportColumnStatus0 + status);
        if (shown[size_t(status)])
            reportBits.push_back(ParamBit::ExportColumnStatus0 + status);
    }
    report.WriteFilters(kFirstCountText, counts, shown, kept);
    report.WriteParameters(
        {{ParamBit::CaseSensitive, ParamBit::CompareSqlTypes, ParamBit::StringsAlike},
         facts.params,
         reportBits,
         params.Value()});
    report.WriteTools(false);

    std::vector<CHtmlReport::Column> columns;
    for (int column = 0; column < (typeDetails ? kColumnCount : 1); ++column)
        columns.push_back({LoadLocalizedString(kFirstHeading + column),
                           column == 3   ? leftName
                           : column == 4 ? rightName
                                         : QString(),
                           typeDetails ? kWidths[column] : CHtmlReport::kRowWidth});
    report.BeginRows(columns, true);
    for (int row = 0; readable && row < rows.rowCount; ++row) {
        const auto column = results.ReadColumnRow(rows, row);
        // A status outside 0-3 would otherwise test a bit of some other option.
        if (!column || !CompareStatus::IsValid(column->status) ||
            !params.TestBit(ParamBit::ExportColumnStatus0 + column->status))
            continue;
        report.BeginRow(column->status);
        for (int text = 0; text < int(columns.size()); ++text)
            report.Cell(column->GetText(text));
        report.EndRow();
    }
    report.EndRows();
    report.End();
}
