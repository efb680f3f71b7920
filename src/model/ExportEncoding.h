#pragma once

#include <QString>

#include <optional>

// How an export file writes characters: one byte each (ISO 8859-1, the layouts' own encoding),
// or UTF-8 after a byte order mark, for names and values beyond Latin-1.
enum class ExportEncoding { Latin1, Utf8 };

// The word that names an encoding in the settings and on the command line, and back.
inline QString ExportEncodingWord(ExportEncoding encoding) {
    return encoding == ExportEncoding::Utf8 ? QStringLiteral("utf-8") : QStringLiteral("latin1");
}

inline std::optional<ExportEncoding> ExportEncodingFromWord(const QString& word) {
    const QString lower = word.trimmed().toLower();
    if (lower == QLatin1String("utf-8") || lower == QLatin1String("utf8"))
        return ExportEncoding::Utf8;
    if (lower == QLatin1String("latin1") || lower == QLatin1String("iso-8859-1") ||
        lower == QLatin1String("iso8859-1"))
        return ExportEncoding::Latin1;
    return std::nullopt;
}
