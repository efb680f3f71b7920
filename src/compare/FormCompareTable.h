#pragma once

#include "compare/FormCompare.h"

class CComparisonResults;

// The view of a table comparison window: one line per table name of either side, coloured by
// status, the status also in words; "Show differences..." opens the column comparison of a
// different table.
class CFormCompareTable : public CFormCompare {
public:
    CFormCompareTable(CComparisonContext context, QWidget* parent);

    bool IsFilterShown(int) const override { return true; }
    bool HasDetailButton() const override { return true; }
    bool CanShowDetail(int itemData) override;
    bool MatchesSearch(int itemData, const QString& text) override;
    void FillList(bool count) override;
    int GetFirstCountStringId() const override { return 1200; }
    int GetStatusCount(int status) const override;
    void ShowDetail() override;

    std::unique_ptr<CExportSource> MakeExportSource() const override;

    int GetItemImage(int itemData) const override;

protected:
    // No band: the headers name the columns of the copied rows.
    std::vector<BandHeader> ColumnHeaders() const override;
    QString GetCellText(int itemData, int column) const override;

private:
    CComparisonResults& m_results;
};
