#include "compare/CompareFrm.h"

#include "compare/FormCompare.h"
#include "shell/QuorvixApp.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>

CCompareFrm::CCompareFrm(const QIcon& icon, QWidget* owner)
    : QWidget(owner, Qt::Window), m_icon(icon) {
    setAttribute(Qt::WA_DeleteOnClose);
}

CCompareFrm::~CCompareFrm() {
    // A window still open when the program ends keeps its placement too.
    SavePlacement();
    if (m_registered)
        if (CQuorvixApp* app = CQuorvixApp::Instance())
            app->UnregisterComparisonFrame(this);
}

bool CCompareFrm::OpenWindow(const QString& title, const std::function<bool()>& ensureResult) {
    CQuorvixApp* app = CQuorvixApp::Instance();
    if (!app)
        return false;
    app->RegisterComparisonFrame(this);
    m_registered = true;
    if (!ensureResult() || !CreateComparisonWindow(title)) {
        app->UnregisterComparisonFrame(this);
        m_registered = false;
        return false;
    }
    setWindowIcon(m_icon);
    m_view->OnInitialUpdate();
    return true;
}

bool CCompareFrm::CreateComparisonWindow(const QString& title) {
    CQuorvixApp* app = CQuorvixApp::Instance();
    m_view = GetViewClass();
    if (!m_view)
        return false;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    setWindowTitle(title);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    if (HasMaxWidth())
        setMaximumWidth(kMaximumWidth);
    QString rectangle;
    bool zoomed = false;
    app->LoadWindowRect(GetPlacementKind(), rectangle, zoomed);
    if (!CQuorvixApp::ApplyWindowRect(*this, rectangle, zoomed))
        resize(680, 505);
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
    if (CQuorvixApp* app = CQuorvixApp::Instance())
        app->SaveWindowRect(m_placementKind, CQuorvixApp::WindowRectText(*this), isMaximized());
}

void CCompareFrm::closeEvent(QCloseEvent* event) {
    SavePlacement();
    if (m_registered) {
        m_registered = false;
        if (CQuorvixApp* app = CQuorvixApp::Instance())
            app->UnregisterComparisonFrame(this);
    }
    QWidget::closeEvent(event);
}
