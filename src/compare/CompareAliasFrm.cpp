#include "compare/CompareAliasFrm.h"

#include "compare/FormCompareAlias.h"

CCompareAliasFrm* CCompareAliasFrm::Open(const QIcon& icon, CComparisonContext context,
                                         QWidget* owner) {
    auto* frame = new CCompareAliasFrm(icon, std::move(context), owner);
    if (!frame->OpenWindow(frame->Context().PairName())) {
        delete frame;
        return nullptr;
    }
    return frame;
}

CFormCompare* CCompareAliasFrm::GetViewClass() {
    return new CFormCompareAlias(Context(), this);
}
