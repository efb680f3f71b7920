// Data sources defined through unixODBC's installer functions in the test's private ini files,
// each change read back through the same functions and used by a side as a comparison uses it.
#include "odbc/DataSourceSetup.h"

#include "odbc/DataSourceList.h"
#include "odbc/DataSourceSide.h"
#include "odbc/OdbcTestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

namespace {

QStringList Sources(bool system) {
    QStringList names;
    QStringList drivers;
    ListDataSources(system, names, drivers);
    return names;
}

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString UserList() {
    return qEnvironmentVariable("ODBCINI");
}

QString SystemList() {
    return qEnvironmentVariable("ODBCSYSINI") + QStringLiteral("/odbc.ini");
}

QString CopyOf(const QString& list) {
    return list + QStringLiteral(".quorvix-backup");
}

class DataSourceSetup : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_folder.isValid());
        m_database = COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("SetupTemplate"), QStringLiteral("CREATE TABLE PARTS (id INT);"));
    }
    CDataSourceDefinition Lite(const QString& name) const {
        CDataSourceDefinition definition;
        definition.name = name;
        definition.driver = QStringLiteral("SQLite3");
        definition.SetAttribute(QStringLiteral("Database"), m_database);
        definition.SetAttribute(QStringLiteral("StepAPI"), QStringLiteral("1"));
        return definition;
    }
    static QStringList TablesOf(const QString& name) {
        CDataSourceSide side;
        side.SetDataSource(name, CDataSourceSide::UserDataSource);
        if (!side.Connect() || !side.ListTables(nullptr))
            return {QStringLiteral("failed: ") + side.LastDiagnostic()};
        return side.TableNames();
    }

    QTemporaryDir m_folder;
    QString m_database;
};

TEST_F(DataSourceSetup, AddChangeAndRemoveAUserDataSource) {
    QString error;
    ASSERT_TRUE(CDataSourceSetup::Write(Lite(QStringLiteral("Setup Parts")), {}, false, error))
        << error.toStdString();
    EXPECT_TRUE(Sources(false).contains(QStringLiteral("Setup Parts")));
    CDataSourceDefinition read;
    ASSERT_TRUE(CDataSourceDefinition::Read(QStringLiteral("Setup Parts"), false, read, error));
    EXPECT_EQ(read.driver, QStringLiteral("SQLite3"));
    EXPECT_EQ(read.Attribute(QStringLiteral("database")), m_database);
    EXPECT_EQ(read.Attribute(QStringLiteral("StepAPI")), QStringLiteral("1"));
    EXPECT_EQ(TablesOf(QStringLiteral("Setup Parts")), QStringList{QStringLiteral("PARTS")});
    EXPECT_FALSE(QFileInfo::exists(CopyOf(UserList())));

    // Renamed, pointed at another file, an attribute cleared: the old section is gone.
    const QString other = m_folder.filePath(QStringLiteral("other.sqlite"));
    QFile::copy(m_database, other);
    CDataSourceDefinition changed = read;
    changed.name = QStringLiteral("Setup Other");
    changed.SetAttribute(QStringLiteral("Database"), other);
    changed.SetAttribute(QStringLiteral("StepAPI"), QString());
    ASSERT_TRUE(CDataSourceSetup::Write(changed, QStringLiteral("Setup Parts"), false, error))
        << error.toStdString();
    EXPECT_FALSE(Sources(false).contains(QStringLiteral("Setup Parts")));
    ASSERT_TRUE(CDataSourceDefinition::Read(QStringLiteral("Setup Other"), false, read, error));
    EXPECT_EQ(read.Attribute(QStringLiteral("Database")), other);
    EXPECT_TRUE(read.Attribute(QStringLiteral("StepAPI")).isEmpty());
    EXPECT_EQ(TablesOf(QStringLiteral("Setup Other")), QStringList{QStringLiteral("PARTS")});

    ASSERT_TRUE(CDataSourceSetup::Remove(QStringLiteral("Setup Other"), false, error));
    EXPECT_FALSE(Sources(false).contains(QStringLiteral("Setup Other")));
    EXPECT_FALSE(CDataSourceDefinition::Read(QStringLiteral("Setup Other"), false, read, error));
}

