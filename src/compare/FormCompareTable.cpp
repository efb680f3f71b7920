#include "compare/FormCompareTable.h"

#include "compare/CompareColumnFrm.h"
#include "compare/CompareListCtrl.h"
#include "dialogs/DlgParams.h"
#include "export/TableExport.h"
#include "export/TableReport.h"
#include "model/ExportFilter.h"
#include "model/NameOrdering.h"
#include "model/ParamWord.h"
#include "runs/ComparisonResults.h"
#include "services/Language.h"

namespace {
constexpr int kTableHeading = 1182;
}

CFormCompareTable::CFormCompareTable(CComparisonContext context, QWidget* parent)
    : CFormCompare(std::move(context), parent), m_results(*Context().results) {}

bool CFormCompareTable::CanShowDetail(int itemData) {
    return m_results.GetTableStatus(itemData) == CompareStatus::Different;
}

bool CFormCompareTable::MatchesSearch(int itemData, const QString& text) {
    return LowerAscii(m_results.TableNames().value(itemData)).contains(text);
}

void CFormCompareTable::FillList(bool count) {
    List()->SetRedraw(false);
    List()->DeleteAllItems();
    const int tables = int(m_results.TableNames().size());
    for (int table = 0; table < tables; ++table) {
        if (count || IsFilterChecked(m_results.GetTableStatus(table)))
            List()->AppendItem(table);
    }
    List()->SetRedraw(true);
    if (!count)
        SizeColumns();
}

int CFormCompareTable::GetStatusCount(int status) const {
    return status >= 0 && status < CompareStatus::Count ? m_results.TableCounters()[status] : 0;
}

// A column comparison window for the selected table when it is different; several may be open,
// also on one table, all reading the one table result.
void CFormCompareTable::ShowDetail() {
    const int row = List()->GetSelectedRow();
    if (row < 0)
        return;
    const int table = List()->GetItemData(row);
    if (m_results.GetTableStatus(table) != CompareStatus::Different)
        return;
    CCompareColumnFrm::Open(Context().programIcon, Context(), table, window()->parentWidget());
}

std::vector<CFormCompare::BandHeader> CFormCompareTable::HeaderTexts() const {
    return {{LoadLocalizedString(kTableHeading), QString()}};
}

QString CFormCompareTable::GetItemText(int itemData, int column) const {
    return column == 0 ? m_results.TableNames().value(itemData) : QString();
}

int CFormCompareTable::GetItemImage(int itemData) const {
    return m_results.GetTableStatus(itemData);
}

bool CFormCompareTable::PrepareExport() {
    CParamWord& params = *Context().params;
    PresetExportBits(params, ParamBit::ExportTableStatus0, StatusFilters());
    // The columns under each different table: all of them, whatever the filters show.
    PresetExportBits(params, ParamBit::ExportTableColumnStatus0,
                     std::vector<CExportFilter>(CompareStatus::Count));
    const std::vector<int> bits =
        CDlgParams::StatusOptions(ParamBit::ExportTableStatus0, ParamBit::ExportTableColumnStatus0);
    // Until at least one kind of table is to be written (the column bits do not count).
    return CDlgParams::AskExportOptions(params, bits, ParamBit::ExportTableStatus0,
                                        Context().leftName, Context().rightName, this);
}

QString CFormCompareTable::GetExportFileName() const {
    return Context().PairName();
}

bool CFormCompareTable::WriteExport(CExportFile& file) {
    WriteTableExport(file, m_results, *Context().params, Context().leftName, Context().rightName);
    return true;
}

bool CFormCompareTable::WriteReport(CHtmlStream& out) {
    WriteTableReport(out, m_results, *Context().params, Context().leftName, Context().rightName);
    return true;
}
