// Measures both comparison runs against their floor: a bare loop in the same process that makes
// the same ODBC calls and SELECTs and fetches the same columns, with no comparison and no result
// file. Two SQLite data sources are created once and cached in bench-data beside the program.
// The data-dictionary run is also timed in CPU at two sizes five times apart, to show how its
// cost grows, and through data sources defined without StepAPI. Prints one figure per line as
// "name: value". --smoke runs small sizes, to keep the benchmark working.
#include "BenchData.h"
#include "DelayingRelay.h"

#include "model/NameOrdering.h"
#include "model/ParamWord.h"
#include "odbc/DataSourceSide.h"
#include "odbc/IndexCatalogue.h"
#include "odbc/OdbcConnection.h"
#include "odbc/OdbcStatement.h"
#include "runs/ComparisonResults.h"
#include "snapshot/SnapshotSide.h"
#include "snapshot/SnapshotWriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <array>

#include <sqlext.h>
#include <sqlucode.h>

#include <cstdio>

#include <sys/resource.h>

namespace {

struct Sizes {
    int tables;
    int columns;
    int items;
    int rssSmall;
    int rssLarge;
    int rssBulk;
};

SQLWCHAR* OptionalText(const QString& text) {
    return text.isEmpty() ? nullptr
                          : const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(text.utf16()));
}

// One column catalogue call with the run's bindings, every row fetched; the number of rows.
long long FetchColumns(COdbcConnection& connection, const QString& schema, const QString& table) {
    COdbcStatement statement(connection);
    statement.Execute([&table, &schema](SQLHSTMT handle) {
        return SQLColumnsW(handle, nullptr, SQL_NTS, OptionalText(schema), SQL_NTS,
                           OptionalText(table), SQL_NTS, nullptr, SQL_NTS);
    });
    for (int column : {1, 2, 3, 4, 6})
        statement.BindText(SQLUSMALLINT(column), 256);
    statement.BindInt16(5);
    statement.BindInt32(7);
    long long rows = 0;
    while (statement.Fetch() == COdbcStatement::FetchResult::Row)
        ++rows;
    return rows;
}

// The catalogue calls and fetches of a table run, without comparing or writing anything.
double TableFloorSeconds(const QString& leftName, const QString& rightName,
                         const QStringList& commonTables, const QString& leftSchema = {},
                         const QString& rightSchema = {}) {
    QElapsedTimer timer;
    timer.start();
    COdbcConnection left;
    COdbcConnection right;
    left.Open(leftName);
    right.Open(rightName);
    long long rows = 0;
    for (const QString& table : commonTables) {
        for (COdbcConnection* connection : {&left, &right}) {
            const QString& schema = connection == &left ? leftSchema : rightSchema;
            rows += FetchColumns(*connection, schema, table);
        }
    }
    if (rows == 0)
        std::fprintf(stderr, "table floor fetched no rows\n");
    return timer.nsecsElapsed() / 1e9;
}

// One catalogue call per side for every column of the owner, every row fetched: the floor of a
// table run that reads each side at once.
double TableBulkFloorSeconds(const QString& leftName, const QString& rightName,
                             const QString& leftSchema = {}, const QString& rightSchema = {}) {
    QElapsedTimer timer;
    timer.start();
    long long rows = 0;
    for (const bool isLeft : {true, false}) {
        COdbcConnection connection;
        connection.Open(isLeft ? leftName : rightName);
        const QString& schema = isLeft ? leftSchema : rightSchema;
        rows += FetchColumns(connection, schema, {}); // no table name: every table
    }
    if (rows == 0)
        std::fprintf(stderr, "bulk table floor fetched no rows\n");
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
enum class RssMode { SidesOpen, PerTable, ReadAll };

int MeasureRss(int tables, RssMode mode) {
    CDataSourceSide left;
    CDataSourceSide right;
    if (!OpenSide(left, RssName(tables, true)) || !OpenSide(right, RssName(tables, false)))
        return 1;
    if (mode == RssMode::SidesOpen) {
        std::printf("%.1f\n", PeakRssMb());
        return 0;
    }
    CParamWord params;
    CComparisonResults results(left, right, params);
    results.SetReadAllColumns(mode == RssMode::ReadAll);
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

// The data dictionaries of the growth figures: DictionarySql's pairs of two sizes, five times
// apart. The same databases are defined a second time without StepAPI, as a user may have them.
std::array<int, 2> GrowthSizes(bool smoke) {
    return smoke ? std::array<int, 2>{5000, 25000} : std::array<int, 2>{200000, 1000000};
}

QString GrowthName(int items, bool isLeft, bool stepApi = true) {
    return QStringLiteral("BenchGrowth%1%2%3")
        .arg(items)
        .arg(stepApi ? QString() : QStringLiteral("NoStep"))
        .arg(isLeft ? 'L' : 'R');
}

void AddGrowthDataSourcesWithoutStepApi(bool smoke) {
    for (const int items : GrowthSizes(smoke)) {
        for (const bool isLeft : {true, false})
            AddBenchDataSource(QStringLiteral("[%1]\nDriver=SQLite3\nDatabase=%2\n")
                                   .arg(GrowthName(items, isLeft, false),
                                        DatabasePath(GrowthName(items, isLeft))));
    }
}

double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Child mode: one data-dictionary run between two data sources; prints the CPU seconds (user and
// system, the driver's reading included) and the seconds of the run, and the process's peak
// memory.
int MeasureDictionaryCpu(const QString& leftName, const QString& rightName) {
    CDataSourceSide left;
    CDataSourceSide right;
    if (!OpenSide(left, leftName) || !OpenSide(right, rightName))
        return 1;
    CParamWord params;
    CComparisonResults results(left, right, params);
    CSilentProgress progress;
    const double cpu = CpuSeconds();
    QElapsedTimer timer;
    timer.start();
    if (!results.RunDictionaryComparison(progress))
        return 1;
    std::printf("%.3f %.3f %.1f\n", CpuSeconds() - cpu, timer.nsecsElapsed() / 1e9, PeakRssMb());
    return 0;
}

QString RunChild(const QStringList& arguments) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), arguments);
    child.waitForFinished(-1);
    return child.exitCode() == 0 ? QString::fromUtf8(child.readAllStandardOutput().trimmed())
                                 : QString();
}

