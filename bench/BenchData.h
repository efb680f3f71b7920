#pragma once

// What the benchmarks share: SQLite databases created once and cached in bench-data beside the
// programs, ODBC definitions that point this process at them, and the figures they print.
#include "runs/ComparisonProgress.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <algorithm>

class CDataSourceSide;

// A run with nobody watching: never cancelled.
class CSilentProgress : public IComparisonProgress {
public:
    void Progress(int) override {}
    int QueryCancel() override { return 0; }
    void SetItemText(const QString&) override {}
};

QString DatabasePath(const QString& name);

// Writes the ODBC definitions of the cached databases, in a folder of this program's own so that
// benchmarks run side by side do not rewrite each other's, and points this process at them.
void UseBenchDataSources(const QStringList& names);
// Adds a data source of another driver (SQLite3 and PostgreSQL Unicode are defined) by its
// odbc.ini section.
void AddBenchDataSource(const QString& section);

// Tables T00000...: about 10% differ between the sides (a column of another size), 5% are on
// one side only. The data dictionary has `items` items of which about 1% differ; with
// mistypedSizes its items DTAI and DTAT declare sizes of 2,147,483,647.
QByteArray SchemaSql(bool isLeft, int tables, int columns, int items, bool mistypedSizes = false);

// The indexes of SchemaSql's tables, in a transaction of their own: on every table IXnnnnn over
// two columns, the second descending (in the other order on the right for a different table),
// and on every third table a unique UXnnnnn. Needs at least three columns.
QByteArray IndexSql(bool isLeft, int tables);

// The compare benchmark's dictionary, about 1% of whose items differ, with 2% of the items only
// on the left and 2% only on the right, so that the reads go through the index, the left records
// and the right-only records in turn, as they do on a real pair of dictionaries.
QByteArray DictionarySql(bool isLeft, int items);

// The names of the two cached dictionaries of the data-dictionary benchmarks, of 200,000 items
// or, for a smoke run, 5,000.
QStringList BenchDictionaries(bool smoke);
// Creates them when they are not cached, points this process at them and opens them on the
// sides; false, with the reason printed, when it cannot.
bool OpenBenchDictionaries(bool smoke, CDataSourceSide& left, CDataSourceSide& right);

// Creates the database from sql unless it is already cached.
bool EnsureDatabase(const QString& name, const QByteArray& sql);

bool OpenSide(CDataSourceSide& side, const QString& name);

// The process's peak resident memory so far, in MB; -1 when unknown.
double PeakRssMb();

// The shortest of several passes, in seconds: the machine's other work only ever adds to a pass.
template <typename Pass>
double BestOf(int repeats, Pass pass) {
    double best = 0;
    for (int repeat = 0; repeat < repeats; ++repeat) {
        QElapsedTimer timer;
        timer.start();
        pass();
        const double seconds = timer.nsecsElapsed() / 1e9;
        best = repeat == 0 ? seconds : std::min(best, seconds);
    }
    return best;
}
