#include "compare/CompareTableFrm.h"

#include "compare/FormCompareTable.h"
#include "services/Language.h"

namespace {
constexpr int kTitleText = 1994;
} // namespace

CCompareTableFrm* CCompareTableFrm::Open(const QIcon& icon, CComparisonContext context,
                                         QWidget* owner) {
    auto* frame = new CCompareTableFrm(icon, std::move(context), owner);
    if (!frame->OpenWindow(LoadLocalizedString(kTitleText).arg(frame->Context().PairName()))) {
        delete frame;
        return nullptr;
    }
    return frame;
}

CFormCompare* CCompareTableFrm::GetViewClass() {
    return new CFormCompareTable(Context(), this);
}
