#include "odbc/DataSourceSetup.h"

#include "odbc/OdbcIni.h"

#include "odbc/DataSourceList.h"
#include "odbc/OdbcConnection.h"
#include "odbc/OdbcEnvironment.h"
#include "services/Language.h"
#include "services/Utilities.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <odbcinstext.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace {

constexpr int kNoNameText = 1930;
constexpr int kDuplicateText = 1932;
constexpr int kNoDriverText = 1933;
constexpr int kNoFileText = 1934;
constexpr int kBadLineText = 1935;
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
constexpr int kNoCopyText = 1916;
constexpr int kCopyLeftText = 1917;
constexpr int kPutBackText = 1918;
constexpr int kReadBackText = 1919;
constexpr int kNotPutBackText = 1920;
constexpr int kDiskFullText = 1921;

// The installer reads its files in pieces of INI_MAX_LINE - 1 bytes: the rest of a longer line
// is read as a line of its own, which may open a section.
constexpr qsizetype kLongestLine = INI_MAX_LINE - 1;

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
    if (value.contains(kControl) || QString::fromUtf8(COdbcIni::ValueBytes(value)) != value)
        return LoadLocalizedString(kUnkeptValueText).arg(key);
    // The installer trims values; only ASCII blanks are left after the control characters.
    if (value.startsWith(QLatin1Char(' ')) || value.endsWith(QLatin1Char(' ')))
        return LoadLocalizedString(kBlankEndsText).arg(key);
    const qsizetype line = key.toUtf8().size() + 1 + COdbcIni::ValueBytes(value).size() + 1;
    if (line > kLongestLine)
        return LoadLocalizedString(kLongLineText)
            .arg(key, QString::number(line), QString::number(kLongestLine));
    return {};
}

QString SystemReason(int error) {
    if (error == ENOSPC || error == EDQUOT)
        return LoadLocalizedString(kDiskFullText);
    return QString::fromLocal8Bit(std::strerror(error));
}

// The file of a list, as the installer finds it.
QString ListFile(bool system) {
    if (system) {
        const QByteArray folder = qgetenv("ODBCSYSINI");
        return (folder.isEmpty() ? QStringLiteral("/etc") : QFile::decodeName(folder)) +
               QStringLiteral("/odbc.ini");
    }
    const QByteArray file = qgetenv("ODBCINI");
    if (!file.isEmpty())
        return QFile::decodeName(file);
    const passwd* user = ::getpwuid(::getuid());
    return (user && user->pw_dir ? QFile::decodeName(user->pw_dir) : QStringLiteral("/home")) +
           QStringLiteral("/.odbc.ini");
}

// The file the installer writes through a list's name: a link is followed, so that the copy
// lies beside the file it is renamed over and the link stays.
QString WrittenFile(bool system) {
    const QString file = ListFile(system);
    const QString target = QFileInfo(file).canonicalFilePath();
    return target.isEmpty() ? file : target;
}

class CDescriptor {
public:
    explicit CDescriptor(int descriptor) : m_descriptor(descriptor) {}
    ~CDescriptor() {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
    }
    CDescriptor(const CDescriptor&) = delete;
    CDescriptor& operator=(const CDescriptor&) = delete;
    int Get() const { return m_descriptor; }
    // Closed now: a file system may report a write it could not keep only then.
    bool Close() { return ::close(std::exchange(m_descriptor, -1)) == 0; }

private:
    int m_descriptor;
};

// A complete copy of from, on the disk, with its owner and rights (it may hold passwords and
// may replace the file); reason says why not.
bool CopyFile(const QString& from, const QString& to, QString& reason) {
    const CDescriptor source(::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (source.Get() < 0 || ::fstat(source.Get(), &status) != 0) {
        reason = SystemReason(errno);
        return false;
    }
    const QByteArray path = QFile::encodeName(to);
    CDescriptor copy(
        ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, status.st_mode & 0600));
    if (copy.Get() < 0) {
        reason = SystemReason(errno);
        return false;
    }
    // Another owner is kept only for root, who may give it.
    [[maybe_unused]] const int owned = ::fchown(copy.Get(), status.st_uid, status.st_gid);
    bool copied = ::fchmod(copy.Get(), status.st_mode & 07777) == 0;
    std::vector<char> block(65536);
    qint64 position = 0;
    while (copied) {
        const ssize_t read = ::read(source.Get(), block.data(), block.size());
        if (read < 0 && errno == EINTR)
            continue;
        if (read <= 0) {
            copied = read == 0;
            break;
        }
        copied = WriteFullyAt(copy.Get(), block.data(), read, position);
        position += read;
    }
    copied = copied && ::fsync(copy.Get()) == 0 && copy.Close();
    if (!copied) {
        reason = SystemReason(errno);
        ::unlink(path.constData());
    }
    return copied;
}

