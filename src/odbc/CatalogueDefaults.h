#pragma once

#include <QString>

#include <optional>

class COdbcConnection;

// The defaults that a driver's column catalogue gives cut, read again whole. psqlODBC gives
// "TRUNCATE" (the standard says "TRUNCATED") in place of a default of more than 254 bytes, as a
// generated one often is, and PostgreSQL's own catalogue holds it whole. Other drivers give
// their defaults as they are. Names reach the query as bound parameters only.
class CCatalogueDefaults {
public:
    explicit CCatalogueDefaults(COdbcConnection& connection);

    // Whether a default as the column catalogue gave it stands for a longer one.
    bool IsCut(const std::optional<QString>& value) const;
    // The default of a column, whole; false when it cannot be read, with Diagnostic saying why.
    bool Read(const QString& schema, const QString& table, const QString& column,
              std::optional<QString>& value);
    QString Diagnostic() const { return m_diagnostic; }

private:
    COdbcConnection& m_connection;
    const bool m_postgres;
    QString m_diagnostic;
};
