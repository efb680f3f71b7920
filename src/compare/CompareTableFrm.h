#pragma once

#include "compare/CompareFrm.h"

// The window of a table comparison. Open() makes sure the table result exists (running the
// comparison under the progress dialog when needed) and gives up when the run fails.
class CCompareTableFrm : public CCompareFrm {
public:
    static constexpr int kPlacementKind = 2;

    // The new window, or nullptr when the run was cancelled or failed.
    static CCompareTableFrm* Open(const QIcon& icon, CComparisonContext context, QWidget* owner);

protected:
    CFormCompare* GetViewClass() override;

private:
    CCompareTableFrm(const QIcon& icon, CComparisonContext context, QWidget* owner)
        : CCompareFrm(icon, std::move(context), kPlacementKind, owner) {}
};
