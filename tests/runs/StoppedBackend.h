#pragma once

#include "EventWait.h"
#include "odbc/OdbcConnection.h"
#include "odbc/OdbcStatement.h"
#include "odbc/OdbcTestEnvironment.h"
#include "services/ThreadKeeper.h"

#include <csignal>

#include <sys/types.h>

// The PostgreSQL server process of one connection, stopped with SIGSTOP as a hung server or a cut
// network leaves it: every call that needs an answer waits for good. Continue (or the object's
// end) lets it go on and waits until the threads left in its calls have ended and its session
// has closed.
class CStoppedBackend {
public:
    // Stops the server process of the connection at once.
    CStoppedBackend(COdbcConnection& connection, const QString& dataSource)
        : CStoppedBackend(dataSource, BackendPid(connection)) {
        Stop();
    }
    // The server process pid (from BackendPid, asked while its connection was idle), stopped
    // when Stop is called: a process stopped while it waits for a lock holds the call that
    // sent it the statement, whatever the statement had done before.
    CStoppedBackend(const QString& dataSource, qint32 pid) : m_dataSource(dataSource), m_pid(pid) {}
    ~CStoppedBackend() { Continue(); }
    CStoppedBackend(const CStoppedBackend&) = delete;
    CStoppedBackend& operator=(const CStoppedBackend&) = delete;

    qint32 Pid() const { return m_pid; }
    bool IsStopped() const { return m_stopped; }

    void Stop() {
        if (m_pid > 0 && !m_stopped && ::kill(pid_t(m_pid), SIGSTOP) == 0)
            m_stopped = true;
    }

    // True when everything that waited for the server has ended.
    bool Continue() {
        if (!m_stopped)
            return true;
        ::kill(pid_t(m_pid), SIGCONT);
        m_stopped = false;
        return CThreadKeeper::Instance().WaitForAll(kEventLimitMs) &&
               WaitForEvent([this] { return !HasSession(m_dataSource, m_pid); });
    }

    static qint32 BackendPid(COdbcConnection& connection) {
        COdbcStatement statement(connection);
        if (!statement.ExecuteDirect(QStringLiteral("SELECT pg_backend_pid()")))
            return -1;
        const int pid = statement.BindInt32(1);
        return statement.Fetch() == COdbcStatement::FetchResult::Row ? statement.Number(pid) : -1;
    }

    static bool HasSession(const QString& dataSource, qint32 pid) {
        return COdbcTestEnvironment::QueryNumber(
                   dataSource,
                   QStringLiteral("SELECT COUNT(*) FROM pg_stat_activity WHERE pid = %1")
                       .arg(pid)) != 0;
    }

private:
    QString m_dataSource;
    qint32 m_pid;
    bool m_stopped = false;
};
