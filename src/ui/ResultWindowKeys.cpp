#include "ui/ResultWindowKeys.h"

#include <QKeySequence>
#include <QLineEdit>
#include <QShortcut>

void AddResultWindowKeys(QWidget& window, std::function<QLineEdit*()> searchField) {
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        auto* close = new QShortcut(keys, &window);
        QObject::connect(close, &QShortcut::activated, &window, [&window] { window.close(); });
    }
    auto* find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), &window);
    QObject::connect(find, &QShortcut::activated, &window, [searchField = std::move(searchField)] {
        if (QLineEdit* field = searchField()) {
            field->setFocus(Qt::ShortcutFocusReason);
            field->selectAll();
        }
    });
}
