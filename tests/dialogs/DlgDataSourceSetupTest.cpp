// The data source setup dialog on the real unixODBC installer functions and the test's private
// ini files: what it writes is read back through those functions and used by a side.
#include "dialogs/DlgDataSourceSetup.h"
#include "dialogs/DlgDataSources.h"

#include "odbc/DataSourceSetup.h"
#include "odbc/OdbcTestEnvironment.h"
#include "services/Language.h"
#include "services/ServicesTestSupport.h"
#include "shell/ModalHandlers.h"
#include "ui/TemplateBuilder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

class DataSourceSetupDialog : public PrivateSettings {
protected:
    void SetUp() override {
        PrivateSettings::SetUp();
        m_database = COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("SetupDialogBase"), QStringLiteral("CREATE TABLE STOCK (id INT);"));
    }
    // Fills the dialog as a user would for a new data source.
    static void Fill(CDlgDataSourceSetup& dialog, const QString& name, const QString& driver,
                     const std::vector<std::pair<QString, QString>>& fields) {
        dialog.NewSource();
        dialog.NameEdit()->setText(name);
        dialog.DriverCombo()->setCurrentText(driver);
        for (const auto& [key, value] : fields) {
            QLineEdit* field = dialog.Field(key);
            ASSERT_NE(field, nullptr) << key.toStdString();
            field->setText(value);
        }
    }
    static CDataSourceDefinition Stored(const QString& name, bool system = false) {
        CDataSourceDefinition definition;
        QString error;
        CDataSourceDefinition::Read(name, system, definition, error);
        return definition;
    }

    QString m_database;
};

