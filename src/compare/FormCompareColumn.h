#pragma once

#include "compare/FormCompare.h"
#include "runs/ComparisonResults.h"

#include <memory>
#include <vector>

class CColumnCompareInfo;

// The view of a column comparison window: the column rows that the table run stored for one
// different table, read from the result file for each cell painted. With the SQL type
// comparison on when the view was opened it also shows each column's SQL type, size and the two
// drivers' type names, and where the run compared the attributes, each column's nullability,
// decimal digits and default, under a header band that the view paints itself.
class CFormCompareColumn : public CFormCompare {
public:
    CFormCompareColumn(CComparisonContext context, int tableIndex, QWidget* parent);

    bool HasTypeDetails() const { return m_typeDetails; }
    bool HasAttributes() const { return m_attributes; }
    QString TableName() const;

    void OnInitialUpdate() override;
    bool IsFilterShown(int status) const override;
    bool ReservesHeaderBand() const override { return true; }
    // Painted when the row shows more than the name (and its status).
    bool PaintsHeaderBand() const override { return m_texts.size() > 1; }
    bool MatchesSearch(int itemData, const QString& text) override;
    void InsertColumns() override;
    void SizeColumns() override;
    void FillList(bool count) override;
    int GetFirstCountStringId() const override { return 1300; }

    std::unique_ptr<CExportSource> MakeExportSource() const override;

    int GetItemImage(int itemData) const override;

protected:
    std::vector<BandHeader> ColumnHeaders() const override;
    QString GetCellText(int itemData, int column) const override;

private:
    std::unique_ptr<CColumnCompareInfo> ReadRow(int row) const;

    const bool m_typeDetails;
    const bool m_attributes;
    // The row text (a CColumnCompareInfo::Text) that each list column shows.
    const std::vector<int> m_texts;
    const int m_tableIndex;
    CComparisonResults::TableRows m_rows;
};
