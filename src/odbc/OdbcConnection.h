#pragma once

#include <QString>

#include <sql.h>

#include <memory>

class COdbcEnvironment;

// One open ODBC connection, read-only, on the shared environment. Closed and released when the
// object goes.
class COdbcConnection {
public:
    COdbcConnection();
    ~COdbcConnection();
    COdbcConnection(const COdbcConnection&) = delete;
    COdbcConnection& operator=(const COdbcConnection&) = delete;

    // Opens "DSN=<name>;" without prompting; false when the data source cannot be opened or its
    // driver does not reach ODBC API conformance level 1. Errors are dropped without a message.
    bool Open(const QString& dataSourceName);
    void Close();

    bool IsOpen() const { return m_isOpen; }
    SQLHDBC Handle() const { return m_handle; }

    // The character that escapes "_" and "%" in catalogue search patterns; empty when the driver
    // has none. Asked once per connection.
    QString SearchPatternEscape();
    // The driver's declared longest identifier of a catalogue column kind (SQL_MAX_*_NAME_LEN),
    // 0 when it declares none.
    int MaxNameLength(SQLUSMALLINT infoType) const;

private:
    std::shared_ptr<COdbcEnvironment> m_environment;
    SQLHDBC m_handle = SQL_NULL_HDBC;
    bool m_isOpen = false;
    bool m_escapeKnown = false;
    QString m_escape;
};
