#pragma once

#include <QByteArray>
#include <QString>

// The UTF-8 text of an HTML report, written to a descriptor opened elsewhere (see CExportTarget)
// through a buffer of bounded size, so that a report of any length holds little memory. Markup
// goes out as it is; Text writes a name or value as text that a browser shows and never reads as
// markup. A write that fails, or a text holding a lone surrogate, raises CExportError with the
// export's own messages; the target then drops what was written.
class CHtmlStream {
public:
    CHtmlStream(int descriptor, QString shownName);
    CHtmlStream(const CHtmlStream&) = delete;
    CHtmlStream& operator=(const CHtmlStream&) = delete;

    // Markup, written as it is: ASCII from the program's own code. Every QString is text, the
    // program's own captions too: there is no way to write one as markup.
    CHtmlStream& operator<<(const char* markup);
    CHtmlStream& operator<<(const QString& text) { return Text(text); }
    // Characters that HTML gives a meaning to become references; controls, which a document may
    // not hold, become their visible pictures (U+2400...), other non-characters U+FFFD. The
    // controls of the text's direction, which would turn a name around or the text after it,
    // become their short names between single guillemets: U+202E as U+2039 "RLO" U+203A.
    CHtmlStream& Text(const QString& text);
    CHtmlStream& Number(qint64 value);

    // Writes what the buffer still holds; the writer calls it once the report is complete.
    void Finish();

private:
    void WriteOut();
    [[noreturn]] void FailOnCharacter(const QString& text, qsizetype position) const;

    int m_descriptor;
    QString m_shownName;
    QByteArray m_buffer;
    // Line feeds written so far, for messages that name the line.
    qint64 m_lines = 0;
};
