#include "model/SqlTypeNames.h"

namespace {

struct SqlTypeEntry {
    qint32 code;
    const char* name;
};

// ODBC 2 drivers report 9-11, ODBC 3 drivers 91-93 for DATE, TIME and TIMESTAMP.
constexpr SqlTypeEntry kSqlTypeNames[] = {
    {-11, "GUID"},
    {-10, "LONG WVARCHAR"},
    {-9, "VARWCHAR"},
    {-8, "WCHAR"},
    {-7, "BIT"},
    {-6, "TINYINT"},
    {-5, "BIGINT"},
    {-4, "LONG VARBINARY"},
    {-3, "VARBINARY"},
    {-2, "BINARY"},
    {-1, "LONG VARCHAR"},
    {1, "CHAR"},
    {2, "NUMERIC"},
    {3, "DECIMAL"},
    {4, "INTEGER"},
    {5, "SMALLINT"},
    {6, "FLOAT"},
    {7, "REAL"},
    {8, "DOUBLE"},
    {9, "DATE"},
    {10, "TIME"},
    {11, "TIMESTAMP"},
    {12, "VARCHAR"},
    {91, "DATE"},
    {92, "TIME"},
    {93, "TIMESTAMP"},
    {101, "INTERVAL YEAR"},
    {102, "INTERVAL MONTH"},
    {103, "INTERVAL DAY"},
    {104, "INTERVAL HOUR"},
    {105, "INTERVAL MINUTE"},
    {106, "INTERVAL SECOND"},
    {107, "INTERVAL YEAR TO MONTH"},
    {108, "INTERVAL DAY TO HOUR"},
    {109, "INTERVAL DAY TO MINUTE"},
    {110, "INTERVAL DAY TO SECOND"},
    {111, "INTERVAL HOUR TO MINUTE"},
    {112, "INTERVAL HOUR TO SECOND"},
    {113, "INTERVAL MINUTE TO SECOND"},
};

} // namespace

QString SqlTypeName(qint32 code) {
    for (const SqlTypeEntry& entry : kSqlTypeNames) {
        if (entry.code == code)
            return QLatin1String(entry.name);
    }
    return QString::number(code);
}

bool IsCharacterType(qint32 code) {
    return code == 1 || code == 12 || code == -8 || code == -9;
}

bool IsSizedType(qint32 code) {
    return IsCharacterType(code) || code == -2 || code == -3;
}
