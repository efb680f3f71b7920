#pragma once

#include <QSize>
#include <QString>

class QWidget;

// Window placements as they are kept in the settings: "left,top,right,bottom" of the normal
// (not maximised) rectangle, beside a maximised flag.

// The window's normal rectangle as that text.
QString WindowRectText(const QWidget& window);
// The 680 by 505 rectangle (or one of the size given) centred on a screen of this size.
QString DefaultWindowRect(const QSize& screen, const QSize& size = {680, 505});
// Sets the window's normal rectangle from the text, fitted onto the screens, and maximises it
// when zoomed; false (the system places it) when the text holds no usable rectangle.
bool ApplyWindowRect(QWidget& window, const QString& rectangle, bool zoomed);

// Places window one step below and to the right of previous, its size kept, on previous's
// screen; back at that screen's top left when the step would take it off the screen.
void CascadeAfter(QWidget& window, const QWidget& previous);
