#include "services/Language.h"
#include "services/ResourceTable.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace {

// Sets the locale variables for one test and puts the previous ones back afterwards.
class LocaleEnvironment : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : kVariables)
            m_saved.push_back({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        for (const char* name : kVariables)
            qunsetenv(name);
    }
    void TearDown() override {
        for (const Saved& saved : m_saved) {
            if (saved.wasSet)
                qputenv(saved.name, saved.value);
            else
                qunsetenv(saved.name);
        }
        ChooseLanguage(QStringLiteral("ENG"), {});
    }

    static QString Codes(QString& country) { return GetUserLocaleCodes(country); }

private:
    static constexpr const char* kVariables[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    struct Saved {
        const char* name;
        QByteArray value;
        bool wasSet;
    };
    std::vector<Saved> m_saved;
};

} // namespace

TEST_F(LocaleEnvironment, FrenchTerritoriesGiveTheirLanguageCodes) {
    const struct {
        const char* locale;
        const char* code;
        const char* country;
    } cases[] = {
        {"fr_FR.UTF-8", "FRA", "France"},     {"fr_BE.UTF-8@euro", "FRB", "Belgium"},
        {"fr_CA", "FRC", "Canada"},           {"fr_CH.UTF-8", "FRS", "Switzerland"},
        {"fr_LU.UTF-8", "FRL", "Luxembourg"}, {"fr_MC", "FRM", "Monaco"},
        {"fr_SN.UTF-8", "FRA", "Senegal"},
    };
    for (const auto& c : cases) {
        qputenv("LANG", c.locale);
        QString country;
        EXPECT_EQ(Codes(country), QLatin1String(c.code)) << c.locale;
        EXPECT_EQ(country, QLatin1String(c.country)) << c.locale;
    }
}

TEST_F(LocaleEnvironment, OtherLanguagesGiveTheirThreeLetterCode) {
    QString country;
    qputenv("LANG", "en_US.UTF-8");
    EXPECT_EQ(Codes(country), QStringLiteral("ENU"));
    EXPECT_EQ(country, QStringLiteral("United States"));
    qputenv("LANG", "en_GB.UTF-8");
    EXPECT_EQ(Codes(country), QStringLiteral("ENG"));
    qputenv("LANG", "de_DE.UTF-8");
    EXPECT_EQ(Codes(country), QStringLiteral("DEU"));
    EXPECT_EQ(country, QStringLiteral("Germany"));
}

TEST_F(LocaleEnvironment, NoLocaleOrTheCLocaleKeepsTheDefaults) {
    QString country = QStringLiteral("stale");
    EXPECT_EQ(Codes(country), QStringLiteral("ENG"));
    EXPECT_TRUE(country.isEmpty());
    for (const char* locale : {"C", "POSIX", "C.UTF-8"}) {
        qputenv("LANG", locale);
        EXPECT_EQ(Codes(country), QStringLiteral("ENG")) << locale;
        EXPECT_TRUE(country.isEmpty()) << locale;
    }
}

TEST_F(LocaleEnvironment, LcAllOverridesLcMessagesWhichOverridesLang) {
    QString country;
    qputenv("LANG", "en_US.UTF-8");
    qputenv("LC_MESSAGES", "fr_BE.UTF-8");
    EXPECT_EQ(Codes(country), QStringLiteral("FRB"));
    qputenv("LC_ALL", "de_DE.UTF-8");
    EXPECT_EQ(Codes(country), QStringLiteral("DEU"));
}

TEST(LanguageRule, FrenchCodesOrTheCountryFranceChooseFrench) {
    EXPECT_TRUE(IsFrenchLanguage(QStringLiteral("FRB"), QStringLiteral("Belgium")));
    EXPECT_TRUE(IsFrenchLanguage(QStringLiteral("FRS"), {}));
    EXPECT_TRUE(IsFrenchLanguage(QStringLiteral("ENU"), QStringLiteral("France")));
    EXPECT_TRUE(IsFrenchLanguage(QStringLiteral("ENG"), QStringLiteral("FRANCE")));
    // The codes are compared case-sensitively, the country is not.
    EXPECT_FALSE(IsFrenchLanguage(QStringLiteral("fra"), QStringLiteral("Canada")));
    EXPECT_FALSE(IsFrenchLanguage(QStringLiteral("ENG"), {}));
    EXPECT_FALSE(IsFrenchLanguage(QStringLiteral("FR"), QStringLiteral("Belgium")));
}

