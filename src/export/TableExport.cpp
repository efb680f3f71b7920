#include "export/TableExport.h"

#include "export/Export.h"
#include "export/ExportFile.h"
#include "model/ParamWord.h"
#include "runs/ComparisonResults.h"

void WriteTableExport(CExportFile& file, const CComparisonResults& results,
                      const CParamWord& params, const QString& leftName, const QString& rightName) {
    WriteExportLegend(file, leftName, rightName);
    const QStringList& names = results.TableNames();
    for (int table = 0; table < names.size(); ++table) {
        const qint32 status = results.GetTableStatus(table);
        if (!IsStatusKept(params, ParamBit::ExportTableStatus0, status))
            continue;
        file.WriteString(StatusSymbol(status) + QLatin1Char(';') + names[table] +
                         QLatin1Char('\n'));
        CComparisonResults::TableRows rows;
        if (status != CompareStatus::Different || !results.OpenTableRows(table, rows))
            continue;
        for (int row = 0; row < rows.rowCount; ++row) {
            const auto column = results.ReadColumnRow(rows, row);
            if (!column ||
                !IsStatusKept(params, ParamBit::ExportTableColumnStatus0, column->status))
                continue;
            file.WriteLine(QStringLiteral(";;") + StatusSymbol(column->status) + QLatin1Char(';') +
                               column->GetText(0),
                           rows.attributes ? column->AttributeTexts() : QStringList());
        }
        for (int row = 0; row < rows.indexCount; ++row) {
            const auto index = results.ReadIndexRow(rows, row);
            if (!index || !IsStatusKept(params, ParamBit::ExportTableColumnStatus0, index->status))
                continue;
            file.WriteLine(QStringLiteral(";;") + StatusSymbol(index->status),
                           IndexLineFields(*index));
        }
    }
}
