#include "export/TableReport.h"

#include "export/HtmlReport.h"
#include "export/HtmlStream.h"
#include "model/ParamWord.h"
#include "runs/ComparisonResults.h"
#include "services/Language.h"

namespace {

constexpr int kTitleText = 1994;
constexpr int kTableHeading = 1182;
constexpr int kFieldsCaption = 1170;
constexpr int kFirstColumnHeading = 1800;
constexpr int kFirstCountText = 1200;
constexpr int kStatusHeading = 1821;

bool IsKept(const CParamWord& params, int firstBit, qint32 status) {
    return CompareStatus::IsValid(status) && params.TestBit(firstBit + status);
}

// The column rows of a different table that the column bits keep, under their own headings.
// Each kind of difference of a table is a table of its own inside the table's details.
void WriteColumnDifferences(CHtmlReport& report, const CComparisonResults& results,
                            const CComparisonResults::TableRows& rows, const CParamWord& params,
                            bool typeDetails, const QString& leftName, const QString& rightName) {
    CHtmlStream& out = report.Out();
    const int columns = typeDetails ? 5 : 1;
    out << "<table class=\"sub\"><caption>" << LoadLocalizedString(kFieldsCaption)
        << "</caption><col style=\"width:20%\">";
    for (int column = 0; column < columns; ++column)
        out << (columns == 1 ? "<col>" : column == 2 ? "<col style=\"width:10%\">" : "<col>");
    out << "\n<thead><tr><th scope=\"col\">" << LoadLocalizedString(kStatusHeading) << "</th>";
    for (int column = 0; column < columns; ++column) {
        out << "<th scope=\"col\">" << LoadLocalizedString(kFirstColumnHeading + column);
        if (column >= 3)
            out << "<br>" << (column == 3 ? leftName : rightName);
        out << "</th>";
    }
    out << "</tr></thead>\n<tbody>\n";
    for (int row = 0; row < rows.rowCount; ++row) {
        const auto column =
            results.ReadColumnRow(row, rows.firstRow, rows.nameWidth, rows.typeNameWidth);
        if (!column || !IsKept(params, ParamBit::ExportTableColumnStatus0, column->status))
            continue;
        out << "<tr class=\"s" << QByteArray::number(column->status).constData() << "\"><td>"
            << report.StatusText(column->status);
        for (int text = 0; text < columns; ++text)
            out << "<td>" << column->GetText(text);
        out << "</tr>\n";
    }
    out << "</tbody></table>";
}

bool HasKeptColumn(const CComparisonResults& results, const CComparisonResults::TableRows& rows,
                   const CParamWord& params) {
    for (int row = 0; row < rows.rowCount; ++row) {
        if (IsKept(
                params, ParamBit::ExportTableColumnStatus0,
                results.GetColumnRowStatus(row, rows.firstRow, rows.nameWidth, rows.typeNameWidth)))
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
            out << "<td><details><summary>" << names[table] << "</summary>";
            WriteColumnDifferences(report, results, rows, params, typeDetails, leftName, rightName);
            out << "</details>";
        } else {
            report.Cell(names[table]);
        }
        report.EndRow();
    }
    report.EndRows();
    report.End();
}
