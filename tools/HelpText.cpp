#include "HelpText.h"

#include <QHash>
#include <QRectF>
#include <QRegularExpression>

namespace {

// Where a run of backticks as long as the one at from closes a code span, or -1.
qsizetype CodeSpanEnd(const QString& text, qsizetype from, qsizetype length) {
    for (qsizetype at = from; at < text.size(); ++at) {
        if (text[at] != QLatin1Char('`'))
            continue;
        qsizetype run = at;
        while (run < text.size() && text[run] == QLatin1Char('`'))
            ++run;
        if (run - at == length)
            return at;
        at = run - 1;
    }
    return -1;
}

// The character an entity stands for, or empty for a name this check does not know (the text is
// then compared as written).
QString Entity(const QRegularExpressionMatch& match) {
    bool valid = false;
    const uint code = match.capturedLength(1) > 0   ? match.captured(1).toUInt(&valid)
                      : match.capturedLength(2) > 0 ? match.captured(2).toUInt(&valid, 16)
                                                    : 0;
    if (valid) {
        const char32_t character = code;
        return code > 0 && code <= 0x10FFFF ? QString::fromUcs4(&character, 1) : QString();
    }
    static const QHash<QString, QString> names{
        {QStringLiteral("amp"), QStringLiteral("&")},
        {QStringLiteral("lt"), QStringLiteral("<")},
        {QStringLiteral("gt"), QStringLiteral(">")},
        {QStringLiteral("quot"), QStringLiteral("\"")},
        {QStringLiteral("apos"), QStringLiteral("'")},
        {QStringLiteral("nbsp"), QStringLiteral("\u00a0")},
    };
    return names.value(match.captured(3));
}

// The text that a line of Markdown shows: a code span's text as it is written, a link's text
// without its address, no picture (its caption is not printed), escapes and entities resolved.
QString Shown(const QString& text) {
    QString shown;
    for (qsizetype at = 0; at < text.size();) {
        const QChar c = text[at];
        if (c == QLatin1Char('`')) {
            qsizetype run = at;
            while (run < text.size() && text[run] == QLatin1Char('`'))
                ++run;
            const qsizetype end = CodeSpanEnd(text, run, run - at);
            if (end < 0) { // not a code span: the backticks themselves
                shown += text.mid(at, run - at);
                at = run;
                continue;
            }
            shown += text.mid(run, end - run);
            at = end + (run - at);
            continue;
        }
        if (c == QLatin1Char('&')) {
            static const QRegularExpression entity(
                QStringLiteral("&(?:#([0-9]{1,7})|#[xX]([0-9a-fA-F]{1,6})|([A-Za-z]+));"));
            const auto match = entity.match(text, at, QRegularExpression::NormalMatch,
                                            QRegularExpression::AnchorAtOffsetMatchOption);
            const QString character = match.hasMatch() ? Entity(match) : QString();
            if (!character.isEmpty()) {
                shown += character;
                at = match.capturedEnd();
                continue;
            }
        }
        if (c == QLatin1Char('\\') && at + 1 < text.size() && text[at + 1].isPunct()) {
            shown += text[at + 1];
            at += 2;
            continue;
        }
        const bool picture =
            c == QLatin1Char('!') && at + 1 < text.size() && text[at + 1] == QLatin1Char('[');
        if (picture || c == QLatin1Char('[')) {
            static const QRegularExpression link(QStringLiteral("\\[([^\\]]*)\\]\\([^)]*\\)"));
            const auto match =
                link.match(text, at + (picture ? 1 : 0), QRegularExpression::NormalMatch,
                           QRegularExpression::AnchorAtOffsetMatchOption);
            if (match.hasMatch()) {
                if (!picture)
                    shown += Shown(match.captured(1));
                at = match.capturedEnd();
                continue;
            }
        }
        shown += c;
        ++at;
    }
    return shown;
}

const QRegularExpression& HeadingLine() {
    static const QRegularExpression heading(
        QStringLiteral("^ {0,3}#{1,6}(?:\\s+(.*?))?\\s*#*\\s*$"));
    return heading;
}

const QRegularExpression& ListItemLine() {
    static const QRegularExpression item(QStringLiteral("^\\s*(?:[-*+]|\\d{1,9}[.)])\\s+(.*)$"));
    return item;
}

bool IsFence(const QString& line) {
    return line.trimmed().startsWith(QLatin1String("```"));
}

bool IsTableRow(const QString& line) {
    return line.trimmed().startsWith(QLatin1Char('|'));
}

// A line that ends the paragraph or list item before it.
bool StartsBlock(const QString& line) {
    return line.trimmed().isEmpty() || IsFence(line) || IsTableRow(line) ||
           HeadingLine().match(line).hasMatch() || ListItemLine().match(line).hasMatch();
}

// The cells of a table row; a "\|" is a bar within a cell.
QStringList Cells(const QString& row) {
    QStringList cells;
    QString cell;
    const QString line = row.trimmed();
    for (qsizetype at = 1; at < line.size(); ++at) {
        if (line[at] == QLatin1Char('\\') && at + 1 < line.size() &&
            line[at + 1] == QLatin1Char('|')) {
            cell += QLatin1Char('|');
            ++at;
        } else if (line[at] == QLatin1Char('|')) {
            cells.append(cell.trimmed());
            cell.clear();
        } else {
            cell += line[at];
        }
    }
    if (!cell.trimmed().isEmpty())
        cells.append(cell.trimmed());
    return cells;
}

bool IsDelimiterRow(const QString& row) {
    static const QRegularExpression delimiter(QStringLiteral("^[\\s|:-]*-[\\s|:-]*$"));
    return delimiter.match(row).hasMatch();
}

} // namespace

