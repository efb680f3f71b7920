#pragma once

#include <QString>

#include <optional>

class CSqliteDatabase;
struct sqlite3_stmt;

// One prepared statement of a CSqliteDatabase, finalised with the object. Parameters and
// columns count from 1 and 0 as SQLite's own do.
class CSqliteStatement {
public:
    enum class Step { Row, Done, Error };

    CSqliteStatement(CSqliteDatabase& database, const char* sql);
    ~CSqliteStatement();
    CSqliteStatement(const CSqliteStatement&) = delete;
    CSqliteStatement& operator=(const CSqliteStatement&) = delete;

    // False when the statement could not be prepared.
    bool IsPrepared() const { return m_statement != nullptr; }

    void Bind(int parameter, const QString& text);
    void Bind(int parameter, qint64 number);
    void Bind(int parameter, const std::optional<QString>& text);
    void Bind(int parameter, const std::optional<qint64>& number);
    // Runs the statement to its next row, or to its end.
    Step Next();
    // Ready to run again with new parameters.
    void Reset();

    bool IsNull(int column) const;
    QString Text(int column) const;
    qint64 Number(int column) const;
    std::optional<QString> OptionalText(int column) const;
    std::optional<qint64> OptionalNumber(int column) const;

private:
    sqlite3_stmt* m_statement = nullptr;
};
