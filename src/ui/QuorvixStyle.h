#pragma once

#include <QByteArray>
#include <QHash>
#include <QPalette>
#include <QProxyStyle>

// The program's style: the desktop's own, except that the focus mark shows on every control,
// whether the focus came by the keyboard or by the mouse, in the control's own text colour so
// that it stands out also on the dark background (the desktop's mark is a faint tint of the
// highlight colour there, and only after a key moved the focus). It draws every control with one
// palette per set of colours: the desktop's style names the pictures it keeps for later after the
// palette's identity, and each widget has a palette of its own, so that every window opened would
// add pictures of its buttons, frames and scroll bars to that store, never to be found again.
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
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;

    // The palette of these colours that every drawing shares, in the palette's current group;
    // the palette itself when it holds a brush other than a plain colour.
    QPalette SharedPalette(const QPalette& palette) const;

private:
    // Few: the windows' colours and those of their lists' backgrounds. Emptied if it ever holds
    // more than kMaxSharedPalettes, so that it never grows without end either.
    static constexpr int kMaxSharedPalettes = 64;
    mutable QHash<QByteArray, QPalette> m_sharedPalettes;
    // The palette drawn last and its shared one: controls come one widget at a time.
    mutable qint64 m_lastKey = -1;
    mutable QPalette m_lastShared;
};
