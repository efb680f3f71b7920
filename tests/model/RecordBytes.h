#pragma once

#include <QByteArray>
#include <QString>
#include <QtEndian>

#include <gtest/gtest.h>

// Reads the fields of a record written to memory, to check a binary layout byte for byte.
inline qint32 Int32At(const QByteArray& bytes, qsizetype offset) {
    return qFromLittleEndian<qint32>(bytes.constData() + offset);
}

inline qint64 Int64At(const QByteArray& bytes, qsizetype offset) {
    return qFromLittleEndian<qint64>(bytes.constData() + offset);
}

inline qint16 Int16At(const QByteArray& bytes, qsizetype offset) {
    return qFromLittleEndian<qint16>(bytes.constData() + offset);
}

inline quint16 UnitAt(const QByteArray& bytes, qsizetype offset) {
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

// The UTF-16LE encoding of text followed by zero units up to width.
inline QByteArray TextField(const QString& text, int width) {
    QByteArray field(2 * width, '\0');
    for (qsizetype i = 0; i < text.size() && i < width; ++i)
        qToLittleEndian<quint16>(text[i].unicode(), field.data() + 2 * i);
    return field;
}

// A record's binary form as the result files get it.
template <typename Record, typename... Widths>
QByteArray WrittenBytes(const Record& record, Widths... widths) {
    QByteArray bytes;
    record.AppendRecord(bytes, widths...);
    return bytes;
}

// The record that the result files' readers make of bytes, which must be one whole record.
template <typename Record, typename... Widths>
Record ReadBack(const QByteArray& bytes, Widths... widths) {
    EXPECT_EQ(bytes.size(), Record::RecordSize(widths...));
    Record record;
    if (bytes.size() == Record::RecordSize(widths...))
        record.ParseRecord(bytes.constData(), widths...);
    return record;
}
