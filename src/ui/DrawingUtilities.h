#pragma once

#include <QFontMetrics>
#include <QList>
#include <QRect>
#include <QString>

class QPainter;
class QWidget;

// The text as it fits availableWidth pixels with reservedWidth kept free: unchanged when it fits,
// else cut at the end and followed by "...", or empty when not even "..." fits.
QString FitTextToWidth(const QFontMetrics& metrics, const QString& text, int availableWidth,
                       int reservedWidth);

// Enables or disables a control; a control that holds the keyboard focus first passes it on to
// the next enabled control of its window, so that the focus is never stranded.
void EnableControl(QWidget* control, bool enable);

// Covers a rectangle with the highlight colour every other pixel, so that the content stays half
// visible. False when nothing could be drawn.
bool DrawDitheredHighlight(QPainter& painter, const QRect& rectangle);

// Makes the core's wait cursor requests show the wait cursor, from any thread.
void InstallWaitCursor();

// The areas of the screens that windows may use (without panels and docks), the primary
// screen's first: where kept placements and sizes are fitted before they are applied.
QList<QRect> GetAvailableScreenAreas();
