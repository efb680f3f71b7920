#include "odbc/OdbcTestEnvironment.h"

#include "EventWait.h"
#include "odbc/OdbcConnection.h"
#include "odbc/OdbcStatement.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

QTemporaryDir& PrivateFolder() {
    static QTemporaryDir folder;
    return folder;
}

QString SystemIni() {
    return PrivateFolder().filePath(QStringLiteral("odbc.ini"));
}

QString UserIni() {
    return PrivateFolder().filePath(QStringLiteral("user-odbc.ini"));
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Append(const QString& path, const QByteArray& text) {
    QFile file(path);
    if (file.open(QIODevice::Append))
        file.write(text);
}

QByteArray DriverList() {
    const QString driverFolder = QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/");
    return QStringLiteral("[SQLite3]\nDriver=%1libsqlite3odbc.so\nDontDLClose=1\n\n"
                          "[PostgreSQL Unicode]\nDriver=%1psqlodbcw.so\nDontDLClose=1\n\n"
                          "[MariaDB Unicode]\nDriver=%1libmaodbc.so\nDontDLClose=1\n\n")
        .arg(driverFolder)
        .toUtf8();
}

} // namespace

void COdbcTestEnvironment::Isolate() {
    const QString outer = qEnvironmentVariable("ODBCSYSINI");
    QByteArray drivers =
        outer.isEmpty() ? QByteArray() : ReadAll(outer + QStringLiteral("/odbcinst.ini"));
    if (drivers.isEmpty())
        drivers = DriverList();
    Append(PrivateFolder().filePath(QStringLiteral("odbcinst.ini")), drivers);
    // The servers' data sources exist only when the test run defined them: never the machine's.
    Append(SystemIni(),
           outer.isEmpty() ? QByteArray() : ReadAll(outer + QStringLiteral("/odbc.ini")));
    Append(UserIni(), QByteArray());
    qputenv("ODBCSYSINI", QFile::encodeName(PrivateFolder().path()));
    qputenv("ODBCINI", QFile::encodeName(UserIni()));
}

QString COdbcTestEnvironment::Folder() {
    return PrivateFolder().path();
}

void COdbcTestEnvironment::AddDataSource(const QString& name, bool system, const QString& driver,
                                         const QString& attributes) {
    const QString section = QStringLiteral("[%1]\nDriver=%2\n%3\n\n").arg(name, driver, attributes);
    Append(system ? SystemIni() : UserIni(), section.toUtf8());
}

bool COdbcTestEnvironment::HasDataSource(const QString& name) {
    const QByteArray header = QStringLiteral("[%1]").arg(name).toUtf8();
    return ReadAll(SystemIni()).contains(header) || ReadAll(UserIni()).contains(header);
}

QString COdbcTestEnvironment::AddSqliteDataSource(const QString& name, const QString& sql,
                                                  bool system) {
    const QString path = PrivateFolder().filePath(name + QStringLiteral(".sqlite"));
    QFile::remove(path);
    QProcess sqlite;
    sqlite.start(QStringLiteral("sqlite3"), {QStringLiteral("-bail"), path});
    sqlite.write(sql.toUtf8());
    sqlite.closeWriteChannel();
    sqlite.waitForFinished(kEventLimitMs);
    EXPECT_EQ(sqlite.exitCode(), 0) << sqlite.readAllStandardError().toStdString();
    AddDataSource(name, system, QStringLiteral("SQLite3"), QStringLiteral("Database=") + path);
    return path;
}

qint32 COdbcTestEnvironment::QueryNumber(const QString& dataSource, const QString& sql) {
    COdbcConnection connection;
    if (!connection.Open(dataSource))
        return -1;
    COdbcStatement statement(connection);
    if (!statement.ExecuteDirect(sql))
        return -1;
    const int number = statement.BindInt32(1);
    return statement.Fetch() == COdbcStatement::FetchResult::Row ? statement.Number(number) : -1;
}

bool COdbcTestEnvironment::ServersRequired() {
    return qEnvironmentVariable("QUORVIX_TEST_SERVERS") == QLatin1String("1");
}
