#include "compare/CompareAliasFrm.h"

#include "compare/FormCompareAlias.h"
#include "services/Language.h"

namespace {
constexpr int kTitleText = 1996;
} // namespace

CCompareAliasFrm* CCompareAliasFrm::Open(const QIcon& icon, CComparisonContext context,
                                         QWidget* owner) {
    auto* frame = new CCompareAliasFrm(icon, std::move(context), owner);
    if (!frame->OpenWindow(LoadLocalizedString(kTitleText).arg(frame->Context().PairName()))) {
        delete frame;
        return nullptr;
    }
    return frame;
}

CFormCompare* CCompareAliasFrm::GetViewClass() {
    return new CFormCompareAlias(Context(), this);
}
