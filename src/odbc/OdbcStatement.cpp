#include "odbc/OdbcStatement.h"

#include "odbc/OdbcConnection.h"
#include "odbc/OdbcDiagnostic.h"

#include <sqlext.h>
#include <sqlucode.h>

#include <algorithm>
#include <exception>

COdbcStatement::COdbcStatement(COdbcConnection& connection)
    : m_connection(connection), m_uncaughtExceptions(std::uncaught_exceptions()) {
    const SQLHDBC handle = connection.Handle();
    if (handle == SQL_NULL_HDBC || !connection.IsOpen()) {
        m_diagnostic = QStringLiteral("08003: no open connection");
        return;
    }
    connection.EnterCall();
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, handle, &m_handle))) {
        m_handle = SQL_NULL_HSTMT;
        m_diagnostic = OdbcDiagnostic(SQL_HANDLE_DBC, handle);
        if (m_diagnostic.isEmpty())
            m_diagnostic = QStringLiteral("HY001: the statement could not be allocated");
    } else if (!connection.Register(m_handle)) {
        SQLFreeStmt(m_handle, SQL_DROP);
        m_handle = SQL_NULL_HSTMT;
        m_diagnostic = QStringLiteral("HY008: operation cancelled");
    }
    if (connection.LeaveCallAbandoned()) {
        // No destructor follows a constructor that throws: the handle goes here.
        if (IsAllocated()) {
            connection.Unregister(m_handle);
            SQLFreeStmt(m_handle, SQL_DROP);
        }
        throw COdbcAbandoned();
    }
}

COdbcStatement::~COdbcStatement() noexcept(false) {
    if (!IsAllocated())
        return;
    m_connection.EnterCall();
    m_connection.Unregister(m_handle);
    SQLFreeStmt(m_handle, SQL_DROP);
    if (m_connection.LeaveCallAbandoned() && std::uncaught_exceptions() == m_uncaughtExceptions)
        throw COdbcAbandoned();
}

bool COdbcStatement::Check(SQLRETURN result) {
    if (SQL_SUCCEEDED(result))
        return true;
    KeepDiagnostic();
    Cancel();
    return false;
}

void COdbcStatement::KeepDiagnostic() {
    m_diagnostic = m_connection.DriverCall([this] {
        QString diagnostic = OdbcDiagnostic(SQL_HANDLE_STMT, m_handle);
        // Some drivers file a lost connection's error on the connection handle only.
        if (diagnostic.isEmpty())
            diagnostic = OdbcDiagnostic(SQL_HANDLE_DBC, m_connection.Handle());
        return diagnostic;
    });
    if (m_diagnostic.isEmpty())
        m_diagnostic = QStringLiteral("HY000: the driver failed without a diagnostic");
}

void COdbcStatement::Cancel() {
    if (IsAllocated())
        m_connection.DriverCall([this] { return SQLCancel(m_handle); });
}

bool COdbcStatement::ExecuteDirect(const QString& sql) {
    return Execute([&sql](SQLHSTMT statement) {
        return SQLExecDirectW(statement,
                              const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(sql.utf16())),
                              SQL_NTS);
    });
}

bool COdbcStatement::BindTextParameter(SQLUSMALLINT number, const QString& value) {
    if (!IsAllocated())
        return false;
    ParameterBinding& parameter = m_parameters.emplace_back();
    parameter.text.assign(reinterpret_cast<const char16_t*>(value.utf16()), size_t(value.size()));
    parameter.indicator = SQLLEN(parameter.text.size() * sizeof(SQLWCHAR));
    // Drivers refuse a column size of 0, which an empty text would declare.
    const SQLULEN units = std::max<SQLULEN>(parameter.text.size(), 1);
    return Check(m_connection.DriverCall([this, number, &parameter, units] {
        return SQLBindParameter(m_handle, number, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR, units,
                                0, parameter.text.data(),
                                parameter.indicator + SQLLEN(sizeof(SQLWCHAR)),
                                &parameter.indicator);
    }));
}

int COdbcStatement::BindText(SQLUSMALLINT column, int capacityUnits) {
    if (!IsAllocated())
        return -1;
    TextBinding& text = m_texts.emplace_back();
    text.buffer.assign(std::max(capacityUnits, 1), 0);
    const SQLLEN bytes = SQLLEN(text.buffer.size() * sizeof(SQLWCHAR));
    if (!Check(m_connection.DriverCall([this, column, &text, bytes] {
            return SQLBindCol(m_handle, column, SQL_C_WCHAR, text.buffer.data(), bytes,
                              &text.indicator);
        })))
        return -1;
    m_bindings.push_back({true, int(m_texts.size() - 1)});
    return int(m_bindings.size() - 1);
}

int COdbcStatement::BindNumber(SQLUSMALLINT column, SQLSMALLINT cType) {
    if (!IsAllocated())
        return -1;
    NumberBinding& number = m_numbers.emplace_back();
    number.cType = cType;
    if (!Check(m_connection.DriverCall([this, column, cType, &number] {
            return SQLBindCol(m_handle, column, cType, &number.value, sizeof(number.value),
                              &number.indicator);
        })))
        return -1;
    m_bindings.push_back({false, int(m_numbers.size() - 1)});
    return int(m_bindings.size() - 1);
}

int COdbcStatement::BindInt16(SQLUSMALLINT column) {
    return BindNumber(column, SQL_C_SSHORT);
}

