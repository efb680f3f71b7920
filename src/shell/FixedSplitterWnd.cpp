#include "shell/FixedSplitterWnd.h"

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
        painter.fillRect(rect(), QColor::fromRgb(CFixedSplitterWnd::kBarColor));
    }
};

} // namespace

CFixedSplitterWnd::CFixedSplitterWnd(Qt::Orientation orientation, QWidget* parent)
    : QSplitter(orientation, parent) {
    setChildrenCollapsible(false);
    setHandleWidth(kBarWidth);
    setOpaqueResize(true);
}

QSplitterHandle* CFixedSplitterWnd::createHandle() {
    return new CFixedSplitterHandle(orientation(), this);
}
