#include "compare/CompareFrm.h"

#include "compare/FormCompare.h"

CCompareFrm::CCompareFrm(const QIcon& icon, CComparisonContext context, int placementKind,
                         QWidget* owner, QWidget* opener)
    : CResultFrame(context.host, Role::Comparison, placementKind, icon, owner, opener),
      m_context(std::move(context)) {}

CFormCompare* CCompareFrm::View() const {
    // The frame's view is always the one GetViewClass() made.
    return static_cast<CFormCompare*>(FormView());
}

CQuorvixFormView* CCompareFrm::MakeView() {
    return GetViewClass();
}

bool CCompareFrm::OpenWindow(const QString& title) {
    if (!m_context.results || !m_context.ensureResult)
        return false;
    return OpenFrame(title);
}

bool CCompareFrm::PrepareResult() {
    return m_context.ensureResult();
}

QLineEdit* CCompareFrm::SearchField() const {
    return ShownView()->SearchEdit();
}

void CCompareFrm::FindInView() {
    ShownView()->Find();
}
