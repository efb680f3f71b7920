#pragma once

#include "ui/QuorvixListCtrl.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>

#include <memory>

// What a context menu offered: each entry's text (a separator's is empty) and whether it was
// enabled.
struct MenuEntries {
    QStringList texts;
    QList<bool> enabled;
};

// Chooses the entry with this text in the next menu that pops up, from inside its loop, after
// noting every entry in seen; an empty text chooses nothing. Gives up after two seconds.
inline void ChooseInNextMenu(const QString& text, MenuEntries* seen = nullptr) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, text, seen, ticks] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu && ++*ticks < 200)
            return;
        timer->stop();
        timer->deleteLater();
        if (!menu)
            return;
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            if (seen) {
                seen->texts.append(action->text());
                seen->enabled.append(action->isEnabled());
            }
            if (!text.isEmpty() && action->text() == text)
                chosen = action;
        }
        menu->close();
        if (chosen && chosen->isEnabled())
            chosen->trigger();
    });
    timer->start();
}

// A right click on the list at this point of its rows' area, as the desktop reports it.
inline void RightClick(CQuorvixListCtrl& list, const QPoint& point) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, point, list.viewport()->mapToGlobal(point));
    QApplication::sendEvent(list.viewport(), &event);
}
