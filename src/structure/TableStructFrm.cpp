#include "structure/TableStructFrm.h"

#include "services/Language.h"
#include "structure/FormTableStruct.h"
#include "ui/ResultWindowKeys.h"
#include "ui/WindowHost.h"
#include "ui/WindowPlacement.h"

#include <QCloseEvent>
#include <QVBoxLayout>

namespace {
constexpr int kLeftTitleText = 1997;
constexpr int kRightTitleText = 1958;
} // namespace

CTableStructFrm::CTableStructFrm(CTableStructContext context, const QString& table,
                                 QWidget* returnFocus)
    : QWidget(returnFocus, Qt::Window), m_context(std::move(context)), m_tableName(table),
      m_returnFocus(returnFocus) {
    setAttribute(Qt::WA_DeleteOnClose);
}

CTableStructFrm::~CTableStructFrm() {
    // A window still open when the program ends keeps its placement too.
    SavePlacement();
    Unregister();
}

CTableStructFrm* CTableStructFrm::Open(const QIcon& icon, CTableStructContext context,
                                       const QString& table, QWidget* returnFocus) {
    if (!context.host)
        return nullptr;
    auto* frame = new CTableStructFrm(std::move(context), table, returnFocus);
    // What the window is, then the side, so that windows are told apart in a task switcher.
    const QString title =
        LoadLocalizedString(frame->m_context.sideIndex == 1 ? kRightTitleText : kLeftTitleText)
            .arg(table, frame->m_context.sideName);
    if (!frame->CreateFrame(title)) {
        delete frame;
        return nullptr;
    }
    frame->setWindowIcon(icon);
    frame->show();
    return frame;
}

bool CTableStructFrm::CreateFrame(const QString& title) {
    m_view = new CFormTableStruct(m_context, m_tableName, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    setWindowTitle(title);
    AddResultWindowKeys(*this, *m_view->SearchEdit());
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    QString rectangle;
    bool zoomed = false;
    m_context.host->LoadWindowRect(kPlacementKind, rectangle, zoomed);
    ApplyWindowRect(*this, rectangle, zoomed);
    if (const QWidget* last = m_context.host->LastResultWindow(this))
        CascadeAfter(*this, *last);
    LimitWidth();
    m_placementSaved = false;
    m_context.host->RegisterStructureFrame(this);
    m_registered = true;
    return true;
}

// Dragging never makes the window wider than 500 pixels, yet a wider placement that was restored
// and a maximised window keep their width: the limit follows the window down as it is narrowed.
void CTableStructFrm::LimitWidth() {
    setMaximumWidth(isMaximized() ? QWIDGETSIZE_MAX : std::max(kMaximumWidth, width()));
}

bool CTableStructFrm::TakeKey(int key) {
    return m_view && m_view->TakeKey(key);
}

void CTableStructFrm::SavePlacement() {
    if (m_placementSaved)
        return;
    m_placementSaved = true;
    if (m_context.host)
        m_context.host->SaveWindowRect(kPlacementKind, WindowRectText(*this), isMaximized());
}

void CTableStructFrm::Unregister() {
    if (!m_registered)
        return;
    m_registered = false;
    if (m_context.host)
        m_context.host->UnregisterStructureFrame(this);
}

void CTableStructFrm::closeEvent(QCloseEvent* event) {
    if (m_returnFocus) {
        m_returnFocus->activateWindow();
        m_returnFocus->setFocus();
    }
    Unregister();
    SavePlacement();
    QWidget::closeEvent(event);
}

void CTableStructFrm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LimitWidth();
}

void CTableStructFrm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        LimitWidth();
}
