// Data sources defined through unixODBC's installer functions in the test's private ini files,
// each change read back through the same functions and used by a side as a comparison uses it.
#include "odbc/DataSourceSetup.h"

#include "odbc/DataSourceList.h"
#include "odbc/DataSourceSide.h"
#include "odbc/OdbcTestEnvironment.h"

#include <QFile>
#include <QTemporaryDir>

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
    ASSERT_TRUE(CDataSourceSetup::Read(QStringLiteral("Setup Parts"), false, read, error));
    EXPECT_EQ(read.driver, QStringLiteral("SQLite3"));
    EXPECT_EQ(read.Attribute(QStringLiteral("database")), m_database);
    EXPECT_EQ(read.Attribute(QStringLiteral("StepAPI")), QStringLiteral("1"));
    EXPECT_EQ(TablesOf(QStringLiteral("Setup Parts")), QStringList{QStringLiteral("PARTS")});

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
    ASSERT_TRUE(CDataSourceSetup::Read(QStringLiteral("Setup Other"), false, read, error));
    EXPECT_EQ(read.Attribute(QStringLiteral("Database")), other);
    EXPECT_TRUE(read.Attribute(QStringLiteral("StepAPI")).isEmpty());
    EXPECT_EQ(TablesOf(QStringLiteral("Setup Other")), QStringList{QStringLiteral("PARTS")});

    ASSERT_TRUE(CDataSourceSetup::Remove(QStringLiteral("Setup Other"), false, error));
    EXPECT_FALSE(Sources(false).contains(QStringLiteral("Setup Other")));
    EXPECT_FALSE(CDataSourceSetup::Read(QStringLiteral("Setup Other"), false, read, error));
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
    EXPECT_TRUE(refused(QStringLiteral("Note"), QStringLiteral("a\tb")));
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
    ASSERT_TRUE(CDataSourceSetup::Read(QStringLiteral("Setup Values"), false, read, error));
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
    ASSERT_TRUE(CDataSourceSetup::Read(QStringLiteral("Setup Utf8"), false, read, error));
    EXPECT_EQ(read.Attribute(QStringLiteral("Database")), path);
    EXPECT_EQ(TablesOf(QStringLiteral("Setup Utf8")), QStringList{QStringLiteral("PARTS")});
    CDataSourceSetup::Remove(QStringLiteral("Setup Utf8"), false, error);
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
    EXPECT_EQ(CDataSourceSetup::ConnectionString(definition),
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

} // namespace