double RssOfChild(int tables, bool smoke, RssMode mode = RssMode::ReadAll) {
    QProcess child;
    QStringList arguments{QStringLiteral("--rss"), QString::number(tables)};
    if (smoke)
        arguments.append(QStringLiteral("--smoke"));
    if (mode == RssMode::PerTable)
        arguments.append(QStringLiteral("--per-table"));
    if (mode == RssMode::SidesOpen)
        arguments.append(QStringLiteral("--sides-open"));
    child.start(QCoreApplication::applicationFilePath(), arguments);
    child.waitForFinished(-1);
    return child.exitCode() == 0 ? child.readAllStandardOutput().trimmed().toDouble() : -1;
}

// Both reading paths of the table run between two open sides, each beside its floor; prints
// the figures and returns false when a run fails or the paths disagree.
// The table lists both sides read again before each comparison of the window, beside the run.
double RelistSeconds(std::array<CDataSourceSide*, 2> sides) {
    QElapsedTimer timer;
    timer.start();
    for (CDataSourceSide* side : sides) {
        CTableListing listing;
        if (!side->ReadTableListing(listing))
            return -1;
    }
    return timer.nsecsElapsed() / 1e9;
}

bool TableFigures(CComparisonResults& results, std::array<CDataSourceSide*, 2> sides,
                  const QString& left, const QString& right, const QStringList& common,
                  const QString& leftSchema = {}, const QString& rightSchema = {}) {
    CSilentProgress progress;
    QElapsedTimer timer;
    double floor = TableFloorSeconds(left, right, common, leftSchema, rightSchema);
    results.SetReadAllColumns(false);
    timer.start();
    const bool perTableDone = results.RunTableComparison(progress);
    const double perTable = timer.nsecsElapsed() / 1e9;
    const auto perTableCounters = results.TableCounters();

    double bulkFloor = TableBulkFloorSeconds(left, right, leftSchema, rightSchema);
    results.SetReadAllColumns(true);
    timer.restart();
    const bool bulkDone = results.RunTableComparison(progress);
    const double bulk = timer.nsecsElapsed() / 1e9;
    // The floors again, after the runs: whichever ran first paid for cold caches.
    bulkFloor = std::min(bulkFloor, TableBulkFloorSeconds(left, right, leftSchema, rightSchema));
    floor = std::min(floor, TableFloorSeconds(left, right, common, leftSchema, rightSchema));
    if (!perTableDone || !bulkDone) {
        std::fprintf(stderr, "a table run failed: %s\n", qPrintable(results.LastFailure()));
        return false;
    }
    const auto& counters = results.TableCounters();
    std::fprintf(stderr, "tables %d same, %d left, %d right, %d different\n", counters[0],
                 counters[1], counters[2], counters[3]);
    if (counters != perTableCounters) {
        std::fprintf(stderr, "the two reading paths disagree\n");
        return false;
    }
    std::printf("table_run_s: %.3f\n", perTable);
    std::printf("table_floor_s: %.3f\n", floor);
    std::printf("table_ratio: %.3f\n", perTable / floor);
    std::printf("table_bulk_s: %.3f\n", bulk);
    std::printf("table_bulk_floor_s: %.3f\n", bulkFloor);
    std::printf("table_bulk_ratio: %.3f\n", bulk / bulkFloor);
    std::printf("table_bulk_speedup: %.1f\n", perTable / bulk);
    // Fastest of three: the first pays for cold caches.
    double relist = RelistSeconds(sides);
    for (int again = 0; again < 2 && relist >= 0; ++again)
        relist = std::min(relist, RelistSeconds(sides));
    if (relist < 0) {
        std::fprintf(stderr, "a table list could not be read again\n");
        return false;
    }
    std::printf("table_relist_s: %.3f\n", relist);
    std::printf("table_relist_share: %.3f\n", relist / bulk);
    return true;
}

// The seconds that reading every index of the side takes; -1 when it fails.
double ReadAllIndexesSeconds(CDataSourceSide& side, CIndexCatalogue& catalogue) {
    QElapsedTimer timer;
    timer.start();
    if (side.ReadAllIndexes(catalogue, {}))
        return timer.nsecsElapsed() / 1e9;
    std::fprintf(stderr, "the indexes of %s could not be read: %s\n",
                 qPrintable(side.DisplayName()), qPrintable(side.LastDiagnostic()));
    return -1;
}

