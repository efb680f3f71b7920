#pragma once

#include "compare/FormCompare.h"
#include "runs/ComparisonResults.h"

#include <memory>

class CFormCompareColumn;
class CIndexCompareInfo;

// The second view of a column comparison window whose run compared the indexes: the index rows
// of the table, each index's name, uniqueness and columns, read from the result file for each
// cell painted. Its export buttons write the column comparison, which holds the indexes.
class CFormCompareIndex : public CFormCompare {
public:
    CFormCompareIndex(CComparisonContext context, int tableIndex, CFormCompareColumn& columns,
                      QWidget* parent);

    void OnInitialUpdate() override;
    bool IsFilterShown(int status) const override { return CompareStatus::IsValid(status); }
    bool ReservesHeaderBand() const override { return true; }
    bool MatchesSearch(int itemData, const QString& text) override;
    void InsertColumns() override;
    void SizeColumns() override;
    void FillList(bool count) override;
    int GetFirstCountStringId() const override { return 1856; }

    // The column view's export, as if asked there: its options, its file.
    void OnExportToFile() override;
    void OnExportToHtml() override;

    int GetItemImage(int itemData) const override;

protected:
    std::vector<BandHeader> ColumnHeaders() const override;
    QString GetCellText(int itemData, int column) const override;

private:
    std::unique_ptr<CIndexCompareInfo> ReadRow(int row) const;

    const int m_tableIndex;
    CFormCompareColumn& m_columns;
    CComparisonResults::TableRows m_rows;
};
