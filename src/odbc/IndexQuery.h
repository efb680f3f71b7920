#pragma once

#include <QString>

// The SELECT that reads the indexes of a group of tables from the database's own catalogue,
// giving exactly the rows that the driver's SQLStatisticsW gives table by table: the same
// indexes in the same order, each column's name or expression text, its direction and the
// index's uniqueness. One exists for the databases whose Debian drivers it follows: psqlODBC
// for PostgreSQL, MariaDB Connector/ODBC for MariaDB and MySQL, and the SQLite driver.
//
// Its parameters are the owner's schema (PostgreSQL) or catalog (MariaDB), if the dialect
// takes one, then the tables' names. Its result columns are 1 the table, 2 the index, 3 NON_UNIQUE,
// 4 the column, 5 ASC_OR_DESC and 6 the catalog as SQLStatisticsW names it; the rows of each
// table come together.
class CIndexQuery {
public:
    enum class Dialect { None, PostgreSql, MariaDb, Sqlite };

    // By the connection's SQL_DBMS_NAME; None for a database read table by table.
    static Dialect DialectOf(const QString& dbmsName);
    // Whether the owner's schema (PostgreSQL) or catalog (MariaDB) is the first parameter.
    static bool TakesSchema(Dialect dialect) { return dialect == Dialect::PostgreSql; }
    static bool TakesCatalog(Dialect dialect) { return dialect == Dialect::MariaDb; }
    // The SELECT for a group of tables names; empty for None.
    static QString Sql(Dialect dialect, int tables);
    // Whether the driver's SQLStatisticsW looks the table up by its name as spelt; a name it
    // alters first is read through the driver, so that both readings agree.
    static bool DriverTakesNameAsSpelt(Dialect dialect, const QString& table);
};
