#pragma once

#include "compare/CompareFrm.h"

// The window of a data-dictionary comparison. Open() makes sure the dictionary result exists
// (running the comparison under the progress dialog when needed) and gives up when the run
// fails.
class CCompareAliasFrm : public CCompareFrm {
public:
    static constexpr int kPlacementKind = 4;

    // The new window, or nullptr when the run was cancelled or failed.
    static CCompareAliasFrm* Open(const QIcon& icon, CComparisonContext context, QWidget* owner);

    // Up to six columns: the window may take any width.
    bool HasMaxWidth() const override { return false; }

protected:
    CFormCompare* GetViewClass() override;

private:
    CCompareAliasFrm(const QIcon& icon, CComparisonContext context, QWidget* owner)
        : CCompareFrm(icon, std::move(context), kPlacementKind, owner) {}
};
