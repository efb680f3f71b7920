#pragma once

#include <QString>

#include <sql.h>

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class COdbcEnvironment;

// Thrown on the thread of a driver call that returns on a connection given up meanwhile (see
// COdbcConnection::AbandonIfCalling): whoever gave it up no longer waits for that thread, so it
// must leave everything untouched on its way out.
class COdbcAbandoned : public std::exception {
public:
    const char* what() const noexcept override { return "ODBC connection abandoned"; }
};

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

    bool IsOpen() const { return m_isOpen.load(); }
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
    QString DbmsVersion() const { return m_dbmsVersion; }
    // SQL_DRIVER_NAME and SQL_DRIVER_VER, as a snapshot records them.
    QString DriverName() const { return m_driverName; }
    QString DriverVersion() const { return m_driverVersion; }

    // The driver's last diagnostic on the connection, as "SQLSTATE: text".
    QString Diagnostic() const { return m_diagnostic; }

    // From any thread: cancels every statement running on the connection and refuses new ones
    // until ClearInterrupt, so that a stalled catalogue call or query gives way at once.
    void Interrupt();
    // Interrupt in two steps, for a caller that must not wait for the driver (whose cancel may
    // itself wait for a server that does not answer): RefuseStatements refuses new statements at
    // once and gives a ticket; CancelRunning, on any thread, cancels the statements running then,
    // and does nothing once ClearInterrupt has come between, so that a late cancel never reaches
    // the next run's statements.
    quint64 RefuseStatements();
    void CancelRunning(quint64 ticket);
    void ClearInterrupt();
    bool IsInterrupted() const;

    // From another thread: when a driver call on the connection has not returned, gives the
    // connection up and says so. The call's thread throws COdbcAbandoned as soon as the call
    // returns; the connection is closed when its last owner lets it go.
    bool AbandonIfCalling();
    bool IsAbandoned() const;

private:
    friend class COdbcStatement;
    // Every driver call of the connection and of its statements: counted while in progress, so
    // that AbandonIfCalling knows a thread is held by the driver, and checked as it returns.
    template <typename Call>
    auto DriverCall(Call call) const {
        EnterCall();
        auto result = call();
        LeaveCall();
        return result;
    }
    void EnterCall() const;
    // Throws COdbcAbandoned when the connection was given up during the call.
    void LeaveCall() const;
    // The same without throwing, for a statement's release: true when it was given up.
    bool LeaveCallAbandoned() const;
    // A statement is known to the connection from its allocation to its release, so that
    // Interrupt never cancels a handle that is being freed.
    bool Register(SQLHSTMT statement);
    void Unregister(SQLHSTMT statement);
    void SwitchSessionReadOnly();
    // Allocates, sets the options, connects with connect and checks what every opening checks.
    bool OpenWith(const std::function<SQLRETURN(SQLHDBC)>& connect);

    std::shared_ptr<COdbcEnvironment> m_environment;
    SQLHDBC m_handle = SQL_NULL_HDBC;
    // Also read by the user-interface thread while a run opens the connection again.
    std::atomic<bool> m_isOpen{false};
    bool m_escapeKnown = false;
    QString m_escape;
    bool m_quoteKnown = false;
    QString m_quote;
    bool m_accessModeKept = false;
    bool m_sessionReadOnly = false;
    QString m_dbmsName;
    QString m_dbmsVersion;
    QString m_driverName;
    QString m_driverVersion;
    QString m_diagnostic;

    // Held while statements are cancelled, which may take as long as the server: the flags
    // below are atomics so that asking for or clearing an interruption never waits for it.
    mutable std::mutex m_runningGuard;
    std::vector<SQLHSTMT> m_running;
    std::atomic<bool> m_interrupted{false};
    // Counts ClearInterrupt calls: a cancel ticket of an earlier count is out of date.
    std::atomic<quint64> m_interruptGeneration{0};
    // Whether Interrupt may cancel a running statement from another thread (see Interrupt).
    bool m_cancelFromAnotherThread = true;

    // Never held across a driver call, so that giving the connection up never waits either.
    mutable std::mutex m_callGuard;
    mutable int m_callsInProgress = 0;
    bool m_abandoned = false;
};
