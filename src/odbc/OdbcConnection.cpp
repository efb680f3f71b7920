#include "odbc/OdbcConnection.h"

#include "odbc/DataSourceDefinition.h"
#include "services/Language.h"

#include "odbc/OdbcDiagnostic.h"
#include "odbc/OdbcEnvironment.h"
#include "odbc/OdbcStatement.h"

#include <QFileInfo>

#include <sqlext.h>
#include <sqlucode.h>

#include <algorithm>

namespace {
constexpr int kConformanceText = 1943;
constexpr int kNoDatabaseFileText = 1945;
constexpr int kMissingFileText = 1946;
constexpr SQLULEN kLoginTimeoutSeconds = 15;

QString InfoText(SQLHDBC connection, SQLUSMALLINT infoType) {
    SQLWCHAR text[128] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(connection, infoType, text, sizeof(text), &length)))
        return {};
    qsizetype size = 0;
    while (size < qsizetype(std::size(text)) - 1 && text[size] != 0)
        ++size;
    return QString(reinterpret_cast<const QChar*>(text), size);
}

// The definition that the driver manager uses for a name: the user's before the machine's.
bool ReadDefinition(const QString& dataSourceName, CDataSourceDefinition& definition) {
    QString unused;
    return CDataSourceDefinition::Read(dataSourceName, false, definition, unused) ||
           CDataSourceDefinition::Read(dataSourceName, true, definition, unused);
}

} // namespace

COdbcConnection::COdbcConnection() = default;

COdbcConnection::~COdbcConnection() {
    Close();
}

QString COdbcConnection::ConnectString(const QString& dataSourceName) {
    if (dataSourceName.contains(QLatin1Char(';')) || dataSourceName.contains(QLatin1Char('{')) ||
        dataSourceName.contains(QLatin1Char('}')))
        return {};
    return QStringLiteral("DSN=") + dataSourceName + QLatin1Char(';');
}

bool COdbcConnection::Open(const QString& dataSourceName) {
    // A data source name is data. The drivers read no braces around a DSN value, so a name that
    // could end the value (";Database=other") is never put into a connection string: it is
    // handed to SQLConnectW as an argument of its own, which nothing parses.
    QString connectString = ConnectString(dataSourceName);
    const CDataSourceDefinition::DriverKind kind =
        CDataSourceDefinition::KindOf(CDataSourceDefinition::DriverOf(dataSourceName));
    if (kind == CDataSourceDefinition::DriverKind::SQLite) {
        // The SQLite driver creates a database file that is not there: a data source whose file
        // has gone would read as an empty database (and a file would be written). Its file is
        // checked first, to say which one is missing; NoCreat=1 still guards the moment between
        // the check and the opening. SQLConnectW takes no such attribute, so a name that cannot
        // go into a connection string is opened through its definition's own attributes.
        CDataSourceDefinition definition;
        QString file;
        if (ReadDefinition(dataSourceName, definition))
            file = definition.Attribute(CDataSourceDefinition::DatabaseFileKey(kind));
        if (file.isEmpty() || !QFileInfo(file).isFile()) {
            Close();
            m_diagnostic = file.isEmpty()
                               ? LoadLocalizedString(kNoDatabaseFileText).arg(dataSourceName)
                               : LoadLocalizedString(kMissingFileText).arg(dataSourceName, file);
            return false;
        }
        // Without StepAPI the driver builds each whole answer in memory before it gives the
        // first row: a million-item dictionary took more than three times the memory. It is
        // asked to step through the rows whatever the definition says; every other setting stays
        // the definition's (the driver reads them itself for a name in the string).
        if (connectString.isEmpty()) {
            definition.SetAttribute(QStringLiteral("StepAPI"), QStringLiteral("1"));
            definition.SetAttribute(QStringLiteral("NoCreat"), QStringLiteral("1"));
            connectString = CDataSourceDefinition::BareConnectionString(definition);
        } else {
            connectString += QStringLiteral("StepAPI=1;NoCreat=1;");
        }
        // A definition whose values the driver cannot be handed (one holds ";") is read by the
        // driver itself, through the name, as it is.
        if (!connectString.isEmpty())
            return OpenConnectionString(connectString);
    }
    if (!connectString.isEmpty())
        return OpenConnectionString(connectString);
    return OpenWith([&dataSourceName](SQLHDBC handle) {
        return SQLConnectW(
            handle,
            const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(dataSourceName.utf16())),
            SQL_NTS, nullptr, 0, nullptr, 0);
    });
}