// Drivers registered before those of the test run, as Debian's odbc-postgresql registers its
// ANSI driver before the Unicode one; the list is put back as it was when this goes.
class CDriversFirst {
public:
    explicit CDriversFirst(const QStringList& names)
        : m_path(COdbcTestEnvironment::Folder() + QStringLiteral("/odbcinst.ini")) {
        QFile file(m_path);
        if (file.open(QIODevice::ReadOnly))
            m_saved = file.readAll();
        file.close();
        QByteArray text;
        for (const QString& name : names)
            text +=
                "[" + name.toUtf8() + "]\nDriver=/usr/lib/x86_64-linux-gnu/odbc/psqlodbca.so\n\n";
        Write(text + m_saved);
    }
    ~CDriversFirst() { Write(m_saved); }

private:
    void Write(const QByteArray& text) const {
        QFile file(m_path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }

    QString m_path;
    QByteArray m_saved;
};

TEST_F(DataSourceSetupDialog, OpensFromTheDataSourceDialogAndItsSourceIsChosenThere) {
    QString name;
    CDataSourceSide::SourceKind kind = CDataSourceSide::UserDataSource;
    CDlgDataSources sources(&name, &kind, nullptr);
    sources.show();
    // Debian's driver manager has no setup program: the button opens Quorvix's own dialog.
    auto* setup = CTemplateBuilder::Find<QPushButton>(sources, CDlgDataSources::kSetupButton);
    ASSERT_TRUE(setup->isEnabled());
    const QString database = m_database;
    bool saved = false;
    OnNextModal([&](QWidget* modal) {
        auto* dialog = dynamic_cast<CDlgDataSourceSetup*>(modal);
        ASSERT_NE(dialog, nullptr);
        Fill(*dialog, QStringLiteral("Setup Stock"), QStringLiteral("SQLite3"),
             {{QStringLiteral("Database"), database}, {QStringLiteral("StepAPI"), "1"}});
        EXPECT_TRUE(dialog->Test()) << dialog->Message().toStdString();
        saved = dialog->Save();
        EXPECT_TRUE(
            dialog->ListedSources().contains(QStringLiteral("Setup Stock\tUser data source")));
        dialog->reject();
    });
    setup->click();
    ASSERT_TRUE(saved);
    EXPECT_EQ(Stored(QStringLiteral("Setup Stock")).Attribute(QStringLiteral("Database")),
              m_database);

    // The lists are refreshed: the new source is chosen and a side opens it.
    const auto items =
        sources.List(0)->findItems(QStringLiteral("Setup Stock\t"), Qt::MatchStartsWith);
    ASSERT_EQ(items.size(), 1);
    sources.List(0)->setCurrentItem(items.first());
    sources.Accept();
    EXPECT_EQ(name, QStringLiteral("Setup Stock"));
    CDataSourceSide side;
    side.SetDataSource(name, kind);
    ASSERT_TRUE(side.Connect()) << side.LastDiagnostic().toStdString();
    ASSERT_TRUE(side.ListTables(nullptr));
    EXPECT_EQ(side.TableNames(), QStringList{QStringLiteral("STOCK")});
}

TEST_F(DataSourceSetupDialog, PostgresFieldsPasswordOnlyOnRequestChangeAndRemove) {
    QUORVIX_REQUIRE_DATA_SOURCE(QStringLiteral("QuorvixPostgres"));
    CDlgDataSourceSetup dialog(nullptr);
    dialog.show();
    Fill(dialog, QStringLiteral("Setup Postgres"), QStringLiteral("PostgreSQL Unicode"),
         {{QStringLiteral("Servername"), qEnvironmentVariable("QUORVIX_PG_SOCKETS")},
          {QStringLiteral("Port"), qEnvironmentVariable("QUORVIX_PG_PORT")},
          {QStringLiteral("Database"), QStringLiteral("quorvix")},
          {QStringLiteral("Username"), QStringLiteral("postgres")},
          {QStringLiteral("Password"), QStringLiteral("secret")},
          {QStringLiteral("UseDeclareFetch"), QStringLiteral("1")}});
    EXPECT_FALSE(dialog.Field(QStringLiteral("Password"))->echoMode() == QLineEdit::Normal);
    EXPECT_TRUE(dialog.Test()) << dialog.Message().toStdString();
    EXPECT_FALSE(dialog.StorePassword()->isChecked());
    ASSERT_TRUE(dialog.Save()) << dialog.Message().toStdString();
    CDataSourceDefinition stored = Stored(QStringLiteral("Setup Postgres"));
    EXPECT_EQ(stored.driver, QStringLiteral("PostgreSQL Unicode"));
    EXPECT_EQ(stored.Attribute(QStringLiteral("UseDeclareFetch")), QStringLiteral("1"));
    EXPECT_TRUE(stored.Attribute(QStringLiteral("Password")).isEmpty());

    // Asked for, the password is stored; a wrong database fails the try with the driver's word.
    dialog.Field(QStringLiteral("Password"))->setText(QStringLiteral("secret"));
    dialog.StorePassword()->setChecked(true);
    dialog.Field(QStringLiteral("Database"))->setText(QStringLiteral("missing_db"));
    EXPECT_FALSE(dialog.Test());
    EXPECT_TRUE(dialog.Message().contains(QStringLiteral("missing_db")))
        << dialog.Message().toStdString();
    dialog.Field(QStringLiteral("Database"))->setText(QStringLiteral("quorvix"));
    ASSERT_TRUE(dialog.Save()) << dialog.Message().toStdString();
    EXPECT_EQ(Stored(QStringLiteral("Setup Postgres")).Attribute(QStringLiteral("Password")),
              QStringLiteral("secret"));

    ASSERT_TRUE(dialog.Remove(false));
    EXPECT_FALSE(dialog.ListedSources().join(QLatin1Char('\n')).contains("Setup Postgres"));
    EXPECT_TRUE(Stored(QStringLiteral("Setup Postgres")).driver.isEmpty());
}

TEST_F(DataSourceSetupDialog, APasswordUnderAnotherKeyLeavesTheFileWhenNotToBeStored) {
    CDataSourceDefinition stored;
    stored.name = QStringLiteral("Setup Pwd");
    stored.driver = QStringLiteral("PostgreSQL Unicode");
    stored.SetAttribute(QStringLiteral("Servername"), QStringLiteral("db.example"));
    stored.SetAttribute(QStringLiteral("PWD"), QStringLiteral("old secret"));
    QString error;
    ASSERT_TRUE(CDataSourceSetup::Write(stored, {}, false, error)) << error.toStdString();
    CDlgDataSourceSetup dialog(nullptr);
    dialog.show();
    ASSERT_TRUE(dialog.SelectSource(QStringLiteral("Setup Pwd"), false));
    EXPECT_EQ(dialog.Field(QStringLiteral("Password"))->text(), QStringLiteral("old secret"));
    EXPECT_TRUE(dialog.StorePassword()->isChecked());
    dialog.StorePassword()->setChecked(false);
    ASSERT_TRUE(dialog.Save()) << dialog.Message().toStdString();
    const CDataSourceDefinition saved = Stored(QStringLiteral("Setup Pwd"));
    EXPECT_TRUE(saved.Attribute(QStringLiteral("PWD")).isEmpty());
    EXPECT_TRUE(saved.Attribute(QStringLiteral("Password")).isEmpty());
    EXPECT_EQ(saved.Attribute(QStringLiteral("Servername")), QStringLiteral("db.example"));

    // The lines of another driver's data source never reach the next one shown.
    dialog.NewSource();
    dialog.DriverCombo()->addItem(QStringLiteral("Some Other Driver"));
    dialog.DriverCombo()->setCurrentText(QStringLiteral("Some Other Driver"));
    dialog.AttributeLines()->setPlainText(QStringLiteral("Token = x"));
    ASSERT_TRUE(dialog.SelectSource(QStringLiteral("Setup Pwd"), false));
    dialog.DriverCombo()->setCurrentText(QStringLiteral("Some Other Driver"));
    EXPECT_TRUE(dialog.AttributeLines()->toPlainText().isEmpty());
    dialog.Remove(false);
}

TEST_F(DataSourceSetupDialog, BadInputIsRefusedWithAMessageAndNothingWritten) {
    CDlgDataSourceSetup dialog(nullptr);
    dialog.show();
    const QStringList before = dialog.ListedSources();
    Fill(dialog, QStringLiteral("a;b"), QStringLiteral("SQLite3"),
         {{QStringLiteral("Database"), m_database}});
    EXPECT_FALSE(dialog.Save());
    EXPECT_TRUE(dialog.Message().startsWith(QStringLiteral("A data source name cannot hold")));
    Fill(dialog, QStringLiteral("setupdialogbase"), QStringLiteral("SQLite3"),
         {{QStringLiteral("Database"), m_database}});
    EXPECT_FALSE(dialog.Save());
    EXPECT_EQ(dialog.Message(),
              QStringLiteral("A data source named setupdialogbase already exists."));
    Fill(dialog, QStringLiteral("Setup Nowhere"), QStringLiteral("SQLite3"),
         {{QStringLiteral("Database"), m_database + QStringLiteral(".missing")}});
    EXPECT_FALSE(dialog.Save());
    EXPECT_TRUE(dialog.Message().startsWith(QStringLiteral("The database file ")));
    EXPECT_EQ(dialog.ListedSources(), before);

    // A driver without labelled fields takes key = value lines; a line without "=" is refused.
    dialog.NewSource();
    dialog.DriverCombo()->addItem(QStringLiteral("Some Other Driver"));
    dialog.DriverCombo()->setCurrentText(QStringLiteral("Some Other Driver"));
    EXPECT_TRUE(dialog.AttributeLines()->isVisibleTo(&dialog));
    EXPECT_EQ(dialog.Field(QStringLiteral("Database")), nullptr);
    dialog.NameEdit()->setText(QStringLiteral("Setup Other"));
    dialog.AttributeLines()->setPlainText(QStringLiteral("Host = db\nbroken line"));
    EXPECT_FALSE(dialog.Save());
    EXPECT_EQ(dialog.Message(),
              QStringLiteral("Line 2 is not of the form key = value: broken line"));
    EXPECT_EQ(dialog.ListedSources(), before);
}

// Where a driver is installed in its ANSI and its Unicode variant, the Unicode one is offered
// first and a new data source starts on it.
TEST_F(DataSourceSetupDialog, TheUnicodeVariantIsOfferedFirstAndChosenForANewSource) {
    const CDriversFirst ansi({QStringLiteral("PostgreSQL ANSI"), QStringLiteral("Lone ANSI")});
    CDlgDataSourceSetup dialog(nullptr);
    dialog.show();
    QStringList offered;
    for (int item = 0; item < dialog.DriverCombo()->count(); ++item)
        offered.append(dialog.DriverCombo()->itemText(item));
    ASSERT_TRUE(offered.contains(QStringLiteral("PostgreSQL ANSI")))
        << offered.join(QLatin1Char(',')).toStdString();
    EXPECT_EQ(offered.mid(0, 3),
              (QStringList{QStringLiteral("PostgreSQL Unicode"), QStringLiteral("PostgreSQL ANSI"),
                           QStringLiteral("Lone ANSI")}));
    EXPECT_EQ(offered.count(QStringLiteral("PostgreSQL Unicode")), 1);
    EXPECT_EQ(dialog.DriverCombo()->currentText(), QStringLiteral("PostgreSQL Unicode"));
    dialog.DriverCombo()->setCurrentText(QStringLiteral("SQLite3"));
    dialog.NewSource();
    EXPECT_EQ(dialog.DriverCombo()->currentText(), QStringLiteral("PostgreSQL Unicode"));
    EXPECT_NE(dialog.Field(QStringLiteral("Servername")), nullptr);
}

// An empty port leaves the driver its own: the field says which, in the user's language, and
// no other field of any driver shows a hint.
TEST_F(DataSourceSetupDialog, ThePortFieldShowsTheDriversDefault) {
    const auto hints = [](CDlgDataSourceSetup& dialog, const QString& driver) {
        dialog.DriverCombo()->setCurrentText(driver);
        QStringList shown;
        for (QLineEdit* field : dialog.findChildren<QLineEdit*>()) {
            if (field->isVisibleTo(&dialog) && !field->placeholderText().isEmpty())
                shown.append(field->placeholderText());
        }
        return shown;
    };
    for (const auto& [language, postgres, mariadb] :
         {std::tuple{QStringLiteral("ENG"), QStringLiteral("5432 by default"),
                     QStringLiteral("3306 by default")},
          std::tuple{QStringLiteral("FRA"), QStringLiteral("5432 par défaut"),
                     QStringLiteral("3306 par défaut")}}) {
        ChooseLanguage(language, {});
        CDlgDataSourceSetup dialog(nullptr);
        dialog.show();
        EXPECT_EQ(hints(dialog, QStringLiteral("PostgreSQL Unicode")), QStringList{postgres});
        EXPECT_EQ(dialog.Field(QStringLiteral("Port"))->placeholderText(), postgres);
        EXPECT_EQ(hints(dialog, QStringLiteral("MariaDB Unicode")), QStringList{mariadb});
        EXPECT_EQ(dialog.Field(QStringLiteral("Port"))->placeholderText(), mariadb);
        // SQLite's second field takes the row of the port: its hint goes.
        EXPECT_TRUE(hints(dialog, QStringLiteral("SQLite3")).isEmpty());
    }
    ChooseLanguage(QStringLiteral("ENG"), {});
}

// Every text of the dialog fits, in both languages and for each driver's fields; the dialog can be
// made larger, its list, fields and attribute lines growing with it, and keeps its size.
TEST_F(DataSourceSetupDialog, EveryTextFitsAndTheDialogGrowsAndKeepsItsSize) {
    for (const QString& language : {QStringLiteral("ENG"), QStringLiteral("FRA")}) {
        ChooseLanguage(language, {});
        CDlgDataSourceSetup dialog(nullptr);
        dialog.show();
        ASSERT_TRUE(dialog.IsResizable());
        for (const QString& driver : CDataSourceSetup::InstalledDrivers()) {
            dialog.DriverCombo()->setCurrentText(driver);
            for (const QWidget* control : dialog.findChildren<QWidget*>()) {
                const bool text = qobject_cast<const QLabel*>(control) ||
                                  qobject_cast<const QAbstractButton*>(control);
                const auto* label = qobject_cast<const QLabel*>(control);
                if (!text || !control->isVisibleTo(&dialog) || (label && label->wordWrap()))
                    continue;
                // A push button's hint has a style minimum of its own: its text is what counts.
                const auto* button = qobject_cast<const QPushButton*>(control);
                const int needed = button
                                       ? button->fontMetrics().horizontalAdvance(button->text()) + 8
                                       : control->sizeHint().width();
                EXPECT_LE(needed, control->width())
                    << language.toStdString() << " " << driver.toStdString() << " "
                    << control->metaObject()->className() << " "
                    << (label ? label->text().toStdString() : std::string());
                EXPECT_LE(control->geometry().right(), dialog.width());
            }
        }
        dialog.close();
    }
    ChooseLanguage(QStringLiteral("ENG"), {});

    QSize kept;
    {
        CDlgDataSourceSetup dialog(nullptr);
        dialog.show();
        dialog.DriverCombo()->setCurrentText(QStringLiteral("SQLite3"));
        const QSize start = dialog.size();
        const int listHeight = dialog.findChild<QListWidget*>()->height();
        const int nameWidth = dialog.NameEdit()->width();
        dialog.resize(start + QSize(200, 150));
        EXPECT_EQ(dialog.findChild<QListWidget*>()->height(), listHeight + 150);
        EXPECT_EQ(dialog.NameEdit()->width(), nameWidth + 200);
        // The database field still leaves room for its chooser, which stays at the right edge.
        auto* browse =
            CTemplateBuilder::Find<QPushButton>(dialog, CDlgDataSourceSetup::kBrowseButton);
        EXPECT_EQ(browse->geometry().right(), dialog.NameEdit()->geometry().right());
        EXPECT_LT(dialog.Field(QStringLiteral("Database"))->geometry().right(), browse->x());
        auto* close = CTemplateBuilder::Find<QPushButton>(dialog, 2);
        EXPECT_EQ(close->geometry().bottom(), dialog.height() - 9);
        kept = dialog.size();
        dialog.close();
    }
    CDlgDataSourceSetup again(nullptr);
    again.show();
    EXPECT_EQ(again.size(), kept);
}

} // namespace
