#include "odbc/OdbcDiagnostic.h"

#include <sqlext.h>
#include <sqlucode.h>

#include <vector>

QString OdbcDiagnostic(SQLSMALLINT handleType, SQLHANDLE handle) {
    if (handle == SQL_NULL_HANDLE)
        return {};
    SQLWCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    std::vector<SQLWCHAR> message(1024, 0);
    SQLRETURN result = SQLGetDiagRecW(handleType, handle, 1, state, &native, message.data(),
                                      SQLSMALLINT(message.size()), &length);
    if (result == SQL_SUCCESS_WITH_INFO && length >= SQLSMALLINT(message.size())) {
        message.assign(size_t(length) + 1, 0);
        result = SQLGetDiagRecW(handleType, handle, 1, state, &native, message.data(),
                                SQLSMALLINT(message.size()), &length);
    }
    if (!SQL_SUCCEEDED(result))
        return {};
    const auto units = [](const SQLWCHAR* text, qsizetype capacity) {
        qsizetype size = 0;
        while (size < capacity && text[size] != 0)
            ++size;
        return QString(reinterpret_cast<const QChar*>(text), size);
    };
    return units(state, 5) + QStringLiteral(": ") +
           units(message.data(), qsizetype(message.size())).trimmed();
}
