// Measures both comparison runs against their floor: a bare loop in the same process that makes
// the same ODBC calls and SELECTs and fetches the same columns, with no comparison and no result
// file. Two SQLite data sources are created once and cached in bench-data beside the program.
// Prints one figure per line as "name: value". --smoke runs small sizes, to keep the benchmark
// working.
#include "BenchData.h"

#include "model/NameOrdering.h"
#include "model/ParamWord.h"
#include "odbc/DataSourceSide.h"
#include "odbc/OdbcConnection.h"
#include "odbc/OdbcStatement.h"
#include "runs/ComparisonResults.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <sqlext.h>
#include <sqlucode.h>

#include <cstdio>

namespace {

struct Sizes {
    int tables;
    int columns;
    int items;
    int rssSmall;
    int rssLarge;
};

// The catalogue calls and fetches of a table run, without comparing or writing anything.
double TableFloorSeconds(const QString& leftName, const QString& rightName,
                         const QStringList& commonTables) {
    QElapsedTimer timer;
    timer.start();
    COdbcConnection left;
    COdbcConnection right;
    left.Open(leftName);
    right.Open(rightName);
    long long rows = 0;
    for (const QString& table : commonTables) {
        for (COdbcConnection* connection : {&left, &right}) {
            COdbcStatement statement(*connection);
            statement.Execute([&table](SQLHSTMT handle) {
                return SQLColumnsW(
                    handle, nullptr, SQL_NTS, nullptr, SQL_NTS,
                    const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(table.utf16())),
                    SQL_NTS, nullptr, SQL_NTS);
            });
            for (int column : {1, 2, 3, 4, 6})
                statement.BindText(SQLUSMALLINT(column), 256);
            statement.BindInt16(5);
            statement.BindInt32(7);
            while (statement.Fetch() == COdbcStatement::FetchResult::Row)
                ++rows;
        }
    }
    if (rows == 0)
        std::fprintf(stderr, "table floor fetched no rows\n");
    return timer.nsecsElapsed() / 1e9;
}

// The queries and fetches of a data-dictionary run, without comparing or writing anything.
double DictionaryFloorSeconds(const QString& leftName, const QString& rightName) {
    QElapsedTimer timer;
    timer.start();
    COdbcConnection left;
    COdbcConnection right;
    left.Open(leftName);
    right.Open(rightName);
    const auto run = [](COdbcConnection& connection, const QString& sql, bool wholeRows,
                        bool firstRowOnly = false) {
        COdbcStatement statement(connection);
        statement.ExecuteDirect(sql);
        statement.BindText(1, 11);
        if (wholeRows) {
            statement.BindText(2, 3);
            statement.BindInt32(3);
            statement.BindText(4, 5);
            statement.BindInt16(5);
            statement.BindText(6, 2);
        }
        long long rows = 0;
        while (statement.Fetch() == COdbcStatement::FetchResult::Row) {
            ++rows;
            if (firstRowOnly)
                break;
        }
        return rows;
    };
    // The size lookups read the first matching row, as the run does.
    for (const char* item : {"DTAI", "DTAT", "OWTP", "CDEC"}) {
        for (COdbcConnection* connection : {&left, &right})
            run(*connection,
                QStringLiteral("SELECT FRDTAS FROM F9210 WHERE FRDTAI='%1'")
                    .arg(QLatin1String(item)),
                false, true);
    }
    const QString keys = QStringLiteral("SELECT FRDTAI FROM F9210 ORDER BY FRDTAI");
    const QString rows = QStringLiteral(
        "SELECT FRDTAI, FRDTAT, FRDTAS, FROWTP, FRDTAD, FRCDEC FROM F9210 ORDER BY FRDTAI");
    run(left, keys, false);
    run(right, keys, false);
    run(left, rows, true);
    run(right, rows, true);
    return timer.nsecsElapsed() / 1e9;
}

QString RssName(int tables, bool isLeft) {
    return QStringLiteral("BenchRss%1%2").arg(tables).arg(isLeft ? 'L' : 'R');
}

