#pragma once

#include <QString>
#include <QStringList>

// Every list of names the program keeps is a plain array in ascending CompareNames order under
// one case setting, chosen by the array's owner. Equal names may repeat and stand side by side.

// Ordinal comparison of UTF-16 code units as unsigned numbers. Ignoring case folds only the
// letters A-Z onto a-z: names match the way the catalogue and the data dictionary spell them,
// not the way a locale would.
int CompareNames(const QString& left, const QString& right, bool caseSensitive);

// Inserts name where the probing below places it and returns its index. The probing, not a
// lower or upper bound, decides where a name lands among names equal to it, and that order
// becomes the table indexes of the result file, the list order and the export order.
qsizetype InsertSorted(bool caseSensitive, QStringList& array, const QString& name);

// Index of an element equal to name, or -1. Among several equal names any one may be found.
qsizetype FindSorted(bool caseSensitive, const QStringList& array, const QString& name);

// The same binary search over count names that nameAt(index) gives, wherever they are kept.
template <typename NameAt>
qsizetype FindSortedBy(bool caseSensitive, qsizetype count, const QString& name, NameAt nameAt) {
    if (count <= 0)
        return -1;
    qsizetype low = 0;
    qsizetype high = count - 1;
    qsizetype probe = high / 2;
    while (high - low > 1) {
        const int order = CompareNames(name, nameAt(probe), caseSensitive);
        if (order == 0)
            return probe;
        if (order < 0)
            high = probe;
        else
            low = probe;
        probe = (low + high) / 2;
    }
    if (CompareNames(name, nameAt(low), caseSensitive) == 0)
        return low;
    if (low + 1 < count && CompareNames(name, nameAt(low + 1), caseSensitive) == 0)
        return low + 1;
    return -1;
}

// Lower-cases A-Z only, as the records' search test does; every other character is kept.
QString LowerAscii(const QString& text);

// The text without its trailing white space, as data-dictionary keys and values are compared.
QString TrimmedRight(const QString& text);
