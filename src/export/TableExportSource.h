#pragma once

#include "export/ExportSource.h"

class CComparisonResults;

// The table comparison as written: the tables its options keep, and under each different table
// its column and index rows that the column options keep.
class CTableExportSource final : public CExportSource {
public:
    CTableExportSource(const CComparisonResults& results, CParamWord& params, QString leftName,
                       QString rightName);

    QString FileName() const override;
    Counters RowCounts() const override;

protected:
    int FirstOptionBit() const override;
    int NestedFirstBit() const override;
    void WriteCsv(CExportFile& file) const override;
    void WriteHtml(CHtmlStream& out) const override;

private:
    const CComparisonResults& m_results;
};
