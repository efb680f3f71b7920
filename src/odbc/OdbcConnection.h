#pragma once

#include <QString>

#include <sql.h>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class COdbcEnvironment;

// One open ODBC connection, read-only, on the shared environment. Closed and released when the
// object goes.
class COdbcConnection {
public:
    COdbcConnection();
    ~COdbcConnection();
    COdbcConnection(const COdbcConnection&) = delete;
    COdbcConnection& operator=(const COdbcConnection&) = delete;

    // Opens the data source by name without prompting; false when it cannot be opened or its
    // driver does not reach ODBC API conformance level 1. Diagnostic() then tells why.
    bool Open(const QString& dataSourceName);
    // The same options and checks on a connection string (a data source being defined).
    bool OpenConnectionString(const QString& connectString);
    void Close();

    bool IsOpen() const { return m_isOpen; }
    SQLHDBC Handle() const { return m_handle; }
    // "DSN=" + name + ";", or an empty text for a name holding ";", "{" or "}", which could
    // end its value and add attributes: such a name is only ever passed to SQLConnectW.
    static QString ConnectString(const QString& dataSourceName);

    // The character that escapes "_" and "%" in catalogue search patterns; empty when the driver
    // has none. Asked once per connection.
    QString SearchPatternEscape();
    // The character that quotes identifiers in SQL text; empty when the driver has none.
    QString IdentifierQuote();
    // The driver's declared longest identifier of a catalogue column kind (SQL_MAX_*_NAME_LEN),
    // 0 when it declares none.
    int MaxNameLength(SQLUSMALLINT infoType) const;

    // Whether the driver kept the read-only access mode it was given, and whether the database's
    // own session read-only mode could be switched on (PostgreSQL, MariaDB/MySQL, SQLite).
    bool AccessModeKept() const { return m_accessModeKept; }
    bool SessionReadOnly() const { return m_sessionReadOnly; }
    QString DbmsName() const { return m_dbmsName; }

    // The driver's last diagnostic on the connection, as "SQLSTATE: text".
    QString Diagnostic() const { return m_diagnostic; }

    // From any thread: cancels every statement running on the connection and refuses new ones
    // until ClearInterrupt, so that a stalled catalogue call or query gives way at once.
    void Interrupt();
    void ClearInterrupt();
    bool IsInterrupted() const;

private:
    friend class COdbcStatement;
    // A statement is known to the connection from its allocation to its release, so that
    // Interrupt never cancels a handle that is being freed.
    bool Register(SQLHSTMT statement);
    void Unregister(SQLHSTMT statement);
    void SwitchSessionReadOnly();
    // Allocates, sets the options, connects with connect and checks what every opening checks.
    bool OpenWith(const std::function<SQLRETURN(SQLHDBC)>& connect);

    std::shared_ptr<COdbcEnvironment> m_environment;
    SQLHDBC m_handle = SQL_NULL_HDBC;
    bool m_isOpen = false;
    bool m_escapeKnown = false;
    QString m_escape;
    bool m_quoteKnown = false;
    QString m_quote;
    bool m_accessModeKept = false;
    bool m_sessionReadOnly = false;
    QString m_dbmsName;
    QString m_diagnostic;

    mutable std::mutex m_runningGuard;
    std::vector<SQLHSTMT> m_running;
    bool m_interrupted = false;
    // Whether Interrupt may cancel a running statement from another thread (see Interrupt).
    bool m_cancelFromAnotherThread = true;
};
