#pragma once

#include <QColor>

class QPainter;
class QRect;
class QWidget;

// The program's look in one place: the dark background, the accent of lines and bars, white
// texts on the dark background, and the distances every window is laid out with.
class CQuorvixLook {
public:
    static constexpr QRgb kBackgroundColor = 0xFF004060; // RGB(0, 64, 96)
    static constexpr QRgb kAccentColor = 0xFF19C4DC;     // RGB(25, 196, 220)
    static constexpr int kMargin = 7;
    // How far a separator line stays from each side of its window.
    static constexpr int kSeparatorInset = 30;

    static QColor Background() { return QColor::fromRgb(kBackgroundColor); }
    static QColor Accent() { return QColor::fromRgb(kAccentColor); }

    // The widget fills its background with the dark colour.
    static void UseDarkBackground(QWidget& widget);
    // A static text or check box label on the dark background: white, dimmed when disabled.
    static void UseWhiteText(QWidget& widget);
    // The one-pixel accent line across a window of this width at height y.
    static void DrawSeparator(QPainter& painter, int width, int y);
    // The mark of the control that has the focus: a dotted line just inside rect, in a colour
    // that stands out from what is behind it (the control's text colour).
    static void DrawFocusMark(QPainter& painter, const QRect& rect, const QColor& colour);
    // The same mark around a round control, just inside the circle of rect.
    static void DrawRoundFocusMark(QPainter& painter, const QRect& rect, const QColor& colour);
};
