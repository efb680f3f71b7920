#pragma once

#include <QString>

// The common name of an ODBC SQL data type code, so that two drivers that spell a type their
// own way still show the same word. Unknown codes give their decimal value.
QString SqlTypeName(qint32 code);

// CHAR, VARCHAR, WCHAR and WVARCHAR. The long character types are not among them.
bool IsCharacterType(qint32 code);

// The character types plus BINARY and VARBINARY: the types whose size is shown and compared.
bool IsSizedType(qint32 code);