TEST_F(DataSourceSetup, MovedToTheOtherListUnderItsOwnName) {
    QString error;
    ASSERT_TRUE(CDataSourceSetup::Write(Lite(QStringLiteral("Setup Move")), {}, false, error));
    CDataSourceDefinition machine = Lite(QStringLiteral("Setup Move"));
    machine.system = true;
    ASSERT_TRUE(CDataSourceSetup::CanWriteSystemSources());
    ASSERT_TRUE(CDataSourceSetup::Write(machine, QStringLiteral("Setup Move"), false, error))
        << error.toStdString();
    EXPECT_FALSE(Sources(false).contains(QStringLiteral("Setup Move")));
    EXPECT_TRUE(Sources(true).contains(QStringLiteral("Setup Move")));
    // Another data source of that name in the other list is still a duplicate.
    EXPECT_FALSE(CDataSourceSetup::Write(Lite(QStringLiteral("Setup Move")), {}, false, error));
    EXPECT_EQ(error, QStringLiteral("A data source named Setup Move already exists."));
    ASSERT_TRUE(CDataSourceSetup::Remove(QStringLiteral("Setup Move"), true, error));
}

TEST_F(DataSourceSetup, ADataSourceWhoseFileIsGoneFailsAndNoFileIsCreated) {
    const QString gone = m_folder.filePath(QStringLiteral("gone.sqlite"));
    QFile::copy(m_database, gone);
    CDataSourceDefinition definition = Lite(QStringLiteral("Setup Gone"));
    definition.SetAttribute(QStringLiteral("Database"), gone);
    QString error;
    ASSERT_TRUE(CDataSourceSetup::Write(definition, {}, false, error)) << error.toStdString();
    ASSERT_TRUE(QFile::remove(gone));
    // The driver would create an empty database there and every table would read as gone.
    EXPECT_TRUE(TablesOf(QStringLiteral("Setup Gone")).value(0).startsWith("failed: "));
    EXPECT_FALSE(CDataSourceSetup::Test(definition, error));
    EXPECT_FALSE(QFile::exists(gone));
    CDataSourceSetup::Remove(QStringLiteral("Setup Gone"), false, error);
}

TEST_F(DataSourceSetup, BadDefinitionsAreRefusedAndNothingIsWritten) {
    const QStringList before = Sources(false);
    const QByteArray systemBefore = Bytes(SystemList());
    QString error;
    // A line break would end the section header: the rest of the name, here a system data
    // source's, would be read as a user data source hiding it.
    for (const QString& name :
         {QString(), QStringLiteral("a[b"), QStringLiteral("a]b"), QStringLiteral("a=b"),
          QStringLiteral("a;DSN=x"), QStringLiteral(" padded"), QStringLiteral("x\n[SetupTemplate"),
          QStringLiteral("x\r"), QStringLiteral("a\tb"), QStringLiteral("a\"b"),
          QStringLiteral("a'b"), QStringLiteral("a{b}"), QStringLiteral("a@b"),
          QStringLiteral("Donn\u00e9es"), QString(33, QLatin1Char('x'))}) {
        EXPECT_FALSE(CDataSourceSetup::Write(Lite(name), {}, false, error)) << name.toStdString();
        EXPECT_FALSE(error.isEmpty()) << name.toStdString();
    }
    // The driver manager's own sections, in any case.
    for (const QString& name :
         {QStringLiteral("ODBC Data Sources"), QStringLiteral("odbc"), QStringLiteral("Default")}) {
        EXPECT_FALSE(CDataSourceSetup::Write(Lite(name), {}, false, error)) << name.toStdString();
        EXPECT_EQ(error, name + QStringLiteral(" is a name the driver manager keeps for itself; "
                                               "choose another one."));
    }
    EXPECT_TRUE(CDataSourceSetup::Write(Lite(QString(32, QLatin1Char('x'))), {}, false, error))
        << error.toStdString();
    ASSERT_TRUE(CDataSourceSetup::Remove(QString(32, QLatin1Char('x')), false, error));
    // A name already taken, in either list and in another case.
    EXPECT_FALSE(CDataSourceSetup::Write(Lite(QStringLiteral("SETUPTEMPLATE")), {}, false, error));
    EXPECT_EQ(error, QStringLiteral("A data source named SETUPTEMPLATE already exists."));
    CDataSourceDefinition missing = Lite(QStringLiteral("Setup Missing"));
    missing.SetAttribute(QStringLiteral("Database"), m_folder.filePath(QStringLiteral("no.db")));
    EXPECT_FALSE(CDataSourceSetup::Write(missing, {}, false, error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("The database file "))) << error.toStdString();
    CDataSourceDefinition noDriver = Lite(QStringLiteral("Setup NoDriver"));
    noDriver.driver.clear();
    EXPECT_FALSE(CDataSourceSetup::Write(noDriver, {}, false, error));
    EXPECT_EQ(Sources(false), before);
    EXPECT_EQ(Bytes(SystemList()).toStdString(), systemBefore.toStdString());
    EXPECT_EQ(TablesOf(QStringLiteral("SetupTemplate")), QStringList{QStringLiteral("PARTS")});
}