// Child mode: one table run over `tables` tables; prints the process's peak memory.
int MeasureRss(int tables) {
    CDataSourceSide left;
    CDataSourceSide right;
    if (!OpenSide(left, RssName(tables, true)) || !OpenSide(right, RssName(tables, false)))
        return 1;
    CParamWord params;
    CComparisonResults results(left, right, params);
    CSilentProgress progress;
    if (!results.RunTableComparison(progress))
        return 1;
    std::printf("%.1f\n", PeakRssMb());
    return 0;
}

// Child mode: one data-dictionary run between two data sources; prints the process's peak memory
// and the widths of the result file's fields.
int MeasureDictionaryRss(const QString& leftName, const QString& rightName) {
    CDataSourceSide left;
    CDataSourceSide right;
    if (!OpenSide(left, leftName) || !OpenSide(right, rightName))
        return 1;
    CParamWord params;
    CComparisonResults results(left, right, params);
    CSilentProgress progress;
    if (!results.RunDictionaryComparison(progress))
        return 1;
    std::printf("%.1f %d %d\n", PeakRssMb(), results.KeyWidth(), results.ItemTypeWidth());
    return 0;
}

QString RunChild(const QStringList& arguments) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), arguments);
    child.waitForFinished(-1);
    return child.exitCode() == 0 ? QString::fromUtf8(child.readAllStandardOutput().trimmed())
                                 : QString();
}