// Every index of a side read whole, best of three, and table by table; prints both times and
// returns false when a reading fails or the two disagree on a table.
bool IndexFigures(CDataSourceSide& side) {
    CIndexCatalogue catalogue;
    double whole = -1;
    for (int run = 0; run < 3; ++run) {
        const double seconds = ReadAllIndexesSeconds(side, catalogue);
        if (seconds < 0)
            return false;
        whole = whole < 0 ? seconds : std::min(whole, seconds);
    }
    std::vector<CIndexInfoArray> perTable(size_t(side.TableCount()));
    QElapsedTimer timer;
    timer.start();
    for (int table = 0; table < side.TableCount(); ++table) {
        if (!side.ReadIndexes(side.GetTableName(table), perTable[size_t(table)])) {
            std::fprintf(stderr, "the indexes of %s could not be read: %s\n",
                         qPrintable(side.GetTableName(table)), qPrintable(side.LastDiagnostic()));
            return false;
        }
    }
    const double oneByOne = timer.nsecsElapsed() / 1e9;
    for (int table = 0; table < side.TableCount(); ++table) {
        CIndexInfoArray indexes;
        const CIndexInfoArray& expected = perTable[size_t(table)];
        bool same = catalogue.Indexes(side.GetTableName(table), indexes) &&
                    indexes.size() == expected.size();
        for (size_t index = 0; same && index < indexes.size(); ++index)
            same = indexes[index]->name == expected[index]->name &&
                   indexes[index]->unique == expected[index]->unique &&
                   indexes[index]->columns == expected[index]->columns &&
                   indexes[index]->ascending == expected[index]->ascending;
        if (!same) {
            std::fprintf(stderr, "the two readings disagree on %s\n",
                         qPrintable(side.GetTableName(table)));
            return false;
        }
    }
    std::printf("index_rows: %lld\n", static_cast<long long>(catalogue.RowCount()));
    std::printf("index_read_s: %.3f (%s)\n", whole,
                side.ReadsAllIndexesAtOnce() ? "whole side" : "table by table");
    std::printf("index_read_per_table_s: %.3f\n", oneByOne);
    std::printf("index_read_speedup: %.1f\n", oneByOne / whole);
    return true;
}

// The seconds of a table run, fastest of two; -1 when one fails.
double TableRunSeconds(CComparisonResults& results) {
    CSilentProgress progress;
    double fastest = -1;
    for (int run = 0; run < 2; ++run) {
        QElapsedTimer timer;
        timer.start();
        if (!results.RunTableComparison(progress)) {
            std::fprintf(stderr, "a table run failed: %s\n", qPrintable(results.LastFailure()));
            return -1;
        }
        const double seconds = timer.nsecsElapsed() / 1e9;
        fastest = fastest < 0 ? seconds : std::min(fastest, seconds);
    }
    return fastest;
}

// The table run on the whole-side path with the indexes compared beside it without them.
bool TableIndexFigures(CComparisonResults& results, CParamWord& params) {
    results.SetReadAllColumns(true);
    params.SetBit(ParamBit::CompareIndexes, false);
    const double without = TableRunSeconds(results);
    params.SetBit(ParamBit::CompareIndexes, true);
    const double with = TableRunSeconds(results);
    params.SetBit(ParamBit::CompareIndexes, false);
    if (without < 0 || with < 0)
        return false;
    const auto& counters = results.TableCounters();
    std::fprintf(stderr, "with indexes: tables %d same, %d left, %d right, %d different\n",
                 counters[0], counters[1], counters[2], counters[3]);
    std::printf("table_noindex_s: %.3f\n", without);
    std::printf("table_index_s: %.3f\n", with);
    std::printf("table_index_ratio: %.3f\n", with / without);
    return true;
}

// A snapshot of side written to path; its seconds, or -1 when it fails.
double SnapshotSeconds(CDataSourceSide& side, const QString& path, qint64* size = nullptr) {
    CSnapshotWriter writer;
    CSilentProgress progress;
    QElapsedTimer timer;
    timer.start();
    if (!writer.Take(side, CParamWord(), path, progress)) {
        std::fprintf(stderr, "the snapshot of %s failed: %s\n", qPrintable(side.DisplayName()),
                     qPrintable(writer.LastFailure()));
        return -1;
    }
    if (size)
        *size = writer.FileSize();
    return timer.nsecsElapsed() / 1e9;
}

// A table run and a data-dictionary run between two sides, in seconds; -1 when one fails.
double ComparisonSeconds(CSide& left, CSide& right) {
    CParamWord params;
    CComparisonResults results(left, right, params);
    CSilentProgress progress;
    QElapsedTimer timer;
    timer.start();
    if (!results.RunTableComparison(progress) || !results.RunDictionaryComparison(progress)) {
        std::fprintf(stderr, "a comparison failed: %s\n", qPrintable(results.LastFailure()));
        return -1;
    }
    return timer.nsecsElapsed() / 1e9;
}