bool COdbcConnection::OpenConnectionString(const QString& connectString) {
    return OpenWith([&connectString](SQLHDBC handle) {
        SQLWCHAR completed[1024];
        SQLSMALLINT completedLength = 0;
        // No window handle: the driver completes the string from the data source's definition
        // and never prompts.
        return SQLDriverConnectW(
            handle, nullptr,
            const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(connectString.utf16())),
            SQL_NTS, completed, SQLSMALLINT(std::size(completed)), &completedLength,
            SQL_DRIVER_COMPLETE);
    });
}

bool COdbcConnection::OpenWith(const std::function<SQLRETURN(SQLHDBC)>& connect) {
    Close();
    m_diagnostic.clear();
    m_environment = COdbcEnvironment::Acquire();
    if (!m_environment)
        return false;
    if (!SQL_SUCCEEDED(DriverCall([this] {
            return SQLAllocHandle(SQL_HANDLE_DBC, m_environment->Handle(), &m_handle);
        }))) {
        m_diagnostic = OdbcDiagnostic(SQL_HANDLE_ENV, m_environment->Handle());
        m_handle = SQL_NULL_HDBC;
        m_environment.reset();
        return false;
    }

    DriverCall([this] {
        SQLSetConnectAttrW(m_handle, SQL_ATTR_LOGIN_TIMEOUT,
                           reinterpret_cast<SQLPOINTER>(kLoginTimeoutSeconds), 0);
        SQLSetConnectAttrW(m_handle, SQL_ATTR_ACCESS_MODE,
                           reinterpret_cast<SQLPOINTER>(SQL_MODE_READ_ONLY), 0);
        // unixODBC's cursor library makes the wide catalogue calls of several drivers fail; the
        // program only fetches forward and needs none.
        return SQLSetConnectAttrW(m_handle, SQL_ATTR_ODBC_CURSORS,
                                  reinterpret_cast<SQLPOINTER>(SQL_CUR_USE_DRIVER), 0);
    });

    // A server that does not answer holds the connection here until the login timeout.
    const SQLRETURN result = DriverCall([this, &connect] { return connect(m_handle); });
    if (!SQL_SUCCEEDED(result)) {
        m_diagnostic = OdbcDiagnostic(SQL_HANDLE_DBC, m_handle);
        Close();
        return false;
    }
    m_isOpen = true;

    SQLUSMALLINT conformance = 0;
    if (!SQL_SUCCEEDED(DriverCall([this, &conformance] {
            return SQLGetInfoW(m_handle, SQL_ODBC_API_CONFORMANCE, &conformance,
                               sizeof(conformance), nullptr);
        })) ||
        conformance < SQL_OAC_LEVEL1) {
        Close();
        m_diagnostic = LoadLocalizedString(kConformanceText);
        return false;
    }

    SQLUINTEGER accessMode = SQL_MODE_READ_WRITE;
    m_accessModeKept = SQL_SUCCEEDED(DriverCall([this, &accessMode] {
                           return SQLGetConnectAttrW(m_handle, SQL_ATTR_ACCESS_MODE, &accessMode,
                                                     sizeof(accessMode), nullptr);
                       })) &&
                       accessMode == SQL_MODE_READ_ONLY;
    m_dbmsName = DriverCall([this] { return InfoText(m_handle, SQL_DBMS_NAME); });
    m_dbmsVersion = DriverCall([this] { return InfoText(m_handle, SQL_DBMS_VER); });
    m_driverName = DriverCall([this] { return InfoText(m_handle, SQL_DRIVER_NAME); });
    m_driverVersion = DriverCall([this] { return InfoText(m_handle, SQL_DRIVER_VER); });
    {
        const std::lock_guard lock(m_runningGuard);
        m_cancelFromAnotherThread =
            !m_dbmsName.startsWith(QLatin1String("SQLite"), Qt::CaseInsensitive);
    }
    SwitchSessionReadOnly();
    return true;
}

