#pragma once

#include <QString>

#include <optional>

#include <sqltypes.h>

class COdbcConnection;

// How catalogue calls pass names and read them back, alike in every reader of a side.
class CCatalogueText {
public:
    // Catalogue texts are read into buffers of this many code units; a longer name fails the
    // read rather than being cut and taken for another.
    static constexpr int NameBufferUnits = 4096;

    // A text as a catalogue argument: null when empty, which the call reads as "any".
    static SQLWCHAR* Wide(const QString& text);
    // Why a read failed on a name longer than a buffer holds.
    static QString LongNameDiagnostic();
    // Catalogues that keep a default in a fixed-width column pad it with blanks.
    static void TrimTrailingBlanks(std::optional<QString>& value);
    // A name as a search pattern of the connection's driver; exact is false when the pattern may
    // also match other names, whose rows the caller then leaves out.
    static QString SearchPattern(COdbcConnection& connection, const QString& text, bool& exact);
};
