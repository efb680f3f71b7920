#include "odbc/DataSourceList.h"

#include "odbc/OdbcEnvironment.h"

#include <sqlext.h>
#include <sqlucode.h>

#include <dlfcn.h>

namespace {

using ManageFunction = BOOL (*)(HWND);

// The installer library and its entry, when both load; the library stays loaded for the run.
ManageFunction ManageEntry() {
    static const ManageFunction entry = [] {
        void* installer = ::dlopen("libodbcinst.so.2", RTLD_NOW | RTLD_LOCAL);
        return installer
                   ? reinterpret_cast<ManageFunction>(::dlsym(installer, "SQLManageDataSources"))
                   : nullptr;
    }();
    return entry;
}

// unixODBC shows its administration dialog through a separate user-interface plugin.
bool HasSetupPlugin() {
    for (const char* plugin :
         {"libodbcinstQ5.so.1", "libodbcinstQ5.so", "libodbcinstQ4.so.2", "libodbcinstQ4.so"}) {
        if (void* library = ::dlopen(plugin, RTLD_LAZY | RTLD_LOCAL)) {
            ::dlclose(library);
            return true;
        }
    }
    return false;
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
    static const bool available = ManageEntry() && HasSetupPlugin();
    return available;
}

bool ManageDataSources(void* window) {
    if (!CanManageDataSources())
        return false;
    return ManageEntry()(static_cast<HWND>(window)) != 0;
}
