#include "ui/QuorvixStyle.h"

#include "ui/QuorvixLook.h"

#include <QApplication>
#include <QPushButton>
#include <QStyleOption>

void CQuorvixStyle::Install() {
    QApplication::setStyle(new CQuorvixStyle); // the application owns its style
}

void CQuorvixStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                  QPainter* painter, const QWidget* widget) const {
    if (element != PE_FrameFocusRect || !option || !painter) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // A push button's mark lies on its face; any other control's on what is behind its text.
    const QPalette::ColorRole text =
        qobject_cast<const QPushButton*>(widget) ? QPalette::ButtonText : QPalette::WindowText;
    QColor colour = option->palette.color(text);
    if (const auto* focus = qstyleoption_cast<const QStyleOptionFocusRect*>(option);
        focus && focus->backgroundColor.isValid())
        colour = focus->backgroundColor.lightness() < 128 ? Qt::white : Qt::black;
    CQuorvixLook::DrawFocusMark(*painter, option->rect, colour);
}

void CQuorvixStyle::drawControl(ControlElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element != CE_PushButton || !option || !painter || !(option->state & State_HasFocus))
        return;
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(*option);
    focus.rect = subElementRect(SE_PushButtonFocusRect, option, widget);
    drawPrimitive(PE_FrameFocusRect, &focus, painter, widget);
}