double RssOfChild(int tables, bool smoke) {
    QProcess child;
    QStringList arguments{QStringLiteral("--rss"), QString::number(tables)};
    if (smoke)
        arguments.append(QStringLiteral("--smoke"));
    child.start(QCoreApplication::applicationFilePath(), arguments);
    child.waitForFinished(-1);
    return child.exitCode() == 0 ? child.readAllStandardOutput().trimmed().toDouble() : -1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const bool smoke = arguments.contains(QStringLiteral("--smoke"));
    const Sizes sizes =
        smoke ? Sizes{200, 20, 5000, 100, 1000} : Sizes{5000, 20, 200000, 1000, 10000};

    const QString left = smoke ? QStringLiteral("BenchSmokeL") : QStringLiteral("BenchLeft");
    const QString right = smoke ? QStringLiteral("BenchSmokeR") : QStringLiteral("BenchRight");
    const QString mistyped = left + QStringLiteral("Mistyped");
    UseBenchDataSources({left, right, mistyped, RssName(sizes.rssSmall, true),
                         RssName(sizes.rssSmall, false), RssName(sizes.rssLarge, true),
                         RssName(sizes.rssLarge, false)});

    const qsizetype rssAt = arguments.indexOf(QStringLiteral("--rss"));
    if (rssAt >= 0 && rssAt + 1 < arguments.size())
        return MeasureRss(arguments[rssAt + 1].toInt());
    const qsizetype dictionaryRssAt = arguments.indexOf(QStringLiteral("--dictionary-rss"));
    if (dictionaryRssAt >= 0 && dictionaryRssAt + 2 < arguments.size())
        return MeasureDictionaryRss(arguments[dictionaryRssAt + 1], arguments[dictionaryRssAt + 2]);

    bool ready =
        EnsureDatabase(left, SchemaSql(true, sizes.tables, sizes.columns, sizes.items)) &&
        EnsureDatabase(right, SchemaSql(false, sizes.tables, sizes.columns, sizes.items)) &&
        EnsureDatabase(mistyped, SchemaSql(true, 0, 0, sizes.items, true));
    for (const int tables : {sizes.rssSmall, sizes.rssLarge}) {
        ready = ready && EnsureDatabase(RssName(tables, true), SchemaSql(true, tables, 5, 0)) &&
                EnsureDatabase(RssName(tables, false), SchemaSql(false, tables, 5, 0));
    }
    if (!ready)
        return 1;

    CDataSourceSide leftSide;
    CDataSourceSide rightSide;
    if (!OpenSide(leftSide, left) || !OpenSide(rightSide, right)) {
        std::fprintf(stderr, "cannot open the benchmark data sources\n");
        return 1;
    }
    CParamWord params;
    CComparisonResults results(leftSide, rightSide, params);
    CSilentProgress progress;

    QStringList common;
    for (const QString& table : leftSide.TableNames()) {
        if (FindSorted(true, rightSide.TableNames(), table) >= 0)
            common.append(table);
    }
    // --dictionary skips the long table part, to study the data-dictionary run alone.
    const bool tables = !arguments.contains(QStringLiteral("--dictionary"));
    QElapsedTimer timer;
    double tableFloor = 0;
    double tableRun = 0;
    bool tableDone = true;
    if (tables) {
        tableFloor = TableFloorSeconds(left, right, common);
        timer.start();
        tableDone = results.RunTableComparison(progress);
        tableRun = timer.nsecsElapsed() / 1e9;
        // The floor again, after the run: whichever ran first paid for cold caches.
        tableFloor = std::min(tableFloor, TableFloorSeconds(left, right, common));
    }

    double dictionaryFloor = DictionaryFloorSeconds(left, right);
    timer.restart();
    const bool dictionaryDone = results.RunDictionaryComparison(progress);
    const double dictionaryRun = timer.nsecsElapsed() / 1e9;
    dictionaryFloor = std::min(dictionaryFloor, DictionaryFloorSeconds(left, right));
    if (!tableDone || !dictionaryDone) {
        std::fprintf(stderr, "a comparison run failed\n");
        return 1;
    }
    const auto& counters = results.TableCounters();
    std::fprintf(stderr,
                 "tables %d same, %d left, %d right, %d different; items %d same, %d left, "
                 "%d right, %d different\n",
                 counters[0], counters[1], counters[2], counters[3],
                 results.DictionaryCounters()[0], results.DictionaryCounters()[1],
                 results.DictionaryCounters()[2], results.DictionaryCounters()[3]);

    const double rssSmall = tables ? RssOfChild(sizes.rssSmall, smoke) : 0;
    const double rssLarge = tables ? RssOfChild(sizes.rssLarge, smoke) : 0;
    if (tables) {
        std::printf("table_run_s: %.3f\n", tableRun);
        std::printf("table_floor_s: %.3f\n", tableFloor);
        std::printf("table_ratio: %.3f\n", tableRun / tableFloor);
    }
    std::printf("dictionary_run_s: %.3f\n", dictionaryRun);
    std::printf("dictionary_floor_s: %.3f\n", dictionaryFloor);
    std::printf("dictionary_ratio: %.3f\n", dictionaryRun / dictionaryFloor);
    if (tables) {
        std::printf("table_rss_mb_%d: %.1f\n", sizes.rssSmall, rssSmall);
        std::printf("table_rss_mb_%d: %.1f\n", sizes.rssLarge, rssLarge);
    }

    // A dictionary whose DTAI and DTAT declare 2,147,483,647 against the same one with true
    // sizes: the fields, and so memory and the result file, follow the data read.
    const QString size = smoke ? QStringLiteral("--smoke") : QString();
    const QStringList normal =
        RunChild({QStringLiteral("--dictionary-rss"), left, right, size}).split(QLatin1Char(' '));
    const QStringList huge = RunChild({QStringLiteral("--dictionary-rss"), mistyped, right, size})
                                 .split(QLatin1Char(' '));
    if (normal.size() == 3 && huge.size() == 3) {
        std::printf("dictionary_rss_mb: %s\n", qPrintable(normal[0]));
        std::printf("dictionary_rss_mb_mistyped_sizes: %s\n", qPrintable(huge[0]));
        std::printf("dictionary_rss_ratio_mistyped: %.2f\n",
                    huge[0].toDouble() / normal[0].toDouble());
        std::printf("dictionary_key_width: %s (mistyped: %s)\n", qPrintable(normal[1]),
                    qPrintable(huge[1]));
        std::printf("dictionary_item_type_width: %s (mistyped: %s)\n", qPrintable(normal[2]),
                    qPrintable(huge[2]));
    } else {
        std::fprintf(stderr, "a data-dictionary memory run failed\n");
        return 1;
    }
    return 0;
}
