#pragma once

#include <QColor>

class QPainter;
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
};
