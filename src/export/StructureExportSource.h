#pragma once

#include "export/ExportSource.h"
#include "model/ColumnInfo.h"
#include "model/IndexInfo.h"
#include "runs/RunFacts.h"

// A table's structure on one side as written: its fields and its indexes, as the two options
// ask.
class CStructureExportSource final : public CExportSource {
public:
    CStructureExportSource(const CSide& side, int sideIndex, QString sideName, QString table,
                           const CColumnInfoArray& fields, const CIndexInfoArray& indexes,
                           const CRunFacts& facts, CParamWord& params);

    QString FileName() const override;

protected:
    int FirstOptionBit() const override;
    int OptionCount() const override { return 2; }
    void WriteCsv(CExportFile& file) const override;
    void WriteHtml(CHtmlStream& out) const override;

private:
    const int m_sideIndex;
    const QString m_table;
    const CColumnInfoArray& m_fields;
    const CIndexInfoArray& m_indexes;
    const CRunFacts& m_facts;
};
