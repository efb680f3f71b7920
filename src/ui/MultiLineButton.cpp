#include "ui/MultiLineButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

CMultiLineButton::CMultiLineButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent) {}

QRect CMultiLineButton::TextRect() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
}

void CMultiLineButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    // The style draws the button without its text, which it would keep on one line.
    const QString label = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    QRect area = TextRect();
    if (option.state & (QStyle::State_Sunken | QStyle::State_On))
        area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                       style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    style()->drawItemText(&painter, area, kTextFlags, option.palette, isEnabled(), label,
                          QPalette::ButtonText);
}
