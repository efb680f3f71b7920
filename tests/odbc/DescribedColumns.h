#pragma once

#include "model/ColumnInfo.h"

#include <QStringList>

// Each column's attributes as "name:nullable:decimal digits:default", NULL as "null".
inline QStringList DescribedAttributes(const CColumnInfoArray& columns) {
    QStringList described;
    for (const auto& column : columns) {
        const CColumnInfo::Attributes& read = column->attributes;
        described.append(QStringLiteral("%1:%2:%3:%4")
                             .arg(column->name, QString::number(read.nullable),
                                  read.decimalDigits ? QString::number(*read.decimalDigits)
                                                     : QStringLiteral("null"),
                                  read.defaultValue ? *read.defaultValue : QStringLiteral("null")));
    }
    return described;
}
