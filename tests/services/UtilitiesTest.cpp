#include "services/Utilities.h"

#include "services/Language.h"
#include "services/ServicesTestSupport.h"
#include "services/SettingsStore.h"

#include <limits>

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
    // A file that exists, opened next: the opener of the missing one, had it been started
    // first, would have been seen by the time this one has run.
    QTemporaryDir folder;
    const QString next = folder.filePath(QStringLiteral("next.csv"));
    QFile file(next);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(OpenWithAssociatedApp(next));
    EXPECT_EQ(desktop.WaitForArguments(), QStringList{next});
    EXPECT_EQ(desktop.Openings(), 1);
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

TEST_F(RegistryValues, OneTrailingBackslashOfTheSectionIsIgnored) {
    {
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Ostrinel"),
                        CSettingsStore::ApplicationName());
        store.setValue(QStringLiteral("ODBC Data Sources/Left"), QStringLiteral("SQLite3"));
        store.setValue(QStringLiteral("DlgSize\\1000/WndSize"), QStringLiteral("520x380"));
    }
    QStringList names;
    QStringList data;
    EXPECT_TRUE(ReadRegistryValues(QStringLiteral("ODBC Data Sources\\"), names, data));
    EXPECT_EQ(names, QStringList{"Left"});
    EXPECT_EQ(data, QStringList{"SQLite3"});
    EXPECT_TRUE(ReadRegistryValues(QStringLiteral("DlgSize\\1000\\"), names, data));
    EXPECT_EQ(names, QStringList{"WndSize"});
    // Only one: a section cannot end with a separator, so this names none.
    EXPECT_FALSE(ReadRegistryValues(QStringLiteral("ODBC Data Sources\\\\"), names, data));
}

namespace {

// Sets an environment variable for one test and puts the old value back.
class CEnvironmentValue {
public:
    CEnvironmentValue(const char* name, const QString& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_saved(qgetenv(name)) {
        qputenv(name, QFile::encodeName(value));
    }
    ~CEnvironmentValue() {
        if (m_had)
            qputenv(m_name, m_saved);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_saved;
};

} // namespace

TEST(PersonalFolder, DocumentsFolderOnlyWhenItExistsElseHome) {
    QTemporaryDir home;
    const CEnvironmentValue homeValue("HOME", home.path());
    // No desktop folder settings: the documents folder is ~/Documents.
    const CEnvironmentValue configValue("XDG_CONFIG_HOME", home.filePath(QStringLiteral("none")));
    EXPECT_EQ(GetPersonalFolder(), home.path());
    ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("Documents")));
    EXPECT_EQ(GetPersonalFolder(), home.filePath(QStringLiteral("Documents")));
}

TEST(SaveDialogFolder, PathsOwnFolderWhenItExistsElseHomeNeverTheWorkingFolder) {
    QTemporaryDir home;
    const CEnvironmentValue homeValue("HOME", home.path());
    QTemporaryDir folder;
    EXPECT_EQ(SaveDialogFolder(folder.filePath(QStringLiteral("LEFT - RIGHT.csv"))), folder.path());
    EXPECT_EQ(SaveDialogFolder(folder.filePath(QStringLiteral("Missing/LEFT - RIGHT.csv"))),
              home.path());
    EXPECT_EQ(SaveDialogFolder(QStringLiteral("LEFT - RIGHT.csv")), home.path());
    EXPECT_EQ(SaveDialogFolder(QString()), home.path());
}

TEST(WindowRect, FieldsReadTheirLeadingDigits) {
    EXPECT_EQ(ParseWindowRect(QStringLiteral("10,20,730x,525")), QRect(10, 20, 720, 505));
    EXPECT_EQ(ParseWindowRect(QStringLiteral(" -40, +30 ,600px,400,extra")),
              QRect(-40, 30, 640, 370));
    EXPECT_EQ(LeadingInteger(u"abc"), 0);
    EXPECT_EQ(LeadingInteger(u"  -2147483648"), std::numeric_limits<int>::min());
    EXPECT_EQ(LeadingInteger(u"2147483647,"), std::numeric_limits<int>::max());
    EXPECT_EQ(LeadingInteger(u"00000000000000000000042"), 42);
}

