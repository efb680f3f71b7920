// Prints how long the name operations take on lists of business size: the table run builds a
// union of a few thousand table names; the dictionary run builds a key list of up to hundreds of
// thousands of item names, which its reader delivers in ascending order (mostly appends), while
// names in random order pay for moving the array's tail on every insertion.
#include "model/NameOrdering.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>

namespace {

QStringList RandomNames(int count, quint32 seed) {
    QRandomGenerator random(seed);
    QStringList names;
    names.reserve(count);
    for (int i = 0; i < count; ++i) {
        QString name = QStringLiteral("F");
        for (int j = 0; j < 6; ++j)
            name +=
                QChar(random.bounded(2) ? u'A' + random.bounded(26) : u'0' + random.bounded(10));
        names.append(name);
    }
    return names;
}

} // namespace

int main() {
    for (const int count : {5000, 50000, 200000}) {
        for (const bool ascending : {false, true}) {
            const bool caseSensitive = ascending;
            QStringList names = RandomNames(count, 42);
            if (ascending)
                std::sort(names.begin(), names.end());
            QElapsedTimer timer;
            timer.start();
            QStringList sorted;
            sorted.reserve(count);
            for (const QString& name : names)
                InsertSorted(caseSensitive, sorted, name);
            const double insertMs = timer.nsecsElapsed() / 1e6;

            timer.restart();
            qsizetype found = 0;
            for (const QString& name : names)
                found += FindSorted(caseSensitive, sorted, name) >= 0;
            const double findMs = timer.nsecsElapsed() / 1e6;

            std::printf("%7d names, %-9s %-16s insert %9.2f ms (%6.0f ns/name)  find %8.2f ms "
                        "(%4.0f ns/name)  found %lld\n",
                        count, ascending ? "ascending" : "random",
                        caseSensitive ? "case-sensitive" : "ignoring case", insertMs,
                        insertMs * 1e6 / count, findMs, findMs * 1e6 / count,
                        static_cast<long long>(found));
        }
    }
    return 0;
}