// Snapshots of both sides against what comparing them costs: the left one's time beside a table
// run and a data-dictionary run of the pair, its size, and the same comparison between the two
// snapshots.
bool SnapshotFigures(CDataSourceSide& left, CDataSourceSide& right, const QString& prefix) {
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/bench-data");
    const QString leftPath = folder + QStringLiteral("/%1-left.qvsnap").arg(prefix);
    const QString rightPath = folder + QStringLiteral("/%1-right.qvsnap").arg(prefix);
    const double live = ComparisonSeconds(left, right);
    qint64 size = 0;
    const double taken = SnapshotSeconds(left, leftPath, &size);
    if (live < 0 || taken < 0 || SnapshotSeconds(right, rightPath) < 0)
        return false;
    CSnapshotSide leftSnapshot;
    CSnapshotSide rightSnapshot;
    if (!leftSnapshot.Open(leftPath) || !rightSnapshot.Open(rightPath)) {
        std::fprintf(stderr, "a snapshot cannot be opened: %s%s\n",
                     qPrintable(leftSnapshot.LastDiagnostic()),
                     qPrintable(rightSnapshot.LastDiagnostic()));
        return false;
    }
    const double compared = ComparisonSeconds(leftSnapshot, rightSnapshot);
    if (compared < 0)
        return false;
    std::printf("%s_snapshot_s: %.3f\n", qPrintable(prefix), taken);
    std::printf("%s_snapshot_compare_live_s: %.3f\n", qPrintable(prefix), live);
    std::printf("%s_snapshot_ratio: %.3f\n", qPrintable(prefix), taken / live);
    std::printf("%s_snapshot_file_mb: %.1f\n", qPrintable(prefix), size / 1048576.0);
    std::printf("%s_snapshot_pair_compare_s: %.3f\n", qPrintable(prefix), compared);
    QFile::remove(leftPath);
    QFile::remove(rightPath);
    return true;
}

// Child mode: a snapshot of one data source; prints the process's peak memory.
// The data-dictionary run at two sizes five times apart, each in a process of its own, best of
// two by CPU time: dictionary_growth is 1 when the cost grows as the items do. Then the larger
// pair as data sources defined without StepAPI.
bool GrowthFigures(bool smoke) {
    const auto run = [smoke](int items, bool stepApi) {
        QStringList figures =
            RunChild({QStringLiteral("--dictionary-cpu"), GrowthName(items, true, stepApi),
                      GrowthName(items, false, stepApi),
                      smoke ? QStringLiteral("--smoke") : QString()})
                .split(QLatin1Char(' '));
        if (figures.size() != 3)
            std::fprintf(stderr, "the data-dictionary run of %d items failed\n", items);
        return figures;
    };
    const std::array<int, 2> sizes = GrowthSizes(smoke);
    std::array<QStringList, 2> best;
    for (size_t size = 0; size < sizes.size(); ++size) {
        for (int repeat = 0; repeat < 2; ++repeat) {
            const QStringList figures = run(sizes[size], true);
            if (figures.size() != 3)
                return false;
            if (best[size].isEmpty() || figures[0].toDouble() < best[size][0].toDouble())
                best[size] = figures;
        }
    }
    const QStringList noStep = run(sizes[1], false);
    if (noStep.size() != 3)
        return false;
    for (size_t size = 0; size < sizes.size(); ++size)
        std::printf("dictionary_cpu_s_%d: %s (run %s s, peak %s MB)\n", sizes[size],
                    qPrintable(best[size][0]), qPrintable(best[size][1]),
                    qPrintable(best[size][2]));
    std::printf("dictionary_growth: %.3f\n", best[1][0].toDouble() / (5 * best[0][0].toDouble()));
    std::printf("dictionary_rss_mb_%d: %s\n", sizes[1], qPrintable(best[1][2]));
    std::printf("dictionary_rss_mb_%d_no_stepapi: %s\n", sizes[1], qPrintable(noStep[2]));
    std::printf("dictionary_run_s_%d: %s\n", sizes[1], qPrintable(best[1][1]));
    std::printf("dictionary_run_s_%d_no_stepapi: %s\n", sizes[1], qPrintable(noStep[1]));
    return true;
}

int MeasureSnapshotRss(const QString& name) {
    CDataSourceSide side;
    if (!OpenSide(side, name))
        return 1;
    const QString path =
        QCoreApplication::applicationDirPath() + QStringLiteral("/bench-data/rss.qvsnap");
    if (SnapshotSeconds(side, path) < 0)
        return 1;
    QFile::remove(path);
    std::printf("%.1f\n", PeakRssMb());
    return 0;
}

QStringList CommonTables(const CDataSourceSide& left, const CDataSourceSide& right) {
    QStringList common;
    for (const QString& table : left.TableNames()) {
        if (FindSorted(true, right.TableNames(), table) >= 0)
            common.append(table);
    }
    return common;
}

// The two schemas of the PostgreSQL benchmark through the data source name, listed.
bool OpenPostgresSides(const QString& name, CDataSourceSide& left, CDataSourceSide& right) {
    for (auto [side, owner] :
         {std::pair{&left, "quorvix_bench.bench_l"}, {&right, "quorvix_bench.bench_r"}}) {
        side->SetDataSource(name, CDataSourceSide::SystemDataSource);
        side->SetOwnerQualifier(QLatin1String(owner));
        if (!side->Connect() || !side->ListTables(nullptr)) {
            std::fprintf(stderr, "cannot open %s through %s: %s\n", owner, qPrintable(name),
                         qPrintable(side->LastDiagnostic()));
            return false;
        }
    }
    return true;
}

