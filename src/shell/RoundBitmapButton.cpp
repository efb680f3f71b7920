#include "shell/RoundBitmapButton.h"

#include "ui/QuorvixLook.h"

#include <QPainter>
#include <QRegion>

CRoundBitmapButton::CRoundBitmapButton(QWidget* parent)
    : QAbstractButton(parent), m_picture(QStringLiteral(":/quorvix/images/bitmap136.png")) {
    setCursor(Qt::PointingHandCursor);
}

void CRoundBitmapButton::SetPicture(const QPixmap& picture) {
    m_picture = picture;
    update();
}

void CRoundBitmapButton::PreSubclassWindow() {
    const int side = std::min(width(), height());
    resize(side, side);
    setMask(QRegion(0, 0, side, side, QRegion::Ellipse));
}

bool CRoundBitmapButton::hitButton(const QPoint& position) const {
    const int side = std::min(width(), height());
    return QRegion(0, 0, side, side, QRegion::Ellipse).contains(position);
}

void CRoundBitmapButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), CQuorvixLook::Background());
    const int shift = isDown() ? 1 : 0;
    if (!isEnabled())
        painter.setOpacity(0.4);
    painter.drawPixmap(shift, shift, m_picture);
    painter.setOpacity(1.0);
    if (hasFocus()) {
        const int side = std::min(width(), height());
        CQuorvixLook::DrawRoundFocusMark(painter, QRect(0, 0, side, side), Qt::white);
    }
}
