#include "export/StructureExportSource.h"

#include "export/StructureExport.h"
#include "export/StructureReport.h"
#include "model/ParamWord.h"

CStructureExportSource::CStructureExportSource(const CSide& side, int sideIndex, QString sideName,
                                               QString table, const CColumnInfoArray& fields,
                                               const CIndexInfoArray& indexes,
                                               const CRunFacts& facts, CParamWord& params)
    : CExportSource(params, sideName, sideName, {&side}), m_sideIndex(sideIndex),
      m_table(std::move(table)), m_fields(fields), m_indexes(indexes), m_facts(facts) {}

QString CStructureExportSource::FileName() const {
    return LeftName() + QLatin1Char('_') + m_table;
}

int CStructureExportSource::FirstOptionBit() const {
    return ParamBit::ExportFields;
}

void CStructureExportSource::WriteCsv(CExportFile& file) const {
    WriteStructureExport(file, m_fields, m_indexes, Params());
}

void CStructureExportSource::WriteHtml(CHtmlStream& out) const {
    WriteStructureReport(out, m_fields, m_indexes, Params(), m_facts, m_sideIndex, LeftName(),
                         m_table);
}
