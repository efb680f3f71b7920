#pragma once

#include <QFile>
#include <QString>

#include <stdexcept>

// An error of the export's file layer, with the message the user is shown.
class CExportError : public std::runtime_error {
public:
    explicit CExportError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString Message() const { return m_message; }

private:
    QString m_message;
};

// The text file an export writes: one byte per character (ISO 8859-1), every line feed written
// as CR LF, nothing quoted. A line that cannot be written raises CExportError and leaves the
// lines before it in the file.
class CExportFile {
public:
    CExportFile() = default;
    CExportFile(const CExportFile&) = delete;
    CExportFile& operator=(const CExportFile&) = delete;

    // Creates or empties the file; false when it cannot be opened.
    bool Open(const QString& path);
    // Writes to a descriptor opened elsewhere (standard output, a file to be renamed once
    // complete), which stays open; messages name the file as shownName.
    bool Open(int descriptor, const QString& shownName);
    void Close();
    QString Path() const { return m_shownName; }

    void WriteString(const QString& text);

private:
    QFile m_file;
    QString m_shownName;
};
