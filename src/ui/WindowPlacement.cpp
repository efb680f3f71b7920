#include "ui/WindowPlacement.h"

#include "services/Utilities.h"
#include "ui/DrawingUtilities.h"

#include <QScreen>
#include <QWidget>

QString WindowRectText(const QWidget& window) {
    const QRect normal = window.isMaximized() ? window.normalGeometry() : window.geometry();
    return QStringLiteral("%1,%2,%3,%4")
        .arg(normal.left())
        .arg(normal.top())
        .arg(normal.left() + normal.width())
        .arg(normal.top() + normal.height());
}

QString DefaultWindowRect(const QSize& screen, const QSize& size) {
    const int left = (screen.width() - size.width()) / 2;
    const int top = (screen.height() - size.height()) / 2;
    return QStringLiteral("%1,%2,%3,%4")
        .arg(left)
        .arg(top)
        .arg(left + size.width())
        .arg(top + size.height());
}

bool ApplyWindowRect(QWidget& window, const QString& rectangle, bool zoomed) {
    const std::optional<QRect> normal = ParseWindowRect(rectangle);
    if (!normal)
        return false;
    // A placement from another set of screens (or a hand-edited one) must not put the window
    // where nobody can reach it, nor be saved back as it was.
    window.setGeometry(FitRectToAreas(*normal, GetAvailableScreenAreas()));
    window.setWindowState(zoomed ? (window.windowState() | Qt::WindowMaximized)
                                 : (window.windowState() & ~Qt::WindowMaximized));
    return true;
}

void CascadeAfter(QWidget& window, const QWidget& previous) {
    constexpr int kStep = 28;
    const QScreen* screen = previous.screen();
    if (!screen || window.isMaximized())
        return;
    const QRect area = screen->availableGeometry();
    QRect placed = window.frameGeometry();
    placed.moveTopLeft(previous.frameGeometry().topLeft() + QPoint(kStep, kStep));
    if (!area.contains(placed))
        placed.moveTopLeft(area.topLeft());
    window.move(placed.topLeft());
}
