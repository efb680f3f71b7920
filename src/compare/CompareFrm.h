#pragma once

#include "compare/ComparisonContext.h"
#include "ui/ResultFrame.h"

class CFormCompare;

// A comparison window: a result frame owned by the main window whose one view is a comparison
// view. While it is open the sides' data-source controls are locked; opening it first makes sure
// its result exists, which may run the comparison.
class CCompareFrm : public CResultFrame {
public:
    static constexpr int kMinimumWidth = 400;
    static constexpr int kMinimumHeight = 350;
    static constexpr int kMaximumWidth = 750;

    virtual bool HasMaxWidth() const { return true; }
    CFormCompare* View() const;
    // The view the user sees, which the search field and Enter in it belong to.
    virtual CFormCompare* ShownView() const { return View(); }

protected:
    CCompareFrm(const QIcon& icon, CComparisonContext context, int placementKind, QWidget* owner,
                QWidget* opener = nullptr);

    const CComparisonContext& Context() const { return m_context; }

    // Creates the view the frame shows.
    virtual CFormCompare* GetViewClass() = 0;
    CQuorvixFormView* MakeView() override;
    QLineEdit* SearchField() const override;
    void FindInView() override;
    bool PrepareResult() override;
    QSize MinimumSize() const override { return {kMinimumWidth, kMinimumHeight}; }
    int MaximumWidth() const override { return HasMaxWidth() ? kMaximumWidth : QWIDGETSIZE_MAX; }

    // Opens the window when the context can give it a result; false when it gave up (the caller
    // deletes it).
    bool OpenWindow(const QString& title);

private:
    CComparisonContext m_context;
};