TEST_F(DataSourceSetup, ValuesTheListCannotKeepWholeAreRefused) {
    const QByteArray before = Bytes(UserList());
    QString error;
    const auto refused = [&](const QString& key, const QString& value) {
        CDataSourceDefinition definition = Lite(QStringLiteral("Setup Values"));
        if (key == QLatin1String("Driver"))
            definition.driver = value;
        else
            definition.SetAttribute(key, value);
        return !CDataSourceSetup::Write(definition, {}, false, error);
    };
    EXPECT_TRUE(refused(QStringLiteral("Note"), QStringLiteral("a\n[SetupTemplate]\nDriver=x")));
    EXPECT_EQ(error, QStringLiteral("The value of Note holds a character odbc.ini cannot keep "
                                    "(line break, tab or other control character)."));
    EXPECT_TRUE(refused(QStringLiteral("Note"), QString(QChar(0xd800))));
    EXPECT_TRUE(refused(QStringLiteral("Driver"), QStringLiteral("SQLite3\n[SetupTemplate]")));
    EXPECT_TRUE(refused(QStringLiteral("Note"), QStringLiteral(" padded")));
    EXPECT_EQ(error, QStringLiteral("The value of Note begins or ends with a blank, which the "
                                    "driver manager would not read back."));
    EXPECT_TRUE(refused(QStringLiteral("Note\nx"), QStringLiteral("1")));
    EXPECT_TRUE(refused(QStringLiteral("#Note"), QStringLiteral("1")));
    EXPECT_TRUE(refused(QStringLiteral("driver"), QStringLiteral("Other")));

    // The driver manager reads a line in pieces of 999 bytes, its end included: what follows
    // would be read as a line of its own, here a section.
    const QString note = QStringLiteral("Note=");
    const QString fits(999 - note.size() - 1, QLatin1Char('x'));
    EXPECT_TRUE(refused(QStringLiteral("Note"), fits + QStringLiteral("[SetupTemplate]")));
    EXPECT_EQ(error, QStringLiteral("The line of Note would take 1014 bytes in odbc.ini; the "
                                    "driver manager reads lines of 999 bytes at most."));
    EXPECT_TRUE(refused(QStringLiteral("Note"), fits.left(fits.size() - 1) + QChar(0xe9)));
    EXPECT_EQ(Bytes(UserList()).toStdString(), before.toStdString());

    ASSERT_FALSE(refused(QStringLiteral("Note"), fits)) << error.toStdString();
    CDataSourceDefinition read;
    ASSERT_TRUE(CDataSourceDefinition::Read(QStringLiteral("Setup Values"), false, read, error));
    EXPECT_EQ(read.Attribute(QStringLiteral("Note")), fits);
    EXPECT_EQ(Sources(false).count(QStringLiteral("SetupTemplate")), 0);
    CDataSourceSetup::Remove(QStringLiteral("Setup Values"), false, error);
}

TEST_F(DataSourceSetup, ValuesBeyondAsciiAreStoredAsUtf8AndResolve) {
    const QString path = m_folder.filePath(QStringLiteral("Donn\u00e9es \u0152uvre.db"));
    ASSERT_TRUE(QFile::copy(m_database, path));
    CDataSourceDefinition definition = Lite(QStringLiteral("Setup Utf8"));
    definition.SetAttribute(QStringLiteral("Database"), path);
    QString error;
    ASSERT_TRUE(CDataSourceSetup::Write(definition, {}, false, error)) << error.toStdString();
    EXPECT_TRUE(Bytes(UserList()).contains(QByteArray("Database=") + path.toUtf8()));
    CDataSourceDefinition read;
    ASSERT_TRUE(CDataSourceDefinition::Read(QStringLiteral("Setup Utf8"), false, read, error));
    EXPECT_EQ(read.Attribute(QStringLiteral("Database")), path);
    EXPECT_EQ(TablesOf(QStringLiteral("Setup Utf8")), QStringList{QStringLiteral("PARTS")});
    CDataSourceSetup::Remove(QStringLiteral("Setup Utf8"), false, error);
}

