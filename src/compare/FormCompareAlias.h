#pragma once

#include "compare/FormCompare.h"

#include <memory>

class CAliasCompareInfo;

// The view of a data-dictionary comparison window: every item found on either side, coloured by
// status, with the values the parameter word selects (a value whose bit is clear has a column of
// width 0 and no text), under a header band of value codes over value names. Every cell is read
// from the dictionary result file when it is painted.
class CFormCompareAlias : public CFormCompare {
public:
    static constexpr int kColumnCount = 6;

    CFormCompareAlias(CComparisonContext context, QWidget* parent);

    bool IsFilterShown(int) const override { return true; }
    bool MatchesSearch(int itemData, const QString& text) override;
    bool ReservesHeaderBand() const override { return true; }
    void InsertColumns() override;
    void SizeColumns() override;
    void FillList(bool count) override;
    int GetFirstCountStringId() const override { return 1400; }
    int GetStatusCount(int status) const override;

    std::unique_ptr<CExportSource> MakeExportSource() const override;

    int GetItemImage(int itemData) const override;

protected:
    std::vector<BandHeader> ColumnHeaders() const override;
    QString GetCellText(int itemData, int column) const override;

private:
    bool IsValueShown(int value) const;
    std::unique_ptr<CAliasCompareInfo> ReadItem(int entry) const;
};
