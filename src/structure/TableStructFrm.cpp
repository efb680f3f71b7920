#include "structure/TableStructFrm.h"

#include "services/Language.h"
#include "structure/FormTableStruct.h"

namespace {
constexpr int kLeftTitleText = 1997;
constexpr int kRightTitleText = 1958;
} // namespace

CTableStructFrm::CTableStructFrm(const QIcon& icon, CTableStructContext context,
                                 const QString& table, QWidget* returnFocus)
    : CResultFrame(context.host, Role::Structure, kPlacementKind, icon, returnFocus),
      m_context(std::move(context)), m_tableName(table) {}

CTableStructFrm* CTableStructFrm::Open(const QIcon& icon, CTableStructContext context,
                                       const QString& table, QWidget* returnFocus) {
    // What the window is, then the side, so that windows are told apart in a task switcher.
    const QString title =
        LoadLocalizedString(context.sideIndex == 1 ? kRightTitleText : kLeftTitleText)
            .arg(table, context.sideName);
    auto* frame = new CTableStructFrm(icon, std::move(context), table, returnFocus);
    if (!frame->OpenFrame(title)) {
        delete frame;
        return nullptr;
    }
    return frame;
}

CFormTableStruct* CTableStructFrm::View() const {
    // The frame's view is always the one MakeView() made.
    return static_cast<CFormTableStruct*>(FormView());
}

CQuorvixFormView* CTableStructFrm::MakeView() {
    return new CFormTableStruct(m_context, m_tableName, this);
}

QLineEdit* CTableStructFrm::SearchField() const {
    return View()->SearchEdit();
}

void CTableStructFrm::FindInView() {
    View()->FindNext();
}
