#include "ui/ResultFrame.h"

#include "ui/QuorvixFormView.h"
#include "ui/ResultWindowKeys.h"
#include "ui/WindowHost.h"
#include "ui/WindowPlacement.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QVBoxLayout>

CResultFrame::CResultFrame(IWindowHost* host, Role role, int placementKind, QIcon icon,
                           QWidget* owner, QWidget* opener)
    : QWidget(owner, Qt::Window), m_host(host), m_role(role), m_placementKind(placementKind),
      m_icon(std::move(icon)), m_opener(opener ? opener : owner) {
    setAttribute(Qt::WA_DeleteOnClose);
}

CResultFrame::~CResultFrame() {
    // A window still open when the program ends keeps its placement too.
    SavePlacement();
    Unregister();
}

bool CResultFrame::OpenFrame(const QString& title) {
    if (!m_host)
        return false;
    Register();
    if (!PrepareResult() || !CreateFrame(title)) {
        Unregister();
        return false;
    }
    setWindowIcon(m_icon);
    show();
    m_view->OnInitialUpdate();
    return true;
}

QWidget* CResultFrame::MakeContent(CQuorvixFormView& view) {
    return &view;
}

bool CResultFrame::CreateFrame(const QString& title) {
    m_view = MakeView();
    if (!m_view)
        return false;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(MakeContent(*m_view));
    setWindowTitle(title);
    AddResultWindowKeys(*this, [this] { return SearchField(); });
    setMinimumSize(MinimumSize());
    if (!KeepsWiderPlacement())
        setMaximumWidth(MaximumWidth());
    QString rectangle;
    bool zoomed = false;
    m_host->LoadWindowRect(m_placementKind, rectangle, zoomed);
    // The host's default placement is centred at the common size; this kind may want another.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize screenSize = screen->geometry().size();
        if (rectangle == DefaultWindowRect(screenSize) && DefaultSize() != QSize(680, 505))
            rectangle = DefaultWindowRect(screenSize, DefaultSize());
    }
    if (!ApplyWindowRect(*this, rectangle, zoomed))
        resize(DefaultSize());
    // Each new result window steps away from the last one rather than covering it.
    if (const QWidget* last = m_host->LastResultWindow(this))
        CascadeAfter(*this, *last);
    LimitWidth();
    m_placementSaved = false;
    return true;
}

// Dragging never makes the window wider than its maximum, yet a wider placement that was restored
// and a maximised window keep their width: the limit follows the window down as it is narrowed.
void CResultFrame::LimitWidth() {
    if (KeepsWiderPlacement())
        setMaximumWidth(isMaximized() ? QWIDGETSIZE_MAX : std::max(MaximumWidth(), width()));
}

bool CResultFrame::TakeKey(int key) {
    if (!m_view || (key != Qt::Key_Return && key != Qt::Key_Enter) || !SearchField()->hasFocus())
        return false;
    FindInView();
    return true;
}

void CResultFrame::Register() {
    if (m_role == Role::Comparison)
        m_host->RegisterComparisonFrame(this);
    else
        m_host->RegisterStructureFrame(this);
    m_registered = true;
}

void CResultFrame::Unregister() {
    if (!m_registered)
        return;
    m_registered = false;
    if (m_role == Role::Comparison)
        m_host->UnregisterComparisonFrame(this);
    else
        m_host->UnregisterStructureFrame(this);
}

void CResultFrame::SavePlacement() {
    if (m_placementSaved)
        return;
    m_placementSaved = true;
    m_host->SaveWindowRect(m_placementKind, WindowRectText(*this), isMaximized());
}

// Asked while this window is still shown, so that the window manager never picks another one
// (the main window under it) when this one goes.
void CResultFrame::GiveFocusBack() {
    QWidget* target =
        m_opener && m_opener->window()->isVisible() ? m_opener.data() : parentWidget();
    if (!target || !target->window()->isVisible())
        return;
    QWidget* window = target->window();
    // The control that had the focus in the opener gets it again; a widget that holds none of
    // them takes it itself.
    const QWidget* focus = window->focusWidget();
    if (target != window && focus != target && !(focus && target->isAncestorOf(focus)))
        target->setFocus(Qt::OtherFocusReason);
    window->raise();
    window->activateWindow();
}

void CResultFrame::closeEvent(QCloseEvent* event) {
    SavePlacement();
    Unregister();
    GiveFocusBack();
    QWidget::closeEvent(event);
}

void CResultFrame::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LimitWidth();
}

void CResultFrame::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        LimitWidth();
}
