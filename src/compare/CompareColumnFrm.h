#pragma once

#include "compare/CompareFrm.h"

// The window of one different table's column comparison. It runs nothing: the column rows are
// in the table result already, shared with every other window on it.
class CCompareColumnFrm : public CCompareFrm {
public:
    static constexpr int kPlacementKind = 3;

    // The new window, or nullptr when the table result is gone or the table is not different.
    static CCompareColumnFrm* Open(const QIcon& icon, CComparisonContext context, int tableIndex,
                                   QWidget* owner);

    // With type details or attributes the columns may take any width.
    bool HasMaxWidth() const override { return !m_manyColumns; }
    int TableIndex() const { return m_tableIndex; }

protected:
    CFormCompare* GetViewClass() override;

private:
    CCompareColumnFrm(const QIcon& icon, CComparisonContext context, int tableIndex,
                      QWidget* owner);

    const int m_tableIndex;
    const bool m_manyColumns;
};
