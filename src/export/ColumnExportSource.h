#pragma once

#include "export/ExportSource.h"

class CComparisonResults;

// The column comparison of one different table as written: its column rows, then its index
// rows where the run compared indexes, those that the column options keep.
class CColumnExportSource final : public CExportSource {
public:
    // typeDetails: the SQL types, sizes and drivers' type names are written (the type
    // comparison was on when the result was shown).
    CColumnExportSource(const CComparisonResults& results, int tableIndex, bool typeDetails,
                        CParamWord& params, QString leftName, QString rightName);

    QString FileName() const override;
    // The rows written: the columns, then the indexes.
    Counters RowCounts() const override;

protected:
    int FirstOptionBit() const override;
    // A row can only be different where the run compared types, attributes or indexes.
    bool OffersOption(int index) const override;
    void WriteCsv(CExportFile& file) const override;
    void WriteHtml(CHtmlStream& out) const override;

private:
    const CComparisonResults& m_results;
    const int m_tableIndex;
    const bool m_typeDetails;
};
