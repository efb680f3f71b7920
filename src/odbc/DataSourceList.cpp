#include "odbc/DataSourceList.h"

#include "odbc/OdbcEnvironment.h"

#include <sqlext.h>
#include <sqlucode.h>

#include <QProcess>
#include <QStandardPaths>

namespace {

// unixODBC's administration dialog is built on an older Qt than the program: loading it here
// (through SQLManageDataSources and its plugin) would bring two Qt versions into one process.
// Its own program runs it in a process of its own instead.
QString AdministrationProgram() {
    for (const char* program : {"ODBCManageDataSourcesQ5", "ODBCManageDataSourcesQ4"}) {
        const QString path = QStandardPaths::findExecutable(QLatin1String(program));
        if (!path.isEmpty())
            return path;
    }
    return {};
}

} // namespace

bool ListDataSources(bool system, QStringList& names, QStringList& drivers) {
    names.clear();
    drivers.clear();
    const std::shared_ptr<COdbcEnvironment> environment = COdbcEnvironment::Acquire();
    if (!environment)
        return false;
    SQLUSMALLINT direction = system ? SQL_FETCH_FIRST_SYSTEM : SQL_FETCH_FIRST_USER;
    for (;;) {
        SQLWCHAR name[SQL_MAX_DSN_LENGTH * 4 + 1] = {};
        SQLWCHAR driver[512] = {};
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT driverLength = 0;
        const SQLRETURN result =
            SQLDataSourcesW(environment->Handle(), direction, name, SQLSMALLINT(std::size(name)),
                            &nameLength, driver, SQLSMALLINT(std::size(driver)), &driverLength);
        if (result == SQL_NO_DATA)
            return true;
        if (!SQL_SUCCEEDED(result))
            return false;
        const QString dataSource = QString::fromUtf16(reinterpret_cast<const char16_t*>(name));
        if (!dataSource.isEmpty()) {
            names.append(dataSource);
            drivers.append(QString::fromUtf16(reinterpret_cast<const char16_t*>(driver)));
        }
        direction = SQL_FETCH_NEXT;
    }
}

bool CanManageDataSources() {
    return !AdministrationProgram().isEmpty();
}

// The administration program opens its own window.
bool ManageDataSources() {
    const QString program = AdministrationProgram();
    return !program.isEmpty() && QProcess::execute(program, {}) == 0;
}
