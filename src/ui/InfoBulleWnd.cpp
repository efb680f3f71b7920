#include "ui/InfoBulleWnd.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

CInfoBulleWnd::CInfoBulleWnd()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint), m_font(QToolTip::font()) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    m_timer.setSingleShot(true);
    m_timer.setInterval(kShowDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &CInfoBulleWnd::OnShowDelay);
}

void CInfoBulleWnd::Create(int x, int y, const QWidget* owner, int id, TooltipMode mode) {
    m_owner = owner;
    m_ownerMode = mode;
    setProperty("controlId", id);
    setGeometry(x, y, 0, 0);
    hide();
}

TooltipMode CInfoBulleWnd::Mode() const {
    return m_owner ? m_ownerMode : TooltipMode::None;
}

void CInfoBulleWnd::StartShowDelay() {
    m_timer.start();
}

void CInfoBulleWnd::Hide() {
    m_timer.stop();
    hide();
}

void CInfoBulleWnd::SetText(const QString& text) {
    const QFontMetrics metrics(m_font);
    QRect rectangle = geometry();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const TooltipMode mode = Mode();
    if (mode == TooltipMode::WrappedLines) {
        const QRect textRect = metrics.boundingRect(QRect(0, 0, std::max(rectangle.width(), 1), 0),
                                                    Qt::TextWordWrap, text);
        rectangle.setHeight(textRect.height());
        rectangle.adjust(0, -m_verticalMargin, 2 * m_horizontalMargin, 2 * m_verticalMargin);
        rectangle.translate(-std::max(0, rectangle.right() + 1 - screen.width()),
                            -std::max(0, rectangle.bottom() + 1 - screen.height()));
    } else if (mode == TooltipMode::CellTips || mode == TooltipMode::OneLine) {
        rectangle.setSize(QSize(metrics.horizontalAdvance(text), metrics.height()));
        rectangle.adjust(0, -2, 4, 4);
        rectangle.translate(-std::max(0, rectangle.right() + 1 - screen.width()), 0);
    }
    m_text = text;
    setGeometry(rectangle);
    update();
}

void CInfoBulleWnd::OnShowDelay() {
    if (Mode() != TooltipMode::None && !m_text.isEmpty()) {
        show();
        repaint();
    }
}

void CInfoBulleWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::ToolTipBase));
    painter.setPen(palette().color(QPalette::ToolTipText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setFont(m_font);
    const TooltipMode mode = Mode();
    if (mode == TooltipMode::WrappedLines)
        painter.drawText(rect().adjusted(m_horizontalMargin, m_verticalMargin, 0, 0),
                         Qt::TextWordWrap, m_text);
    else if (mode == TooltipMode::CellTips || mode == TooltipMode::OneLine)
        painter.drawText(rect().adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, m_text);
}
