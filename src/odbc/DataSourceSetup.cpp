#include "odbc/DataSourceSetup.h"

#include "odbc/DataSourceList.h"
#include "odbc/OdbcConnection.h"
#include "odbc/OdbcEnvironment.h"
#include "services/Language.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include <odbcinstext.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <unistd.h>

namespace {

constexpr int kNoNameText = 1930;
constexpr int kDuplicateText = 1932;
constexpr int kNoDriverText = 1933;
constexpr int kNoFileText = 1934;
constexpr int kBadLineText = 1935;
constexpr int kInstallerText = 1936;
constexpr int kConnectedText = 1937;
constexpr int kNotConnectedText = 1938;
constexpr int kSystemReadOnlyText = 1939;
constexpr int kFileNeededText = 1940;
constexpr int kBadNameText = 1910;
constexpr int kReservedNameText = 1911;
constexpr int kLongNameText = 1912;
constexpr int kUnkeptValueText = 1913;
constexpr int kLongLineText = 1914;
constexpr int kBlankEndsText = 1915;

const char kOdbcIni[] = "odbc.ini";

// The installer reads its files in pieces of INI_MAX_LINE - 1 bytes: the rest of a longer line
// is read as a line of its own, which may open a section.
constexpr qsizetype kLongestLine = INI_MAX_LINE - 1;

// The installer's functions work on the user's or the machine's list as the configuration mode
// says; it is set for one operation and put back to both lists, which the rest of the program
// (listing, connecting) expects.
class CConfigMode {
public:
    explicit CConfigMode(bool system) {
        SQLSetConfigMode(system ? ODBC_SYSTEM_DSN : ODBC_USER_DSN);
    }
    ~CConfigMode() { SQLSetConfigMode(ODBC_BOTH_DSN); }
    CConfigMode(const CConfigMode&) = delete;
    CConfigMode& operator=(const CConfigMode&) = delete;
};

QString InstallerError() {
    QString messages;
    for (WORD index = 1; index <= 8; ++index) {
        DWORD code = 0;
        SQLWCHAR text[SQL_MAX_MESSAGE_LENGTH];
        WORD length = 0;
        const SQLRETURN result =
            SQLInstallerErrorW(index, &code, text, WORD(std::size(text)), &length);
        if (result == SQL_NO_DATA || !SQL_SUCCEEDED(result))
            break;
        if (!messages.isEmpty())
            messages += QLatin1Char('\n');
        messages += QString::fromUtf16(reinterpret_cast<const char16_t*>(text));
    }
    return LoadLocalizedString(kInstallerText).arg(messages);
}

// The driver manager looks a data source up by its name one byte per character, as its wide
// functions pass it on; names are ASCII (Check), and older Latin-1 ones are still found.
QByteArray NameBytes(const QString& name) {
    return name.toLatin1();
}

// Values are stored as UTF-8, which the drivers hand to the system as they are (file paths).
QByteArray ValueBytes(const QString& value) {
    return value.toUtf8();
}

// Earlier versions stored values one byte per character: such a value is shown as it was meant.
QString TextOf(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

// An entry of a list (key given) or the names of its sections or keys, each ended by a zero.
QByteArray ProfileBytes(const char* section, const char* key, const char* fallback,
                        const char* file) {
    std::vector<char> buffer(key ? INI_MAX_PROPERTY_VALUE + 2 : 8192);
    for (;;) {
        const int length = SQLGetPrivateProfileString(section, key, fallback, buffer.data(),
                                                      int(buffer.size()), file);
        if (length <= 0)
            return {};
        // A list stops before the first name that does not fit: with room left for the longest
        // name, none was left out.
        if (key || size_t(length) + INI_MAX_LINE + 2 < buffer.size() || buffer.size() > 1 << 26)
            return QByteArray(buffer.data(), std::min<qsizetype>(length, buffer.size() - 1));
        buffer.resize(buffer.size() * 4);
    }
}

QList<QByteArray> Names(const QByteArray& list) {
    QList<QByteArray> names = list.split('\0');
    names.removeAll(QByteArray());
    return names;
}

// Whether another data source than the one being replaced has the name, in either list.
bool IsNameTaken(const QString& name, const QString& previousName, bool previousSystem) {
    for (const bool system : {false, true}) {
        QStringList names;
        QStringList drivers;
        ListDataSources(system, names, drivers);
        for (const QString& other : std::as_const(names)) {
            const bool replaced = system == previousSystem && !previousName.isEmpty() &&
                                  other.compare(previousName, Qt::CaseInsensitive) == 0;
            if (!replaced && other.compare(name, Qt::CaseInsensitive) == 0)
                return true;
        }
    }
    return false;
}

bool WriteSection(const CDataSourceDefinition& definition) {
    const CConfigMode mode(definition.system);
    const QByteArray name = NameBytes(definition.name);
    // The section is written anew: attributes cleared in the dialog go with the old one.
    if (!SQLWriteDSNToIni(name.constData(), ValueBytes(definition.driver).constData()))
        return false;
    for (const auto& [key, value] : definition.attributes) {
        if (!value.isEmpty() &&
            !SQLWritePrivateProfileString(name.constData(), key.toUtf8().constData(),
                                          ValueBytes(value).constData(), kOdbcIni))
            return false;
    }
    return true;
}

bool RemoveSection(const QString& name, bool system) {
    const CConfigMode mode(system);
    return SQLRemoveDSNFromIni(NameBytes(name).constData());
}

bool IsKeyAcceptable(const QString& key) {
    static const QRegularExpression kBad(QStringLiteral("[\\[\\]=;{}\\p{Cc}]|^#"));
    return !key.isEmpty() && !key.contains(kBad) && key == key.trimmed();
}

// The characters the installer refuses in a name (SQLValidDSN), quotes, which connection
// strings and shells would take apart, and whatever is not printable ASCII.
bool IsNameAcceptable(const QString& name) {
    static const QRegularExpression kBad(QStringLiteral("[^ -~]|[\\[\\]{}(),;?*=!@\\\\'\"]"));
    return !name.contains(kBad) && name == name.trimmed();
}

// The sections the driver manager reads for itself.
bool IsNameReserved(const QString& name) {
    for (const char* reserved : {"ODBC Data Sources", "ODBC", "Default"}) {
        if (name.compare(QLatin1String(reserved), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Why the line key=value cannot be stored and read back as it is; empty when it can.
QString ValueProblem(const QString& key, const QString& value) {
    static const QRegularExpression kControl(QStringLiteral("\\p{Cc}"));
    if (value.contains(kControl) || QString::fromUtf8(ValueBytes(value)) != value)
        return LoadLocalizedString(kUnkeptValueText).arg(key);
    // The installer trims values; only ASCII blanks are left after the control characters.
    if (value.startsWith(QLatin1Char(' ')) || value.endsWith(QLatin1Char(' ')))
        return LoadLocalizedString(kBlankEndsText).arg(key);
    const qsizetype line = key.toUtf8().size() + 1 + ValueBytes(value).size() + 1;
    if (line > kLongestLine)
        return LoadLocalizedString(kLongLineText)
            .arg(key, QString::number(line), QString::number(kLongestLine));
    return {};
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

QStringList CDataSourceSetup::InstalledDrivers() {
    QStringList drivers;
    const std::shared_ptr<COdbcEnvironment> environment = COdbcEnvironment::Acquire();
    if (!environment)
        return drivers;
    SQLWCHAR description[512];
    SQLWCHAR attributes[2048];
    SQLSMALLINT descriptionLength = 0;
    SQLSMALLINT attributesLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (SQL_SUCCEEDED(SQLDriversW(
        environment->Handle(), direction, description, SQLSMALLINT(std::size(description)),
        &descriptionLength, attributes, SQLSMALLINT(std::size(attributes)), &attributesLength))) {
        drivers.append(QString::fromUtf16(reinterpret_cast<const char16_t*>(description)));
        direction = SQL_FETCH_NEXT;
    }
    return drivers;
}

CDataSourceSetup::DriverKind CDataSourceSetup::KindOf(const QString& driver) {
    if (driver.contains(QLatin1String("SQLite"), Qt::CaseInsensitive))
        return DriverKind::SQLite;
    if (driver.contains(QLatin1String("PostgreSQL"), Qt::CaseInsensitive))
        return DriverKind::PostgreSQL;
    if (driver.contains(QLatin1String("MariaDB"), Qt::CaseInsensitive) ||
        driver.contains(QLatin1String("MySQL"), Qt::CaseInsensitive))
        return DriverKind::MariaDB;
    return DriverKind::Other;
}

QStringList CDataSourceSetup::FieldsOf(DriverKind kind) {
    switch (kind) {
    case DriverKind::SQLite:
        return {QStringLiteral("Database"), QStringLiteral("StepAPI")};
    case DriverKind::PostgreSQL:
        return {QStringLiteral("Servername"), QStringLiteral("Port"),
                QStringLiteral("Database"),   QStringLiteral("Username"),
                QStringLiteral("Password"),   QStringLiteral("SSLmode"),
                QStringLiteral("ReadOnly"),   QStringLiteral("UseDeclareFetch")};
    case DriverKind::MariaDB:
        return {QStringLiteral("Server"),   QStringLiteral("Port"), QStringLiteral("Socket"),
                QStringLiteral("Database"), QStringLiteral("User"), QStringLiteral("Password")};
    case DriverKind::Other:
        break;
    }
    return {};
}

bool CDataSourceSetup::IsPasswordKey(const QString& key) {
    return key.compare(QLatin1String("Password"), Qt::CaseInsensitive) == 0 ||
           key.compare(QLatin1String("PWD"), Qt::CaseInsensitive) == 0;
}

QString CDataSourceSetup::DatabaseFileKey(DriverKind kind) {
    return kind == DriverKind::SQLite ? QStringLiteral("Database") : QString();
}

bool CDataSourceSetup::Read(const QString& name, bool system, CDataSourceDefinition& definition,
                            QString& error) {
    const CConfigMode mode(system);
    definition = CDataSourceDefinition();
    definition.name = name;
    definition.system = system;
    const QByteArray section = NameBytes(name);
    for (const QByteArray& key : Names(ProfileBytes(section.constData(), nullptr, "", kOdbcIni))) {
        const QString value =
            TextOf(ProfileBytes(section.constData(), key.constData(), "", kOdbcIni));
        if (key.compare("Driver", Qt::CaseInsensitive) == 0)
            definition.driver = value;
        else
            definition.attributes.emplace_back(TextOf(key), value);
    }
    if (definition.driver.isEmpty() && definition.attributes.empty()) {
        error = InstallerError();
        return false;
    }
    return true;
}

QString CDataSourceSetup::Check(const CDataSourceDefinition& definition,
                                const QString& previousName, bool previousSystem) {
    const QString name = definition.name;
    if (name.trimmed().isEmpty())
        return LoadLocalizedString(kNoNameText);
    if (!IsNameAcceptable(name))
        return LoadLocalizedString(kBadNameText);
    if (name.size() > SQL_MAX_DSN_LENGTH)
        return LoadLocalizedString(kLongNameText).arg(SQL_MAX_DSN_LENGTH);
    if (IsNameReserved(name))
        return LoadLocalizedString(kReservedNameText).arg(name);
    if (IsNameTaken(name, previousName, previousSystem))
        return LoadLocalizedString(kDuplicateText).arg(name);
    if (definition.driver.isEmpty())
        return LoadLocalizedString(kNoDriverText);
    if (definition.system && !CanWriteSystemSources())
        return LoadLocalizedString(kSystemReadOnlyText);
    if (const QString problem = ValueProblem(QStringLiteral("Driver"), definition.driver);
        !problem.isEmpty())
        return problem;
    // A key given twice, or the driver's, would be written over by the other.
    QStringList keys{QStringLiteral("driver")};
    for (const auto& [key, value] : definition.attributes) {
        if (!IsKeyAcceptable(key) || keys.contains(key.toLower()))
            return LoadLocalizedString(kBadLineText).arg(QStringLiteral("-"), key);
        keys.append(key.toLower());
        if (const QString problem = value.isEmpty() ? QString() : ValueProblem(key, value);
            !problem.isEmpty())
            return problem;
    }
    const QString fileKey = DatabaseFileKey(KindOf(definition.driver));
    if (!fileKey.isEmpty()) {
        const QString file = definition.Attribute(fileKey);
        if (file.isEmpty())
            return LoadLocalizedString(kFileNeededText);
        if (!QFileInfo(file).isFile())
            return LoadLocalizedString(kNoFileText).arg(file);
    }
    return {};
}

bool CDataSourceSetup::Write(const CDataSourceDefinition& definition, const QString& previousName,
                             bool previousSystem, QString& error) {
    error = Check(definition, previousName, previousSystem);
    if (!error.isEmpty())
        return false;
    const bool replacesItself = !previousName.isEmpty() && previousSystem == definition.system &&
                                previousName.compare(definition.name, Qt::CaseInsensitive) == 0;
    CDataSourceDefinition previous;
    QString unused;
    const bool hadPrevious = replacesItself && Read(previousName, previousSystem, previous, unused);
    if (!WriteSection(definition)) {
        error = InstallerError();
        // Half written: the definition it replaced comes back, else nothing of it stays.
        if (hadPrevious)
            WriteSection(previous);
        else
            Remove(definition.name, definition.system, unused);
        return false;
    }
    // Renamed, or moved to the other list: the old entry goes once the new one is written.
    if (!previousName.isEmpty() && !replacesItself)
        return Remove(previousName, previousSystem, error);
    return true;
}

bool CDataSourceSetup::Remove(const QString& name, bool system, QString& error) {
    if (RemoveSection(name, system))
        return true;
    error = InstallerError();
    return false;
}

bool CDataSourceSetup::CanWriteSystemSources() {
    const QByteArray folder = qgetenv("ODBCSYSINI");
    const QString file = (folder.isEmpty() ? QStringLiteral("/etc") : QFile::decodeName(folder)) +
                         QStringLiteral("/odbc.ini");
    const QByteArray path =
        QFile::encodeName(QFileInfo::exists(file) ? file : QFileInfo(file).path());
    return ::access(path.constData(), W_OK) == 0;
}

QString CDataSourceSetup::ConnectionString(const CDataSourceDefinition& definition) {
    const auto field = [](const QString& value) {
        // Braced, each closing brace doubled, when the value could end the field or begins
        // with a brace or a blank.
        if (!value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('}')) &&
            !value.startsWith(QLatin1Char('{')) && value == value.trimmed())
            return value;
        QString braced = value;
        braced.replace(QLatin1Char('}'), QStringLiteral("}}"));
        return QLatin1Char('{') + braced + QLatin1Char('}');
    };
    QString text = QStringLiteral("DRIVER=") + field(definition.driver) + QLatin1Char(';');
    for (const auto& [key, value] : definition.attributes) {
        if (!value.isEmpty() && IsKeyAcceptable(key))
            text += key + QLatin1Char('=') + field(value) + QLatin1Char(';');
    }
    return text;
}

QString CDataSourceSetup::DriverOf(const QString& dataSourceName) {
    SQLSetConfigMode(ODBC_BOTH_DSN);
    return TextOf(ProfileBytes(NameBytes(dataSourceName).constData(), "Driver", "", kOdbcIni));
}

bool CDataSourceSetup::Test(const CDataSourceDefinition& definition, QString& message) {
    QString connectString = ConnectionString(definition);
    // As every opening: the SQLite driver must not create a file that is not there.
    if (KindOf(definition.driver) == DriverKind::SQLite)
        connectString += QStringLiteral("NoCreat=1;");
    COdbcConnection connection;
    if (!connection.OpenConnectionString(connectString)) {
        message = LoadLocalizedString(kNotConnectedText).arg(connection.Diagnostic());
        return false;
    }
    message = LoadLocalizedString(kConnectedText).arg(connection.DbmsName());
    return true;
}

QString CDataSourceSetup::AttributeLines(const CDataSourceDefinition& definition) {
    QStringList lines;
    for (const auto& [key, value] : definition.attributes)
        lines.append(key + QStringLiteral(" = ") + value);
    return lines.join(QLatin1Char('\n'));
}

bool CDataSourceSetup::ParseAttributeLines(const QString& lines, CDataSourceDefinition& definition,
                                           QString& error) {
    definition.attributes.clear();
    const QStringList all = lines.split(QLatin1Char('\n'));
    for (int index = 0; index < all.size(); ++index) {
        const QString line = all[index].trimmed();
        if (line.isEmpty())
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const QString key = line.left(equals).trimmed();
        if (equals <= 0 || !IsKeyAcceptable(key)) {
            error = LoadLocalizedString(kBadLineText).arg(QString::number(index + 1), line);
            return false;
        }
        definition.SetAttribute(key, line.mid(equals + 1).trimmed());
    }
    return true;
}