TEST(WindowRect, OutOfRangeEmptyOrInvertedRectanglesAreUnusable) {
    for (const char* text : {
             "2147483648,0,700,500",
             "0,-2147483649,700,500",
             "0,0,99999999999999999999,500",
             "-9223372036854775808,0,10,10",
             "-2147483648,-2147483648,2147483647,2147483647", // wider than an int
             "100,100,100,400",
             "700,500,10,20",
             "10,20,30",
             "",
         })
        EXPECT_EQ(ParseWindowRect(QLatin1String(text)), std::nullopt) << text;
    // The widest rectangle an int can measure still is one.
    EXPECT_EQ(ParseWindowRect(QStringLiteral("-1073741824,0,1073741823,1")),
              QRect(-1073741824, 0, std::numeric_limits<int>::max(), 1));
}

class WindowRectStore : public PrivateSettings {};

TEST_F(WindowRectStore, HandWrittenRectangleWithoutQuotesReadsAsItsText) {
    QDir().mkpath(m_settingsFolder.filePath(QStringLiteral("Ostrinel")));
    QFile file(m_settingsFolder.filePath(QStringLiteral("Ostrinel/handwritten.conf")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[MainFrmSize]\nWndRect=10, 20, 730x, 525\n");
    file.close();
    const QString text = CSettingsStore(QStringLiteral("handwritten"))
                             .ReadText(QStringLiteral("MainFrmSize"), QStringLiteral("WndRect"));
    EXPECT_EQ(text, QStringLiteral("10,20,730x,525"));
    EXPECT_EQ(ParseWindowRect(text), QRect(10, 20, 720, 505));
}

namespace {
const QList<QRect> kScreens{QRect(0, 0, 1920, 1040), QRect(1920, 0, 1280, 1024)};
constexpr int kIntMin = std::numeric_limits<int>::min();
constexpr int kIntMax = std::numeric_limits<int>::max();
} // namespace

TEST(FitRectToAreas, WindowOffEveryScreenComesWholeOntoTheFirst) {
    EXPECT_EQ(FitRectToAreas(QRect(-30000, -30000, 700, 500), kScreens), QRect(0, 0, 700, 500));
    EXPECT_EQ(FitRectToAreas(QRect(90000, 400, 700, 700), kScreens), QRect(1220, 340, 700, 700));
    EXPECT_EQ(FitRectToAreas(QRect(-50, -50, 99999, 99999), kScreens), kScreens[0]);
}

TEST(FitRectToAreas, WindowGoesOntoTheScreenThatShowsMostOfIt) {
    const QRect inside(2000, 100, 700, 500);
    EXPECT_EQ(FitRectToAreas(inside, kScreens), inside);
    // 200 pixels wide on the second screen, 0 on the first.
    EXPECT_EQ(FitRectToAreas(QRect(3000, 100, 700, 500), kScreens), QRect(2500, 100, 700, 500));
    // Mostly on the first: pulled back from the edge it straddles.
    EXPECT_EQ(FitRectToAreas(QRect(1700, 900, 400, 300), kScreens), QRect(1520, 740, 400, 300));
    EXPECT_EQ(FitRectToAreas(inside, {}), inside);
    EXPECT_EQ(FitRectToAreas(inside, {QRect()}), inside);
}

TEST(FitRectToAreas, RectanglesSpanningEveryIntStayInRange) {
    const QRect everything(QPoint(kIntMin, kIntMin), QPoint(kIntMax, kIntMax));
    EXPECT_EQ(FitRectToAreas(everything, kScreens), kScreens[0]);
    const QRect window(5, 5, 10, 10);
    EXPECT_EQ(FitRectToAreas(window, {everything}), window);
    // As wide as an int can measure, from the area's corner.
    const QRect fitted = FitRectToAreas(everything, {everything});
    EXPECT_EQ(fitted.topLeft(), QPoint(kIntMin, kIntMin));
    EXPECT_EQ(fitted.size(), QSize(kIntMax, kIntMax));
}
