#include "export/ExportFile.h"

bool CExportFile::Open(const QString& path) {
    m_file.setFileName(path);
    m_shownName = path;
    return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

bool CExportFile::Open(int descriptor, const QString& shownName) {
    m_shownName = shownName;
    return m_file.open(descriptor, QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
}

void CExportFile::Close() {
    m_file.close();
}

void CExportFile::WriteString(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size() + 8);
    bool representable = true;
    for (const QChar character : text) {
        const char16_t unit = character.unicode();
        if (unit > 0xFF) {
            representable = false;
            break;
        }
        if (unit == u'\n')
            bytes.append('\r');
        bytes.append(char(unit));
    }
    // What the byte encoding cannot hold fails the line as a full disk would: nothing of it is
    // written, the lines before it stay.
    if (!representable || m_file.write(bytes) != bytes.size() || !m_file.flush())
        throw CExportError(QStringLiteral("Disk full while accessing %1.").arg(m_shownName));
}
