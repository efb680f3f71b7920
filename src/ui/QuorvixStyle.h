#pragma once

#include <QProxyStyle>

// The program's style: the desktop's own, except that the focus mark shows on every control,
// whether the focus came by the keyboard or by the mouse, in the control's own text colour so
// that it stands out also on the dark background (the desktop's mark is a faint tint of the
// highlight colour there, and only after a key moved the focus).
class CQuorvixStyle : public QProxyStyle {
public:
    CQuorvixStyle() = default;

    // Gives the application this style.
    static void Install();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    // Push buttons get the mark the desktop's style leaves out.
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};