// The same server behind a relay that delays each direction by 10 ms, as across a wide-area
// link: the table run as it is, and the left side's indexes read whole and, from a sample of
// tables, one by one.
bool WanFigures(quint16 serverPort, bool smoke) {
    const CDelayingRelay relay(serverPort, 10);
    if (relay.Port() == 0) {
        std::fprintf(stderr, "the relay could not listen\n");
        return false;
    }
    const QString name = QStringLiteral("BenchPostgresWan");
    // The driver's default: each call's rows come in one answer.
    AddBenchDataSource(QStringLiteral("[%1]\nDriver=PostgreSQL Unicode\nServername=127.0.0.1\n"
                                      "Port=%2\nDatabase=quorvix_bench\nUsername=postgres\n")
                           .arg(name)
                           .arg(relay.Port()));
    CDataSourceSide left;
    CDataSourceSide right;
    if (!OpenPostgresSides(name, left, right))
        return false;
    CParamWord params;
    CComparisonResults results(left, right, params);
    CSilentProgress progress;
    QElapsedTimer timer;
    timer.start();
    if (!results.RunTableComparison(progress)) {
        std::fprintf(stderr, "the table run through the relay failed: %s\n",
                     qPrintable(results.LastFailure()));
        return false;
    }
    std::printf("table_wan_s: %.3f\n", timer.nsecsElapsed() / 1e9);
    params.SetBit(ParamBit::CompareIndexes, true);
    timer.restart();
    if (!results.RunTableComparison(progress)) {
        std::fprintf(stderr, "the table run with indexes through the relay failed: %s\n",
                     qPrintable(results.LastFailure()));
        return false;
    }
    std::printf("table_index_wan_s: %.3f\n", timer.nsecsElapsed() / 1e9);
    const QString path =
        QCoreApplication::applicationDirPath() + QStringLiteral("/bench-data/wan.qvsnap");
    const double snapshot = SnapshotSeconds(left, path);
    QFile::remove(path);
    if (snapshot < 0)
        return false;
    std::printf("snapshot_wan_s: %.3f\n", snapshot);

    CIndexCatalogue catalogue;
    const double whole = ReadAllIndexesSeconds(left, catalogue);
    if (whole < 0)
        return false;
    const int sample = std::min(smoke ? 10 : 50, left.TableCount());
    timer.restart();
    for (int table = 0; table < sample; ++table) {
        CIndexInfoArray indexes;
        if (!left.ReadIndexes(left.GetTableName(table), indexes))
            return false;
    }
    const double perTable = timer.nsecsElapsed() / 1e9 / sample * left.TableCount();
    std::printf("index_read_wan_s: %.3f (%d tables, %lld rows)\n", whole, left.TableCount(),
                static_cast<long long>(catalogue.RowCount()));
    std::printf("index_read_per_table_wan_s: %.1f (from %d tables)\n", perTable, sample);
    std::printf("index_read_wan_speedup: %.0f\n", perTable / whole);
    return true;
}

// The psqlODBC settings of the fetch figures: 0 for the driver's default, which holds each
// answer whole, then UseDeclareFetch=1 with blocks of that many rows (100 is the driver's
// default block).
constexpr std::array<int, 5> kFetchBlocks{0, 100, 1000, 10000, 50000};

QString FetchSetting(int rows) {
    return rows == 0 ? QStringLiteral("whole") : QString::number(rows);
}

// Child mode: through the data source, a snapshot of the left schema or a data-dictionary run of
// both; prints the seconds it took, its CPU seconds (the driver's included), the process's peak
// memory and its peak with the sides open.
int MeasureFetch(const QString& name, bool dictionary) {
    CDataSourceSide left;
    CDataSourceSide right;
    if (!OpenPostgresSides(name, left, right))
        return 1;
    const double opened = PeakRssMb();
    const double cpu = CpuSeconds();
    QElapsedTimer timer;
    timer.start();
    if (dictionary) {
        CParamWord params;
        CComparisonResults results(left, right, params);
        CSilentProgress progress;
        if (!results.RunDictionaryComparison(progress)) {
            std::fprintf(stderr, "the data-dictionary run through %s failed: %s\n",
                         qPrintable(name), qPrintable(results.LastFailure()));
            return 1;
        }
    } else {
        const QString path = QCoreApplication::applicationDirPath() +
                             QStringLiteral("/bench-data/fetch-%1.qvsnap").arg(name);
        const bool taken = SnapshotSeconds(left, path) >= 0;
        QFile::remove(path);
        if (!taken)
            return 1;
    }
    std::printf("%.3f %.3f %.1f %.1f\n", timer.nsecsElapsed() / 1e9, CpuSeconds() - cpu,
                PeakRssMb(), opened);
    return 0;
}

