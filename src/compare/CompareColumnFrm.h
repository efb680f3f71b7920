#pragma once

#include "compare/CompareFrm.h"

class CFormCompareIndex;
class QTabWidget;

// The window of one different table's column comparison. It runs nothing: the column rows are
// in the table result already, shared with every other window on it. Where the run compared the
// indexes, the columns and the indexes show under two tabs.
class CCompareColumnFrm : public CCompareFrm {
public:
    static constexpr int kPlacementKind = 3;
    enum Tab { ColumnsTab = 0, IndexesTab = 1 };

    // The new window, or nullptr when the table result is gone or the table is not different.
    // A table that differs by its indexes alone opens on them. The window goes with its owner;
    // the focus goes back to opener (the table window) when it closes.
    static CCompareColumnFrm* Open(const QIcon& icon, CComparisonContext context, int tableIndex,
                                   QWidget* owner, QWidget* opener);

    // With type details or attributes the columns may take any width.
    bool HasMaxWidth() const override { return !m_manyColumns; }
    // With many columns the window opens wider by its status column, so that the others keep
    // the room they had without it; never wider than the screen.
    QSize DefaultSize() const override;
    int TableIndex() const { return m_tableIndex; }
    // Both null when the run did not compare the indexes.
    QTabWidget* Tabs() const { return m_tabs; }
    CFormCompareIndex* IndexView() const { return m_indexView; }
    CFormCompare* ShownView() const override;

protected:
    CFormCompare* GetViewClass() override;
    QWidget* MakeContent(CQuorvixFormView& view) override;

private:
    CCompareColumnFrm(const QIcon& icon, CComparisonContext context, int tableIndex, QWidget* owner,
                      QWidget* opener);

    const int m_tableIndex;
    const bool m_manyColumns;
    QTabWidget* m_tabs = nullptr;
    CFormCompareIndex* m_indexView = nullptr;
};
