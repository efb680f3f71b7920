#include "services/Language.h"

#include "services/ResourceTable.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>

#include <atomic>
#include <clocale>
#include <cstring>
#include <memory>

#include <langinfo.h>

namespace {

std::atomic<bool> g_frenchChosen{false};

// The translator of Qt's own texts is a child of the application, found again by this name.
const QString kToolkitTranslator = QStringLiteral("quorvixToolkitTranslator");

QString PosixLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty())
            return value;
    }
    return {};
}

QString FrenchLanguageCode(QLocale::Territory territory) {
    switch (territory) {
    case QLocale::Belgium:
        return QStringLiteral("FRB");
    case QLocale::Canada:
        return QStringLiteral("FRC");
    case QLocale::Switzerland:
        return QStringLiteral("FRS");
    case QLocale::Luxembourg:
        return QStringLiteral("FRL");
    case QLocale::Monaco:
        return QStringLiteral("FRM");
    default:
        return QStringLiteral("FRA");
    }
}

} // namespace

QString GetUserLocaleCodes(QString& country) {
    QString languageCode = QStringLiteral("ENG");
    country.clear();

    // "fr_BE.UTF-8@euro": only the language and territory matter.
    QString name = PosixLocaleName();
    const qsizetype cut = name.indexOf(QRegularExpression(QStringLiteral("[.@]")));
    if (cut >= 0)
        name.truncate(cut);
    if (name.isEmpty() || name == QLatin1String("C") || name == QLatin1String("POSIX"))
        return languageCode;

    const QLocale locale(name);
    const QLocale::Language language = locale.language();
    if (language == QLocale::C || language == QLocale::AnyLanguage)
        return languageCode;

    const QLocale::Territory territory = locale.territory();
    if (language == QLocale::French) {
        languageCode = FrenchLanguageCode(territory);
    } else if (language == QLocale::English) {
        languageCode =
            territory == QLocale::UnitedStates ? QStringLiteral("ENU") : QStringLiteral("ENG");
    } else {
        QString code = QLocale::languageToCode(language, QLocale::ISO639Part2T);
        if (code.isEmpty())
            code = QLocale::languageToCode(language, QLocale::ISO639Part3);
        if (!code.isEmpty())
            languageCode = code.toUpper();
    }
    if (territory != QLocale::AnyTerritory)
        country = QLocale::territoryToString(territory);
    return languageCode;
}

bool IsFrenchLanguage(const QString& languageCode, const QString& country) {
    for (const char* french : {"FRB", "FRC", "FRA", "FRL", "FRM", "FRS"}) {
        if (languageCode == QLatin1String(french))
            return true;
    }
    return country.compare(QLatin1String("France"), Qt::CaseInsensitive) == 0;
}

void ChooseLanguage(const QString& languageCode, const QString& country) {
    g_frenchChosen = IsFrenchLanguage(languageCode, country);
}

bool IsFrenchChosen() {
    return g_frenchChosen;
}

bool InstallToolkitTranslation() {
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return false;
    // Deleting a translator also removes it from the application.
    delete application->findChild<QTranslator*>(kToolkitTranslator, Qt::FindDirectChildrenOnly);
    if (!IsFrenchChosen())
        return true;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    translator->setObjectName(kToolkitTranslator);
    translator->setParent(application);
    return QCoreApplication::installTranslator(translator.release());
}

int MapResourceId(int frenchId) {
    return IsFrenchChosen() ? frenchId : frenchId + 1000;
}

void LoadLocalizedString(QString& target, int frenchId) {
    const CResourceTable& table = CResourceTable::Instance();
    const int mappedId = MapResourceId(frenchId);
    target = table.String(mappedId);
    if (target.isEmpty() && mappedId != frenchId)
        target = table.String(frenchId);
}

QString LoadLocalizedString(int frenchId) {
    QString text;
    LoadLocalizedString(text, frenchId);
    return text;
}

void UseUtf8CharacterType() {
    const char* codeset = ::nl_langinfo(CODESET);
    if (codeset && std::strcmp(codeset, "UTF-8") == 0)
        return;
    std::setlocale(LC_CTYPE, "C.UTF-8");
}