// --postgres --fetch-sizes: what psqlODBC's fetching costs across a slow link. Behind the relay,
// each setting of kFetchBlocks takes a snapshot of the left schema and runs the data-dictionary
// comparison, each in a process of its own so that its peak memory is its own.
bool FetchFigures(quint16 serverPort) {
    const CDelayingRelay relay(serverPort, 10);
    if (relay.Port() == 0) {
        std::fprintf(stderr, "the relay could not listen\n");
        return false;
    }
    for (const int rows : kFetchBlocks) {
        QString section = QStringLiteral("[BenchFetch%1]\nDriver=PostgreSQL Unicode\n"
                                         "Servername=127.0.0.1\nPort=%2\nDatabase=quorvix_bench\n"
                                         "Username=postgres\n")
                              .arg(FetchSetting(rows))
                              .arg(relay.Port());
        if (rows > 0)
            section += QStringLiteral("UseDeclareFetch=1\nFetch=%1\n").arg(rows);
        AddBenchDataSource(section);
    }
    for (const bool dictionary : {false, true}) {
        const char* what = dictionary ? "dictionary" : "snapshot";
        for (const int rows : kFetchBlocks) {
            QStringList arguments{QStringLiteral("--fetch-run"),
                                  QStringLiteral("BenchFetch") + FetchSetting(rows),
                                  QLatin1String(what)};
            const QStringList figures = RunChild(arguments).split(QLatin1Char(' '));
            if (figures.size() != 4) {
                std::fprintf(stderr, "the %s with Fetch=%s failed\n", what,
                             qPrintable(FetchSetting(rows)));
                return false;
            }
            const QByteArray setting = FetchSetting(rows).toLatin1();
            std::printf("fetch_%s_wan_s_%s: %s (cpu %s s)\n", what, setting.constData(),
                        qPrintable(figures[0]), qPrintable(figures[1]));
            std::printf("fetch_%s_rss_mb_%s: %s (sides open: %s)\n", what, setting.constData(),
                        qPrintable(figures[2]), qPrintable(figures[3]));
            std::fflush(stdout);
        }
    }
    return true;
}