// A list as the driver manager reads it: its sections in order, each with its entries.
struct CSection {
    QByteArray name;
    std::vector<std::pair<QByteArray, QByteArray>> entries;
};
using CListImage = std::vector<CSection>;

// Each reading gives a default of its own: the installer keeps its answers for some seconds,
// and a file put back from its copy is no write that would make it forget them.
CListImage ReadImage(const QString& file) {
    static std::atomic<unsigned> readings = 0;
    const QByteArray fresh = "\x01" + QByteArray::number(++readings);
    const QByteArray path = QFile::encodeName(file);
    CListImage image;
    for (const QByteArray& name :
         COdbcIni::Names(COdbcIni::ProfileBytes(nullptr, nullptr, "", path.constData()))) {
        CSection& section = image.emplace_back();
        section.name = name;
        for (const QByteArray& key : COdbcIni::Names(
                 COdbcIni::ProfileBytes(name.constData(), nullptr, "", path.constData())))
            section.entries.emplace_back(
                key, COdbcIni::ProfileBytes(name.constData(), key.constData(), fresh.constData(),
                                            path.constData()));
    }
    return image;
}

// The installer finds sections whatever the case of their names.
void DropSection(CListImage& image, const QByteArray& name) {
    std::erase_if(image, [&name](const CSection& section) {
        return section.name.compare(name, Qt::CaseInsensitive) == 0;
    });
}

CSection SectionOf(const CDataSourceDefinition& definition) {
    CSection section;
    section.name = COdbcIni::NameBytes(definition.name);
    section.entries.emplace_back("Driver", COdbcIni::ValueBytes(definition.driver));
    for (const auto& [key, value] : definition.attributes) {
        if (!value.isEmpty())
            section.entries.emplace_back(key.toUtf8(), COdbcIni::ValueBytes(value));
    }
    return section;
}

// The first section, or entry of a section, of expected that read lacks or holds otherwise, or
// the first section read has over; empty when they are the same.
QString Difference(const CListImage& expected, CListImage read) {
    for (const CSection& section : expected) {
        const QString name = QLatin1Char('[') + COdbcIni::TextOf(section.name) + QLatin1Char(']');
        const auto found = std::find_if(read.begin(), read.end(), [&](const CSection& other) {
            return other.name == section.name;
        });
        if (found == read.end())
            return name;
        for (size_t index = 0; index < std::max(section.entries.size(), found->entries.size());
             ++index) {
            if (index >= section.entries.size())
                return name + QLatin1Char(' ') + COdbcIni::TextOf(found->entries[index].first);
            if (index >= found->entries.size() || found->entries[index] != section.entries[index])
                return name + QLatin1Char(' ') + COdbcIni::TextOf(section.entries[index].first);
        }
        read.erase(found);
    }
    return read.empty() ? QString()
                        : QLatin1Char('[') + COdbcIni::TextOf(read.front().name) + QLatin1Char(']');
}

// One change of the lists. Each file it touches is copied beside itself before the first
// write and read back whole after the last; on any failure or difference every file goes back
// to its copy by a rename, as writing it again could fail as the change did.
class CListChange {
public:
    CListChange() = default;
    CListChange(const CListChange&) = delete;
    CListChange& operator=(const CListChange&) = delete;
    ~CListChange() {
        if (!m_finished) {
            QString unused;
            QString alsoUnused;
            PutBack(unused, alsoUnused);
        }
    }

