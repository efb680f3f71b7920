#include "compare/CompareTableFrm.h"

#include "compare/FormCompareTable.h"

CCompareTableFrm* CCompareTableFrm::Open(const QIcon& icon, CComparisonContext context,
                                         QWidget* owner) {
    auto* frame = new CCompareTableFrm(icon, std::move(context), owner);
    if (!frame->OpenWindow(frame->Context().PairName())) {
        delete frame;
        return nullptr;
    }
    return frame;
}

CFormCompare* CCompareTableFrm::GetViewClass() {
    return new CFormCompareTable(Context(), this);
}
