#include "export/StructureReport.h"

#include "export/HtmlReport.h"
#include "model/ParamWord.h"
#include "services/Language.h"

namespace {

constexpr int kLeftTitleText = 1997;
constexpr int kRightTitleText = 1958;
constexpr int kFieldsCaption = 1170;
constexpr int kIndexesCaption = 1171;
constexpr int kNameHeading = 1183;
constexpr int kTypeHeading = 1184;
constexpr int kOrderHeading = 1185;
constexpr int kFieldHeading = 1800;
constexpr int kCountsText = 1968;

} // namespace

void WriteStructureReport(CHtmlStream& out, const CColumnInfoArray& fields,
                          const std::vector<std::unique_ptr<CIndexInfo>>& indexes,
                          const CParamWord& params, const CRunFacts& facts, int sideIndex,
                          const QString& sideName, const QString& table) {
    const int side = sideIndex == 1 ? 1 : 0;
    CHtmlReport report(out, sideName, sideName);
    report.Begin(
        LoadLocalizedString(side == 1 ? kRightTitleText : kLeftTitleText).arg(table, sideName),
        "structure");
    report.WriteSides(facts, {side}, true);
    report.WriteCounts(LoadLocalizedString(kCountsText)
                           .arg(QString::number(fields.size()), QString::number(indexes.size())));
    report.WriteParameters(
        {{}, 0, {ParamBit::ExportFields, ParamBit::ExportIndexes}, params.Value()});
    report.WriteTools(false);

    if (params.TestBit(ParamBit::ExportFields)) {
        report.WriteSection(LoadLocalizedString(kFieldsCaption));
        report.BeginRows({{LoadLocalizedString(kNameHeading), {}, 50},
                          {LoadLocalizedString(kTypeHeading), {}, 50}},
                         false);
        for (const auto& field : fields) {
            report.BeginRow();
            report.Cell(field->GetText(0));
            report.Cell(field->GetText(1));
            report.EndRow();
        }
        report.EndRows();
    }
    if (params.TestBit(ParamBit::ExportIndexes)) {
        report.WriteSection(LoadLocalizedString(kIndexesCaption));
        // The search finds an index by its name on every one of its rows.
        report.BeginRows({{LoadLocalizedString(kNameHeading), {}, 40},
                          {LoadLocalizedString(kFieldHeading), {}, 40},
                          {LoadLocalizedString(kOrderHeading), {}, 20}},
                         false, true);
        for (const auto& index : indexes) {
            report.BeginGroup();
            for (int row = 0; row < index->columns.size(); ++row) {
                report.BeginRow();
                for (int text = 0; text < 3; ++text)
                    report.Cell(index->GetText(row, text));
                report.EndRow();
            }
        }
        report.EndRows();
    }
    report.End();
}