CHelpText::CHelpText(const QString& markdown) {
    const QStringList lines = markdown.split(QLatin1Char('\n'));
    for (qsizetype at = 0; at < lines.size();) {
        QString line = lines[at];
        line.remove(QLatin1Char('\r'));
        if (line.trimmed().isEmpty()) {
            ++at;
        } else if (IsFence(line)) {
            QStringList code;
            for (++at; at < lines.size() && !IsFence(lines[at]); ++at)
                code.append(lines[at]);
            ++at;
            Add(QStringLiteral("command example"), code.join(QLatin1Char('\n')));
        } else if (const auto heading = HeadingLine().match(line); heading.hasMatch()) {
            Add(QStringLiteral("heading"), Shown(heading.captured(1)));
            ++at;
        } else if (IsTableRow(line)) {
            if (!IsDelimiterRow(line)) {
                for (const QString& cell : Cells(line))
                    Add(QStringLiteral("table cell"), Shown(cell));
            }
            ++at;
        } else {
            const auto item = ListItemLine().match(line);
            QStringList text{item.hasMatch() ? item.captured(1) : line.trimmed()};
            for (++at; at < lines.size() && !StartsBlock(lines[at]); ++at)
                text.append(lines[at].trimmed());
            Add(item.hasMatch() ? QStringLiteral("list item") : QStringLiteral("paragraph"),
                Shown(text.join(QLatin1Char(' '))));
        }
    }
}

void CHelpText::Add(const QString& kind, const QString& text) {
    const QStringList words = Words(text);
    // A picture alone, or a table cell holding a symbol, shows no word to look for.
    if (!words.isEmpty())
        m_elements.append({kind, text.simplified(), words});
}

QStringList CHelpText::Words(const QString& text) {
    QStringList words;
    QString word;
    for (const QChar c : text.normalized(QString::NormalizationForm_KC).toCaseFolded()) {
        if (c.isLetterOrNumber()) {
            word += c;
        } else if (!word.isEmpty()) {
            words.append(word);
            word.clear();
        }
    }
    if (!word.isEmpty())
        words.append(word);
    return words;
}

QString CHelpText::VisibleText(const QString& boxes, double margin) {
    static const QRegularExpression item(QStringLiteral(
        "<page width=\"([0-9.]+)\" height=\"([0-9.]+)\"|<word xMin=\"([0-9.-]+)\" "
        "yMin=\"([0-9.-]+)\" xMax=\"([0-9.-]+)\" yMax=\"([0-9.-]+)\">([^<]*)</word>"));
    // Glyph boxes stand a little beyond the lines Qt places.
    constexpr double kSlack = 2;
    QStringList visible;
    QRectF body;
    for (auto match = item.globalMatch(boxes); match.hasNext();) {
        const auto found = match.next();
        if (found.capturedLength(1) > 0) {
            body =
                QRectF(0, 0, found.captured(1).toDouble(), found.captured(2).toDouble())
                    .adjusted(margin - kSlack, margin - kSlack, kSlack - margin, kSlack - margin);
            continue;
        }
        const double left = found.captured(3).toDouble();
        const double right = found.captured(5).toDouble();
        const double middle = (found.captured(4).toDouble() + found.captured(6).toDouble()) / 2;
        if (left < body.left() || right > body.right() || middle < body.top() ||
            middle > body.bottom())
            continue;
        QString word = found.captured(7);
        word.replace(QLatin1String("&lt;"), QLatin1String("<"))
            .replace(QLatin1String("&gt;"), QLatin1String(">"))
            .replace(QLatin1String("&quot;"), QLatin1String("\""))
            .replace(QLatin1String("&apos;"), QLatin1String("'"))
            .replace(QLatin1String("&amp;"), QLatin1String("&"));
        visible.append(word);
    }
    return visible.join(QLatin1Char(' '));
}

CHelpText::Comparison CHelpText::Compare(const QString& printedText) const {
    // Where printing breaks a word (a hyphen at a line's end, a command wrapped anywhere) is not
    // known, so words are looked for as one run of letters and digits.
    const QString printed = Words(printedText).join(QString());
    Comparison result;
    result.elementsExpected = int(m_elements.size());
    qsizetype from = 0;
    for (const Element& element : m_elements) {
        result.wordsExpected += int(element.words.size());
        const qsizetype at = printed.indexOf(element.words.join(QString()), from);
        if (at >= 0) {
            from = at + element.words.join(QString()).size();
            result.wordsFound += int(element.words.size());
            continue;
        }
        // The words from its start that stand in order further on; the element's place is not
        // taken from them, as a short start may stand anywhere.
        qsizetype found = 0;
        QString start;
        while (found < element.words.size()) {
            start += element.words[found];
            if (printed.indexOf(start, from) < 0)
                break;
            ++found;
        }
        result.wordsFound += int(found);
        result.missing.append(QStringLiteral("%1 \"%2\": missing from word %3 of %4 (\"%5\")")
                                  .arg(element.kind, element.text.left(60))
                                  .arg(found + 1)
                                  .arg(element.words.size())
                                  .arg(element.words[found]));
    }
    return result;
}
