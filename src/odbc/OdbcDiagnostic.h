#pragma once

#include <QString>

#include <sql.h>

// The first diagnostic record of an ODBC handle as "SQLSTATE: text", or an empty text when the
// driver left none. Read before anything else is called on the handle, which would clear it.
QString OdbcDiagnostic(SQLSMALLINT handleType, SQLHANDLE handle);
