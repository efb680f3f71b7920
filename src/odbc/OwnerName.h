#pragma once

#include <QString>

#include <vector>

// One owner that a data source offers: its catalog and schema, either of which may be empty.
// They stay two values from the catalogue call to the SQL text, since either may hold a dot.
struct COwnerName {
    QString catalog;
    QString schema;

    // The owner list's text: catalog, ".", schema.
    QString Qualifier() const { return catalog + QLatin1Char('.') + schema; }
    // What the owner combo shows: the schema alone without a catalog, the catalog alone without
    // a schema, else the qualifier.
    QString DisplayText() const {
        if (catalog.isEmpty())
            return schema;
        if (schema.isEmpty())
            return catalog;
        return Qualifier();
    }
    // Whether a catalogue row belongs to another catalog than the owner's.
    bool IsOtherCatalog(const QString& rowCatalog) const {
        return !catalog.isEmpty() && rowCatalog != catalog;
    }
    bool operator==(const COwnerName&) const = default;
};

using COwnerList = std::vector<COwnerName>;
