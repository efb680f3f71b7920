#include "model/FixedWidthFields.h"

#include <QtEndian>

#include <algorithm>
#include <limits>

namespace {

template <typename T>
void AppendLittleEndian(QByteArray& buffer, T value) {
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    buffer.append(bytes, sizeof(T));
}

} // namespace

void CFixedWidthFields::AppendInt16(QByteArray& buffer, qint16 value) {
    AppendLittleEndian(buffer, value);
}

void CFixedWidthFields::AppendInt32(QByteArray& buffer, qint32 value) {
    AppendLittleEndian(buffer, value);
}

void CFixedWidthFields::AppendInt64(QByteArray& buffer, qint64 value) {
    AppendLittleEndian(buffer, value);
}

void CFixedWidthFields::AppendText(QByteArray& buffer, const QString& text, int width) {
    if (width <= 0)
        return;
    const qsizetype start = buffer.size();
    buffer.resize(start + TextBytes(width), '\0');
    const qsizetype units = std::min<qsizetype>(text.size(), width);
    char* field = buffer.data() + start;
    const char16_t* source = reinterpret_cast<const char16_t*>(text.utf16());
    for (qsizetype i = 0; i < units; ++i)
        qToLittleEndian<quint16>(source[i], field + 2 * i);
}

qint16 CFixedWidthFields::ReadInt16(const char* data) {
    return qFromLittleEndian<qint16>(data);
}

qint32 CFixedWidthFields::ReadInt32(const char* data) {
    return qFromLittleEndian<qint32>(data);
}

qint64 CFixedWidthFields::ReadInt64(const char* data) {
    return qFromLittleEndian<qint64>(data);
}

void CFixedWidthFields::AppendSizedText(QByteArray& buffer, const QString& text) {
    AppendInt32(buffer, qint32(text.size()));
    AppendText(buffer, text, int(text.size()));
}

bool CFixedWidthFields::ReadSizedText(const char* data, qint64 size, qint64& offset,
                                      QString& text) {
    if (offset < 0 || size - offset < 4)
        return false;
    const qint32 units = ReadInt32(data + offset);
    if (units < 0 || (size - offset - 4) / 2 < units)
        return false;
    text = ReadText(data + offset + 4, units);
    offset += 4 + TextBytes(units);
    return true;
}

QString CFixedWidthFields::ReadText(const char* data, int width) {
    qsizetype length = 0;
    while (length < width && qFromLittleEndian<quint16>(data + 2 * length) != 0)
        ++length;
    if (length == 0)
        return {};
    return ReadUnits(data, length);
}

QString CFixedWidthFields::ReadUnits(const char* data, qsizetype units) {
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    // The code units as stored: decoding would drop or swap a leading U+FEFF or U+FFFE.
    return QString(reinterpret_cast<const QChar*>(data), units);
#else
    QString text(units, Qt::Uninitialized);
    for (qsizetype i = 0; i < units; ++i)
        text[i] = QChar(qFromLittleEndian<quint16>(data + 2 * i));
    return text;
#endif
}

void CFixedWidthFields::RaiseWidth(qint16& width, qsizetype length) {
    const qsizetype capped = std::min<qsizetype>(length, std::numeric_limits<qint16>::max());
    if (capped > width)
        width = qint16(capped);
}
