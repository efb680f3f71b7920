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
