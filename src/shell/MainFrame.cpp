#include "shell/MainFrame.h"

#include "services/Language.h"
#include "shell/FixedSplitterWnd.h"
#include "shell/FormDBSelect.h"
#include "shell/FormGen.h"
#include "shell/RoundBitmapButton.h"
#include "ui/QuorvixLook.h"
#include "ui/WindowHost.h"
#include "ui/WindowPlacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <QShortcut>

namespace {

constexpr int kMainFrameIndex = -1;
constexpr int kSwapToolTip = 1963;
constexpr int kSwapName = 1964;
constexpr int kSwapSize = 18;

// Two white arrows on the accent's circle, one to each side.
QPixmap SwapPicture(int size, qreal ratio) {
    QPixmap picture(QSize(size, size) * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(CQuorvixLook::Accent());
    painter.drawEllipse(QRectF(0.5, 0.5, size - 1.0, size - 1.0));
    painter.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const qreal left = size * 0.27;
    const qreal right = size * 0.73;
    const qreal head = size * 0.14;
    for (const auto& [y, towardsRight] : {std::pair{size * 0.38, true}, {size * 0.62, false}}) {
        const qreal tip = towardsRight ? right : left;
        const qreal back = towardsRight ? -head : head;
        painter.drawLine(QPointF(left, y), QPointF(right, y));
        painter.drawLine(QPointF(tip, y), QPointF(tip + back, y - head));
        painter.drawLine(QPointF(tip, y), QPointF(tip + back, y + head));
    }
    return picture;
}

} // namespace

CMainFrame::CMainFrame(IWindowHost& host, const std::array<CSelectionContext, 2>& selections,
                       QWidget* parent)
    : QWidget(parent), m_host(host) {
    m_outer = new CFixedSplitterWnd(Qt::Vertical, this);
    m_inner = new CFixedSplitterWnd(Qt::Horizontal, m_outer);
    m_outer->addWidget(m_inner);
    m_commandView = new CFormGen(m_outer);
    m_outer->addWidget(m_commandView);
    // Known from the start, so that the first layout already gives the strip its height.
    m_commandRowHeight = m_commandView->RowHeight();
    for (int side = 0; side < 2; ++side) {
        m_selectionViews[side] = new CFormDBSelect(selections[size_t(side)], m_inner);
        m_inner->addWidget(m_selectionViews[side]);
    }
    // Over the splitter, on the line between the two sides, where neither has a control.
    m_swapButton = new CRoundBitmapButton(this);
    m_swapButton->resize(kSwapSize, kSwapSize);
    m_swapButton->PreSubclassWindow();
    m_swapButton->SetPicture(SwapPicture(kSwapSize, devicePixelRatio()));
    m_swapButton->setToolTip(LoadLocalizedString(kSwapToolTip));
    m_swapButton->setAccessibleName(LoadLocalizedString(kSwapName));
    m_swapButton->setFocusPolicy(Qt::StrongFocus);
    // The panes settle after the frame's own resize: the button follows the right one.
    m_selectionViews[1]->installEventFilter(this);
    auto* swap = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E), this);
    connect(swap, &QShortcut::activated, this, [this] {
        if (m_swapButton->isEnabled())
            m_swapButton->click();
    });
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
    m_swapButton->setEnabled(enable);
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
    m_host.LoadWindowRect(kMainFrameIndex, rectangle, zoomed);
    ApplyWindowRect(*this, rectangle, zoomed);
}

void CMainFrame::SavePlacement() {
    if (m_placementSaved)
        return;
    m_placementSaved = true;
    m_host.SaveWindowRect(kMainFrameIndex, WindowRectText(*this), isMaximized());
}

void CMainFrame::OnSize(int cx, int cy) {
    m_outer->setGeometry(0, 0, cx, cy);
    const int top = std::max(cy - m_commandRowHeight - m_verticalOverhead, 0);
    m_outer->setSizes({std::max(top, 1), std::max(cy - m_verticalOverhead - top, 0)});
    const int left = std::max((cx - m_horizontalOverhead) / 2, 0);
    m_inner->setSizes({std::max(left, 1), std::max(cx - m_horizontalOverhead - left, 0)});
    m_outer->update();
    PlaceSwapButton();
}

void CMainFrame::PlaceSwapButton() {
    const CFormDBSelect* right = m_selectionViews[1];
    if (right->SeparatorY() < 0)
        return;
    // Centred on the gap between the two panes, on the sides' separator lines: between the data
    // source buttons above and the search fields below, and between the two sides' margins.
    const QPoint rightTop = right->mapTo(this, QPoint(0, 0));
    const int leftEdge =
        m_selectionViews[0]->mapTo(this, QPoint(m_selectionViews[0]->width(), 0)).x();
    const int centreX = (leftEdge + rightTop.x()) / 2;
    const int bandTop = right->SeparatorY() - CQuorvixLook::kMargin + 1;
    const int bandBottom = right->SeparatorY() + CFormDBSelect::kSeparatorToSearch;
    const int centreY = rightTop.y() + (bandTop + bandBottom) / 2;
    m_swapButton->move(centreX - kSwapSize / 2, centreY - kSwapSize / 2);
    m_swapButton->raise();
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    OnSize(event->size().width(), event->size().height());
}

void CMainFrame::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // At the first show the frame and the filter see the views' first size before the views
    // lay out their separator line: the button is placed again now that they are shown, before
    // the first paint.
    PlaceSwapButton();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    SavePlacement();
    QWidget::closeEvent(event);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_selectionViews[1] &&
        (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        PlaceSwapButton();
    return QWidget::eventFilter(watched, event);
}
