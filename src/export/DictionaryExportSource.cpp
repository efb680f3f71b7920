#include "export/DictionaryExportSource.h"

#include "export/DictionaryExport.h"
#include "export/DictionaryReport.h"
#include "model/ParamWord.h"
#include "runs/ComparisonResults.h"

CDictionaryExportSource::CDictionaryExportSource(const CComparisonResults& results,
                                                 CParamWord& params, QString leftName,
                                                 QString rightName)
    : CExportSource(params, std::move(leftName), std::move(rightName),
                    {&results.Side(0), &results.Side(1)}),
      m_results(results) {}

QString CDictionaryExportSource::FileName() const {
    return LeftName() + QStringLiteral(" / ") + RightName();
}

CExportSource::Counters CDictionaryExportSource::RowCounts() const {
    return m_results.DictionaryCounters();
}

int CDictionaryExportSource::FirstOptionBit() const {
    return ParamBit::ExportDictionaryStatus0;
}

void CDictionaryExportSource::WriteCsv(CExportFile& file) const {
    WriteDictionaryExport(file, m_results, Params(), LeftName(), RightName());
}

void CDictionaryExportSource::WriteHtml(CHtmlStream& out) const {
    WriteDictionaryReport(out, m_results, Params(), LeftName(), RightName());
}