TEST_F(DataSourceSetup, ACopyLeftByAnInterruptedChangeIsKeptAndNamed) {
    QString error;
    ASSERT_TRUE(CDataSourceSetup::Write(Lite(QStringLiteral("Setup Kept")), {}, false, error));
    const QString copy = CopyOf(UserList());
    {
        QFile file(copy);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Setup Earlier]\nDriver=SQLite3\n\n");
    }
    const QByteArray before = Bytes(UserList());
    EXPECT_FALSE(CDataSourceSetup::Write(Lite(QStringLiteral("Setup Later")), {}, false, error));
    EXPECT_EQ(error, QStringLiteral("A backup copy %1 remains from an interrupted change; compare "
                                    "it with %2, then remove it or put it in its place.")
                         .arg(copy, UserList()));
    EXPECT_FALSE(CDataSourceSetup::Remove(QStringLiteral("Setup Kept"), false, error));
    EXPECT_EQ(Bytes(UserList()).toStdString(), before.toStdString());
    EXPECT_EQ(Bytes(copy), QByteArray("[Setup Earlier]\nDriver=SQLite3\n\n"));
    ASSERT_TRUE(QFile::remove(copy));
    EXPECT_TRUE(CDataSourceSetup::Remove(QStringLiteral("Setup Kept"), false, error));
}

// The user's list on a file system of a few pages, which the test fills.
class DataSourceSetupFullDisk : public DataSourceSetup {
protected:
    void SetUp() override {
        DataSourceSetup::SetUp();
        if (::geteuid() != 0)
            GTEST_SKIP() << "mounting a small file system needs root";
        m_disk = m_folder.filePath(QStringLiteral("disk"));
        ASSERT_TRUE(QDir().mkpath(m_disk));
        ASSERT_EQ(::mount("tmpfs", QFile::encodeName(m_disk).constData(), "tmpfs",
                          MS_NOSUID | MS_NODEV, "size=256k,mode=0700"),
                  0)
            << std::strerror(errno);
        m_mounted = true;
        m_outerList = qgetenv("ODBCINI");
        m_list = m_disk + QStringLiteral("/odbc.ini");
        // Named through a link, as a list kept with the user's other settings may be.
        m_link = m_folder.filePath(QStringLiteral("linked-odbc.ini"));
        ASSERT_TRUE(QFile::link(m_list, m_link));
        qputenv("ODBCINI", QFile::encodeName(m_link));
    }
    void TearDown() override {
        if (m_outerList)
            qputenv("ODBCINI", *m_outerList);
        if (m_mounted) {
            EXPECT_EQ(::umount2(QFile::encodeName(m_disk).constData(), MNT_DETACH), 0);
        }
        DataSourceSetup::TearDown();
    }

    // Takes the room left but leave bytes.
    void Fill(qint64 leave) {
        const QString filler = m_disk + QStringLiteral("/filler");
        QFile::remove(filler);
        struct statvfs status {};
        ASSERT_EQ(::statvfs(QFile::encodeName(m_disk).constData(), &status), 0);
        const qint64 room = qint64(status.f_bavail) * qint64(status.f_frsize) - leave;
        ASSERT_GE(room, 0);
        QFile file(filler);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(QByteArray(room, 'f')), room);
    }
    // Room for the copy of the list and nothing more.
    void FillLeavingRoomForTheCopy() {
        const qint64 page = 4096;
        Fill((QFileInfo(m_list).size() + page - 1) / page * page);
    }
    // A PostgreSQL data source whose file holds a few kilobytes.
    CDataSourceDefinition Secure(const QString& name) const {
        CDataSourceDefinition definition;
        definition.name = name;
        definition.driver = QStringLiteral("PostgreSQL Unicode");
        definition.SetAttribute(QStringLiteral("Servername"), QStringLiteral("db.example"));
        definition.SetAttribute(QStringLiteral("Database"), QStringLiteral("stock"));
        for (const QChar letter : {u'a', u'b', u'c'})
            definition.SetAttribute(QStringLiteral("Note_") + letter, QString(900, letter));
        definition.SetAttribute(QStringLiteral("SSLmode"), QStringLiteral("require"));
        return definition;
    }
    void ExpectUnchanged(const QByteArray& before) {
        EXPECT_EQ(Bytes(m_list).toStdString(), before.toStdString());
        EXPECT_TRUE(QFileInfo(m_link).isSymLink());
        EXPECT_FALSE(QFileInfo::exists(CopyOf(m_list)));
        CDataSourceDefinition read;
        QString error;
        ASSERT_TRUE(
            CDataSourceDefinition::Read(QStringLiteral("Setup Secure"), false, read, error));
        EXPECT_EQ(read.attributes, Secure(QStringLiteral("Setup Secure")).attributes);
    }

    QString m_disk;
    QString m_list;
    QString m_link;
    bool m_mounted = false;
    std::optional<QByteArray> m_outerList;
};

