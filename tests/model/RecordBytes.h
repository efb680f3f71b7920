#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <QtEndian>

#include <gtest/gtest.h>

// Reads the fields of a record written to memory, to check a binary layout byte for byte.
inline qint32 Int32At(const QByteArray& bytes, qsizetype offset) {
    return qFromLittleEndian<qint32>(bytes.constData() + offset);
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

template <typename Record, typename... Widths>
QByteArray WrittenBytes(const Record& record, Widths... widths) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(record.WriteRecord(buffer, widths...));
    return bytes;
}

template <typename Record, typename... Widths>
Record ReadBack(const QByteArray& bytes, Widths... widths) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    Record record;
    EXPECT_TRUE(record.ReadRecord(buffer, widths...));
    return record;
}
