#pragma once

#include "model/ColumnInfo.h"

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

// First record of the array whose name equals record's name, or nullptr.
CColumnInfo* FindByName(bool caseSensitive, const CColumnInfoArray& array,
                        const CColumnInfo& record);

// Lower-cases A-Z only, as the records' search test does; every other character is kept.
QString LowerAscii(const QString& text);
