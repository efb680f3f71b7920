#include "compare/CompareColumnFrm.h"

#include "compare/FormCompareColumn.h"
#include "model/CompareStatus.h"
#include "model/ParamWord.h"
#include "runs/ComparisonResults.h"
#include "services/Language.h"

namespace {
constexpr int kTitleText = 1995;
} // namespace

CCompareColumnFrm::CCompareColumnFrm(const QIcon& icon, CComparisonContext context, int tableIndex,
                                     QWidget* owner)
    : CCompareFrm(icon, std::move(context), kPlacementKind, owner), m_tableIndex(tableIndex),
      m_manyColumns((Context().params && Context().params->TestBit(ParamBit::CompareSqlTypes)) ||
                    (Context().results && Context().results->ComparedAttributes())) {}

CCompareColumnFrm* CCompareColumnFrm::Open(const QIcon& icon, CComparisonContext context,
                                           int tableIndex, QWidget* owner) {
    CComparisonResults* results = context.results;
    if (!results || results->GetTableStatus(tableIndex) != CompareStatus::Different)
        return nullptr;
    // The rows were stored by the table run: the window only needs that result to still exist.
    context.ensureResult = [results] { return results->HasResult(CResultFile::TableResult); };
    const QString title = LoadLocalizedString(kTitleText)
                              .arg(results->TableNames().value(tableIndex), context.PairName());
    auto* frame = new CCompareColumnFrm(icon, std::move(context), tableIndex, owner);
    if (!frame->OpenWindow(title)) {
        delete frame;
        return nullptr;
    }
    return frame;
}

CFormCompare* CCompareColumnFrm::GetViewClass() {
    return new CFormCompareColumn(Context(), m_tableIndex, this);
}
