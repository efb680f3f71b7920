#pragma once

#include "odbc/OdbcConnection.h"
#include "odbc/OdbcStatement.h"
#include "odbc/OdbcTestEnvironment.h"
#include "services/ThreadKeeper.h"

#include <QDeadlineTimer>
#include <QThread>

#include <csignal>

#include <sys/types.h>

// The PostgreSQL server process of one connection, stopped with SIGSTOP as a hung server or a cut
// network leaves it: every call that needs an answer waits for good. Continue (or the object's
// end) lets it go on and waits until the threads left in its calls have ended and its session
// has closed.
class CStoppedBackend {
public:
    CStoppedBackend(COdbcConnection& connection, const QString& dataSource)
        : m_dataSource(dataSource), m_pid(BackendPid(connection)) {
        if (m_pid > 0)
            ::kill(pid_t(m_pid), SIGSTOP);
    }
    ~CStoppedBackend() { Continue(); }
    CStoppedBackend(const CStoppedBackend&) = delete;
    CStoppedBackend& operator=(const CStoppedBackend&) = delete;

    qint32 Pid() const { return m_pid; }
    bool IsStopped() const { return m_pid > 0 && !m_continued; }

    // True when everything that waited for the server has ended within a few seconds.
    bool Continue() {
        if (m_pid <= 0 || m_continued)
            return true;
        ::kill(pid_t(m_pid), SIGCONT);
        m_continued = true;
        if (!CThreadKeeper::Instance().WaitForAll(10000))
            return false;
        const QDeadlineTimer deadline(10000);
        while (HasSession(m_dataSource, m_pid)) {
            if (deadline.hasExpired())
                return false;
            QThread::msleep(50);
        }
        return true;
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
    bool m_continued = false;
};
