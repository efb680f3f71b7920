#pragma once

#include "export/ExportSource.h"

class CComparisonResults;

// The data-dictionary comparison as written: the items its options keep, with the values that
// the value options select.
class CDictionaryExportSource final : public CExportSource {
public:
    CDictionaryExportSource(const CComparisonResults& results, CParamWord& params, QString leftName,
                            QString rightName);

    QString FileName() const override;
    Counters RowCounts() const override;

protected:
    int FirstOptionBit() const override;
    void WriteCsv(CExportFile& file) const override;
    void WriteHtml(CHtmlStream& out) const override;

private:
    const CComparisonResults& m_results;
};
