#include "compare/FormCompareTable.h"

#include "compare/CompareColumnFrm.h"
#include "compare/CompareListCtrl.h"
#include "export/TableExportSource.h"
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
    // Owned by the main window, as the table window is, so that it outlives this one.
    CCompareColumnFrm::Open(Context().programIcon, Context(), table, window()->parentWidget(),
                            this);
}

std::vector<CFormCompare::BandHeader> CFormCompareTable::ColumnHeaders() const {
    return {{LoadLocalizedString(kTableHeading), QString()}};
}

QString CFormCompareTable::GetCellText(int itemData, int column) const {
    return column == 0 ? m_results.TableNames().value(itemData) : QString();
}

int CFormCompareTable::GetItemImage(int itemData) const {
    return m_results.GetTableStatus(itemData);
}

std::unique_ptr<CExportSource> CFormCompareTable::MakeExportSource() const {
    if (!Context().params)
        return nullptr;
    return std::make_unique<CTableExportSource>(m_results, *Context().params, Context().leftName,
                                                Context().rightName);
}
