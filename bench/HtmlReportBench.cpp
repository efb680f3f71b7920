// Measures the HTML report of the data-dictionary comparison on two SQLite dictionaries of
// 200,000 items cached in bench-data: writing it, its size, the memory the writing holds, and
// opening it in headless chromium until its first frame is laid out after the load
// (html_open_s, which must stay under 2 s), then hiding every row of one status with a filter and
// showing them again, then typing a search and clearing it (html_search_clear_s, which must stay
// under 0.5 s). Prints one figure per line as "name: value"; html_open_ratio is html_open_s over
// the 2 s allowed. --smoke runs small sizes, to keep the benchmark working; --keep PATH leaves the
// report there to be looked at.
#include "BenchData.h"
#include "HeadlessBrowser.h"

#include "export/DictionaryReport.h"
#include "export/Export.h"
#include "export/ExportTarget.h"
#include "export/HtmlStream.h"
#include "model/ParamWord.h"
#include "odbc/DataSourceSide.h"
#include "runs/ComparisonResults.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <cstdio>

namespace {

constexpr double kOpenLimitSeconds = 2.0;

// Puts text in the search field as typing does and waits, frame by frame, until the list says it
// shows that search, then for the frame laid out after: the seconds from the input event, the
// page's wait for the end of the typing included.
QJsonValue TimeSearch(CHeadlessBrowser& browser, const QString& text) {
    return browser.Evaluate(
        QStringLiteral(R"js(
        new Promise(r => { const q = document.getElementById('q'), list = document.getElementById('rows');
            const t = performance.now();
            q.value = %1; q.dispatchEvent(new Event('input'));
            const wait = () => { if (list.getAttribute('data-search') === q.value) { document.body.offsetHeight;
                    requestAnimationFrame(() => r((performance.now() - t) / 1000)); }
                else requestAnimationFrame(wait); };
            wait(); }))js")
            .arg(QString::fromUtf8(QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact))
                     .mid(1)
                     .chopped(1)));
}

// Clicks a status filter's check box: the seconds until the frame after it is laid out.
QJsonValue TimeFilterClick(CHeadlessBrowser& browser, int status) {
    return browser.Evaluate(QStringLiteral(R"js(
        new Promise(r => { const t = performance.now();
            document.querySelector('.filters input[data-s="%1"]').click();
            document.body.offsetHeight;
            requestAnimationFrame(() => r((performance.now() - t) / 1000)); }))js")
                                .arg(status));
}

// The rows of the lists that the page shows.
int ShownRows(CHeadlessBrowser& browser) {
    return browser
        .Evaluate(QStringLiteral("[...document.querySelectorAll('#rows .m>tbody>tr')]"
                                 ".filter(r => getComputedStyle(r).display != 'none').length"))
        .toInt();
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const bool smoke = application.arguments().contains(QStringLiteral("--smoke"));
    const int repeats = smoke ? 1 : 3;
    const QString left = BenchDictionaries(smoke)[0];
    const QString right = BenchDictionaries(smoke)[1];
    CDataSourceSide leftSide;
    CDataSourceSide rightSide;
    if (!OpenBenchDictionaries(smoke, leftSide, rightSide))
        return 1;
    // The defaults: every status written, all five values compared and shown.
    const CParamWord params;
    CComparisonResults results(leftSide, rightSide, params);
    CSilentProgress progress;
    if (!results.RunDictionaryComparison(progress)) {
        std::fprintf(stderr, "the data-dictionary run failed\n");
        return 1;
    }

    const QStringList arguments = application.arguments();
    const qsizetype keep = arguments.indexOf(QStringLiteral("--keep"));
    const QString path =
        keep > 0 && keep + 1 < arguments.size()
            ? arguments[keep + 1]
            : QDir(CResultFile::Folder()).filePath(QStringLiteral("html_report.html"));
    QString failure;
    const double written = BestOf(repeats, [&] {
        CExportTarget target(path);
        bool dropped = false;
        failure = WriteReportTo(
            target,
            [&](CHtmlStream& out) {
                WriteDictionaryReport(out, results, params, left, right);
                return true;
            },
            dropped);
    });
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(failure));
        return 1;
    }
    const double megabytes = QFileInfo(path).size() / 1e6;
    const double rss = PeakRssMb();

    CHeadlessBrowser browser;
    if (!browser.Start()) {
        std::fprintf(stderr, "%s\n", qPrintable(browser.Error()));
        return 1;
    }
    double opened = -1;
    int rows = 0;
    for (int repeat = 0; repeat < repeats; ++repeat) {
        const double seconds = browser.Open(path);
        if (seconds < 0)
            break;
        opened = opened < 0 ? seconds : std::min(opened, seconds);
        rows =
            browser
                .Evaluate(QStringLiteral("document.querySelectorAll('#rows .m>tbody>tr').length"))
                .toInt();
    }
    // Unchecking "same" hides all but a few percent of the rows; checking it again shows them.
    const QJsonValue filtered = TimeFilterClick(browser, 0);
    const QJsonValue unfiltered = TimeFilterClick(browser, 0);
    // Typing into the search field a name's part, found in one block, and clearing it: the
    // clearing shows every row again, the moment that once froze the page; then a text found in
    // a few rows of every block, whose search reads every block's rows.
    double typed = 0;
    double cleared = 0;
    bool searched = true;
    for (const char* text : {"it00012", "99"}) {
        const QJsonValue typing = TimeSearch(browser, QString::fromLatin1(text));
        const QJsonValue clearing = TimeSearch(browser, QString());
        searched = searched && !typing.isUndefined() && !clearing.isUndefined();
        typed = std::max(typed, typing.toDouble());
        cleared = std::max(cleared, clearing.toDouble());
    }
    const int shownAfter = ShownRows(browser);
    if (keep < 0)
        QFile::remove(path);
    if (opened < 0 || filtered.isUndefined() || unfiltered.isUndefined() || !searched) {
        std::fprintf(stderr, "the browser could not open the report: %s\n",
                     qPrintable(browser.Error()));
        return 1;
    }
    const int entries = results.KeyCount();
    std::fprintf(stderr, "%d items, %d rows in the page\n", entries, rows);
    if (rows != entries) {
        std::fprintf(stderr, "the page holds %d rows of %d items\n", rows, entries);
        return 1;
    }
    std::printf("html_write_s: %.3f\n", written);
    std::printf("html_mb: %.1f\n", megabytes);
    std::printf("html_write_rss_mb: %.1f\n", rss);
    std::printf("html_open_s: %.3f\n", opened);
    std::printf("html_open_ratio: %.3f\n", opened / kOpenLimitSeconds);
    if (shownAfter != entries) {
        std::fprintf(stderr, "clearing the search shows %d rows of %d\n", shownAfter, entries);
        return 1;
    }
    std::printf("html_filter_s: %.3f\n", filtered.toDouble());
    std::printf("html_unfilter_s: %.3f\n", unfiltered.toDouble());
    std::printf("html_search_s: %.3f\n", typed);
    std::printf("html_search_clear_s: %.3f\n", cleared);
    return 0;
}
