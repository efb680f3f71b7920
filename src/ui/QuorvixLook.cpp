#include "ui/QuorvixLook.h"

#include <QPainter>
#include <QPalette>
#include <QWidget>

namespace {
// Still readable on the dark background, yet plainly not active.
const QColor kDisabledText(150, 170, 180);
} // namespace

void CQuorvixLook::UseDarkBackground(QWidget& widget) {
    QPalette colours = widget.palette();
    colours.setColor(QPalette::Window, Background());
    widget.setPalette(colours);
    widget.setAutoFillBackground(true);
}

void CQuorvixLook::UseWhiteText(QWidget& widget) {
    QPalette colours = widget.palette();
    colours.setColor(QPalette::Active, QPalette::WindowText, Qt::white);
    colours.setColor(QPalette::Inactive, QPalette::WindowText, Qt::white);
    colours.setColor(QPalette::Disabled, QPalette::WindowText, kDisabledText);
    widget.setPalette(colours);
}

void CQuorvixLook::DrawSeparator(QPainter& painter, int width, int y) {
    painter.save();
    painter.setPen(QPen(Accent(), 1));
    painter.drawLine(kSeparatorInset, y, width - kSeparatorInset, y);
    painter.restore();
}

void CQuorvixLook::DrawFocusMark(QPainter& painter, const QRect& rect, const QColor& colour) {
    if (rect.width() < 2 || rect.height() < 2)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(colour, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}

void CQuorvixLook::DrawRoundFocusMark(QPainter& painter, const QRect& rect, const QColor& colour) {
    constexpr int kInset = 3;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(colour, 2, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(rect).adjusted(kInset, kInset, -kInset, -kInset));
    painter.restore();
}
