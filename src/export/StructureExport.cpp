#include "export/StructureExport.h"

#include "export/ExportFile.h"
#include "model/ParamWord.h"

namespace {

// The texts of one line of the index list: index name (first column only), column, sort order.
constexpr int kIndexTexts = 3;

} // namespace

void WriteStructureExport(CExportFile& file, const CColumnInfoArray& fields,
                          const std::vector<std::unique_ptr<CIndexInfo>>& indexes,
                          const CParamWord& params) {
    if (params.TestBit(ParamBit::ExportFields)) {
        for (const auto& field : fields)
            file.WriteString(field->GetText(0) + QLatin1Char(';') + field->GetText(1) +
                             QLatin1Char('\n'));
        file.WriteString(QStringLiteral("\n\n"));
    }
    if (!params.TestBit(ParamBit::ExportIndexes))
        return;
    for (const auto& index : indexes) {
        for (int row = 0; row < index->columns.size(); ++row) {
            QString line = index->GetText(row, 0);
            for (int text = 1; text < kIndexTexts; ++text)
                line += QLatin1Char(';') + index->GetText(row, text);
            file.WriteString(line + QLatin1Char('\n'));
        }
    }
}
