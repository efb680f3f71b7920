#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The bytes of a file, or none when it cannot be read.
inline QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The expected bytes of an export layout, kept under tests/export/expected.
inline QByteArray Expected(const char* name) {
    return Contents(QStringLiteral(QUORVIX_SOURCE_DIR "/tests/export/expected/") +
                    QLatin1String(name));
}
