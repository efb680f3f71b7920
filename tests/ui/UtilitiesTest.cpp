#include "ui/Utilities.h"

#include "shell/Language.h"
#include "shell/SettingsStore.h"
#include "ui/UiTestSupport.h"

TEST(SidePlaceholders, EveryOccurrenceIsReplacedCaseSensitively) {
    EXPECT_EQ(ReplaceSidePlaceholders(QStringLiteral("%LDB% / %RDB% / %LDB% / %ldb%"),
                                      QStringLiteral("LEFT (s1)"), QStringLiteral("RIGHT")),
              QStringLiteral("LEFT (s1) / RIGHT / LEFT (s1) / %ldb%"));
}

TEST(OpenCommand, QuotedProgramWithSwitchKeepsTheProgramAndAddsThePath) {
    const QString command = OpenCommandFromAssociation(
        QStringLiteral("\"C:\\Program Files\\Office\\EXCEL.EXE\" /dde \"%1\""));
    EXPECT_EQ(command, QStringLiteral("\"C:\\Program Files\\Office\\EXCEL.EXE\" "));
    EXPECT_EQ(OpenCommandArguments(command, QStringLiteral("/home/u/a b.csv")),
              (QStringList{"C:\\Program Files\\Office\\EXCEL.EXE", "/home/u/a b.csv"}));
}

TEST(OpenCommand, PercentOneWithoutSlashTakesThePathUnchanged) {
    const QString command = OpenCommandFromAssociation(QStringLiteral("notepad.exe %1"));
    EXPECT_EQ(command, QStringLiteral("notepad.exe %1"));
    EXPECT_EQ(OpenCommandArguments(command, QStringLiteral("C:\\a \"b\".csv")),
              (QStringList{"notepad.exe", "C:\\a \"b\".csv"}));
}

TEST(OpenWithAssociatedApp, StartsTheDesktopOpenCommandOnTheFile) {
    const FakeDesktopOpen desktop;
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("LEFT - RIGHT.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_FALSE(GetShellOpenCommand(QStringLiteral(".csv")).isEmpty());
    ASSERT_TRUE(OpenWithAssociatedApp(path));
    EXPECT_EQ(desktop.WaitForArguments(), QStringList{path});
}

TEST(OpenWithAssociatedApp, PathWithQuotesAndBlanksArrivesAsOneArgument) {
    const FakeDesktopOpen desktop;
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("a \"b\" c.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(OpenWithAssociatedApp(path));
    EXPECT_EQ(desktop.WaitForArguments(), QStringList{path});
}

TEST(OpenWithAssociatedApp, MissingFileStartsNothing) {
    const FakeDesktopOpen desktop;
    EXPECT_FALSE(OpenWithAssociatedApp(QStringLiteral("/no/such/file.csv")));
    QThread::msleep(100);
    EXPECT_FALSE(QFile::exists(desktop.ArgumentsFile()));
}

TEST(DictionaryValueCaption, CodeNameOrBoth) {
    ChooseLanguage(QStringLiteral("ENG"), {});
    EXPECT_EQ(GetDictionaryValueCaption(0, true, true), QStringLiteral("DTAT (Data Item Type)"));
    EXPECT_EQ(GetDictionaryValueCaption(4, true, false), QStringLiteral("CDEC"));
    EXPECT_EQ(GetDictionaryValueCaption(1, false, true), QStringLiteral("Item Size"));
    ChooseLanguage(QStringLiteral("FRA"), {});
    EXPECT_EQ(GetDictionaryValueCaption(3, true, true),
              QStringLiteral("DTAD (D\u00E9cimales fichier)"));
    ChooseLanguage(QStringLiteral("ENG"), {});
}

TEST(ProductVersion, IsTheBuildsVersion) {
    EXPECT_EQ(GetProductVersion(), QStringLiteral(QUORVIX_VERSION));
    EXPECT_FALSE(GetProductVersion().isEmpty());
}

class RegistryValues : public PrivateSettings {};

TEST_F(RegistryValues, ReadsEveryValueOfASection) {
    {
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Ostrinel"),
                        CSettingsStore::ApplicationName());
        store.setValue(QStringLiteral("ODBC Data Sources/Left"), QStringLiteral("SQLite3"));
        store.setValue(QStringLiteral("ODBC Data Sources/Right"), QStringLiteral("MariaDB"));
    }
    QStringList names;
    QStringList data;
    EXPECT_TRUE(ReadRegistryValues(QStringLiteral("ODBC Data Sources"), names, data));
    EXPECT_EQ(names, (QStringList{"Left", "Right"}));
    EXPECT_EQ(data, (QStringList{"SQLite3", "MariaDB"}));
    EXPECT_FALSE(ReadRegistryValues(QStringLiteral("Missing"), names, data));
    EXPECT_TRUE(names.isEmpty());
}