    // Copies the file of a list; false, with nothing written, when it cannot.
    bool Add(bool system, QString& error) {
        const QString path = WrittenFile(system);
        if (Find(path))
            return true;
        CFile file{path, path + QStringLiteral(".quorvix-backup"), QFileInfo::exists(path), {}};
        struct stat status {};
        if (::lstat(QFile::encodeName(file.copy).constData(), &status) == 0) {
            // The only sound list may be that one: a change stopped before it was put back.
            error = LoadLocalizedString(kCopyLeftText).arg(file.copy, path);
            return false;
        }
        QString reason;
        if (file.existed && !CopyFile(path, file.copy, reason)) {
            error = LoadLocalizedString(kNoCopyText).arg(file.copy, reason);
            return false;
        }
        if (file.existed)
            file.expected = ReadImage(path);
        m_files.push_back(std::move(file));
        return true;
    }

    // How the list of the file added for system must read once the change is made.
    CListImage& Expected(bool system) { return Find(WrittenFile(system))->expected; }

    // Reads every file back unless the writes failed already (failure); on any failure puts
    // them all back, and error says what failed.
    bool Finish(const QString& failure, QString& error) {
        m_finished = true;
        QString reason = failure;
        QString failed = m_files.front().path;
        for (const CFile& file : m_files) {
            if (!reason.isEmpty())
                break;
            const QString difference = Difference(file.expected, ReadImage(file.path));
            if (!difference.isEmpty()) {
                reason = LoadLocalizedString(kReadBackText).arg(difference);
                failed = file.path;
            }
        }
        if (reason.isEmpty()) {
            for (const CFile& file : m_files)
                ::unlink(QFile::encodeName(file.copy).constData());
            return true;
        }
        struct statvfs disk {};
        if (::statvfs(QFile::encodeName(QFileInfo(failed).path()).constData(), &disk) == 0 &&
            disk.f_bavail == 0)
            reason += QStringLiteral("; ") + LoadLocalizedString(kDiskFullText);
        QString copy;
        QString putBackReason;
        if (PutBack(copy, putBackReason))
            error = LoadLocalizedString(kPutBackText).arg(failed, reason);
        else
            error = LoadLocalizedString(kNotPutBackText).arg(failed, reason, copy, putBackReason);
        return false;
    }

private:
    struct CFile {
        QString path;
        QString copy;
        bool existed;
        CListImage expected;
    };

    CFile* Find(const QString& path) {
        for (CFile& file : m_files) {
            if (file.path == path)
                return &file;
        }
        return nullptr;
    }

    // Every file as it was; the first copy that could not be put back, and why.
    bool PutBack(QString& copy, QString& reason) {
        bool putBack = true;
        for (const CFile& file : m_files) {
            const QByteArray path = QFile::encodeName(file.path);
            const bool done = file.existed ? ::rename(QFile::encodeName(file.copy).constData(),
                                                      path.constData()) == 0
                                           : ::unlink(path.constData()) == 0 || errno == ENOENT;
            if (!done && putBack) {
                copy = file.existed ? file.copy : file.path;
                reason = SystemReason(errno);
                putBack = false;
            }
        }
        return putBack;
    }

    std::vector<CFile> m_files;
    bool m_finished = false;
};

bool WriteSection(const CDataSourceDefinition& definition) {
    const COdbcIni::ConfigMode mode(definition.system);
    const QByteArray name = COdbcIni::NameBytes(definition.name);
    // The section is written anew: attributes cleared in the dialog go with the old one.
    if (!SQLWriteDSNToIni(name.constData(), COdbcIni::ValueBytes(definition.driver).constData()))
        return false;
    for (const auto& [key, value] : definition.attributes) {
        if (!value.isEmpty() && !SQLWritePrivateProfileString(
                                    name.constData(), key.toUtf8().constData(),
                                    COdbcIni::ValueBytes(value).constData(), COdbcIni::FileName))
            return false;
    }
    return true;
}

bool RemoveSection(const QString& name, bool system) {
    const COdbcIni::ConfigMode mode(system);
    return SQLRemoveDSNFromIni(COdbcIni::NameBytes(name).constData());
}

} // namespace

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
    return UnicodeFirst(drivers);
}

