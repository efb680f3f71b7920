#pragma once

#include "HeadlessBrowser.h"
#include "export/Export.h"
#include "export/ExportFile.h"
#include "export/ExportTarget.h"
#include "export/HtmlStream.h"
#include "odbc/OdbcTestEnvironment.h"
#include "runs/ComparisonTestBase.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

#include <functional>
#include <memory>

// An HTML report written as the program writes it and opened in the headless browser, read back
// through its DOM: the tests of every report kind compare it with the CSV of the same run. One
// browser serves a whole test suite.
class ReportPageTest : public ComparisonTestBase {
protected:
    static void SetUpTestSuite() {
        s_browser = std::make_unique<CHeadlessBrowser>();
        // A missing browser fails the tests: a run that skips them has checked nothing.
        ASSERT_TRUE(s_browser->Start()) << s_browser->Error().toStdString();
    }
    static void TearDownTestSuite() { s_browser.reset(); }

    // Writes a report through an export target and opens it.
    static void WriteAndOpen(const QString& path, const std::function<void(CHtmlStream&)>& write) {
        ASSERT_TRUE(s_browser) << "no browser";
        CExportTarget target(path);
        bool dropped = false;
        const QString message = WriteReportTo(
            target,
            [&](CHtmlStream& out) {
                write(out);
                return true;
            },
            dropped);
        ASSERT_TRUE(message.isEmpty()) << message.toStdString();
        ASSERT_GE(s_browser->Open(path), 0) << s_browser->Error().toStdString();
    }

    static QJsonValue Run(const QString& script) {
        const QJsonValue value = s_browser->Evaluate(script);
        EXPECT_FALSE(value.isUndefined()) << s_browser->Error().toStdString();
        return value;
    }

    static QStringList Strings(const QJsonValue& value) {
        QStringList strings;
        for (const QJsonValue& item : value.toArray())
            strings.append(item.toString());
        return strings;
    }

    // Each row of the lists as its status (when it has one) and its texts joined by ";", as a
    // CSV line holds them; a folded table's row gives its name. Only the rows shown (neither they
    // nor what holds them hidden, nor in a block that is never laid out), or all.
    static QStringList Rows(bool shownOnly = false) {
        return Strings(Run(QStringLiteral(R"js(
            [...document.querySelectorAll('#rows .m>tbody>tr, #rows .g>tbody>tr')]
              .filter(r => !%1 || r.checkVisibility())
              .map(r => [...r.cells].map(c => (c.querySelector('summary') || c).textContent)
                                    .join(';'))
        )js")
                               .arg(shownOnly ? QStringLiteral("true") : QStringLiteral("false"))));
    }

    // What a CSV export holds, in the same form: the symbol replaced by the status in words of
    // its legend (the first four lines), without the legend and without the lines that match
    // skip.
    static QStringList CsvLines(const QByteArray& csv) {
        QStringList lines =
            QString::fromUtf8(csv).remove(QChar(0xFEFF)).split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }
    // The legend of a CSV export: each status symbol with its words.
    static QHash<QString, QString> Legend(const QByteArray& csv) {
        const QStringList lines = CsvLines(csv);
        QHash<QString, QString> words;
        for (int line = 0; line < 4 && line < lines.size(); ++line)
            words.insert(lines[line].section(QLatin1Char(';'), 0, 0),
                         lines[line].section(QLatin1Char(';'), 1));
        return words;
    }
    static QStringList CsvRows(const QByteArray& csv, int headerLines,
                               const std::function<bool(const QString&)>& skip = {}) {
        const QStringList lines = CsvLines(csv);
        const QHash<QString, QString> words = Legend(csv);
        QStringList rows;
        for (const QString& line : lines.mid(7 + headerLines)) {
            if (skip && skip(line))
                continue;
            const QString symbol = line.section(QLatin1Char(';'), 0, 0);
            rows.append(words.value(symbol) + QLatin1Char(';') + line.section(QLatin1Char(';'), 1));
        }
        return rows;
    }

