#include "odbc/OdbcConnection.h"

#include "odbc/OdbcEnvironment.h"

#include <sqlext.h>
#include <sqlucode.h>

namespace {
constexpr SQLULEN kLoginTimeoutSeconds = 15;
} // namespace

COdbcConnection::COdbcConnection() = default;

COdbcConnection::~COdbcConnection() {
    Close();
}

bool COdbcConnection::Open(const QString& dataSourceName) {
    Close();
    m_environment = COdbcEnvironment::Acquire();
    if (!m_environment)
        return false;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, m_environment->Handle(), &m_handle))) {
        m_handle = SQL_NULL_HDBC;
        m_environment.reset();
        return false;
    }

    SQLSetConnectAttrW(m_handle, SQL_ATTR_LOGIN_TIMEOUT,
                       reinterpret_cast<SQLPOINTER>(kLoginTimeoutSeconds), 0);
    SQLSetConnectAttrW(m_handle, SQL_ATTR_ACCESS_MODE,
                       reinterpret_cast<SQLPOINTER>(SQL_MODE_READ_ONLY), 0);
    // unixODBC's cursor library makes the wide catalogue calls of several drivers fail; the
    // program only fetches forward and needs none.
    SQLSetConnectAttrW(m_handle, SQL_ATTR_ODBC_CURSORS,
                       reinterpret_cast<SQLPOINTER>(SQL_CUR_USE_DRIVER), 0);

    const QString connectString = QStringLiteral("DSN=") + dataSourceName + QLatin1Char(';');
    SQLWCHAR completed[1024];
    SQLSMALLINT completedLength = 0;
    // No window handle: the driver completes the string from the data source's definition and
    // never prompts.
    const SQLRETURN result = SQLDriverConnectW(
        m_handle, nullptr,
        const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(connectString.utf16())), SQL_NTS,
        completed, SQLSMALLINT(std::size(completed)), &completedLength, SQL_DRIVER_COMPLETE);
    if (!SQL_SUCCEEDED(result)) {
        Close();
        return false;
    }
    m_isOpen = true;

    SQLUSMALLINT conformance = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(m_handle, SQL_ODBC_API_CONFORMANCE, &conformance,
                                   sizeof(conformance), nullptr)) ||
        conformance < SQL_OAC_LEVEL1) {
        Close();
        return false;
    }
    return true;
}

void COdbcConnection::Close() {
    if (m_handle != SQL_NULL_HDBC) {
        if (m_isOpen)
            SQLDisconnect(m_handle);
        SQLFreeHandle(SQL_HANDLE_DBC, m_handle);
    }
    m_handle = SQL_NULL_HDBC;
    m_isOpen = false;
    m_escapeKnown = false;
    m_escape.clear();
    m_environment.reset();
}

QString COdbcConnection::SearchPatternEscape() {
    if (!m_escapeKnown && m_isOpen) {
        SQLWCHAR escape[8] = {};
        SQLSMALLINT length = 0;
        if (SQL_SUCCEEDED(
                SQLGetInfoW(m_handle, SQL_SEARCH_PATTERN_ESCAPE, escape, sizeof(escape), &length)))
            m_escape = QString::fromUtf16(reinterpret_cast<const char16_t*>(escape));
        m_escapeKnown = true;
    }
    return m_escape;
}

int COdbcConnection::MaxNameLength(SQLUSMALLINT infoType) const {
    SQLUSMALLINT length = 0;
    if (!m_isOpen ||
        !SQL_SUCCEEDED(SQLGetInfoW(m_handle, infoType, &length, sizeof(length), nullptr)))
        return 0;
    return length;
}