TEST_F(LocaleEnvironment, ChosenLanguageMapsResourceNumbers) {
    ChooseLanguage(QStringLiteral("FRA"), QStringLiteral("France"));
    EXPECT_TRUE(IsFrenchChosen());
    EXPECT_EQ(MapResourceId(1201), 1201);
    EXPECT_EQ(MapResourceId(1001), 1001);
    ChooseLanguage(QStringLiteral("ENG"), {});
    EXPECT_FALSE(IsFrenchChosen());
    EXPECT_EQ(MapResourceId(1201), 2201);
    EXPECT_EQ(MapResourceId(1001), 2001);
}

TEST_F(LocaleEnvironment, LoadLocalizedStringFallsBackToFrench) {
    ChooseLanguage(QStringLiteral("ENG"), {});
    EXPECT_EQ(LoadLocalizedString(1601), QStringLiteral("DTAT"));
    EXPECT_EQ(LoadLocalizedString(1605), QStringLiteral("CDEC"));
    EXPECT_EQ(LoadLocalizedString(128), QStringLiteral("OSTRINEL Quorvix"));
    EXPECT_EQ(LoadLocalizedString(1160), QStringLiteral("Ascending"));
    EXPECT_EQ(LoadLocalizedString(1999), QString());

    ChooseLanguage(QStringLiteral("FRB"), {});
    EXPECT_EQ(LoadLocalizedString(1160), QStringLiteral("Croissant"));
    EXPECT_EQ(LoadLocalizedString(1161), QStringLiteral("D\u00E9croissant"));
    EXPECT_EQ(LoadLocalizedString(128), QStringLiteral("OSTRINEL Quorvix"));

    QString target = QStringLiteral("stale");
    LoadLocalizedString(target, 1998);
    EXPECT_TRUE(target.isEmpty());
}

TEST(StringTable, EveryFrenchTextHasItsEnglishFormExceptTheSharedOnes) {
    const CResourceTable& table = CResourceTable::Instance();
    int frenchTexts = 0;
    for (int id = 1000; id < 2000; ++id) {
        if (table.String(id).isEmpty())
            continue;
        ++frenchTexts;
        const bool shared = id >= 1601 && id <= 1605;
        EXPECT_EQ(table.String(id + 1000).isEmpty(), shared) << id;
    }
    // The table is read at all: the whole program speaks through it.
    EXPECT_GT(frenchTexts, 80);
    EXPECT_TRUE(table.String(2128).isEmpty());
}

TEST(StringTable, CountTextsKeepTheirPlaceholders) {
    const CResourceTable& table = CResourceTable::Instance();
    for (const int first : {1200, 1300, 1400, 2200, 2300, 2400}) {
        EXPECT_TRUE(table.String(first).startsWith(QStringLiteral("%d "))) << first;
        EXPECT_TRUE(table.String(first + 1).endsWith(QStringLiteral(" %s"))) << first;
        EXPECT_TRUE(table.String(first + 2).endsWith(QStringLiteral(" %s"))) << first;
    }
    EXPECT_EQ(table.String(2900),
              QStringLiteral("Unable to write in file '%s'.\nPlease close all applications using "
                             "it and start again."));
    EXPECT_EQ(table.String(1501), QStringLiteral("uniquement dans %LDB%"));
    EXPECT_EQ(table.String(2502), QStringLiteral("only in %RDB%"));
}

// Two texts under one number would leave one of them unreachable, silently: the table is read
// by a parser that keeps the last.
TEST(StringTable, NoNumberIsGivenTwice) {
    QFile file(QStringLiteral(QUORVIX_SOURCE_DIR "/src/resources/strings.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    static const QRegularExpression kKey(QStringLiteral("^\\s*\"(\\d+)\"\\s*:"),
                                         QRegularExpression::MultilineOption);
    QSet<QString> seen;
    for (auto match = kKey.globalMatch(text); match.hasNext();) {
        const QString number = match.next().captured(1);
        EXPECT_FALSE(seen.contains(number)) << number.toStdString();
        seen.insert(number);
    }
    EXPECT_GT(seen.size(), 100);
}
