#pragma once

#include "model/Object.h"

#include <QString>

#include <memory>
#include <optional>
#include <vector>

// One column of one table, as the catalogue reports it.
class CColumnInfo : public CObject {
public:
    // SQLColumns' NULLABLE values.
    enum Nullability : qint16 { NoNulls = 0, Nullable = 1, NullableUnknown = 2 };
    // NULLABLE, DECIMAL_DIGITS and COLUMN_DEF (trailing blanks trimmed), read only when they
    // are compared. Equal exactly when every value is, NULL only equal to NULL.
    struct Attributes {
        qint16 nullable = NullableUnknown;
        std::optional<qint16> decimalDigits;
        std::optional<QString> defaultValue;
        bool operator==(const Attributes&) const = default;
    };

    CColumnInfo(QString name, qint32 dataType, QString typeName, qint32 size);
    CColumnInfo(QString name, qint32 dataType, QString typeName, qint32 size,
                Attributes attributes);

    // Column 0: the name; column 1: the driver's type name, with " (size)" for sized types.
    QString GetText(int column) const;
    // text must already be lower-cased; it is searched in the lower-cased texts of columns 0, 1.
    bool Contains(const QString& text) const;

    QString name;
    qint32 dataType = 0;
    QString typeName;
    qint32 size = 0;
    Attributes attributes;
};

using CColumnInfoArray = std::vector<std::unique_ptr<CColumnInfo>>;

// First record of the array whose name equals record's name under the case rule, or nullptr.
CColumnInfo* FindByName(bool caseSensitive, const CColumnInfoArray& array,
                        const CColumnInfo& record);
