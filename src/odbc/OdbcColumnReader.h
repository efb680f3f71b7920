#pragma once

#include "model/ColumnInfo.h"
#include "odbc/OwnerName.h"

#include <QString>

#include <functional>

class CColumnCatalogue;
class COdbcConnection;
class COdbcStatement;

// One SQLColumnsW call of a side, for a table pattern or for every table of the owner, read into
// a column catalogue: the rows of the owner's schema and catalog only, each with its attributes
// when asked, a default the driver gives cut read whole from the database's own catalogue. A
// read that fails keeps the driver's diagnostic; a name too long for its buffer fails the read.
class COdbcColumnReader {
public:
    COdbcColumnReader(COdbcConnection& connection, COwnerName owner);

    // onTable hears of each table as its rows begin and stops the reading by returning true.
    bool ReadGroup(const QString* tablePattern, CColumnCatalogue& catalogue,
                   const std::function<bool(const QString& table)>& onTable, bool attributes);
    QString Diagnostic() const { return m_diagnostic; }

private:
    // Where the columns of the call are bound.
    struct ColumnBindings {
        int catalog = -1;
        int schema = -1;
        int table = -1;
        int name = -1;
        int type = -1;
        int typeName = -1;
        int size = -1;
        // Bound only when the attributes are read.
        int decimalDigits = -1;
        int nullable = -1;
    };
    bool OpenColumnRows(COdbcStatement& statement, const QString* tablePattern, bool& exactSchema,
                        ColumnBindings& bindings, bool attributes);
    static bool IsColumnRowCut(const COdbcStatement& statement, const ColumnBindings& bindings);
    // The attributes of the row just fetched; false when its default cannot be read.
    static bool ReadColumnAttributes(COdbcStatement& statement, const ColumnBindings& bindings,
                                     CColumnInfo::Attributes& attributes);
    bool Fail(const QString& diagnostic);

    COdbcConnection& m_connection;
    const COwnerName m_owner;
    QString m_diagnostic;
};
