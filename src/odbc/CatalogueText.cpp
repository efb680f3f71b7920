#include "odbc/CatalogueText.h"

#include "odbc/OdbcConnection.h"
#include "services/Language.h"

namespace {

constexpr int kLongNameText = 1956;

} // namespace

SQLWCHAR* CCatalogueText::Wide(const QString& text) {
    return text.isEmpty() ? nullptr
                          : const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(text.utf16()));
}

QString CCatalogueText::LongNameDiagnostic() {
    return LoadLocalizedString(kLongNameText).arg(NameBufferUnits - 1);
}

void CCatalogueText::TrimTrailingBlanks(std::optional<QString>& value) {
    if (!value)
        return;
    qsizetype end = value->size();
    while (end > 0 && value->at(end - 1) == QLatin1Char(' '))
        --end;
    value->truncate(end);
}

// Catalogue search patterns read "_" and "%" as wildcards: "A_B" would also find "AXB". They are
// escaped with the driver's escape character. The escape character itself is not escaped but
// matched by the one-character wildcard, since a driver may not read its own escape doubled
// (psqlODBC finds nothing for "back\\slash"); the pattern is then inexact and the caller keeps
// only the rows of the name itself.
QString CCatalogueText::SearchPattern(COdbcConnection& connection, const QString& text,
                                      bool& exact) {
    exact = true;
    const QString escape = connection.SearchPatternEscape();
    QString pattern;
    pattern.reserve(text.size() + 8);
    for (const QChar unit : text) {
        const bool wildcard = unit == QLatin1Char('_') || unit == QLatin1Char('%');
        if (!escape.isEmpty() && escape == unit) {
            pattern += QLatin1Char('_');
            exact = false;
        } else if (wildcard && escape.isEmpty()) {
            pattern += QLatin1Char('_');
            exact = false;
        } else {
            if (wildcard)
                pattern += escape;
            pattern += unit;
        }
    }
    return pattern;
}
