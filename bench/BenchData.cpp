#include "BenchData.h"

#include "odbc/DataSourceSide.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <cstdio>

namespace {

QString DataFolder() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/bench-data");
}

} // namespace

QString DatabasePath(const QString& name) {
    return DataFolder() + QLatin1Char('/') + name + QStringLiteral(".sqlite");
}

void UseBenchDataSources(const QStringList& names) {
    const QString folder = DataFolder() + QLatin1Char('/') + QCoreApplication::applicationName();
    QDir().mkpath(folder);
    QFile drivers(folder + QStringLiteral("/odbcinst.ini"));
    if (drivers.open(QIODevice::WriteOnly))
        drivers.write("[SQLite3]\nDriver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so\n"
                      "DontDLClose=1\n\n[PostgreSQL Unicode]\n"
                      "Driver=/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so\n");
    QFile sources(folder + QStringLiteral("/odbc.ini"));
    if (sources.open(QIODevice::WriteOnly)) {
        for (const QString& name : names)
            sources.write(QStringLiteral("[%1]\nDriver=SQLite3\nDatabase=%2\nStepAPI=1\n\n")
                              .arg(name, DatabasePath(name))
                              .toUtf8());
    }
    QFile user(folder + QStringLiteral("/user-odbc.ini"));
    user.open(QIODevice::WriteOnly);
    qputenv("ODBCSYSINI", QFile::encodeName(folder));
    qputenv("ODBCINI", QFile::encodeName(user.fileName()));
}

void AddBenchDataSource(const QString& section) {
    QFile sources(qEnvironmentVariable("ODBCSYSINI") + QStringLiteral("/odbc.ini"));
    if (sources.open(QIODevice::Append))
        sources.write((QLatin1Char('\n') + section + QLatin1Char('\n')).toUtf8());
}

QByteArray SchemaSql(bool isLeft, int tables, int columns, int items, bool mistypedSizes) {
    static const char* const kTypes[] = {"INTEGER", "VARCHAR(20)", "CHAR(8)", "DECIMAL(10,2)",
                                         "DATE"};
    QByteArray sql = "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;\n";
    for (int t = 0; t < tables; ++t) {
        const bool oneSided = t % 20 == 3;
        const bool different = t % 10 == 5;
        const char* prefix = oneSided && !isLeft ? "U" : "T";
        sql += QStringLiteral("CREATE TABLE %1%2 (")
                   .arg(QLatin1String(prefix))
                   .arg(t, 5, 10, QLatin1Char('0'))
                   .toUtf8();
        for (int c = 0; c < columns; ++c) {
            // A different table has one column under another name on the right.
            const bool renamed = different && !isLeft && c == columns / 2;
            sql += QStringLiteral("%1C%2%3 %4")
                       .arg(c ? QStringLiteral(", ") : QString())
                       .arg(c, 2, 10, QLatin1Char('0'))
                       .arg(renamed ? QStringLiteral("X") : QString())
                       .arg(QLatin1String(kTypes[(t + c) % 5]))
                       .toUtf8();
        }
        sql += ");\n";
    }
    if (items > 0) {
        sql += "CREATE TABLE F9210 (FRDTAI VARCHAR(10), FRDTAT VARCHAR(2), FRDTAS INTEGER, "
               "FROWTP VARCHAR(4), FRDTAD SMALLINT, FRCDEC VARCHAR(1));\n"
               "INSERT INTO F9210 VALUES ";
        sql += mistypedSizes ? "('DTAI','S',2147483647,'VARC',0,'0'), "
                               "('DTAT','S',2147483647,'VARC',0,'0'),"
                             : "('DTAI','S',10,'VARC',0,'0'), ('DTAT','S',2,'VARC',0,'0'),";
        sql += " ('OWTP','S',4,'VARC',0,'0'), ('CDEC','S',1,'VARC',0,'0');\n";
        sql += QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n "
                              "WHERE i < %1) INSERT INTO F9210 SELECT printf('IT%06d', i), "
                              "'S', CASE WHEN %2 AND i % 100 = 7 THEN 11 ELSE 10 END, 'VARC', "
                              "i % 3, '0' FROM n;\n")
                   .arg(items - 5)
                   .arg(isLeft ? 0 : 1)
                   .toUtf8();
    }
    sql += "COMMIT;\n";
    return sql;
}

