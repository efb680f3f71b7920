#include "export/HtmlStream.h"

#include "export/ExportFile.h"
#include "services/Language.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace {
constexpr int kNotCharacterText = 1904;
constexpr qsizetype kBufferSize = 1 << 16;
// Enough of a name or value to recognise it in a message box.
constexpr qsizetype kShownObjectLength = 80;

void AppendUtf8(QByteArray& bytes, char32_t code) {
    if (code < 0x80) {
        bytes.append(char(code));
    } else if (code < 0x800) {
        bytes.append(char(0xC0 | (code >> 6)));
        bytes.append(char(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        bytes.append(char(0xE0 | (code >> 12)));
        bytes.append(char(0x80 | ((code >> 6) & 0x3F)));
        bytes.append(char(0x80 | (code & 0x3F)));
    } else {
        bytes.append(char(0xF0 | (code >> 18)));
        bytes.append(char(0x80 | ((code >> 12) & 0x3F)));
        bytes.append(char(0x80 | ((code >> 6) & 0x3F)));
        bytes.append(char(0x80 | (code & 0x3F)));
    }
}

bool IsNonCharacter(char32_t code) {
    return (code >= 0xFDD0 && code <= 0xFDEF) || (code & 0xFFFE) == 0xFFFE;
}

// The short name of a character that changes the direction of the text around it (embeddings,
// overrides, isolates, marks), or null.
const char* BidiControlName(char32_t code) {
    switch (code) {
    case 0x061C:
        return "ALM";
    case 0x200E:
        return "LRM";
    case 0x200F:
        return "RLM";
    case 0x202A:
        return "LRE";
    case 0x202B:
        return "RLE";
    case 0x202C:
        return "PDF";
    case 0x202D:
        return "LRO";
    case 0x202E:
        return "RLO";
    case 0x2066:
        return "LRI";
    case 0x2067:
        return "RLI";
    case 0x2068:
        return "FSI";
    case 0x2069:
        return "PDI";
    default:
        return nullptr;
    }
}
} // namespace

CHtmlStream::CHtmlStream(int descriptor, QString shownName)
    : m_descriptor(descriptor), m_shownName(std::move(shownName)) {
    m_buffer.reserve(kBufferSize + 1024);
}

CHtmlStream& CHtmlStream::operator<<(const char* markup) {
    for (const char* character = markup; *character; ++character)
        m_lines += *character == '\n';
    m_buffer.append(markup);
    if (m_buffer.size() >= kBufferSize)
        WriteOut();
    return *this;
}

CHtmlStream& CHtmlStream::Text(const QString& text) {
    for (qsizetype position = 0; position < text.size(); ++position) {
        char32_t code = text[position].unicode();
        if (QChar::isSurrogate(code)) {
            if (!QChar::isHighSurrogate(code) || position + 1 >= text.size() ||
                !text[position + 1].isLowSurrogate())
                FailOnCharacter(text, position);
            code = QChar::surrogateToUcs4(text[position], text[position + 1]);
            ++position;
        }
        switch (code) {
        case '&':
            m_buffer.append("&amp;");
            continue;
        case '<':
            m_buffer.append("&lt;");
            continue;
        case '>':
            m_buffer.append("&gt;");
            continue;
        case '"':
            m_buffer.append("&quot;");
            continue;
        case '\'':
            m_buffer.append("&#39;");
            continue;
        case '\t':
            m_buffer.append('\t');
            continue;
        case '\n':
            ++m_lines;
            m_buffer.append('\n');
            continue;
        default:
            break;
        }
        if (const char* name = BidiControlName(code)) {
            // Between single guillemets (U+2039, U+203A).
            m_buffer.append("\xE2\x80\xB9").append(name).append("\xE2\x80\xBA");
            continue;
        }
        if (code < 0x20)
            code += 0x2400;
        else if (code == 0x7F)
            code = 0x2421;
        else if ((code >= 0x80 && code < 0xA0) || IsNonCharacter(code))
            code = 0xFFFD;
        AppendUtf8(m_buffer, code);
    }
    if (m_buffer.size() >= kBufferSize)
        WriteOut();
    return *this;
}

CHtmlStream& CHtmlStream::Number(qint64 value) {
    m_buffer.append(QByteArray::number(value));
    return *this;
}

void CHtmlStream::Finish() {
    WriteOut();
}

void CHtmlStream::WriteOut() {
    const char* data = m_buffer.constData();
    qsizetype left = m_buffer.size();
    while (left > 0) {
        const ssize_t written = ::write(m_descriptor, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw CExportError(WriteFailureText(m_shownName, written < 0 ? errno : ENOSPC));
        data += written;
        left -= written;
    }
    m_buffer.resize(0);
}

void CHtmlStream::FailOnCharacter(const QString& text, qsizetype position) const {
    QString object = text;
    if (object.size() > kShownObjectLength)
        object = object.left(kShownObjectLength) + QChar(0x2026);
    const QString unit = QStringLiteral("U+%1")
                             .arg(uint(text[position].unicode()), 4, 16, QLatin1Char('0'))
                             .toUpper();
    const qint64 line = m_lines + text.left(position).count(QLatin1Char('\n')) + 1;
    throw CExportError(LoadLocalizedString(kNotCharacterText)
                           .arg(QString::number(line), m_shownName, object, unit));
}
