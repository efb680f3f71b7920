#pragma once

#include <QString>

// The desktop's clipboard: the one place the program puts text on it or reads it back.
class CClipboard {
public:
    static void SetText(const QString& text);
    static QString Text();
};
