#include "compare/CompareColumnFrm.h"

#include "compare/FormCompareColumn.h"
#include "compare/FormCompareIndex.h"
#include "model/CompareStatus.h"
#include "model/ParamWord.h"
#include "runs/ComparisonResults.h"
#include "services/Language.h"

#include <QScreen>
#include <QTabWidget>

#include <algorithm>

namespace {

constexpr int kTitleText = 1995;
constexpr int kColumnsTabText = 1854;
constexpr int kIndexesTabText = 1855;

// Whether every column of the table is the same and an index is not.
bool DiffersByIndexesAlone(const CComparisonResults& results, int tableIndex) {
    CComparisonResults::TableRows rows;
    if (!results.ComparedIndexes() || !results.OpenTableRows(tableIndex, rows))
        return false;
    for (int row = 0; row < rows.rowCount; ++row) {
        if (results.GetColumnRowStatus(rows, row) != CompareStatus::Same)
            return false;
    }
    for (int row = 0; row < rows.indexCount; ++row) {
        if (results.GetIndexRowStatus(rows, row) != CompareStatus::Same)
            return true;
    }
    return false;
}

} // namespace

CCompareColumnFrm::CCompareColumnFrm(const QIcon& icon, CComparisonContext context, int tableIndex,
                                     QWidget* owner, QWidget* opener)
    : CCompareFrm(icon, std::move(context), kPlacementKind, owner, opener),
      m_tableIndex(tableIndex),
      m_manyColumns((Context().params && Context().params->TestBit(ParamBit::CompareSqlTypes)) ||
                    (Context().results && Context().results->ComparedAttributes())) {}

CCompareColumnFrm* CCompareColumnFrm::Open(const QIcon& icon, CComparisonContext context,
                                           int tableIndex, QWidget* owner, QWidget* opener) {
    CComparisonResults* results = context.results;
    if (!results || results->GetTableStatus(tableIndex) != CompareStatus::Different)
        return nullptr;
    // The rows were stored by the table run: the window only needs that result to still exist.
    context.ensureResult = [results] { return results->HasResult(CResultFile::TableResult); };
    const QString title = LoadLocalizedString(kTitleText)
                              .arg(results->TableNames().value(tableIndex), context.PairName());
    auto* frame = new CCompareColumnFrm(icon, std::move(context), tableIndex, owner, opener);
    if (!frame->OpenWindow(title)) {
        delete frame;
        return nullptr;
    }
    // Switched to once the columns' view is set up, so that the indexes' view takes the focus.
    if (frame->m_tabs && DiffersByIndexesAlone(*results, tableIndex))
        frame->m_tabs->setCurrentIndex(IndexesTab);
    return frame;
}

CFormCompare* CCompareColumnFrm::GetViewClass() {
    return new CFormCompareColumn(Context(), m_tableIndex, this);
}

QWidget* CCompareColumnFrm::MakeContent(CQuorvixFormView& view) {
    if (!Context().results || !Context().results->ComparedIndexes())
        return CCompareFrm::MakeContent(view);
    m_tabs = new QTabWidget(this);
    m_tabs->setDocumentMode(true);
    m_indexView = new CFormCompareIndex(Context(), m_tableIndex,
                                        static_cast<CFormCompareColumn&>(view), m_tabs);
    m_tabs->addTab(&view, LoadLocalizedString(kColumnsTabText));
    m_tabs->addTab(m_indexView, LoadLocalizedString(kIndexesTabText));
    return m_tabs;
}

CFormCompare* CCompareColumnFrm::ShownView() const {
    if (m_tabs && m_tabs->currentIndex() == IndexesTab)
        return m_indexView;
    return View();
}

QSize CCompareColumnFrm::DefaultSize() const {
    QSize size = CCompareFrm::DefaultSize();
    if (!m_manyColumns || !View())
        return size;
    size.rwidth() += View()->StatusTextsWidth();
    if (const QScreen* screen = this->screen())
        size.setWidth(std::min(size.width(), screen->availableGeometry().width()));
    return size;
}