// --postgres: the table run between two schemas of the PostgreSQL server that scripts/test
// starts (QUORVIX_PG_SOCKETS, QUORVIX_PG_PORT), created once.
int PostgresBench(bool smoke, bool snapshotRss, bool fetchSizes) {
    const QString sockets = qEnvironmentVariable("QUORVIX_PG_SOCKETS");
    const QString port = qEnvironmentVariable("QUORVIX_PG_PORT");
    if (sockets.isEmpty() || port.isEmpty()) {
        std::fprintf(stderr, "--postgres needs the test server: QUORVIX_PG_SOCKETS and "
                             "QUORVIX_PG_PORT (see scripts/servers.sh)\n");
        return 1;
    }
    const int tables = smoke ? 200 : 2000;
    const QString name = QStringLiteral("BenchPostgres");
    UseBenchDataSources({});
    // Rows are fetched in blocks rather than all held by the driver.
    AddBenchDataSource(
        QStringLiteral("[%1]\nDriver=PostgreSQL Unicode\nServername=%2\nPort=%3\n"
                       "Database=quorvix_bench\nUsername=postgres\nUseDeclareFetch=1\n")
            .arg(name, sockets, port));
    const auto psql = [&](const QByteArray& sql, const QString& database) {
        QProcess client;
        client.start(QStringLiteral("psql"),
                     {QStringLiteral("-q"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
                      QStringLiteral("-h"), sockets, QStringLiteral("-p"), port,
                      QStringLiteral("-U"), QStringLiteral("postgres"), QStringLiteral("-d"),
                      database, QStringLiteral("-At")});
        client.write(sql);
        client.closeWriteChannel();
        client.waitForFinished(-1);
        return client.exitCode() == 0 ? client.readAllStandardOutput().trimmed() : QByteArray();
    };
    // A database of its own, so that the tests' database stays as its fixture made it.
    const QString database = QStringLiteral("quorvix_bench");
    if (psql("SELECT 1 FROM pg_database WHERE datname = 'quorvix_bench';",
             QStringLiteral("postgres"))
            .isEmpty())
        psql("CREATE DATABASE quorvix_bench;", QStringLiteral("postgres"));
    for (const bool isLeft : {true, false}) {
        const QByteArray schema = isLeft ? "bench_l" : "bench_r";
        const QByteArray indexSql = IndexSql(isLeft, tables);
        // The data dictionary, created below in the same schema, is not one of the tables.
        const QByteArray count =
            psql("SELECT count(*) FROM pg_tables WHERE schemaname = '" + schema +
                     "' AND tablename <> 'f9210' UNION ALL SELECT count(*) FROM pg_indexes "
                     "WHERE schemaname = '" +
                     schema + "';",
                 database);
        if (count ==
            QByteArray::number(tables) + '\n' + QByteArray::number(indexSql.count("CREATE")))
            continue;
        std::fprintf(stderr, "creating schema %s...\n", schema.constData());
        QByteArray sql = SchemaSql(isLeft, tables, 20, 0) + indexSql;
        sql = sql.mid(sql.indexOf("BEGIN;")); // the SQLite pragmas stay out
        psql("DROP SCHEMA IF EXISTS " + schema + " CASCADE; CREATE SCHEMA " + schema +
                 "; SET search_path TO " + schema + ";\n" + sql,
             database);
    }

    // The data dictionaries: about 1% of the items differ between the two schemas.
    const int items = smoke ? 5000 : 200000;
    for (const bool isLeft : {true, false}) {
        const QByteArray schema = isLeft ? "bench_l" : "bench_r";
        if (psql("SELECT count(*) FROM " + schema + ".f9210;", database) ==
            QByteArray::number(items))
            continue;
        std::fprintf(stderr, "creating the data dictionary of %s...\n", schema.constData());
        psql("DROP TABLE IF EXISTS " + schema + ".f9210; CREATE TABLE " + schema +
                 ".f9210 (frdtai varchar(10), frdtat varchar(2), frdtas integer, frowtp "
                 "varchar(4), frdtad smallint, frcdec varchar(1)); INSERT INTO " +
                 schema +
                 ".f9210 VALUES ('DTAI', 'S', 10, 'VARC', 0, '0'), ('DTAT', 'S', 2, 'VARC', 0, "
                 "'0'), ('OWTP', 'S', 4, 'VARC', 0, '0'), ('CDEC', 'S', 1, 'VARC', 0, '0'); "
                 "INSERT INTO " +
                 schema + ".f9210 SELECT 'IT' || lpad(i::text, 6, '0'), 'S', CASE WHEN " +
                 (isLeft ? "false" : "true") +
                 " AND i % 100 = 7 THEN 11 ELSE 10 END, 'VARC', i % 3, '0' FROM "
                 "generate_series(0, " +
                 QByteArray::number(items - 5) + ") i;",
             database);
    }

    if (fetchSizes)
        return FetchFigures(port.toUShort()) ? 0 : 1;

    CDataSourceSide left;
    CDataSourceSide right;
    if (!OpenPostgresSides(name, left, right))
        return 1;
    if (snapshotRss) {
        // Child mode: a snapshot of the left schema alone; prints the process's peak memory.
        const QString path =
            QCoreApplication::applicationDirPath() + QStringLiteral("/bench-data/rss-pg.qvsnap");
        const bool taken = SnapshotSeconds(left, path) >= 0;
        QFile::remove(path);
        if (!taken)
            return 1;
        std::printf("%.1f\n", PeakRssMb());
        return 0;
    }
    CParamWord params;
    CComparisonResults results(left, right, params);
    if (!TableFigures(results, {&left, &right}, name, name, CommonTables(left, right),
                      QStringLiteral("bench_l"), QStringLiteral("bench_r")) ||
        !TableIndexFigures(results, params) || !IndexFigures(left) ||
        !SnapshotFigures(left, right, QStringLiteral("postgres")))
        return 1;
    QStringList child{QStringLiteral("--postgres"), QStringLiteral("--snapshot-rss")};
    if (smoke)
        child.append(QStringLiteral("--smoke"));
    const QString rss = RunChild(child);
    if (rss.isEmpty())
        return 1;
    std::printf("postgres_snapshot_rss_mb: %s\n", qPrintable(rss));
    return WanFigures(port.toUShort(), smoke) ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const bool smoke = arguments.contains(QStringLiteral("--smoke"));
    const qsizetype fetchRunAt = arguments.indexOf(QStringLiteral("--fetch-run"));
    if (fetchRunAt >= 0 && fetchRunAt + 2 < arguments.size())
        return MeasureFetch(arguments[fetchRunAt + 1],
                            arguments[fetchRunAt + 2] == QStringLiteral("dictionary"));
    if (arguments.contains(QStringLiteral("--postgres")))
        return PostgresBench(smoke, arguments.contains(QStringLiteral("--snapshot-rss")),
                             arguments.contains(QStringLiteral("--fetch-sizes")));
    const Sizes sizes =
        smoke ? Sizes{200, 20, 5000, 100, 1000, 500} : Sizes{5000, 20, 200000, 1000, 10000, 20000};

    const QString left = smoke ? QStringLiteral("BenchSmokeL") : QStringLiteral("BenchLeft");
    const QString right = smoke ? QStringLiteral("BenchSmokeR") : QStringLiteral("BenchRight");
    const QString mistyped = left + QStringLiteral("Mistyped");
    const QString indexed = QStringLiteral("BenchIndexes%1").arg(sizes.tables);
    const QString indexedRight = QStringLiteral("BenchIndexesRight%1").arg(sizes.tables);
    QStringList names{left, right, mistyped, indexed, indexedRight};
    for (const int tables : {sizes.rssSmall, sizes.rssLarge, sizes.rssBulk})
        names << RssName(tables, true) << RssName(tables, false);
    for (const int items : GrowthSizes(smoke))
        names << GrowthName(items, true) << GrowthName(items, false);
    UseBenchDataSources(names);
    AddGrowthDataSourcesWithoutStepApi(smoke);

    const qsizetype rssAt = arguments.indexOf(QStringLiteral("--rss"));
    if (rssAt >= 0 && rssAt + 1 < arguments.size())
        return MeasureRss(arguments[rssAt + 1].toInt(),
                          arguments.contains(QStringLiteral("--per-table"))    ? RssMode::PerTable
                          : arguments.contains(QStringLiteral("--sides-open")) ? RssMode::SidesOpen
                                                                               : RssMode::ReadAll);
    const qsizetype snapshotRssAt = arguments.indexOf(QStringLiteral("--snapshot-rss"));
    if (snapshotRssAt >= 0 && snapshotRssAt + 1 < arguments.size())
        return MeasureSnapshotRss(arguments[snapshotRssAt + 1]);
    const qsizetype dictionaryRssAt = arguments.indexOf(QStringLiteral("--dictionary-rss"));
    if (dictionaryRssAt >= 0 && dictionaryRssAt + 2 < arguments.size())
        return MeasureDictionaryRss(arguments[dictionaryRssAt + 1], arguments[dictionaryRssAt + 2]);
    const qsizetype dictionaryCpuAt = arguments.indexOf(QStringLiteral("--dictionary-cpu"));
    if (dictionaryCpuAt >= 0 && dictionaryCpuAt + 2 < arguments.size())
        return MeasureDictionaryCpu(arguments[dictionaryCpuAt + 1], arguments[dictionaryCpuAt + 2]);

    bool ready =
        EnsureDatabase(left, SchemaSql(true, sizes.tables, sizes.columns, sizes.items)) &&
        EnsureDatabase(right, SchemaSql(false, sizes.tables, sizes.columns, sizes.items)) &&
        EnsureDatabase(mistyped, SchemaSql(true, 0, 0, sizes.items, true)) &&
        EnsureDatabase(indexed, SchemaSql(true, sizes.tables, sizes.columns, 0) +
                                    IndexSql(true, sizes.tables)) &&
        EnsureDatabase(indexedRight, SchemaSql(false, sizes.tables, sizes.columns, 0) +
                                         IndexSql(false, sizes.tables));
    for (const int tables : {sizes.rssSmall, sizes.rssLarge}) {
        ready = ready && EnsureDatabase(RssName(tables, true), SchemaSql(true, tables, 5, 0)) &&
                EnsureDatabase(RssName(tables, false), SchemaSql(false, tables, 5, 0));
    }
    for (const int items : GrowthSizes(smoke)) {
        ready = ready && EnsureDatabase(GrowthName(items, true), DictionarySql(true, items)) &&
                EnsureDatabase(GrowthName(items, false), DictionarySql(false, items));
    }
    ready = ready &&
            EnsureDatabase(RssName(sizes.rssBulk, true),
                           SchemaSql(true, sizes.rssBulk, sizes.columns, 0)) &&
            EnsureDatabase(RssName(sizes.rssBulk, false),
                           SchemaSql(false, sizes.rssBulk, sizes.columns, 0));
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

    // --dictionary skips the long table part, to study the data-dictionary run alone.
    const bool tables = !arguments.contains(QStringLiteral("--dictionary"));
    if (tables && !TableFigures(results, {&leftSide, &rightSide}, left, right,
                                CommonTables(leftSide, rightSide)))
        return 1;
    if (tables) {
        CDataSourceSide indexSide;
        CDataSourceSide indexRightSide;
        if (!OpenSide(indexSide, indexed) || !OpenSide(indexRightSide, indexedRight) ||
            !IndexFigures(indexSide))
            return 1;
        CParamWord indexParams;
        CComparisonResults indexResults(indexSide, indexRightSide, indexParams);
        if (!TableIndexFigures(indexResults, indexParams))
            return 1;
    }

    QElapsedTimer timer;
    double dictionaryFloor = DictionaryFloorSeconds(left, right);
    timer.start();
    const bool dictionaryDone = results.RunDictionaryComparison(progress);
    const double dictionaryRun = timer.nsecsElapsed() / 1e9;
    dictionaryFloor = std::min(dictionaryFloor, DictionaryFloorSeconds(left, right));
    if (!dictionaryDone) {
        std::fprintf(stderr, "the data-dictionary run failed\n");
        return 1;
    }
    const auto& items = results.DictionaryCounters();
    std::fprintf(stderr, "items %d same, %d left, %d right, %d different\n", items[0], items[1],
                 items[2], items[3]);
    std::printf("dictionary_run_s: %.3f\n", dictionaryRun);
    std::printf("dictionary_floor_s: %.3f\n", dictionaryFloor);
    std::printf("dictionary_ratio: %.3f\n", dictionaryRun / dictionaryFloor);
    if (!GrowthFigures(smoke))
        return 1;
    if (tables) {
        // Memory of the default path, and of the one-call reading at its largest size with as
        // many columns as the timed run: the catalogue held in memory stays small.
        std::printf("table_rss_mb_%d: %.1f\n", sizes.rssSmall, RssOfChild(sizes.rssSmall, smoke));
        std::printf("table_rss_mb_%d: %.1f\n", sizes.rssLarge, RssOfChild(sizes.rssLarge, smoke));
        std::printf("table_bulk_rss_mb_%d: %.1f\n", sizes.rssBulk,
                    RssOfChild(sizes.rssBulk, smoke));
        // What the two connections hold before the run (SQLite keeps every table's schema).
        std::printf("table_bulk_rss_mb_%d_sides_open: %.1f\n", sizes.rssBulk,
                    RssOfChild(sizes.rssBulk, smoke, RssMode::SidesOpen));
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
    if (tables) {
        // The snapshot of a whole side, its tables and its dictionary, beside comparing it.
        if (!SnapshotFigures(leftSide, rightSide, QStringLiteral("sqlite")))
            return 1;
        QStringList child{QStringLiteral("--snapshot-rss"), left};
        if (smoke)
            child.append(QStringLiteral("--smoke"));
        const QString rss = RunChild(child);
        if (rss.isEmpty())
            return 1;
        std::printf("sqlite_snapshot_rss_mb: %s\n", qPrintable(rss));
    }
    return 0;
}
