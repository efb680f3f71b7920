#pragma once

#include "model/ExportEncoding.h"

#include <QFile>
#include <QString>
#include <QStringList>

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

// What a write that failed with the system's error number says of shownName: a full disk as
// such, anything else (a closed descriptor, a broken pipe, a file grown past its limit) by the
// system's own words.
QString WriteFailureText(const QString& shownName, int error);

// The text file an export writes: one byte per character (ISO 8859-1), or UTF-8 after a byte
// order mark; every line feed written as CR LF, nothing quoted but the fields WriteLine is
// given to quote. A line that cannot be encoded raises CExportError naming why; nothing of that
// line is written. Lines go out in blocks: a block that cannot be written (a full disk) raises
// CExportError naming the file, at a later line or at Close, and the export's target then drops
// the file, which is what keeps it complete or absent.
class CExportFile {
public:
    CExportFile() = default;
    // What is still buffered goes out, as a file closed by going out of scope; a failure is
    // only reported by Close.
    ~CExportFile();
    CExportFile(const CExportFile&) = delete;
    CExportFile& operator=(const CExportFile&) = delete;

    // Creates or empties the file; false when it cannot be opened.
    bool Open(const QString& path, ExportEncoding encoding = ExportEncoding::Latin1);
    // Writes to a descriptor opened elsewhere (standard output, a file that takes its name
    // once complete), which stays open; messages name the file as shownName.
    bool Open(int descriptor, const QString& shownName,
              ExportEncoding encoding = ExportEncoding::Latin1);
    // Writes what is still buffered and closes the file; raises CExportError when that write
    // fails (the file is closed all the same).
    void Close();
    QString Path() const { return m_shownName; }

    void WriteString(const QString& text);
    // One line: text as WriteString writes it, then each field after a ";", then CR LF. A
    // field holding ";", a double quote, CR or LF is written between double quotes with its
    // own doubled, and its line ends as they are, so that a spreadsheet reads it back whole.
    void WriteLine(const QString& text, const QStringList& fields);

private:
    bool Start(bool opened, ExportEncoding encoding);
    // Every line feed before lineFeedsKeptFrom gets its CR.
    void Write(const QString& text, qsizetype lineFeedsKeptFrom);
    // Hands the buffered bytes to the file; false when they cannot be written, and then they
    // are dropped.
    bool WriteBuffered();
    QByteArray Encode(const QString& text, qsizetype lineFeedsKeptFrom) const;
    [[noreturn]] void FailOnCharacter(const QString& text, qsizetype position) const;
    [[noreturn]] void FailOnWrite() const;

    QFile m_file;
    QByteArray m_buffer;
    // The system's error number of the write that failed.
    int m_writeError = 0;
    QString m_shownName;
    ExportEncoding m_encoding = ExportEncoding::Latin1;
    // Lines written so far, for messages that name the line.
    qint64 m_linesWritten = 0;
};