QStringList CDataSourceSetup::UnicodeFirst(const QStringList& drivers) {
    static const QRegularExpression ansi(QStringLiteral("\\bANSI\\b"),
                                         QRegularExpression::CaseInsensitiveOption);
    QStringList ordered;
    for (const QString& driver : drivers) {
        if (ordered.contains(driver))
            continue; // a Unicode variant already put before its ANSI one
        if (driver.contains(ansi)) {
            const QString unicode = QString(driver).replace(ansi, QStringLiteral("Unicode"));
            for (const QString& other : drivers) {
                if (other != driver && other.compare(unicode, Qt::CaseInsensitive) == 0 &&
                    !ordered.contains(other))
                    ordered.append(other);
            }
        }
        ordered.append(driver);
    }
    return ordered;
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

QString CDataSourceSetup::DefaultValue(DriverKind kind, const QString& key) {
    if (key.compare(QLatin1String("Port"), Qt::CaseInsensitive) != 0)
        return {};
    switch (kind) {
    case DriverKind::PostgreSQL:
        return QStringLiteral("5432");
    case DriverKind::MariaDB:
        return QStringLiteral("3306");
    case DriverKind::SQLite:
    case DriverKind::Other:
        break;
    }
    return {};
}

bool CDataSourceSetup::IsPasswordKey(const QString& key) {
    return key.compare(QLatin1String("Password"), Qt::CaseInsensitive) == 0 ||
           key.compare(QLatin1String("PWD"), Qt::CaseInsensitive) == 0;
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
        if (!CDataSourceDefinition::IsKeyAcceptable(key) || keys.contains(key.toLower()))
            return LoadLocalizedString(kBadLineText).arg(QStringLiteral("-"), key);
        keys.append(key.toLower());
        if (const QString problem = value.isEmpty() ? QString() : ValueProblem(key, value);
            !problem.isEmpty())
            return problem;
    }
    const QString fileKey =
        CDataSourceDefinition::DatabaseFileKey(CDataSourceDefinition::KindOf(definition.driver));
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
    // Renamed, or moved to the other list: the old entry goes once the new one is written.
    const bool movesAnother = !previousName.isEmpty() && !replacesItself;
    CListChange change;
    if (!change.Add(definition.system, error) ||
        (movesAnother && !change.Add(previousSystem, error)))
        return false;
    if (movesAnother)
        DropSection(change.Expected(previousSystem), COdbcIni::NameBytes(previousName));
    CListImage& expected = change.Expected(definition.system);
    DropSection(expected, COdbcIni::NameBytes(definition.name));
    expected.push_back(SectionOf(definition));
    QString failure;
    if (!WriteSection(definition) || (movesAnother && !RemoveSection(previousName, previousSystem)))
        failure = COdbcIni::InstallerError();
    return change.Finish(failure, error);
}

bool CDataSourceSetup::Remove(const QString& name, bool system, QString& error) {
    CListChange change;
    if (!change.Add(system, error))
        return false;
    DropSection(change.Expected(system), COdbcIni::NameBytes(name));
    const QString failure = RemoveSection(name, system) ? QString() : COdbcIni::InstallerError();
    return change.Finish(failure, error);
}

bool CDataSourceSetup::CanWriteSystemSources() {
    const QByteArray folder = qgetenv("ODBCSYSINI");
    const QString file = (folder.isEmpty() ? QStringLiteral("/etc") : QFile::decodeName(folder)) +
                         QStringLiteral("/odbc.ini");
    const QByteArray path =
        QFile::encodeName(QFileInfo::exists(file) ? file : QFileInfo(file).path());
    return ::access(path.constData(), W_OK) == 0;
}

bool CDataSourceSetup::Test(const CDataSourceDefinition& definition, QString& message) {
    QString connectString = CDataSourceDefinition::ConnectionString(definition);
    // As every opening: the SQLite driver must not create a file that is not there.
    if (CDataSourceDefinition::KindOf(definition.driver) == DriverKind::SQLite)
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
        if (equals <= 0 || !CDataSourceDefinition::IsKeyAcceptable(key)) {
            error = LoadLocalizedString(kBadLineText).arg(QString::number(index + 1), line);
            return false;
        }
        definition.SetAttribute(key, line.mid(equals + 1).trimmed());
    }
    return true;
}
