#include "shell/FixedSplitterWnd.h"

#include "ui/QuorvixLook.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSplitterHandle>

namespace {

class CFixedSplitterHandle : public QSplitterHandle {
public:
    CFixedSplitterHandle(Qt::Orientation orientation, QSplitter* parent)
        : QSplitterHandle(orientation, parent) {
        setCursor(Qt::ArrowCursor);
    }

protected:
    // A bar never hits: pressing or dragging it does nothing.
    void mousePressEvent(QMouseEvent* event) override { event->ignore(); }
    void mouseMoveEvent(QMouseEvent* event) override { event->ignore(); }
    void mouseReleaseEvent(QMouseEvent* event) override { event->ignore(); }
    void mouseDoubleClickEvent(QMouseEvent* event) override { event->ignore(); }
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        CFixedSplitterWnd::DrawSplitter(painter, CFixedSplitterWnd::SplitBar, rect());
        // The handle spans the gap between two panes, so the borders of both reach into it.
        for (int index = 0; index < splitter()->count(); ++index) {
            const QWidget* pane = splitter()->widget(index);
            if (pane->isHidden())
                continue;
            const QRect border = CFixedSplitterWnd::BorderRect(pane->geometry());
            CFixedSplitterWnd::DrawSplitter(painter, CFixedSplitterWnd::SplitBorder,
                                            border.translated(-pos()));
        }
    }
};

} // namespace

CFixedSplitterWnd::CFixedSplitterWnd(Qt::Orientation orientation, QWidget* parent)
    : QSplitter(orientation, parent) {
    setChildrenCollapsible(false);
    // The gap between two panes holds the bar and the border of each pane.
    setHandleWidth(kBarWidth + 2 * kBorderWidth);
    setContentsMargins(kBorderWidth, kBorderWidth, kBorderWidth, kBorderWidth);
    setOpaqueResize(true);
}

int CFixedSplitterWnd::Overhead(Qt::Orientation direction) const {
    const QMargins margins = contentsMargins();
    const int borders = direction == Qt::Horizontal ? margins.left() + margins.right()
                                                    : margins.top() + margins.bottom();
    if (direction != orientation())
        return borders;
    return borders + std::max(count() - 1, 0) * handleWidth();
}

QRect CFixedSplitterWnd::BorderRect(const QRect& pane) {
    return pane.adjusted(-kBorderWidth, -kBorderWidth, kBorderWidth, kBorderWidth);
}

void CFixedSplitterWnd::DrawSplitter(QPainter& painter, DrawKind kind, const QRect& rectangle) {
    if (kind == SplitBar) {
        painter.fillRect(rectangle, CQuorvixLook::Accent());
        return;
    }
    painter.save();
    painter.setPen(QPen(CQuorvixLook::Background(), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rectangle.adjusted(0, 0, -1, -1));
    painter.drawRect(rectangle.adjusted(1, 1, -2, -2));
    painter.restore();
}

QSplitterHandle* CFixedSplitterWnd::createHandle() {
    return new CFixedSplitterHandle(orientation(), this);
}

void CFixedSplitterWnd::paintEvent(QPaintEvent* event) {
    QSplitter::paintEvent(event);
    QPainter painter(this);
    for (int index = 0; index < count(); ++index) {
        if (!widget(index)->isHidden())
            DrawSplitter(painter, SplitBorder, BorderRect(widget(index)->geometry()));
    }
}
