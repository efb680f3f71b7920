#include "export/DictionaryExport.h"

#include "export/Export.h"
#include "export/ExportFile.h"
#include "model/AliasCompareInfo.h"
#include "model/CompareStatus.h"
#include "model/ParamWord.h"
#include "runs/ComparisonResults.h"
#include "services/Language.h"

namespace {

constexpr int kValueCount = 5;
constexpr int kAliasCaption = 1600;
constexpr int kFirstShortCaption = 1601;
constexpr int kFirstLongCaption = 1701;

bool IsValueShown(const CParamWord& params, int value) {
    return params.TestBit(ParamBit::CompareValue0 + value);
}

} // namespace

void WriteDictionaryExport(CExportFile& file, const CComparisonResults& results,
                           const CParamWord& params, const QString& leftName,
                           const QString& rightName) {
    WriteExportLegend(file, leftName, rightName);

    // The status column is empty in both headers, the name column in the first.
    QString codes = QStringLiteral(";");
    QString captions = QLatin1Char(';') + LoadLocalizedString(kAliasCaption);
    for (int value = 0; value < kValueCount; ++value) {
        if (!IsValueShown(params, value))
            continue;
        codes += QLatin1Char(';') + LoadLocalizedString(kFirstShortCaption + value);
        captions += QLatin1Char(';') + LoadLocalizedString(kFirstLongCaption + value);
    }
    file.WriteString(codes + QLatin1Char('\n'));
    file.WriteString(captions + QLatin1Char('\n'));

    // One buffer for every line: an export of a few hundred thousand items would otherwise spend
    // more on building its lines than on writing them.
    QString line;
    const int entries = results.KeyCount();
    for (int entry = 0; entry < entries; ++entry) {
        const auto item = results.ReadDictionaryItem(entry);
        if (!item || !IsStatusKept(params, ParamBit::ExportDictionaryStatus0, item->status))
            continue;
        line.resize(0);
        line += StatusSymbol(item->status);
        line += QLatin1Char(';');
        line += item->GetText(0, params);
        for (int value = 0; value < kValueCount; ++value) {
            if (IsValueShown(params, value)) {
                line += QLatin1Char(';');
                line += item->GetText(value + 1, params);
            }
        }
        line += QLatin1Char('\n');
        file.WriteString(line);
    }
}
