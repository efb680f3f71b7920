#pragma once

#include "odbc/OdbcTestEnvironment.h"

#include <QProcess>
#include <QThread>

// Another session of the PostgreSQL test server holding the dictionary stall.f9210 locked for
// a minute, so that a read of it waits; released when the object goes.
class CHeldDictionaryLock {
public:
    CHeldDictionaryLock() {
        m_locker.start(QStringLiteral("psql"),
                       {QStringLiteral("-h"), qEnvironmentVariable("QUORVIX_PG_SOCKETS"),
                        QStringLiteral("-p"), qEnvironmentVariable("QUORVIX_PG_PORT"),
                        QStringLiteral("-U"), QStringLiteral("postgres"), QStringLiteral("-d"),
                        QStringLiteral("quorvix"), QStringLiteral("-c"),
                        QStringLiteral("BEGIN; LOCK TABLE stall.f9210 IN ACCESS EXCLUSIVE MODE; "
                                       "SELECT pg_sleep(60); COMMIT;")});
        for (int tries = 0; tries < 100 && !IsHeld(); ++tries)
            QThread::msleep(50);
    }
    ~CHeldDictionaryLock() {
        m_locker.kill();
        m_locker.waitForFinished();
    }
    CHeldDictionaryLock(const CHeldDictionaryLock&) = delete;
    CHeldDictionaryLock& operator=(const CHeldDictionaryLock&) = delete;

    static bool IsHeld() {
        return COdbcTestEnvironment::QueryNumber(
                   QStringLiteral("QuorvixPostgres"),
                   QStringLiteral("SELECT COUNT(*) FROM pg_locks l JOIN pg_class c ON c.oid = "
                                  "l.relation WHERE c.relname = 'f9210' AND "
                                  "l.mode = 'AccessExclusiveLock' AND l.granted")) > 0;
    }

private:
    QProcess m_locker;
};
