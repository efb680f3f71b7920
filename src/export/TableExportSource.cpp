#include "export/TableExportSource.h"

#include "export/TableExport.h"
#include "export/TableReport.h"
#include "model/ParamWord.h"
#include "runs/ComparisonResults.h"

CTableExportSource::CTableExportSource(const CComparisonResults& results, CParamWord& params,
                                       QString leftName, QString rightName)
    : CExportSource(params, std::move(leftName), std::move(rightName),
                    {&results.Side(0), &results.Side(1)}),
      m_results(results) {}

QString CTableExportSource::FileName() const {
    return LeftName() + QStringLiteral(" / ") + RightName();
}

CExportSource::Counters CTableExportSource::RowCounts() const {
    return m_results.TableCounters();
}

int CTableExportSource::FirstOptionBit() const {
    return ParamBit::ExportTableStatus0;
}

int CTableExportSource::NestedFirstBit() const {
    return ParamBit::ExportTableColumnStatus0;
}

void CTableExportSource::WriteCsv(CExportFile& file) const {
    WriteTableExport(file, m_results, Params(), LeftName(), RightName());
}

void CTableExportSource::WriteHtml(CHtmlStream& out) const {
    WriteTableReport(out, m_results, Params(), LeftName(), RightName());
}
