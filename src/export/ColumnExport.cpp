#include "export/ColumnExport.h"

#include "export/Export.h"
#include "export/ExportFile.h"
#include "model/CompareStatus.h"
#include "model/ParamWord.h"
#include "runs/ComparisonResults.h"

namespace {

// Display texts of a column row: SQL type, size, then each side's driver type.
constexpr int kFirstDetailText = CColumnCompareInfo::SqlTypeText;
constexpr int kLastDetailText = CColumnCompareInfo::RightTypeNameText;

} // namespace

void WriteColumnExport(CExportFile& file, const CComparisonResults& results, int tableIndex,
                       const CParamWord& params, bool typeDetails, const QString& leftName,
                       const QString& rightName) {
    WriteExportLegend(file, leftName, rightName);
    CComparisonResults::TableRows rows;
    if (!results.OpenTableRows(tableIndex, rows))
        return;
    for (int row = 0; row < rows.rowCount; ++row) {
        const auto column = results.ReadColumnRow(rows, row);
        if (!column || !IsStatusKept(params, ParamBit::ExportColumnStatus0, column->status))
            continue;
        QString line = StatusSymbol(column->status) + QLatin1Char(';') + column->GetText(0);
        if (typeDetails) {
            for (int text = kFirstDetailText; text <= kLastDetailText; ++text)
                line += QLatin1Char(';') + column->GetText(text);
        }
        file.WriteLine(line, rows.attributes ? column->AttributeTexts() : QStringList());
    }
    for (int row = 0; row < rows.indexCount; ++row) {
        const auto index = results.ReadIndexRow(rows, row);
        if (!index || !IsStatusKept(params, ParamBit::ExportColumnStatus0, index->status))
            continue;
        file.WriteLine(StatusSymbol(index->status), IndexLineFields(*index));
    }
}
