#pragma once

#include "odbc/OdbcConnection.h"

#include <QString>

#include <sql.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

// One statement on an open connection, from allocation to SQLFreeStmt(SQL_DROP), with the
// buffers bound to its result columns. Every catalogue read and query goes through it:
// - a call still executing is made again at once;
// - every bound text buffer starts each fetch with a zero first code unit, so NULL reads empty;
// - a NULL number reads as 0, never as the previous row's value;
// - a failed call or fetch cancels the statement and keeps the driver's diagnostic, which the
//   reader hands on with its failure result;
// - a connection that is being interrupted allocates no new statement;
// - every driver call, the release included, throws COdbcAbandoned as it returns on a connection
//   given up meanwhile, so that the thread of a run given up goes no further.
class COdbcStatement {
public:
    explicit COdbcStatement(COdbcConnection& connection);
    // Releasing a statement can wait for the server too; it throws like any call, unless an
    // exception is already on its way.
    ~COdbcStatement() noexcept(false);
    COdbcStatement(const COdbcStatement&) = delete;
    COdbcStatement& operator=(const COdbcStatement&) = delete;

    // False when the driver could not allocate the statement (or the connection is being
    // interrupted): the read fails like any other.
    bool IsAllocated() const { return m_handle != SQL_NULL_HSTMT; }
    SQLHSTMT Handle() const { return m_handle; }

    // Runs a catalogue function or an execution, called as call(statementHandle), until it is
    // no longer executing. True on success; otherwise the statement is cancelled.
    template <typename Call>
    bool Execute(Call call) {
        if (!IsAllocated())
            return false;
        SQLRETURN result;
        do {
            result = m_connection.DriverCall([this, &call] { return call(m_handle); });
        } while (result == SQL_STILL_EXECUTING);
        return Check(result);
    }
    bool ExecuteDirect(const QString& sql);
    // Binds a text to parameter number (from 1) of the next execution, so that a name reaches
    // the database as a value and never as SQL text. The text is copied and kept with the
    // statement; false when the driver refused it (the statement is then cancelled).
    bool BindTextParameter(SQLUSMALLINT number, const QString& value);

    // Binding gives the number by which the value is read after each fetch; -1 when the bind
    // failed (the statement is then cancelled).
    int BindText(SQLUSMALLINT column, int capacityUnits);
    int BindInt16(SQLUSMALLINT column);
    int BindInt32(SQLUSMALLINT column);
    int BindUInt32(SQLUSMALLINT column);
    int BindInt64(SQLUSMALLINT column);

    enum class FetchResult { Row, End, Error };
    FetchResult Fetch();

    // The text read into a bound buffer: up to its first zero code unit.
    QString Text(int binding) const;
    // True when the value did not fit its buffer and was cut.
    bool IsTextCut(int binding) const;
    // Whether the driver gave NULL for a bound column.
    bool IsNull(int binding) const;
    qint32 Number(int binding) const;
    // A number bound with BindInt64; the others read as Number does.
    qint64 Number64(int binding) const;

    // A text column after every bound one, read whole in pieces however long it is; nullopt
    // for NULL. False when the driver fails, with its diagnostic kept.
    bool ReadLongText(SQLUSMALLINT column, std::optional<QString>& text);

    void Cancel();

    // Why the last call failed: the driver's "SQLSTATE: text", or why no statement exists.
    QString Diagnostic() const { return m_diagnostic; }

private:
    struct TextBinding {
        std::vector<SQLWCHAR> buffer;
        SQLLEN indicator = 0;
    };
    struct NumberBinding {
        SQLSMALLINT cType = 0;
        union {
            SQLSMALLINT int16;
            SQLINTEGER int32;
            SQLUINTEGER uint32;
            SQLBIGINT int64;
        } value{};
        SQLLEN indicator = 0;
    };
    struct Binding {
        bool isText;
        int slot;
    };
    struct ParameterBinding {
        std::u16string text;
        SQLLEN indicator = 0;
    };

    bool Check(SQLRETURN result);
    void KeepDiagnostic();
    int BindNumber(SQLUSMALLINT column, SQLSMALLINT cType);

    COdbcConnection& m_connection;
    // Exceptions on their way when the statement was made: a release during the unwinding of a
    // later one must not throw.
    int m_uncaughtExceptions;
    SQLHSTMT m_handle = SQL_NULL_HSTMT;
    QString m_diagnostic;
    // Deques: the driver holds the addresses of bound buffers, so they never move.
    std::deque<TextBinding> m_texts;
    std::deque<NumberBinding> m_numbers;
    std::vector<Binding> m_bindings;
    // ReadLongText's piece, kept from row to row.
    std::vector<SQLWCHAR> m_piece;
    std::deque<ParameterBinding> m_parameters;
};
