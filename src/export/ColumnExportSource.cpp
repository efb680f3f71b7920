#include "export/ColumnExportSource.h"

#include "export/ColumnExport.h"
#include "export/ColumnReport.h"
#include "model/ParamWord.h"
#include "runs/ComparisonResults.h"

CColumnExportSource::CColumnExportSource(const CComparisonResults& results, int tableIndex,
                                         bool typeDetails, CParamWord& params, QString leftName,
                                         QString rightName)
    : CExportSource(params, std::move(leftName), std::move(rightName),
                    {&results.Side(0), &results.Side(1)}),
      m_results(results), m_tableIndex(tableIndex), m_typeDetails(typeDetails) {}

QString CColumnExportSource::FileName() const {
    return LeftName() + QStringLiteral(" / ") + RightName() + QStringLiteral(" - ") +
           m_results.TableNames().value(m_tableIndex);
}

CExportSource::Counters CColumnExportSource::RowCounts() const {
    Counters counts{};
    CComparisonResults::TableRows rows;
    if (!m_results.OpenTableRows(m_tableIndex, rows))
        return counts;
    for (int row = 0; row < rows.rowCount; ++row) {
        const qint32 status = m_results.GetColumnRowStatus(rows, row);
        if (CompareStatus::IsValid(status))
            ++counts[size_t(status)];
    }
    for (int row = 0; row < rows.indexCount; ++row) {
        const qint32 status = m_results.GetIndexRowStatus(rows, row);
        if (CompareStatus::IsValid(status))
            ++counts[size_t(status)];
    }
    return counts;
}

int CColumnExportSource::FirstOptionBit() const {
    return ParamBit::ExportColumnStatus0;
}

bool CColumnExportSource::OffersOption(int index) const {
    return index != CompareStatus::Different || m_typeDetails || m_results.ComparedAttributes() ||
           m_results.ComparedIndexes();
}

void CColumnExportSource::WriteCsv(CExportFile& file) const {
    WriteColumnExport(file, m_results, m_tableIndex, Params(), m_typeDetails, LeftName(),
                      RightName());
}

void CColumnExportSource::WriteHtml(CHtmlStream& out) const {
    WriteColumnReport(out, m_results, m_tableIndex, Params(), m_typeDetails, LeftName(),
                      RightName());
}
