#include "odbc/CatalogueDefaults.h"

#include "odbc/OdbcConnection.h"
#include "odbc/OdbcStatement.h"
#include "services/Language.h"

namespace {

constexpr int kDefaultGoneText = 1925;

// The text psqlODBC's column catalogue gives for a default it does not cut.
const QString kPostgresDefault = QStringLiteral(
    "SELECT pg_catalog.pg_get_expr(d.adbin, d.adrelid) FROM pg_catalog.pg_attrdef d"
    " JOIN pg_catalog.pg_attribute a ON a.attrelid = d.adrelid AND a.attnum = d.adnum"
    " JOIN pg_catalog.pg_class c ON c.oid = d.adrelid"
    " JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace"
    " WHERE n.nspname = ? AND c.relname = ? AND a.attname = ?");

} // namespace

CCatalogueDefaults::CCatalogueDefaults(COdbcConnection& connection)
    : m_connection(connection), m_postgres(connection.DbmsName().startsWith(
                                    QLatin1String("PostgreSQL"), Qt::CaseInsensitive)) {}

bool CCatalogueDefaults::IsCut(const std::optional<QString>& value) const {
    return m_postgres && value &&
           (*value == QLatin1String("TRUNCATE") || *value == QLatin1String("TRUNCATED"));
}

bool CCatalogueDefaults::Read(const QString& schema, const QString& table, const QString& column,
                              std::optional<QString>& value) {
    value.reset();
    m_diagnostic.clear();
    COdbcStatement statement(m_connection);
    const bool executed =
        statement.BindTextParameter(1, schema) && statement.BindTextParameter(2, table) &&
        statement.BindTextParameter(3, column) && statement.ExecuteDirect(kPostgresDefault);
    const COdbcStatement::FetchResult fetched =
        executed ? statement.Fetch() : COdbcStatement::FetchResult::Error;
    if (fetched == COdbcStatement::FetchResult::Row && statement.ReadLongText(1, value))
        return true;
    // Dropped since the column catalogue gave it: the table changed under the run.
    m_diagnostic = fetched == COdbcStatement::FetchResult::End
                       ? LoadLocalizedString(kDefaultGoneText).arg(column, table)
                       : statement.Diagnostic();
    return false;
}
