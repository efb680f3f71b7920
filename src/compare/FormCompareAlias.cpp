#include "compare/FormCompareAlias.h"

#include "compare/CompareListCtrl.h"
#include "export/DictionaryExportSource.h"
#include "model/AliasCompareInfo.h"
#include "model/ParamWord.h"
#include "runs/ComparisonResults.h"
#include "services/Language.h"
#include "services/Utilities.h"

namespace {

constexpr int kAliasText = 1600;
constexpr int kValueCount = CFormCompareAlias::kColumnCount - 1;
// Column widths share the list by these weights among the shown columns; the item name column
// is held within its limits.
constexpr int kWeights[CFormCompareAlias::kColumnCount] = {30, 13, 18, 13, 13, 13};

} // namespace

CFormCompareAlias::CFormCompareAlias(CComparisonContext context, QWidget* parent)
    : CFormCompare(std::move(context), parent) {}

bool CFormCompareAlias::IsValueShown(int value) const {
    return Context().params && Context().params->TestBit(ParamBit::CompareValue0 + value);
}

std::unique_ptr<CAliasCompareInfo> CFormCompareAlias::ReadItem(int entry) const {
    return Context().results ? Context().results->ReadDictionaryItem(entry) : nullptr;
}

bool CFormCompareAlias::MatchesSearch(int itemData, const QString& text) {
    const auto item = ReadItem(itemData);
    return item && Context().params && item->Contains(text, *Context().params);
}

std::vector<CFormCompare::BandHeader> CFormCompareAlias::ColumnHeaders() const {
    std::vector<BandHeader> headers{{LoadLocalizedString(kAliasText), QString()}};
    for (int value = 0; value < kValueCount; ++value)
        headers.push_back({GetDictionaryValueCaption(value, true, false),
                           GetDictionaryValueCaption(value, false, true)});
    return headers;
}

void CFormCompareAlias::InsertColumns() {
    CFormCompare::InsertColumns();
    for (int column = 1; column < kColumnCount; ++column)
        List()->InsertColumn(column, QString(), Qt::AlignLeft, 0);
}

void CFormCompareAlias::SizeColumns() {
    if (List()->GetColumnCount() < kColumnCount) {
        CFormCompare::SizeColumns();
        return;
    }
    const int width = SharedWidth();
    int shownWeights = 0;
    int lastShown = 0;
    for (int value = 0; value < kValueCount; ++value) {
        if (IsValueShown(value)) {
            shownWeights += kWeights[value + 1];
            lastShown = value + 1;
        }
    }
    int widths[kColumnCount] = {};
    widths[0] = NameColumnWidth(width, kWeights[0], shownWeights + kWeights[0]);
    int used = widths[0];
    for (int column = 1; column < kColumnCount; ++column) {
        if (!IsValueShown(column - 1))
            continue;
        // The last shown value takes what the others leave.
        widths[column] = column == lastShown
                             ? std::max(width - used, 0)
                             : std::max((width - widths[0]) * kWeights[column] / shownWeights, 0);
        used += widths[column];
    }
    SetColumnWidths({std::begin(widths), std::end(widths)});
}

void CFormCompareAlias::FillList(bool count) {
    const CComparisonResults* results = Context().results;
    List()->SetRedraw(false);
    List()->DeleteAllItems();
    const int entries = results ? results->KeyCount() : 0;
    for (int entry = 0; entry < entries; ++entry) {
        if (count || IsFilterChecked(results->GetDictionaryItemStatus(entry)))
            List()->AppendItem(entry);
    }
    List()->SetRedraw(true);
    if (!count)
        SizeColumns();
}

int CFormCompareAlias::GetStatusCount(int status) const {
    return Context().results && CompareStatus::IsValid(status)
               ? Context().results->DictionaryCounters()[status]
               : 0;
}

QString CFormCompareAlias::GetCellText(int itemData, int column) const {
    if (column < 0 || column >= kColumnCount || !Context().params)
        return {};
    const auto item = ReadItem(itemData);
    return item ? item->GetText(column, *Context().params) : QString();
}

int CFormCompareAlias::GetItemImage(int itemData) const {
    const auto item = ReadItem(itemData);
    return item ? item->status : -1;
}

std::unique_ptr<CExportSource> CFormCompareAlias::MakeExportSource() const {
    if (!Context().results || !Context().params)
        return nullptr;
    return std::make_unique<CDictionaryExportSource>(*Context().results, *Context().params,
                                                     Context().leftName, Context().rightName);
}
