#include "shell/MainFrame.h"

#include "shell/FixedSplitterWnd.h"
#include "shell/FormDBSelect.h"
#include "shell/FormGen.h"
#include "shell/QuorvixApp.h"
#include "ui/WindowPlacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QResizeEvent>
#include <QShortcut>

namespace {
constexpr int kMainFrameIndex = -1;
}

CMainFrame::CMainFrame(QWidget* parent) : QWidget(parent) {
    m_outer = new CFixedSplitterWnd(Qt::Vertical, this);
    m_inner = new CFixedSplitterWnd(Qt::Horizontal, m_outer);
    m_outer->addWidget(m_inner);
    m_commandView = new CFormGen(m_outer);
    m_outer->addWidget(m_commandView);
    // Known from the start, so that the first layout already gives the strip its height.
    m_commandRowHeight = m_commandView->RowHeight();
    for (int side = 0; side < 2; ++side) {
        m_selectionViews[side] = new CFormDBSelect(m_inner);
        m_inner->addWidget(m_selectionViews[side]);
        m_selectionViews[side]->AttachSide(side);
    }
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    setMaximumWidth(kMaximumWidth);
    auto* find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    connect(find, &QShortcut::activated, this, [this] { FocusSearchField(); });
}

CMainFrame::~CMainFrame() = default;

CFormDBSelect* CMainFrame::GetSelectionView(int side) const {
    return side == 0 || side == 1 ? m_selectionViews[side] : nullptr;
}

void CMainFrame::LockSelectionViews(bool enable) {
    for (CFormDBSelect* view : m_selectionViews)
        view->LockDataSourceControls(enable);
}

bool CMainFrame::OfferKeyToSelectionViews(int key) {
    for (CFormDBSelect* view : m_selectionViews) {
        if (view->TakeKey(key))
            return true;
    }
    return false;
}

void CMainFrame::FocusSearchField() {
    const QWidget* focus = QApplication::focusWidget();
    QLineEdit* chosen = nullptr;
    for (CFormDBSelect* view : m_selectionViews) {
        QLineEdit* field = view->FilterEdit();
        if (!field->isVisible())
            continue;
        if (!chosen || (focus && view->isAncestorOf(focus)))
            chosen = field;
    }
    if (!chosen)
        return;
    chosen->setFocus(Qt::ShortcutFocusReason);
    chosen->selectAll();
}

void CMainFrame::MeasureSplitterOverhead() {
    // The splitters fill the client area; what the panes do not get is taken by the pane
    // borders and the bars. The inner splitter is itself a pane of the outer one.
    m_horizontalOverhead = m_outer->Overhead(Qt::Horizontal) + m_inner->Overhead(Qt::Horizontal);
    m_verticalOverhead = m_outer->Overhead(Qt::Vertical);
}

void CMainFrame::RestorePlacement() {
    QString rectangle;
    bool zoomed = false;
    CQuorvixApp::Instance()->LoadWindowRect(kMainFrameIndex, rectangle, zoomed);
    ApplyWindowRect(*this, rectangle, zoomed);
}

void CMainFrame::SavePlacement() {
    if (m_placementSaved)
        return;
    m_placementSaved = true;
    CQuorvixApp::Instance()->SaveWindowRect(kMainFrameIndex, WindowRectText(*this), isMaximized());
}

void CMainFrame::OnSize(int cx, int cy) {
    m_outer->setGeometry(0, 0, cx, cy);
    const int top = std::max(cy - m_commandRowHeight - m_verticalOverhead, 0);
    m_outer->setSizes({std::max(top, 1), std::max(cy - m_verticalOverhead - top, 0)});
    const int left = std::max((cx - m_horizontalOverhead) / 2, 0);
    m_inner->setSizes({std::max(left, 1), std::max(cx - m_horizontalOverhead - left, 0)});
    m_outer->update();
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    OnSize(event->size().width(), event->size().height());
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    SavePlacement();
    QWidget::closeEvent(event);
}
