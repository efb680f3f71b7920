#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The text a help document written in Markdown must show once printed: every heading,
// paragraph, list item, table cell and command example, each as its words. Compare() tells
// whether the text taken from the printed document holds them all, each whole and in the
// source's order, and names what it lacks.
//
// Words are compared as letters and digits alone, case folded and in compatibility form, so that
// what printing changes fairly is not a loss: ligatures (U+FB01 is "fi"), typographic quotes
// and dashes, a line wrapped at a hyphen or within a command, and Markdown's own markup (code
// spans, emphasis, escapes, a link's address, a picture's name and caption, none of which is
// shown as text).
class CHelpText {
public:
    struct Element {
        QString kind; // "heading", "paragraph", "list item", "table cell", "command example"
        QString text; // as the source writes it, markup removed
        QStringList words;
    };
    struct Comparison {
        int wordsExpected = 0;
        int wordsFound = 0;
        int elementsExpected = 0;
        // One line per element not found whole: its kind, its beginning and the first word that
        // could not be found where it belongs.
        QStringList missing;
    };

    explicit CHelpText(const QString& markdown);

    const QList<Element>& Elements() const { return m_elements; }
    Comparison Compare(const QString& printedText) const;

    // The words of a text: runs of letters and digits, in compatibility form and case folded.
    static QStringList Words(const QString& text);
    // The words that a reader sees in the pages described by pdftotext -bbox, in its order: those
    // within each page's text body, margin points from every edge. A printer draws lines beyond
    // the body that its clip hides, which pdftotext reads all the same.
    static QString VisibleText(const QString& boxes, double margin);

private:
    void Add(const QString& kind, const QString& text);

    QList<Element> m_elements;
};
