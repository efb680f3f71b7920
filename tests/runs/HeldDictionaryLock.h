#pragma once

#include "EventWait.h"
#include "odbc/OdbcTestEnvironment.h"

#include <QCoreApplication>
#include <QProcess>

#include <atomic>
#include <csignal>

#include <sys/prctl.h>

// Another session of the PostgreSQL test server holding the dictionary stall.f9210 locked until
// Release (or the object's end), so that a read of it waits for as long as the test wants: a
// test that sees the read end while the lock is still held knows that something else ended it.
// The lock counts as held from the moment the session asks for it: while another session
// (another test process on the same server) holds the table, this one waits in line, and every
// read asked after it waits behind it.
class CHeldDictionaryLock {
public:
    CHeldDictionaryLock()
        : m_application(QStringLiteral("qvx_lock_%1_%2")
                            .arg(QCoreApplication::applicationPid())
                            .arg(++s_count)) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PGAPPNAME"), m_application);
        m_locker.setProcessEnvironment(environment);
        // A test process that dies leaves no lock behind: psql dies with it, and its session
        // notices the client gone within a moment.
        m_locker.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        m_locker.start(
            QStringLiteral("psql"),
            {QStringLiteral("-h"), qEnvironmentVariable("QUORVIX_PG_SOCKETS"), QStringLiteral("-p"),
             qEnvironmentVariable("QUORVIX_PG_PORT"), QStringLiteral("-U"),
             QStringLiteral("postgres"), QStringLiteral("-d"), QStringLiteral("quorvix"),
             QStringLiteral("-c"),
             QStringLiteral(
                 "SET client_connection_check_interval = 100; BEGIN; LOCK TABLE "
                 "stall.f9210 IN ACCESS EXCLUSIVE MODE; SELECT pg_sleep(600); COMMIT;")});
        WaitForEvent([this] { return IsHeld() || m_locker.state() == QProcess::NotRunning; });
    }
    ~CHeldDictionaryLock() { Release(); }
    CHeldDictionaryLock(const CHeldDictionaryLock&) = delete;
    CHeldDictionaryLock& operator=(const CHeldDictionaryLock&) = delete;

    // Whether this object's session holds the lock, or waits for it in line.
    bool IsHeld() const {
        return COdbcTestEnvironment::QueryNumber(
                   kPostgres, QStringLiteral("SELECT COUNT(*) FROM pg_locks l JOIN "
                                             "pg_stat_activity a ON a.pid = l.pid") +
                                  kOnTheDictionary +
                                  QStringLiteral(" AND l.mode = 'AccessExclusiveLock' AND "
                                                 "a.application_name = '%1'")
                                      .arg(m_application)) > 0;
    }

    // Whether the session of this server process waits for a lock on the dictionary.
    static bool IsWaitedForBy(qint32 backendPid) {
        return Waiting(QStringLiteral("l.pid = %1").arg(backendPid));
    }
    // Whether a session whose application name is application waits for it.
    static bool IsWaitedForByApplication(const QString& application) {
        return Waiting(QStringLiteral("l.pid IN (SELECT pid FROM pg_stat_activity WHERE "
                                      "application_name = '%1')")
                           .arg(application));
    }

    // Ends the session that holds the lock; true once the lock has gone.
    bool Release() {
        if (m_locker.state() != QProcess::NotRunning) {
            COdbcTestEnvironment::QueryNumber(
                kPostgres, QStringLiteral("SELECT COUNT(pg_terminate_backend(pid)) FROM "
                                          "pg_stat_activity WHERE application_name = '%1'")
                               .arg(m_application));
            if (!m_locker.waitForFinished(kEventLimitMs))
                m_locker.kill();
            m_locker.waitForFinished();
        }
        return WaitForEvent([this] { return !IsHeld(); });
    }

private:
    static constexpr QLatin1StringView kPostgres{"QuorvixPostgres"};
    static constexpr QLatin1StringView kOnTheDictionary{
        " JOIN pg_class c ON c.oid = l.relation JOIN pg_namespace n ON n.oid = c.relnamespace "
        "WHERE n.nspname = 'stall' AND c.relname = 'f9210'"};

    static bool Waiting(const QString& who) {
        return COdbcTestEnvironment::QueryNumber(
                   kPostgres, QStringLiteral("SELECT COUNT(*) FROM pg_locks l") + kOnTheDictionary +
                                  QStringLiteral(" AND NOT l.granted AND ") + who) > 0;
    }

    static inline std::atomic<int> s_count{0};
    QString m_application;
    QProcess m_locker;
};
