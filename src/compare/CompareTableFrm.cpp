#include "compare/CompareTableFrm.h"

#include "compare/FormCompareTable.h"
#include "shell/QuorvixApp.h"

CCompareTableFrm* CCompareTableFrm::Open(const QIcon& icon, QWidget* owner) {
    CQuorvixApp* app = CQuorvixApp::Instance();
    if (!app)
        return nullptr;
    auto* frame = new CCompareTableFrm(icon, owner);
    if (!frame->OpenWindow(app->PairDisplayName(),
                           [app] { return app->EnsureTableComparison(); })) {
        delete frame;
        return nullptr;
    }
    return frame;
}

CFormCompare* CCompareTableFrm::GetViewClass() {
    CQuorvixApp* app = CQuorvixApp::Instance();
    return app ? new CFormCompareTable(app->Results(), this) : nullptr;
}
