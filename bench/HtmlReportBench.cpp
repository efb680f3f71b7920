// Measures the HTML report of the data-dictionary comparison on two SQLite dictionaries of
// 200,000 items cached in bench-data: writing it, its size, the memory the writing holds, and
// opening it in headless chromium until its first frame is laid out after the load
// (html_open_s, which must stay under 2 s), then hiding every row of one status with a filter.
// Prints one figure per line as "name: value"; html_open_ratio is html_open_s over the 2 s
// allowed. --smoke runs small sizes, to keep the benchmark working; --keep PATH leaves the report
// there to be looked at.
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

#include <cstdio>

namespace {

constexpr double kOpenLimitSeconds = 2.0;

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
    // Unchecking "same" hides all but a few percent of the rows.
    const QJsonValue filtered = browser.Evaluate(QStringLiteral(R"js(
        new Promise(r => { const t = performance.now();
            document.querySelector('.filters input[data-s="0"]').click();
            document.body.offsetHeight;
            requestAnimationFrame(() => r((performance.now() - t) / 1000)); }))js"));
    if (keep < 0)
        QFile::remove(path);
    if (opened < 0 || filtered.isUndefined()) {
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
    std::printf("html_filter_s: %.3f\n", filtered.toDouble());
    return 0;
}
