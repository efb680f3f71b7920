#pragma once

#include <QByteArray>
#include <QString>

// Little-endian integers and fixed-width UTF-16LE text fields: the binary form of the result
// records. A text shorter than its field is followed by a zero code unit and zero padding; a
// text of exactly the field width has no terminator. Texts longer than the field are cut to it.
class CFixedWidthFields {
public:
    static void AppendInt16(QByteArray& buffer, qint16 value);
    static void AppendInt32(QByteArray& buffer, qint32 value);
    static void AppendInt64(QByteArray& buffer, qint64 value);
    static void AppendText(QByteArray& buffer, const QString& text, int width);

    // Readers take data positioned at the field; the caller guarantees the field's size.
    static qint16 ReadInt16(const char* data);
    static qint32 ReadInt32(const char* data);
    static qint64 ReadInt64(const char* data);
    // The code units up to the first zero, or all width units.
    static QString ReadText(const char* data, int width);
    // Exactly units code units, zeros included.
    static QString ReadUnits(const char* data, qsizetype units);

    static constexpr int TextBytes(int width) { return width > 0 ? 2 * width : 0; }
    // Raises a field width counter to a text's length, saturating at the largest 16-bit width.
    static void RaiseWidth(qint16& width, qsizetype length);

    // A text of any length, for what does not fit a field: its length in code units as a
    // 32-bit integer, then its units.
    static void AppendSizedText(QByteArray& buffer, const QString& text);
    // Reads one at offset in data of size bytes and moves offset past it; false when it would
    // run past the end.
    static bool ReadSizedText(const char* data, qint64 size, qint64& offset, QString& text);
};
