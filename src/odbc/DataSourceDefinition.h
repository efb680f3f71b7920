#pragma once

#include <QString>

#include <utility>
#include <vector>

// A data source as the driver manager keeps it: its name, whether it is the machine's (system)
// or the user's, its driver and its attributes in order (the driver line apart); and how a
// definition is read from the lists and made into a connection string.
struct CDataSourceDefinition {
    enum class DriverKind { SQLite, PostgreSQL, MariaDB, Other };

    QString name;
    QString driver;
    bool system = false;
    std::vector<std::pair<QString, QString>> attributes;

    QString Attribute(const QString& key) const;
    // Replaces the value of key (case ignored) or adds it; an empty value removes it.
    void SetAttribute(const QString& key, const QString& value);

    // The driver line of a data source of either list; empty when there is none.
    static QString DriverOf(const QString& dataSourceName);
    static DriverKind KindOf(const QString& driver);
    // The attribute that names the database file of a file-based driver, or empty.
    static QString DatabaseFileKey(DriverKind kind);
    // The database file of a file-based data source as the driver manager finds its definition;
    // empty for a server.
    static QString DatabaseFileOf(const QString& dataSourceName);
    static bool Read(const QString& name, bool system, CDataSourceDefinition& definition,
                     QString& error);
    // The connection string of a definition: each value that could end its field is braced.
    static QString ConnectionString(const CDataSourceDefinition& definition);
    // The same for a driver that reads each value up to the next ";" and takes braces as part
    // of it (the SQLite driver): values go bare, and a definition with a value holding ";"
    // cannot be given this way (empty).
    static QString BareConnectionString(const CDataSourceDefinition& definition);
    // Whether a key can be stored and passed on as it is.
    static bool IsKeyAcceptable(const QString& key);
};
