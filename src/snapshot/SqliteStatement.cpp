#include "snapshot/SqliteStatement.h"

#include "snapshot/SqliteDatabase.h"

#include <sqlite3.h>

CSqliteStatement::CSqliteStatement(CSqliteDatabase& database, const char* sql) {
    if (database.Handle() &&
        sqlite3_prepare_v2(database.Handle(), sql, -1, &m_statement, nullptr) != SQLITE_OK)
        m_statement = nullptr;
}

CSqliteStatement::~CSqliteStatement() {
    sqlite3_finalize(m_statement);
}

void CSqliteStatement::Bind(int parameter, const QString& text) {
    // Texts go as UTF-16, so that every code unit read from a catalogue comes back as it was,
    // unpaired surrogates included.
    sqlite3_bind_text16(m_statement, parameter, text.utf16(), int(text.size() * 2),
                        SQLITE_TRANSIENT);
}

void CSqliteStatement::Bind(int parameter, qint64 number) {
    sqlite3_bind_int64(m_statement, parameter, number);
}

void CSqliteStatement::Bind(int parameter, const std::optional<QString>& text) {
    if (text)
        Bind(parameter, *text);
    else
        sqlite3_bind_null(m_statement, parameter);
}

void CSqliteStatement::Bind(int parameter, const std::optional<qint64>& number) {
    if (number)
        Bind(parameter, *number);
    else
        sqlite3_bind_null(m_statement, parameter);
}

CSqliteStatement::Step CSqliteStatement::Next() {
    if (!m_statement)
        return Step::Error;
    switch (sqlite3_step(m_statement)) {
    case SQLITE_ROW:
        return Step::Row;
    case SQLITE_DONE:
        return Step::Done;
    default:
        return Step::Error;
    }
}

void CSqliteStatement::Reset() {
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

bool CSqliteStatement::IsNull(int column) const {
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

QString CSqliteStatement::Text(int column) const {
    const void* text = sqlite3_column_text16(m_statement, column);
    const int bytes = sqlite3_column_bytes16(m_statement, column);
    return text ? QString(reinterpret_cast<const QChar*>(text), bytes / 2) : QString();
}

qint64 CSqliteStatement::Number(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

std::optional<QString> CSqliteStatement::OptionalText(int column) const {
    if (IsNull(column))
        return std::nullopt;
    return Text(column);
}

std::optional<qint64> CSqliteStatement::OptionalNumber(int column) const {
    if (IsNull(column))
        return std::nullopt;
    return Number(column);
}
