#pragma once

#include "odbc/Side.h"

#include <QString>

class COdbcConnection;

// The statements of a data dictionary (F9210 or F9201) on an open connection: an item's
// declared size and the dictionary's rows in FRDTAI order, read from the table under its
// qualified name, already quoted. A read that fails keeps the driver's diagnostic.
class COdbcDictionaryReader {
public:
    COdbcDictionaryReader(COdbcConnection& connection, QString qualifiedTable);

    // size is -1 when the item is not in the dictionary; false when the read failed. Sizes are
    // read whole: one beyond 32 bits must not wrap to a small one.
    bool LookupItemSize(const QString& item, qint64& size);
    // As CSide::ReadDataDictionary: values are read into buffers of their width, within reason
    // (CDataSourceSide::LongestValueUnits), so that a longer one is cut.
    bool Read(CSide::DictionaryMode mode, const std::vector<int>& widths, QStringList* keyList,
              const CSide::DictionaryRowCallback& onDictionaryRow, bool& cancelFlag,
              std::vector<int>* longest);
    QString Diagnostic() const { return m_diagnostic; }

private:
    bool Fail(const QString& diagnostic);

    COdbcConnection& m_connection;
    QString m_qualifiedTable;
    QString m_diagnostic;
};
