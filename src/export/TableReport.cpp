#include "export/TableReport.h"

#include "export/HtmlReport.h"
#include "model/ParamWord.h"
#include "runs/ComparisonResults.h"
#include "services/Language.h"

namespace {

constexpr int kTitleText = 1994;
constexpr int kTableHeading = 1182;
constexpr int kFieldsCaption = 1170;
constexpr int kFirstColumnHeading = 1800;
constexpr int kFirstCountText = 1200;
// A column row's texts: name, SQL type, size, each side's driver type.
constexpr int kColumnTexts = 5;
constexpr int kSizeWidth = 10;

bool IsKept(const CParamWord& params, int firstBit, qint32 status) {
    return CompareStatus::IsValid(status) && params.TestBit(firstBit + status);
}

// The column rows of a different table that the column bits keep, with their types when the
// run compared them.
void WriteColumnDifferences(CHtmlReport& report, const CComparisonResults& results,
                            const CComparisonResults::TableRows& rows, const CParamWord& params,
                            bool typeDetails, const QString& leftName, const QString& rightName) {
    const int columns = typeDetails ? kColumnTexts : 1;
    std::vector<CHtmlReport::Column> headings;
    for (int column = 0; column < columns; ++column)
        headings.push_back({LoadLocalizedString(kFirstColumnHeading + column),
                            column == 3   ? leftName
                            : column == 4 ? rightName
                                          : QString(),
                            column == 2 ? kSizeWidth : 0});
    report.BeginDetailTable(LoadLocalizedString(kFieldsCaption), headings);
    for (int row = 0; row < rows.rowCount; ++row) {
        const auto column = results.ReadColumnRow(rows, row);
        if (!column || !IsKept(params, ParamBit::ExportTableColumnStatus0, column->status))
            continue;
        QStringList texts;
        for (int text = 0; text < columns; ++text)
            texts.append(column->GetText(text));
        report.DetailRow(column->status, texts);
    }
    report.EndDetailTable();
}

bool HasKeptColumn(const CComparisonResults& results, const CComparisonResults::TableRows& rows,
                   const CParamWord& params) {
    for (int row = 0; row < rows.rowCount; ++row) {
        if (IsKept(params, ParamBit::ExportTableColumnStatus0,
                   results.GetColumnRowStatus(rows, row)))
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
        kept[size_t(status)] = IsKept(params, ParamBit::ExportTableStatus0, status);
    report.WriteFilters(kFirstCountText, results.TableCounters(), {true, true, true, true}, kept);
    report.WriteParameters(
        {{ParamBit::CaseSensitive, ParamBit::CompareSqlTypes, ParamBit::StringsAlike},
         facts.params,
         reportBits,
         params.Value()});
    report.WriteTools(true);

    report.BeginRows({{LoadLocalizedString(kTableHeading), {}, CHtmlReport::kRowWidth}}, true);
    const QStringList& names = results.TableNames();
    for (int table = 0; table < names.size(); ++table) {
        const qint32 status = results.GetTableStatus(table);
        if (!IsKept(params, ParamBit::ExportTableStatus0, status))
            continue;
        report.BeginRow(status);
        CComparisonResults::TableRows rows;
        if (status == CompareStatus::Different && results.OpenTableRows(table, rows) &&
            HasKeptColumn(results, rows, params)) {
            report.BeginDetails(names[table]);
            WriteColumnDifferences(report, results, rows, params, typeDetails, leftName, rightName);
            report.EndDetails();
        } else {
            report.Cell(names[table]);
        }
        report.EndRow();
    }
    report.EndRows();
    report.End();
}