QByteArray IndexSql(bool isLeft, int tables) {
    QByteArray sql = "BEGIN;\n";
    for (int t = 0; t < tables; ++t) {
        const QString table = QStringLiteral("%1%2")
                                  .arg(QLatin1Char(t % 20 == 3 && !isLeft ? 'U' : 'T'))
                                  .arg(t, 5, 10, QLatin1Char('0'));
        const bool swapped = t % 10 == 5 && !isLeft;
        sql += QStringLiteral("CREATE INDEX IX%1 ON %2 (%3);\n")
                   .arg(t, 5, 10, QLatin1Char('0'))
                   .arg(table,
                        swapped ? QStringLiteral("C02 DESC, C01") : QStringLiteral("C01, C02 DESC"))
                   .toUtf8();
        if (t % 3 == 0)
            sql += QStringLiteral("CREATE UNIQUE INDEX UX%1 ON %2 (C00);\n")
                       .arg(t, 5, 10, QLatin1Char('0'))
                       .arg(table)
                       .toUtf8();
    }
    sql += "COMMIT;\n";
    return sql;
}

QByteArray DictionarySql(bool isLeft, int items) {
    return SchemaSql(isLeft, 0, 0, items) +
           QStringLiteral("DELETE FROM F9210 WHERE FRDTAI LIKE 'IT%' AND "
                          "CAST(substr(FRDTAI, 3) AS INTEGER) % 50 = %1;\n")
               .arg(isLeft ? 11 : 23)
               .toUtf8();
}

QStringList BenchDictionaries(bool smoke) {
    return smoke ? QStringList{QStringLiteral("BenchDictSmokeL"), QStringLiteral("BenchDictSmokeR")}
                 : QStringList{QStringLiteral("BenchDictL"), QStringLiteral("BenchDictR")};
}

bool OpenBenchDictionaries(bool smoke, CDataSourceSide& left, CDataSourceSide& right) {
    const int items = smoke ? 5000 : 200000;
    const QStringList names = BenchDictionaries(smoke);
    UseBenchDataSources(names);
    if (!EnsureDatabase(names[0], DictionarySql(true, items)) ||
        !EnsureDatabase(names[1], DictionarySql(false, items)))
        return false;
    if (!OpenSide(left, names[0]) || !OpenSide(right, names[1])) {
        std::fprintf(stderr, "cannot open the benchmark data sources\n");
        return false;
    }
    return true;
}

bool EnsureDatabase(const QString& name, const QByteArray& sql) {
    if (QFile::exists(DatabasePath(name)))
        return true;
    std::fprintf(stderr, "creating %s...\n", qPrintable(DatabasePath(name)));
    const QString partial = DatabasePath(name) + QStringLiteral(".part");
    QFile::remove(partial);
    QProcess sqlite;
    sqlite.start(QStringLiteral("sqlite3"), {QStringLiteral("-bail"), partial});
    sqlite.write(sql);
    sqlite.closeWriteChannel();
    sqlite.waitForFinished(-1);
    if (sqlite.exitCode() != 0) {
        std::fprintf(stderr, "%s\n", sqlite.readAllStandardError().constData());
        return false;
    }
    return QFile::rename(partial, DatabasePath(name));
}

bool OpenSide(CDataSourceSide& side, const QString& name) {
    side.SetDataSource(name, CDataSourceSide::SystemDataSource);
    return side.Connect() && side.ListTables(nullptr);
}

double PeakRssMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpression peak(QStringLiteral("VmHWM:\\s+(\\d+) kB"));
    const QRegularExpressionMatch match = peak.match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toDouble() / 1024.0 : -1;
}
