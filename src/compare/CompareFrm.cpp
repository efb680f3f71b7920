#include "compare/CompareFrm.h"

#include "compare/FormCompare.h"
#include "ui/ResultWindowKeys.h"
#include "ui/WindowHost.h"
#include "ui/WindowPlacement.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>

CCompareFrm::CCompareFrm(const QIcon& icon, CComparisonContext context, QWidget* owner)
    : QWidget(owner, Qt::Window), m_icon(icon), m_context(std::move(context)) {
    setAttribute(Qt::WA_DeleteOnClose);
}

CCompareFrm::~CCompareFrm() {
    // A window still open when the program ends keeps its placement too.
    SavePlacement();
    if (m_registered && m_context.host)
        m_context.host->UnregisterComparisonFrame(this);
}

bool CCompareFrm::OpenWindow(const QString& title) {
    IWindowHost* host = m_context.host;
    if (!host || !m_context.results || !m_context.ensureResult)
        return false;
    host->RegisterComparisonFrame(this);
    m_registered = true;
    if (!m_context.ensureResult() || !CreateComparisonWindow(title)) {
        host->UnregisterComparisonFrame(this);
        m_registered = false;
        return false;
    }
    setWindowIcon(m_icon);
    m_view->OnInitialUpdate();
    return true;
}

bool CCompareFrm::CreateComparisonWindow(const QString& title) {
    m_view = GetViewClass();
    if (!m_view)
        return false;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    setWindowTitle(title);
    AddResultWindowKeys(*this, *m_view->SearchEdit());
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    if (HasMaxWidth())
        setMaximumWidth(kMaximumWidth);
    QString rectangle;
    bool zoomed = false;
    m_context.host->LoadWindowRect(GetPlacementKind(), rectangle, zoomed);
    if (!ApplyWindowRect(*this, rectangle, zoomed))
        resize(680, 505);
    // Each new result window steps away from the last one rather than covering it.
    if (const QWidget* last = m_context.host->LastResultWindow(this))
        CascadeAfter(*this, *last);
    m_placementKind = GetPlacementKind();
    m_placementSaved = false;
    show();
    return true;
}

bool CCompareFrm::TakeKey(int key) {
    if (!m_view || (key != Qt::Key_Return && key != Qt::Key_Enter) ||
        !m_view->SearchEdit()->hasFocus())
        return false;
    m_view->Find();
    return true;
}

void CCompareFrm::SavePlacement() {
    if (m_placementSaved)
        return;
    m_placementSaved = true;
    if (m_context.host)
        m_context.host->SaveWindowRect(m_placementKind, WindowRectText(*this), isMaximized());
}

void CCompareFrm::closeEvent(QCloseEvent* event) {
    SavePlacement();
    if (m_registered) {
        m_registered = false;
        if (m_context.host)
            m_context.host->UnregisterComparisonFrame(this);
    }
    QWidget::closeEvent(event);
}
