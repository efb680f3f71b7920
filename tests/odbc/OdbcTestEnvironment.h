#pragma once

#include <QString>

#include <gtest/gtest.h>

// The ODBC definitions of one test process: a private ODBCSYSINI folder and ODBCINI file that
// start with the drivers and the server data sources of the surrounding test run, so that tests
// may add data sources without touching each other's or the user's definitions.
class COdbcTestEnvironment {
public:
    // Called once by the test main, before any ODBC call.
    static void Isolate();
    static QString Folder();

    // Registers a data source in the user (ODBCINI) or system (ODBCSYSINI/odbc.ini) list.
    static void AddDataSource(const QString& name, bool system, const QString& driver,
                              const QString& attributes);
    static bool HasDataSource(const QString& name);

    // Creates an SQLite database from SQL text through the sqlite3 program (a read-write
    // connection of its own) and registers it as a data source; returns the database path.
    static QString AddSqliteDataSource(const QString& name, const QString& sql, bool system = true);

    // A number that a query of the test's own reads on a connection of its own; -1 on failure.
    static qint32 QueryNumber(const QString& dataSource, const QString& sql);

    // True when the test run started the database servers, so their tests must not be skipped.
    static bool ServersRequired();
};

// Skips a test whose server data source is missing, or fails it when the run requires servers.
#define QUORVIX_REQUIRE_DATA_SOURCE(name)                                                          \
    do {                                                                                           \
        if (!COdbcTestEnvironment::HasDataSource(name)) {                                          \
            if (COdbcTestEnvironment::ServersRequired())                                           \
                FAIL() << "data source " << (name) << " of the test servers is missing";           \
            else                                                                                   \
                GTEST_SKIP() << "no test server data source " << (name)                            \
                             << " (scripts/test starts the servers)";                              \
        }                                                                                          \
    } while (false)
