#include "ui/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

void CClipboard::SetText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

QString CClipboard::Text() {
    return QGuiApplication::clipboard()->text();
}
