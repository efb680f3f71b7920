#pragma once

// Lets GoogleTest print Qt values readably in failure messages.
#include <QString>
#include <QStringList>

#include <ostream>

inline std::ostream& operator<<(std::ostream& stream, const QString& text) {
    return stream << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QString& text, std::ostream* stream) {
    *stream << text;
}

inline void PrintTo(const QStringList& list, std::ostream* stream) {
    *stream << '{';
    for (qsizetype i = 0; i < list.size(); ++i)
        *stream << (i ? ", " : "") << list[i];
    *stream << '}';
}
