#pragma once

// Lets GoogleTest print Qt values readably in failure messages.
#include <QRect>
#include <QSize>
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

// Corners rather than a size: a rectangle under test may be too wide for an int.
inline void PrintTo(const QRect& rectangle, std::ostream* stream) {
    *stream << "QRect(" << rectangle.left() << ',' << rectangle.top() << " to " << rectangle.right()
            << ',' << rectangle.bottom() << ')';
}

inline void PrintTo(const QSize& size, std::ostream* stream) {
    *stream << size.width() << 'x' << size.height();
}
