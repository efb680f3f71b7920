#include "export/DictionaryReport.h"

#include "export/Export.h"
#include "export/HtmlReport.h"
#include "model/AliasCompareInfo.h"
#include "model/ParamWord.h"
#include "runs/ComparisonResults.h"
#include "services/Language.h"
#include "services/Utilities.h"

namespace {

constexpr int kTitleText = 1996;
constexpr int kAliasHeading = 1600;
constexpr int kFirstCountText = 1400;
constexpr int kValueCount = 5;
// The window's weights: the item's name, then each value.
constexpr int kNameWeight = 30;
constexpr int kValueWeights[kValueCount] = {13, 18, 13, 13, 13};
constexpr int kRowWidth = CHtmlReport::kRowWidth;

} // namespace

void WriteDictionaryReport(CHtmlStream& out, const CComparisonResults& results,
                           const CParamWord& params, const QString& leftName,
                           const QString& rightName) {
    const CRunFacts& facts = results.DictionaryFacts();
    CHtmlReport report(out, leftName, rightName);
    report.Begin(LoadLocalizedString(kTitleText).arg(leftName + QStringLiteral(" / ") + rightName),
                 "dictionary");
    report.WriteSides(facts, {0, 1}, false);
    std::vector<int> runBits;
    for (int value = 0; value < kValueCount; ++value)
        runBits.push_back(ParamBit::CompareValue0 + value);
    std::vector<int> reportBits;
    std::array<bool, 4> kept{};
    for (int status = 0; status < CompareStatus::Count; ++status) {
        reportBits.push_back(ParamBit::ExportDictionaryStatus0 + status);
        kept[size_t(status)] = params.TestBit(ParamBit::ExportDictionaryStatus0 + status);
    }
    report.WriteFilters(kFirstCountText, results.DictionaryCounters(), {true, true, true, true},
                        kept);
    report.WriteParameters({runBits, facts.params, reportBits, params.Value()});
    report.WriteTools(false);

    std::vector<int> values;
    int weights = kNameWeight;
    for (int value = 0; value < kValueCount; ++value) {
        if (params.TestBit(ParamBit::CompareValue0 + value)) {
            values.push_back(value);
            weights += kValueWeights[value];
        }
    }
    std::vector<CHtmlReport::Column> columns{
        {LoadLocalizedString(kAliasHeading), {}, kRowWidth * kNameWeight / weights}};
    for (const int value : values)
        columns.push_back({GetDictionaryValueCaption(value, true, false),
                           GetDictionaryValueCaption(value, false, true),
                           kRowWidth * kValueWeights[value] / weights});
    report.BeginRows(columns, true);
    const int entries = results.KeyCount();
    for (int entry = 0; entry < entries; ++entry) {
        const auto item = results.ReadDictionaryItem(entry);
        if (!item || !IsStatusKept(params, ParamBit::ExportDictionaryStatus0, item->status))
            continue;
        report.BeginRow(item->status);
        report.Cell(item->GetText(0, params));
        for (const int value : values)
            report.Cell(item->GetText(value + 1, params));
        report.EndRow();
    }
    report.EndRows();
    report.End();
}
