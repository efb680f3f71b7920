#include "odbc/DataSourceDefinition.h"

#include "odbc/OdbcIni.h"

#include <QRegularExpression>

#include <odbcinst.h>

namespace {

// Braced, each closing brace doubled, when the value could end its field or begins with a brace
// or a blank.
QString BracedValue(const QString& value) {
    if (!value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('}')) &&
        !value.startsWith(QLatin1Char('{')) && value == value.trimmed())
        return value;
    QString braced = value;
    braced.replace(QLatin1Char('}'), QStringLiteral("}}"));
    return QLatin1Char('{') + braced + QLatin1Char('}');
}

// Keys that the driver manager acts on itself (where it connects, a file it writes); no driver
// reads them from a definition.
bool IsDriverManagerKey(const QString& key) {
    for (const char* own : {"DSN", "DRIVER", "FILEDSN", "SAVEFILE"}) {
        if (key.compare(QLatin1String(own), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

QString CDataSourceDefinition::Attribute(const QString& key) const {
    for (const auto& [name, value] : attributes) {
        if (name.compare(key, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

void CDataSourceDefinition::SetAttribute(const QString& key, const QString& value) {
    for (auto it = attributes.begin(); it != attributes.end(); ++it) {
        if (it->first.compare(key, Qt::CaseInsensitive) != 0)
            continue;
        if (value.isEmpty())
            attributes.erase(it);
        else
            it->second = value;
        return;
    }
    if (!value.isEmpty())
        attributes.emplace_back(key, value);
}

QString CDataSourceDefinition::DriverOf(const QString& dataSourceName) {
    SQLSetConfigMode(ODBC_BOTH_DSN);
    return COdbcIni::TextOf(COdbcIni::ProfileBytes(COdbcIni::NameBytes(dataSourceName).constData(),
                                                   "Driver", "", COdbcIni::FileName));
}

CDataSourceDefinition::DriverKind CDataSourceDefinition::KindOf(const QString& driver) {
    if (driver.contains(QLatin1String("SQLite"), Qt::CaseInsensitive))
        return DriverKind::SQLite;
    if (driver.contains(QLatin1String("PostgreSQL"), Qt::CaseInsensitive))
        return DriverKind::PostgreSQL;
    if (driver.contains(QLatin1String("MariaDB"), Qt::CaseInsensitive) ||
        driver.contains(QLatin1String("MySQL"), Qt::CaseInsensitive))
        return DriverKind::MariaDB;
    return DriverKind::Other;
}

QString CDataSourceDefinition::DatabaseFileKey(DriverKind kind) {
    return kind == DriverKind::SQLite ? QStringLiteral("Database") : QString();
}

bool CDataSourceDefinition::Read(const QString& name, bool system,
                                 CDataSourceDefinition& definition, QString& error) {
    const COdbcIni::ConfigMode mode(system);
    definition = CDataSourceDefinition();
    definition.name = name;
    definition.system = system;
    const QByteArray section = COdbcIni::NameBytes(name);
    for (const QByteArray& key : COdbcIni::Names(
             COdbcIni::ProfileBytes(section.constData(), nullptr, "", COdbcIni::FileName))) {
        const QString value = COdbcIni::TextOf(
            COdbcIni::ProfileBytes(section.constData(), key.constData(), "", COdbcIni::FileName));
        if (key.compare("Driver", Qt::CaseInsensitive) == 0)
            definition.driver = value;
        else
            definition.attributes.emplace_back(COdbcIni::TextOf(key), value);
    }
    if (definition.driver.isEmpty() && definition.attributes.empty()) {
        error = COdbcIni::InstallerError();
        return false;
    }
    return true;
}

QString CDataSourceDefinition::ConnectionString(const CDataSourceDefinition& definition) {
    QString text = QStringLiteral("DRIVER=") + BracedValue(definition.driver) + QLatin1Char(';');
    for (const auto& [key, value] : definition.attributes) {
        if (!value.isEmpty() && IsKeyAcceptable(key))
            text += key + QLatin1Char('=') + BracedValue(value) + QLatin1Char(';');
    }
    return text;
}

QString CDataSourceDefinition::BareConnectionString(const CDataSourceDefinition& definition) {
    // The driver manager reads the driver's name itself, braces and all.
    QString text = QStringLiteral("DRIVER=") + BracedValue(definition.driver) + QLatin1Char(';');
    for (const auto& [key, value] : definition.attributes) {
        if (value.isEmpty() || !IsKeyAcceptable(key) || IsDriverManagerKey(key))
            continue;
        if (value.contains(QLatin1Char(';')))
            return {};
        text += key + QLatin1Char('=') + value + QLatin1Char(';');
    }
    return text;
}

bool CDataSourceDefinition::IsKeyAcceptable(const QString& key) {
    static const QRegularExpression kBad(QStringLiteral("[\\[\\]=;{}\\p{Cc}]|^#"));
    return !key.isEmpty() && !key.contains(kBad) && key == key.trimmed();
}

QString CDataSourceDefinition::DatabaseFileOf(const QString& dataSourceName) {
    const QString key = DatabaseFileKey(KindOf(DriverOf(dataSourceName)));
    if (key.isEmpty())
        return {};
    CDataSourceDefinition definition;
    QString unused;
    // The user's definition hides the machine's of the same name, as in the driver manager.
    if (!Read(dataSourceName, false, definition, unused) &&
        !Read(dataSourceName, true, definition, unused))
        return {};
    QString database = definition.Attribute(key);
    // SQLite also takes its file as a URI: file:PATH?options.
    if (database.startsWith(QLatin1String("file:"))) {
        database = database.mid(5).section(QLatin1Char('?'), 0, 0);
        if (database.startsWith(QLatin1String("///")))
            database = database.mid(2);
    }
    return database;
}