// No driver here enforces the read-only access mode. Where the database has a session mode
// that refuses writes and changes nothing else, it is switched on, so that even a fault of ours
// could not write.
void COdbcConnection::SwitchSessionReadOnly() {
    QString sql;
    if (m_dbmsName.startsWith(QLatin1String("PostgreSQL"), Qt::CaseInsensitive))
        sql = QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY");
    else if (m_dbmsName.startsWith(QLatin1String("MariaDB"), Qt::CaseInsensitive) ||
             m_dbmsName.startsWith(QLatin1String("MySQL"), Qt::CaseInsensitive))
        sql = QStringLiteral("SET SESSION TRANSACTION READ ONLY");
    else if (m_dbmsName.startsWith(QLatin1String("SQLite"), Qt::CaseInsensitive))
        sql = QStringLiteral("PRAGMA query_only = 1");
    if (sql.isEmpty())
        return;
    COdbcStatement statement(*this);
    m_sessionReadOnly = statement.ExecuteDirect(sql);
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
    m_quoteKnown = false;
    m_quote.clear();
    m_accessModeKept = false;
    m_sessionReadOnly = false;
    m_dbmsName.clear();
    m_dbmsVersion.clear();
    m_driverName.clear();
    m_driverVersion.clear();
    m_environment.reset();
    ClearInterrupt();
}

QString COdbcConnection::SearchPatternEscape() {
    if (!m_escapeKnown && m_isOpen) {
        m_escape = DriverCall([this] { return InfoText(m_handle, SQL_SEARCH_PATTERN_ESCAPE); });
        m_escapeKnown = true;
    }
    return m_escape;
}

QString COdbcConnection::IdentifierQuote() {
    if (!m_quoteKnown && m_isOpen) {
        // A blank means that the driver does not quote identifiers.
        m_quote =
            DriverCall([this] { return InfoText(m_handle, SQL_IDENTIFIER_QUOTE_CHAR); }).trimmed();
        m_quoteKnown = true;
    }
    return m_quote;
}

int COdbcConnection::MaxNameLength(SQLUSMALLINT infoType) const {
    SQLUSMALLINT length = 0;
    if (!m_isOpen || !SQL_SUCCEEDED(DriverCall([this, infoType, &length] {
            return SQLGetInfoW(m_handle, infoType, &length, sizeof(length), nullptr);
        })))
        return 0;
    return length;
}

bool COdbcConnection::Register(SQLHSTMT statement) {
    const std::lock_guard lock(m_runningGuard);
    if (m_interrupted)
        return false;
    m_running.push_back(statement);
    return true;
}

void COdbcConnection::Unregister(SQLHSTMT statement) {
    const std::lock_guard lock(m_runningGuard);
    m_running.erase(std::remove(m_running.begin(), m_running.end(), statement), m_running.end());
}

void COdbcConnection::Interrupt() {
    CancelRunning(RefuseStatements());
}

quint64 COdbcConnection::RefuseStatements() {
    const quint64 ticket = m_interruptGeneration.load();
    m_interrupted = true;
    return ticket;
}

void COdbcConnection::CancelRunning(quint64 ticket) {
    // ODBC allows SQLCancel from another thread on a statement that is executing. The SQLite
    // driver, though, frees the answer that the other thread is fetching (a use after free that
    // AddressSanitizer caught); its statements are local and end on their own, so it is only
    // refused new ones and the run stops at its next cancel check.
    // The guard keeps each statement from being freed while it is cancelled; a statement
    // registered after ClearInterrupt waits for it and then finds the ticket out of date.
    const std::lock_guard lock(m_runningGuard);
    if (ticket != m_interruptGeneration.load() || !m_cancelFromAnotherThread)
        return;
    for (const SQLHSTMT statement : m_running)
        SQLCancel(statement);
}

void COdbcConnection::ClearInterrupt() {
    ++m_interruptGeneration;
    m_interrupted = false;
}

bool COdbcConnection::IsInterrupted() const {
    return m_interrupted.load();
}

bool COdbcConnection::AbandonIfCalling() {
    const std::lock_guard lock(m_callGuard);
    if (m_callsInProgress > 0)
        m_abandoned = true;
    return m_abandoned;
}

bool COdbcConnection::IsAbandoned() const {
    const std::lock_guard lock(m_callGuard);
    return m_abandoned;
}

void COdbcConnection::EnterCall() const {
    // Never throws: a statement released while its thread leaves a given-up connection still
    // frees its handle.
    const std::lock_guard lock(m_callGuard);
    ++m_callsInProgress;
}

void COdbcConnection::LeaveCall() const {
    if (LeaveCallAbandoned())
        throw COdbcAbandoned();
}

bool COdbcConnection::LeaveCallAbandoned() const {
    const std::lock_guard lock(m_callGuard);
    --m_callsInProgress;
    return m_abandoned;
}
