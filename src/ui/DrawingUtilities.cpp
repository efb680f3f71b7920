#include "ui/DrawingUtilities.h"

#include "services/WaitCursor.h"

#include <QApplication>
#include <QBitmap>
#include <QBrush>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QWidget>

#include <algorithm>

namespace {

const QString kEllipsis = QStringLiteral("...");

void OnUserInterfaceThread(void (*action)()) {
    if (QThread::currentThread() == qApp->thread())
        action();
    else
        QMetaObject::invokeMethod(qApp, action, Qt::QueuedConnection);
}

} // namespace

QString FitTextToWidth(const QFontMetrics& metrics, const QString& text, int availableWidth,
                       int reservedWidth) {
    if (text.isEmpty())
        return text;
    // A name may be a million characters long; no more of it is measured than a row of this
    // width could ever show, two characters to a pixel leaving room for the narrowest marks.
    const qsizetype limit = qsizetype(std::max(availableWidth, 0)) * 2 + 2;
    if (text.size() <= limit && metrics.horizontalAdvance(text) + reservedWidth <= availableWidth)
        return text;
    const int reserved = reservedWidth + metrics.horizontalAdvance(kEllipsis);
    if (reserved >= availableWidth)
        return {};
    // The longest head that fits with its ellipsis, by halving: widths grow with the length.
    qsizetype fits = 0;
    qsizetype tooLong = std::min(text.size(), limit) + 1;
    while (tooLong - fits > 1) {
        const qsizetype middle = fits + (tooLong - fits) / 2;
        if (metrics.horizontalAdvance(text.left(middle)) + reserved <= availableWidth)
            fits = middle;
        else
            tooLong = middle;
    }
    // Never half of a character outside the basic plane.
    if (fits > 0 && text.at(fits - 1).isHighSurrogate())
        --fits;
    return text.left(fits) + kEllipsis;
}

void EnableControl(QWidget* control, bool enable) {
    if (!control)
        return;
    if (!enable && control->hasFocus()) {
        QWidget* window = control->window();
        QWidget* next = control->nextInFocusChain();
        while (next && next != control &&
               (!next->isEnabled() || !next->isVisible() || next->window() != window ||
                !(next->focusPolicy() & Qt::TabFocus)))
            next = next->nextInFocusChain();
        if (next && next != control) {
            next->setFocus(Qt::TabFocusReason);
            next->update();
        }
    }
    control->setEnabled(enable);
}

bool DrawDitheredHighlight(QPainter& painter, const QRect& rectangle) {
    if (!painter.isActive() || rectangle.isEmpty())
        return false;
    // Rows alternate 0x55 and 0xAA: a one-pixel checkerboard.
    static const uchar kPattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    const QBitmap pattern = QBitmap::fromData(QSize(8, 8), kPattern, QImage::Format_MonoLSB);
    if (pattern.isNull())
        return false;
    QBrush brush(QApplication::palette().color(QPalette::Highlight));
    brush.setTexture(pattern);
    painter.save();
    painter.setBrushOrigin(rectangle.topLeft());
    painter.fillRect(rectangle, brush);
    painter.restore();
    return true;
}

void InstallWaitCursor() {
    CWaitCursor::InstallHooks(
        [] { OnUserInterfaceThread([] { QApplication::setOverrideCursor(Qt::WaitCursor); }); },
        [] { OnUserInterfaceThread([] { QApplication::restoreOverrideCursor(); }); });
}

QList<QRect> GetAvailableScreenAreas() {
    QList<QRect> areas;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary)
        areas.append(primary->availableGeometry());
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary)
            areas.append(screen->availableGeometry());
    }
    return areas;
}
