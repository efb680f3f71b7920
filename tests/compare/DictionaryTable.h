#pragma once

// The data-dictionary table that the window tests give a SQLite side: the items whose sizes a
// comparison reads for its own record widths, to which each test adds its items.
inline const char* const kDictionaryTable =
    "CREATE TABLE F9210 (FRDTAI VARCHAR(10), FRDTAT VARCHAR(2), FRDTAS INTEGER, "
    "FROWTP VARCHAR(4), FRDTAD SMALLINT, FRCDEC VARCHAR(1));"
    "INSERT INTO F9210 VALUES ('DTAI', 'S', 10, 'VARC', 0, '0'), ('DTAT', 'S', 2, 'VARC', 0, "
    "'0'), ('OWTP', 'S', 4, 'VARC', 0, '0'), ('CDEC', 'S', 1, 'VARC', 0, '0');";
