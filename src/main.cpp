#include "dialogs/ParamWord.h"
#include "shell/Language.h"
#include "shell/SettingsStore.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);

    QString country;
    const QString languageCode = GetUserLocaleCodes(country);
    ChooseLanguage(languageCode, country);

    CSettingsStore store;
    CParamWord params;
    params.Load(store);

    QMainWindow mainWindow;
    mainWindow.setWindowTitle(LoadLocalizedString(128));
    mainWindow.resize(680, 505);
    mainWindow.show();
    const int exitCode = application.exec();

    params.Save(store);
    return exitCode;
}