    // A CSV line's fields, those in quotes unquoted.
    static QStringList CsvFields(const QString& line) {
        QStringList fields{QString()};
        bool quoted = false;
        for (qsizetype at = 0; at < line.size(); ++at) {
            const QChar unit = line[at];
            if (quoted && unit == QLatin1Char('"')) {
                quoted = at + 1 < line.size() && line[at + 1] == QLatin1Char('"');
                if (quoted)
                    fields.last() += line[++at];
            } else if (quoted || (unit != QLatin1Char(';') && unit != QLatin1Char('"'))) {
                fields.last() += unit;
            } else if (unit == QLatin1Char(';')) {
                fields.append(QString());
            } else {
                quoted = true;
            }
        }
        return fields;
    }
    // The column and index lines of a CSV export that keep accepts, as a report shows their
    // rows: from the field of the symbol (first), the symbol in words, then the texts without
    // the index lines' marker "INDEX".
    static QStringList CsvDetailRows(const QByteArray& csv, int first,
                                     const std::function<bool(const QString&)>& keep = {}) {
        const QHash<QString, QString> words = Legend(csv);
        QStringList rows;
        for (const QString& line : CsvLines(csv).mid(7)) {
            if (keep && !keep(line))
                continue;
            QStringList fields = CsvFields(line).mid(first);
            if (fields.size() > 2 && fields[2] == QLatin1String("INDEX"))
                fields.removeAt(2);
            fields[0] = words.value(fields[0]);
            rows.append(fields.join(QLatin1Char(';')));
        }
        return rows;
    }

    // Two SQLite sides to compare under bits 26 and 27: IONLY differs in its indexes alone, one
    // of each status, the left's only one named as markup; ATTR differs in a nullability and in
    // defaults that are markup.
    static void AddIndexAndAttributeSources(const QString& left, const QString& right) {
        COdbcTestEnvironment::AddSqliteDataSource(
            left, QStringLiteral("CREATE TABLE SAME (a INTEGER);"
                                 "CREATE TABLE IONLY (a INTEGER, b INTEGER, c INTEGER);"
                                 "CREATE UNIQUE INDEX ua ON IONLY (a);"
                                 "CREATE INDEX \"%1\" ON IONLY (b);"
                                 "CREATE INDEX ib ON IONLY (b, c);"
                                 "CREATE TABLE ATTR (id INTEGER NOT NULL,"
                                 " note TEXT DEFAULT '%2', kept INTEGER DEFAULT 7);")
                      .arg(QString(kMarkupIndex).replace(QLatin1Char('"'), QStringLiteral("\"\"")),
                           kScriptDefault));
        COdbcTestEnvironment::AddSqliteDataSource(
            right, QStringLiteral("CREATE TABLE SAME (a INTEGER);"
                                  "CREATE TABLE IONLY (a INTEGER, b INTEGER, c INTEGER);"
                                  "CREATE UNIQUE INDEX ua ON IONLY (a);"
                                  "CREATE INDEX ib ON IONLY (c, b);"
                                  "CREATE INDEX ic ON IONLY (c);"
                                  "CREATE TABLE ATTR (id INTEGER,"
                                  " note TEXT DEFAULT '%1', kept INTEGER DEFAULT 7);")
                       .arg(kMarkupDefault));
    }
    static inline const QString kMarkupIndex =
        QStringLiteral("\"><img src=x onerror=\"window.ran = 2\">");
    static inline const QString kScriptDefault = QStringLiteral("<script>window.ran = 1</script>");
    static inline const QString kMarkupDefault =
        QStringLiteral("\"><img src=x onerror=\"window.ran = 3\">");
    // Whether a page ran none of them: one script, its own, and one picture, its icon.
    static bool RanNoMarkup() {
        return Run(QStringLiteral("window.ran === undefined && "
                                  "document.querySelectorAll('script').length == 1 && "
                                  "document.querySelectorAll('img').length == 1"))
            .toBool();
    }

    // Clicks a status filter's check box as a user would.
    static void ClickFilter(int status) {
        Run(QStringLiteral("document.querySelector('.filters input[data-s=\"%1\"]').click(), 0")
                .arg(status));
    }

    // Types into the search field and waits, frame by frame, until the list says it shows that
    // search.
    static void Search(const QString& text) {
        Run(QStringLiteral("(() => { const q = document.getElementById('q'),"
                           " list = document.getElementById('rows'); q.value = %1;"
                           "q.dispatchEvent(new Event('input'));"
                           "return new Promise(r => { const shown = () =>"
                           " list.getAttribute('data-search') === q.value ? r(0) :"
                           " requestAnimationFrame(shown); shown(); }); })()")
                .arg(QString::fromUtf8(
                         QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact))
                         .mid(1)
                         .chopped(1)));
    }

    static std::unique_ptr<CHeadlessBrowser> s_browser;
};

inline std::unique_ptr<CHeadlessBrowser> ReportPageTest::s_browser;
