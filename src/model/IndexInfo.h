#pragma once

#include "model/Object.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// One index of one table: its name, whether it is unique, and its columns in catalogue order,
// each ascending or not. It is shown as one list row per index column.
class CIndexInfo : public CObject {
public:
    explicit CIndexInfo(QString name, bool unique = false);

    void AddColumn(const QString& columnName, bool isAscending);

    // Column 0: the name on row 0 only; column 1: the row's column; column 2: its sort order.
    QString GetText(int row, int column) const;
    // text must already be lower-cased. The index name matches on every row of the index.
    bool Contains(int row, const QString& text) const;

    QString name;
    // No two rows may share the index's values (the catalogue's NON_UNIQUE is 0).
    bool unique = false;
    QStringList columns;
    std::vector<quint8> ascending; // one flag per entry of columns: 1 ascending, 0 descending
};

using CIndexInfoArray = std::vector<std::unique_ptr<CIndexInfo>>;
