#include "ui/StaticLink.h"

#include "services/Utilities.h"
#include "ui/WarningBeep.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

namespace {

QCursor HandCursor() {
    // Cursor 200: the hand, with its hot spot at the tip of the finger.
    const QPixmap hand(QStringLiteral(":/quorvix/images/cursor200.png"));
    return hand.isNull() ? QCursor(Qt::PointingHandCursor) : QCursor(hand, 10, 1);
}

} // namespace

CStaticLink::CStaticLink(QWidget* parent) : QLabel(parent) {
    setCursor(HandCursor());
}

QColor CStaticLink::CurrentColor() const {
    return QColor::fromRgb(m_visited ? kVisitedColor : kLinkColor);
}

void CStaticLink::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Open();
    QLabel::mouseReleaseEvent(event);
}

void CStaticLink::Open() {
    if (m_address.isEmpty())
        m_address = text();
    if (!OpenAddress(m_address)) {
        CWarningBeep::Sound();
        return;
    }
    m_visited = true;
    update();
    emit Opened();
}

void CStaticLink::paintEvent(QPaintEvent* event) {
    if (!pixmap().isNull() || text().isEmpty()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QFont underlined = font();
    underlined.setUnderline(true);
    painter.setFont(underlined);
    painter.setPen(CurrentColor());
    painter.drawText(contentsRect(), int(alignment()), text());
}
