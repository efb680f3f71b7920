// Measures what the data-dictionary window costs the core once a run has ended, on two SQLite
// dictionaries of 200,000 items cached in bench-data: filling the list (every entry's status),
// a find that matches nothing (every entry's record and texts), the export of every item with
// every value, and the peak memory after them. No widgets: the window's own work is in the core.
// Prints one figure per line as "name: value". --smoke runs small sizes, to keep the benchmark
// working.
#include "BenchData.h"

#include "export/DictionaryExport.h"
#include "export/ExportFile.h"
#include "model/ParamWord.h"
#include "odbc/DataSourceSide.h"
#include "runs/ComparisonResults.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>

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
    // The defaults: all four status filters on, all five values compared and shown.
    const CParamWord params;
    CComparisonResults results(leftSide, rightSide, params);
    CSilentProgress progress;
    QElapsedTimer timer;
    timer.start();
    if (!results.RunDictionaryComparison(progress)) {
        std::fprintf(stderr, "the data-dictionary run failed\n");
        return 1;
    }
    const double run = timer.nsecsElapsed() / 1e9;
    const int entries = results.KeyCount();

    // The list fill asks every entry's status, to count it and to know whether its filter shows
    // it.
    CComparisonResults::Counters counted{};
    const double fill = BestOf(repeats, [&] {
        counted.fill(0);
        for (int entry = 0; entry < entries; ++entry) {
            const qint32 status = results.GetDictionaryItemStatus(entry);
            if (CompareStatus::IsValid(status))
                ++counted[status];
        }
    });

    // A find reads every record and tests its six texts before it can say there is no match.
    const QString needle = QStringLiteral("no such text");
    int found = 0;
    const double find = BestOf(repeats, [&] {
        for (int entry = 0; entry < entries; ++entry) {
            const auto item = results.ReadDictionaryItem(entry);
            if (item && item->Contains(needle, params))
                ++found;
        }
    });

    const QString path =
        QDir(CResultFile::Folder()).filePath(QStringLiteral("dictionary_view.csv"));
    QString failure;
    const double exported = BestOf(repeats, [&] {
        CExportFile file;
        if (!file.Open(path)) {
            failure = QStringLiteral("cannot write %1").arg(path);
            return;
        }
        try {
            WriteDictionaryExport(file, results, params, left, right);
        } catch (const CExportError& error) {
            failure = error.Message();
        }
    });
    const qint64 exportBytes = QFileInfo(path).size();
    QFile::remove(path);
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(failure));
        return 1;
    }

    const auto& counters = results.DictionaryCounters();
    std::fprintf(stderr,
                 "%d items: %d same, %d left, %d right, %d different; run %.3f s; export %lld "
                 "bytes\n",
                 entries, counters[0], counters[1], counters[2], counters[3], run,
                 static_cast<long long>(exportBytes));
    if (counted != counters || found != 0) {
        std::fprintf(stderr, "the reads disagree with the run: %d found\n", found);
        return 1;
    }
    std::printf("dictionary_fill_s: %.3f\n", fill);
    std::printf("dictionary_find_s: %.3f\n", find);
    std::printf("dictionary_export_s: %.3f\n", exported);
    std::printf("dictionary_view_rss_mb: %.1f\n", PeakRssMb());
    return 0;
}