TEST_F(DataSourceSetupFullDisk, NothingIsWrittenWhenTheCopyCannotBeMade) {
    QString error;
    ASSERT_TRUE(CDataSourceSetup::Write(Secure(QStringLiteral("Setup Secure")), {}, false, error))
        << error.toStdString();
    const QByteArray before = Bytes(m_list);
    Fill(0);
    EXPECT_FALSE(CDataSourceSetup::Write(Secure(QStringLiteral("Setup More")), {}, false, error));
    EXPECT_EQ(error, QStringLiteral("The backup copy %1 could not be made (no space left on the "
                                    "disk); nothing was written.")
                         .arg(CopyOf(m_list)));
    EXPECT_FALSE(CDataSourceSetup::Remove(QStringLiteral("Setup Secure"), false, error));
    ExpectUnchanged(before);
}

TEST_F(DataSourceSetupFullDisk, AWriteThatFailsHalfWayPutsTheListBack) {
    QString error;
    ASSERT_TRUE(CDataSourceSetup::Write(Secure(QStringLiteral("Setup Secure")), {}, false, error))
        << error.toStdString();
    ASSERT_TRUE(QFile::setPermissions(m_list, QFile::ReadOwner | QFile::WriteOwner));
    const QByteArray before = Bytes(m_list);
    FillLeavingRoomForTheCopy();

    // A new data source, the data source renamed, and changed in place: each grows the file
    // beyond the room left once the copy is made.
    const QString failed = QStringLiteral("%1 could not be written (read back, ").arg(m_list);
    EXPECT_FALSE(CDataSourceSetup::Write(Secure(QStringLiteral("Setup More")), {}, false, error));
    EXPECT_TRUE(error.startsWith(failed)) << error.toStdString();
    EXPECT_TRUE(error.endsWith(QStringLiteral("; no space left on the disk); it was put back as "
                                              "it was.")))
        << error.toStdString();
    ExpectUnchanged(before);
    EXPECT_FALSE(Sources(false).contains(QStringLiteral("Setup More")));

    EXPECT_FALSE(CDataSourceSetup::Write(Secure(QStringLiteral("Setup Renamed")),
                                         QStringLiteral("Setup Secure"), false, error));
    EXPECT_TRUE(error.startsWith(failed)) << error.toStdString();
    ExpectUnchanged(before);
    EXPECT_FALSE(Sources(false).contains(QStringLiteral("Setup Renamed")));

    CDataSourceDefinition grown = Secure(QStringLiteral("Setup Secure"));
    grown.SetAttribute(QStringLiteral("SSLmode"), QStringLiteral("disable"));
    for (const QChar letter : {u'd', u'e', u'f', u'g', u'h'})
        grown.SetAttribute(QStringLiteral("Note_") + letter, QString(900, letter));
    EXPECT_FALSE(CDataSourceSetup::Write(grown, QStringLiteral("Setup Secure"), false, error));
    EXPECT_TRUE(error.startsWith(failed)) << error.toStdString();
    ExpectUnchanged(before);
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(m_list).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u);

    // With room again, at once: what was read back of the failed change (SSLmode=disable) is
    // not taken for the list as it stands.
    ASSERT_TRUE(QFile::remove(m_disk + QStringLiteral("/filler")));
    ASSERT_TRUE(CDataSourceSetup::Write(Secure(QStringLiteral("Setup More")), {}, false, error))
        << error.toStdString();
    CDataSourceDefinition read;
    ASSERT_TRUE(CDataSourceDefinition::Read(QStringLiteral("Setup Secure"), false, read, error));
    EXPECT_EQ(read.Attribute(QStringLiteral("SSLmode")), QStringLiteral("require"));
    EXPECT_EQ(Sources(false),
              (QStringList{QStringLiteral("Setup Secure"), QStringLiteral("Setup More")}));
}