int COdbcStatement::BindInt32(SQLUSMALLINT column) {
    return BindNumber(column, SQL_C_SLONG);
}

int COdbcStatement::BindUInt32(SQLUSMALLINT column) {
    return BindNumber(column, SQL_C_ULONG);
}

int COdbcStatement::BindInt64(SQLUSMALLINT column) {
    return BindNumber(column, SQL_C_SBIGINT);
}

COdbcStatement::FetchResult COdbcStatement::Fetch() {
    if (!IsAllocated())
        return FetchResult::Error;
    for (TextBinding& text : m_texts)
        text.buffer.front() = 0;
    for (NumberBinding& number : m_numbers)
        number.indicator = SQL_NULL_DATA;
    SQLRETURN result;
    do {
        result = m_connection.DriverCall([this] { return SQLFetch(m_handle); });
    } while (result == SQL_STILL_EXECUTING);
    if (result == SQL_NO_DATA)
        return FetchResult::End;
    return Check(result) ? FetchResult::Row : FetchResult::Error;
}

QString COdbcStatement::Text(int binding) const {
    if (binding < 0 || binding >= int(m_bindings.size()) || !m_bindings[binding].isText)
        return {};
    const TextBinding& text = m_texts[m_bindings[binding].slot];
    if (text.indicator == SQL_NULL_DATA)
        return {};
    // Some drivers leave the unused tail of the buffer untouched; the value ends at its zero.
    const SQLWCHAR* begin = text.buffer.data();
    const SQLWCHAR* end = std::find(begin, begin + text.buffer.size(), SQLWCHAR(0));
    // The code units as they are: decoding would drop or swap a leading U+FEFF or U+FFFE.
    return QString(reinterpret_cast<const QChar*>(begin), end - begin);
}

bool COdbcStatement::IsTextCut(int binding) const {
    if (binding < 0 || binding >= int(m_bindings.size()) || !m_bindings[binding].isText)
        return false;
    const TextBinding& text = m_texts[m_bindings[binding].slot];
    const SQLLEN capacityBytes = SQLLEN((text.buffer.size() - 1) * sizeof(SQLWCHAR));
    return text.indicator == SQL_NO_TOTAL || text.indicator > capacityBytes;
}

bool COdbcStatement::IsNull(int binding) const {
    if (binding < 0 || binding >= int(m_bindings.size()))
        return true;
    const Binding& bound = m_bindings[binding];
    return (bound.isText ? m_texts[bound.slot].indicator : m_numbers[bound.slot].indicator) ==
           SQL_NULL_DATA;
}

bool COdbcStatement::ReadLongText(SQLUSMALLINT column, std::optional<QString>& text) {
    // Most values fit one piece: one call a row.
    constexpr size_t kPieceUnits = 512;
    text.reset();
    if (!IsAllocated())
        return false;
    m_piece.resize(kPieceUnits + 1);
    const SQLLEN pieceBytes = SQLLEN(m_piece.size() * sizeof(SQLWCHAR));
    QString value;
    for (;;) {
        SQLLEN indicator = 0;
        SQLRETURN result;
        do {
            result = m_connection.DriverCall([this, column, pieceBytes, &indicator] {
                return SQLGetData(m_handle, column, SQL_C_WCHAR, m_piece.data(), pieceBytes,
                                  &indicator);
            });
        } while (result == SQL_STILL_EXECUTING);
        if (result == SQL_NO_DATA)
            break; // the last piece was read
        if (!Check(result))
            return false;
        if (indicator == SQL_NULL_DATA)
            return true;
        const SQLWCHAR* begin = m_piece.data();
        const bool cut =
            indicator == SQL_NO_TOTAL || indicator > SQLLEN(kPieceUnits * sizeof(SQLWCHAR));
        // A cut piece ends at its terminator, which a driver may put early rather than split a
        // character; the last one is as long as the driver says.
        const qsizetype units = cut ? std::find(begin, begin + kPieceUnits, SQLWCHAR(0)) - begin
                                    : qsizetype(indicator / SQLLEN(sizeof(SQLWCHAR)));
        if (cut && units == 0) {
            m_diagnostic = QStringLiteral("HY000: the driver gave no part of a long value");
            Cancel();
            return false;
        }
        value.append(reinterpret_cast<const QChar*>(begin), units);
        if (!cut)
            break;
    }
    text = std::move(value);
    return true;
}

qint32 COdbcStatement::Number(int binding) const {
    if (binding < 0 || binding >= int(m_bindings.size()) || m_bindings[binding].isText)
        return 0;
    const NumberBinding& number = m_numbers[m_bindings[binding].slot];
    if (number.indicator == SQL_NULL_DATA)
        return 0;
    switch (number.cType) {
    case SQL_C_SSHORT:
        return number.value.int16;
    case SQL_C_ULONG:
        return qint32(number.value.uint32);
    case SQL_C_SBIGINT:
        return qint32(number.value.int64);
    default:
        return number.value.int32;
    }
}

qint64 COdbcStatement::Number64(int binding) const {
    if (binding < 0 || binding >= int(m_bindings.size()) || m_bindings[binding].isText)
        return 0;
    const NumberBinding& number = m_numbers[m_bindings[binding].slot];
    if (number.indicator != SQL_NULL_DATA && number.cType == SQL_C_SBIGINT)
        return number.value.int64;
    return Number(binding);
}
