#include "export/ExportFile.h"

#include "services/Language.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {
constexpr int kDiskFullText = 1902;
constexpr int kWriteFailedText = 1831;
constexpr int kNotLatin1Text = 1903;
constexpr int kNotCharacterText = 1904;
// Enough of a name or value to recognise it in a message box.
constexpr qsizetype kShownObjectLength = 80;
// Lines reach the file in blocks of about this size: one system call per line cost a sixth of
// a large export's time.
constexpr qsizetype kBlockBytes = 1 << 16;

bool IsSurrogateAt(const QString& text, qsizetype position, bool& paired) {
    const QChar unit = text[position];
    paired = false;
    if (unit.isHighSurrogate()) {
        paired = position + 1 < text.size() && text[position + 1].isLowSurrogate();
        return true;
    }
    return unit.isLowSurrogate();
}
} // namespace

CExportFile::~CExportFile() {
    WriteBuffered();
}

bool CExportFile::Open(const QString& path, ExportEncoding encoding) {
    m_file.setFileName(path);
    m_shownName = path;
    return Start(m_file.open(QIODevice::WriteOnly | QIODevice::Truncate), encoding);
}

bool CExportFile::Open(int descriptor, const QString& shownName, ExportEncoding encoding) {
    m_shownName = shownName;
    return Start(m_file.open(descriptor, QIODevice::WriteOnly, QFileDevice::DontCloseHandle),
                 encoding);
}

bool CExportFile::Start(bool opened, ExportEncoding encoding) {
    m_encoding = encoding;
    m_linesWritten = 0;
    m_buffer.clear();
    if (!opened)
        return false;
    m_buffer.reserve(kBlockBytes + 1024);
    // Spreadsheets on every desktop take a file for UTF-8 only when it says so.
    if (encoding == ExportEncoding::Utf8)
        m_buffer.append("\xEF\xBB\xBF");
    return true;
}

void CExportFile::Close() {
    const bool written = WriteBuffered();
    m_file.close();
    if (!written)
        FailOnWrite();
}

bool CExportFile::WriteBuffered() {
    if (m_buffer.isEmpty() || !m_file.isOpen())
        return true;
    // The file's own buffer is emptied too, so that a full disk is known now.
    errno = 0;
    const bool written = m_file.write(m_buffer) == m_buffer.size() && m_file.flush();
    if (!written)
        m_writeError = errno;
    m_buffer.resize(0);
    return written;
}

QByteArray CExportFile::Encode(const QString& text, qsizetype lineFeedsKeptFrom) const {
    QByteArray bytes;
    bytes.reserve(text.size() + 8);
    if (m_encoding == ExportEncoding::Utf8) {
        // A lone surrogate is no character: UTF-8 would write a replacement in its place.
        for (qsizetype position = 0; position < text.size(); ++position) {
            bool paired = false;
            if (IsSurrogateAt(text, position, paired) && !paired)
                FailOnCharacter(text, position);
            position += paired ? 1 : 0;
        }
        for (const char byte : text.left(lineFeedsKeptFrom).toUtf8()) {
            if (byte == '\n')
                bytes.append('\r');
            bytes.append(byte);
        }
        bytes.append(text.mid(lineFeedsKeptFrom).toUtf8());
        return bytes;
    }
    for (qsizetype position = 0; position < text.size(); ++position) {
        const char16_t unit = text[position].unicode();
        if (unit > 0xFF)
            FailOnCharacter(text, position);
        if (unit == u'\n' && position < lineFeedsKeptFrom)
            bytes.append('\r');
        bytes.append(char(unit));
    }
    return bytes;
}

void CExportFile::FailOnCharacter(const QString& text, qsizetype position) const {
    // The line and the name or value (the field between separators) the character belongs to.
    const qint64 line = m_linesWritten + text.left(position).count(QLatin1Char('\n')) + 1;
    qsizetype start = position;
    while (start > 0 && text[start - 1] != QLatin1Char(';') && text[start - 1] != QLatin1Char('\n'))
        --start;
    qsizetype end = position;
    while (end < text.size() && text[end] != QLatin1Char(';') && text[end] != QLatin1Char('\n'))
        ++end;
    QString object = text.mid(start, end - start);
    if (object.size() > kShownObjectLength)
        object = object.left(kShownObjectLength) + QChar(0x2026);
    bool paired = false;
    const bool surrogate = IsSurrogateAt(text, position, paired);
    const char32_t codePoint = paired ? QChar::surrogateToUcs4(text[position], text[position + 1])
                                      : text[position].unicode();
    QString character =
        QStringLiteral("U+%1").arg(uint(codePoint), 4, 16, QLatin1Char('0')).toUpper();
    if (!surrogate || paired)
        character += QStringLiteral(" (") + text.mid(position, paired ? 2 : 1) + QLatin1Char(')');
    const int textId = m_encoding == ExportEncoding::Latin1 ? kNotLatin1Text : kNotCharacterText;
    throw CExportError(
        LoadLocalizedString(textId).arg(QString::number(line), m_shownName, object, character));
}

void CExportFile::FailOnWrite() const {
    throw CExportError(WriteFailureText(m_shownName, m_writeError));
}

QString WriteFailureText(const QString& shownName, int error) {
    if (error == 0 || error == ENOSPC || error == EDQUOT)
        return LoadLocalizedString(kDiskFullText).arg(shownName);
    return LoadLocalizedString(kWriteFailedText)
        .arg(shownName, QString::fromLocal8Bit(std::strerror(error)));
}

void CExportFile::WriteString(const QString& text) {
    Write(text, text.size());
}

void CExportFile::WriteLine(const QString& text, const QStringList& fields) {
    QString line = text;
    const qsizetype fieldsStart = line.size();
    for (const QString& field : fields) {
        line += QLatin1Char(';');
        const bool quoted = std::any_of(field.begin(), field.end(), [](QChar unit) {
            return unit == QLatin1Char(';') || unit == QLatin1Char('"') ||
                   unit == QLatin1Char('\r') || unit == QLatin1Char('\n');
        });
        if (quoted)
            line += QLatin1Char('"') +
                    QString(field).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
                    QLatin1Char('"');
        else
            line += field;
    }
    line += QStringLiteral("\r\n");
    Write(line, fieldsStart);
}

void CExportFile::Write(const QString& text, qsizetype lineFeedsKeptFrom) {
    m_buffer.append(Encode(text, lineFeedsKeptFrom));
    m_linesWritten += text.count(QLatin1Char('\n'));
    if (m_buffer.size() >= kBlockBytes && !WriteBuffered())
        FailOnWrite();
}
