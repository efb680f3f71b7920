#include "odbc/IndexQuery.h"

#include <QStringList>

namespace {

// psqlODBC reads a table's columns, then every pg_index row of the table, ordered primary key
// first, then non-unique before unique, then by index name (type name: bytewise). Each entry
// of indkey is a row: a column by its name, an expression (0) by pg_get_indexdef, anything
// else it cannot name as UNKNOWN. An entry is descending when its indoption has bit 0; the
// INCLUDE columns beyond indoption are ascending. A table without columns gives no rows.
const char* const kPostgreSql =
    "SELECT d.relname, c.relname, CASE WHEN i.indisunique THEN 0 ELSE 1 END, "
    "CASE WHEN k.attnum = 0 THEN pg_catalog.pg_get_indexdef(c.oid, k.n::integer, true) "
    "WHEN k.attnum = -2 THEN 'oid' "
    "ELSE COALESCE((SELECT a.attname::text FROM pg_catalog.pg_attribute a "
    "WHERE a.attrelid = d.oid AND a.attnum = k.attnum AND a.attnum > 0 "
    "AND NOT a.attisdropped), 'UNKNOWN') END, "
    "CASE WHEN (i.indoption[k.n - 1] & 1) <> 0 THEN 'D' ELSE 'A' END, "
    "pg_catalog.current_database() "
    "FROM pg_catalog.pg_index i "
    "JOIN pg_catalog.pg_class c ON c.oid = i.indexrelid "
    "JOIN pg_catalog.pg_am m ON m.oid = c.relam "
    "JOIN pg_catalog.pg_class d ON d.oid = i.indrelid "
    "JOIN pg_catalog.pg_namespace n ON n.oid = d.relnamespace "
    "CROSS JOIN LATERAL unnest(i.indkey) WITH ORDINALITY AS k(attnum, n) "
    "WHERE n.nspname = ? AND d.relname IN (%1) "
    "AND EXISTS (SELECT 1 FROM pg_catalog.pg_attribute x WHERE x.attrelid = d.oid "
    "AND x.attnum > 0 AND NOT x.attisdropped) "
    "ORDER BY d.relname, i.indisprimary DESC, i.indisunique, c.relname, k.n";

// MariaDB Connector/ODBC selects INFORMATION_SCHEMA.STATISTICS for the table's exact (binary)
// name, ordered by NON_UNIQUE, INDEX_NAME (in that column's collation) and SEQ_IN_INDEX.
const char* const kMariaDb =
    "SELECT TABLE_NAME, INDEX_NAME, NON_UNIQUE, COLUMN_NAME, COLLATION, TABLE_SCHEMA "
    "FROM INFORMATION_SCHEMA.STATISTICS "
    "WHERE TABLE_SCHEMA = BINARY ? AND BINARY TABLE_NAME IN (%1) "
    "ORDER BY BINARY TABLE_NAME, NON_UNIQUE, INDEX_NAME, SEQ_IN_INDEX";

// The SQLite driver first reports a lone INTEGER primary key column (any rowid alias or not,
// the type spelt "integer" in any case) as a unique index sqlite_autoindex_0, then every
// index of PRAGMA index_list in its order with the columns of PRAGMA index_info (an
// expression's name is NULL), never descending, and an empty catalog.
const char* const kSqlite =
    "WITH t(name) AS (SELECT name FROM sqlite_master WHERE type = 'table' AND name IN (%1)) "
    "SELECT t.name, 'sqlite_autoindex_0', 0, p.name, 'A', '', -1, 0 "
    "FROM t JOIN pragma_table_info(t.name) AS p "
    "WHERE p.pk > 0 AND p.type = 'integer' COLLATE NOCASE "
    "AND (SELECT count(*) FROM pragma_table_info(t.name) AS q WHERE q.pk > 0) = 1 "
    "UNION ALL "
    "SELECT t.name, l.name, CASE WHEN l.\"unique\" THEN 0 ELSE 1 END, i.name, 'A', '', l.seq, "
    "i.seqno FROM t JOIN pragma_index_list(t.name) AS l JOIN pragma_index_info(l.name) AS i "
    "ORDER BY 1, 7, 8";

// The SQLite driver copies at most this many bytes of the table name.
constexpr qsizetype kSqliteNameBytes = 511;

} // namespace

CIndexQuery::Dialect CIndexQuery::DialectOf(const QString& dbmsName) {
    if (dbmsName.startsWith(QLatin1String("PostgreSQL"), Qt::CaseInsensitive))
        return Dialect::PostgreSql;
    if (dbmsName.startsWith(QLatin1String("MariaDB"), Qt::CaseInsensitive) ||
        dbmsName.startsWith(QLatin1String("MySQL"), Qt::CaseInsensitive))
        return Dialect::MariaDb;
    if (dbmsName.startsWith(QLatin1String("SQLite"), Qt::CaseInsensitive))
        return Dialect::Sqlite;
    return Dialect::None;
}

QString CIndexQuery::Sql(Dialect dialect, int tables) {
    const char* sql = nullptr;
    switch (dialect) {
    case Dialect::PostgreSql:
        sql = kPostgreSql;
        break;
    case Dialect::MariaDb:
        sql = kMariaDb;
        break;
    case Dialect::Sqlite:
        sql = kSqlite;
        break;
    case Dialect::None:
        return {};
    }
    QStringList markers;
    markers.reserve(tables);
    for (int i = 0; i < tables; ++i)
        markers.append(QStringLiteral("?"));
    return QString::fromLatin1(sql).arg(markers.join(QStringLiteral(", ")));
}

bool CIndexQuery::DriverTakesNameAsSpelt(Dialect dialect, const QString& table) {
    if (dialect != Dialect::Sqlite)
        return true;
    // It refuses a name that begins as a pattern, cuts a long one, and takes "\\", "\_" and "\%"
    // for escapes.
    if (table.startsWith(QLatin1Char('%')) || table.toUtf8().size() > kSqliteNameBytes)
        return false;
    for (qsizetype at = table.indexOf(QLatin1Char('\\')); at >= 0 && at + 1 < table.size();
         at = table.indexOf(QLatin1Char('\\'), at + 1)) {
        const QChar next = table[at + 1];
        if (next == QLatin1Char('\\') || next == QLatin1Char('_') || next == QLatin1Char('%'))
            return false;
    }
    return true;
}