TEST_F(DataSourceSetup, TestConnectsReadOnlyAndGivesTheDriversMessage) {
    QString message;
    EXPECT_TRUE(CDataSourceSetup::Test(Lite(QStringLiteral("Unsaved")), message))
        << message.toStdString();
    EXPECT_TRUE(message.startsWith(QStringLiteral("The connection succeeded (SQLite")))
        << message.toStdString();

    QUORVIX_REQUIRE_DATA_SOURCE(QStringLiteral("QuorvixPostgres"));
    CDataSourceDefinition postgres;
    postgres.name = QStringLiteral("Unsaved Postgres");
    postgres.driver = QStringLiteral("PostgreSQL Unicode");
    postgres.SetAttribute(QStringLiteral("Servername"), qEnvironmentVariable("QUORVIX_PG_SOCKETS"));
    postgres.SetAttribute(QStringLiteral("Port"), qEnvironmentVariable("QUORVIX_PG_PORT"));
    postgres.SetAttribute(QStringLiteral("Database"), QStringLiteral("quorvix"));
    postgres.SetAttribute(QStringLiteral("Username"), QStringLiteral("postgres"));
    EXPECT_TRUE(CDataSourceSetup::Test(postgres, message)) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("PostgreSQL"))) << message.toStdString();
    postgres.SetAttribute(QStringLiteral("Database"), QStringLiteral("no_such_database"));
    EXPECT_FALSE(CDataSourceSetup::Test(postgres, message));
    EXPECT_TRUE(message.startsWith(QStringLiteral("The connection failed.\nDriver: ")))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("no_such_database"))) << message.toStdString();
}

TEST(DataSourceSetupText, ValuesThatCouldEndTheirFieldAreBracedAndLinesParsed) {
    CDataSourceDefinition definition;
    definition.driver = QStringLiteral("Some Driver");
    definition.SetAttribute(QStringLiteral("Database"), QStringLiteral("a;DSN=other"));
    definition.SetAttribute(QStringLiteral("Option"), QStringLiteral("x}y"));
    EXPECT_EQ(CDataSourceDefinition::ConnectionString(definition),
              QStringLiteral("DRIVER=Some Driver;Database={a;DSN=other};Option={x}}y};"));

    QString error;
    ASSERT_TRUE(CDataSourceSetup::ParseAttributeLines(
        QStringLiteral(" Host = db.example \n\nPort=5000\n"), definition, error));
    EXPECT_EQ(CDataSourceSetup::AttributeLines(definition),
              QStringLiteral("Host = db.example\nPort = 5000"));
    EXPECT_FALSE(
        CDataSourceSetup::ParseAttributeLines(QStringLiteral("Host\n"), definition, error));
    EXPECT_EQ(error, QStringLiteral("Line 1 is not of the form key = value: Host"));
    EXPECT_FALSE(
        CDataSourceSetup::ParseAttributeLines(QStringLiteral("a;b = c"), definition, error));
}

// A Unicode variant goes just before its ANSI twin, whatever the case of the names; everything
// else, a lone ANSI driver too, keeps its place.
TEST(DataSourceSetupText, UnicodeVariantsComeBeforeTheirAnsiTwins) {
    EXPECT_EQ(CDataSourceSetup::UnicodeFirst({"SQLite3", "PostgreSQL ANSI", "MariaDB Unicode",
                                              "PostgreSQL Unicode", "MySQL ODBC 8.0 ANSI Driver",
                                              "mysql odbc 8.0 unicode driver"}),
              (QStringList{"SQLite3", "PostgreSQL Unicode", "PostgreSQL ANSI", "MariaDB Unicode",
                           "mysql odbc 8.0 unicode driver", "MySQL ODBC 8.0 ANSI Driver"}));
    // Already in that order, without a twin, or ANSI only inside a word: nothing moves.
    const QStringList kept{"PostgreSQL Unicode", "PostgreSQL ANSI", "Lone ANSI", "Unicode",
                           "ANSIBLE Driver",     "ANSIBLE Unicode", "ANSI",      ""};
    EXPECT_EQ(CDataSourceSetup::UnicodeFirst(kept), kept);
}

} // namespace
