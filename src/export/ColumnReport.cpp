#include "export/ColumnReport.h"

#include "export/Export.h"
#include "export/HtmlReport.h"
#include "model/ColumnCompareInfo.h"
#include "model/IndexCompareInfo.h"
#include "model/ParamWord.h"
#include "runs/ComparisonResults.h"
#include "services/Language.h"

namespace {

constexpr int kTitleText = 1995;
constexpr int kFirstCountText = 1300;
constexpr int kIndexesCaption = 1171;
// The weights of a row's texts (CColumnCompareInfo::Text): the texts shown share what the status
// leaves of the list by them.
constexpr int kTextWeights[CColumnCompareInfo::TextCount] = {18, 21, 10, 16, 17, 13, 11, 22};
// An index row's name, uniqueness and columns, in percent of the list.
constexpr int kIndexWidths[CIndexCompareInfo::TextCount] = {30, 16, 36};

std::vector<int> ShownTexts(bool typeDetails, bool attributes) {
    std::vector<int> texts;
    for (int text = 0; text < CColumnCompareInfo::TextCount; ++text) {
        if (CColumnCompareInfo::IsTextShown(text, typeDetails, attributes))
            texts.push_back(text);
    }
    return texts;
}

} // namespace

void WriteColumnReport(CHtmlStream& out, const CComparisonResults& results, int tableIndex,
                       const CParamWord& params, bool typeDetails, const QString& leftName,
                       const QString& rightName) {
    const CRunFacts& facts = results.TableFacts();
    const bool attributes = results.ComparedAttributes();
    const bool indexes = results.ComparedIndexes();
    CComparisonResults::TableRows rows;
    const bool readable = results.OpenTableRows(tableIndex, rows);
    CHtmlReport::Counts counts{};
    CHtmlReport::Counts indexCounts{};
    for (int row = 0; readable && row < rows.rowCount; ++row) {
        const qint32 status = results.GetColumnRowStatus(rows, row);
        if (CompareStatus::IsValid(status))
            ++counts[size_t(status)];
    }
    for (int row = 0; readable && row < rows.indexCount; ++row) {
        const qint32 status = results.GetIndexRowStatus(rows, row);
        if (CompareStatus::IsValid(status))
            ++indexCounts[size_t(status)];
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
        // Only the types, the attributes or an index can make a row different.
        shown[size_t(status)] =
            status != CompareStatus::Different || typeDetails || attributes || indexes;
        kept[size_t(status)] = params.TestBit(ParamBit::ExportColumnStatus0 + status);
        if (shown[size_t(status)])
            reportBits.push_back(ParamBit::ExportColumnStatus0 + status);
    }
    report.WriteFilters(kFirstCountText, counts, shown, kept, indexes ? &indexCounts : nullptr);
    report.WriteParameters(
        {CHtmlReport::TableRunBits(facts.params), facts.params, reportBits, params.Value()});
    report.WriteTools(false);

    const std::vector<int> texts = ShownTexts(typeDetails, attributes);
    int weights = 0;
    for (const int text : texts)
        weights += kTextWeights[text];
    std::vector<CHtmlReport::Column> columns;
    int widthLeft = CHtmlReport::kRowWidth;
    for (size_t column = 0; column < texts.size(); ++column) {
        // The last column takes what rounding left.
        const int width = column + 1 < texts.size()
                              ? CHtmlReport::kRowWidth * kTextWeights[texts[column]] / weights
                              : widthLeft;
        widthLeft -= width;
        columns.push_back(report.ColumnTextColumn(texts[column], width));
    }
    report.BeginRows(columns, true);
    for (int row = 0; readable && row < rows.rowCount; ++row) {
        const auto column = results.ReadColumnRow(rows, row);
        if (!column || !IsStatusKept(params, ParamBit::ExportColumnStatus0, column->status))
            continue;
        report.BeginRow(column->status);
        for (const int text : texts)
            report.Cell(column->GetText(text));
        report.EndRow();
    }
    report.EndRows();

    if (indexes) {
        report.WriteSection(LoadLocalizedString(kIndexesCaption));
        std::vector<CHtmlReport::Column> indexColumns;
        for (int text = 0; text < CIndexCompareInfo::TextCount; ++text)
            indexColumns.push_back(CHtmlReport::IndexTextColumn(text, kIndexWidths[text]));
        report.BeginRows(indexColumns, true);
        for (int row = 0; readable && row < rows.indexCount; ++row) {
            const auto index = results.ReadIndexRow(rows, row);
            if (!index || !IsStatusKept(params, ParamBit::ExportColumnStatus0, index->status))
                continue;
            report.BeginRow(index->status);
            for (int text = 0; text < CIndexCompareInfo::TextCount; ++text)
                report.Cell(index->GetText(text));
            report.EndRow();
        }
        report.EndRows();
    }
    report.End();
}
