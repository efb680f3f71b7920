#include "odbc/OdbcEnvironment.h"

#include <sqlext.h>

#include <mutex>

std::shared_ptr<COdbcEnvironment> COdbcEnvironment::Acquire() {
    static std::mutex guard;
    static std::weak_ptr<COdbcEnvironment> shared;
    const std::lock_guard lock(guard);
    if (std::shared_ptr<COdbcEnvironment> existing = shared.lock())
        return existing;

    SQLHENV handle = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &handle)))
        return nullptr;
    // ODBC 2 behaviour, as the program was designed against: the date and time columns report
    // the codes 9-11, which name the same types as 91-93.
    if (!SQL_SUCCEEDED(SQLSetEnvAttr(handle, SQL_ATTR_ODBC_VERSION,
                                     reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC2), 0))) {
        SQLFreeHandle(SQL_HANDLE_ENV, handle);
        return nullptr;
    }
    std::shared_ptr<COdbcEnvironment> environment(new COdbcEnvironment(handle));
    shared = environment;
    return environment;
}

COdbcEnvironment::~COdbcEnvironment() {
    SQLFreeHandle(SQL_HANDLE_ENV, m_handle);
}
