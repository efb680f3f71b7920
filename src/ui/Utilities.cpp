#include "ui/Utilities.h"

#include "shell/Language.h"
#include "shell/SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

constexpr int kDictionaryCodeText = 1601;
constexpr int kDictionaryNameText = 1701;

bool StartDetached(const QString& command, const QString& path) {
    QStringList arguments = OpenCommandArguments(command, path);
    if (arguments.isEmpty())
        return false;
    const QString program = arguments.takeFirst();
    return QProcess::startDetached(program, arguments);
}

} // namespace

QString ReplaceSidePlaceholders(const QString& text, const QString& leftName,
                                const QString& rightName) {
    QString replaced = text;
    replaced.replace(QStringLiteral("%LDB%"), leftName);
    replaced.replace(QStringLiteral("%RDB%"), rightName);
    return replaced;
}

QString GetProductVersion() {
    return QStringLiteral(QUORVIX_VERSION);
}

QString GetPersonalFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty())
        return documents;
    return QDir::homePath();
}

QString GetShellOpenCommand(const QString& extension) {
    // On this desktop every extension opens through xdg-open, found on the PATH when it runs.
    Q_UNUSED(extension);
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        return {};
    return OpenCommandFromAssociation(QStringLiteral("xdg-open \"%1\""));
}

QStringList OpenCommandArguments(const QString& command, const QString& path) {
    // The command is split into its words first, so that a path holding quotes or blanks reaches
    // the program as one argument.
    QStringList arguments = QProcess::splitCommand(command);
    if (arguments.isEmpty())
        return {};
    bool placed = false;
    for (QString& argument : arguments) {
        if (argument.contains(QStringLiteral("%1"))) {
            argument.replace(QStringLiteral("%1"), path);
            placed = true;
        }
    }
    if (!placed)
        arguments.append(path);
    return arguments;
}

QString OpenCommandFromAssociation(const QString& association) {
    const qsizetype slash = association.indexOf(QLatin1Char('/'));
    return slash < 0 ? association : association.left(slash);
}

bool OpenWithAssociatedApp(const QString& path) {
    const QFileInfo file(path);
    if (!file.exists() || !file.isFile())
        return false;
    const QString command =
        GetShellOpenCommand(file.suffix().isEmpty() ? QString() : QLatin1Char('.') + file.suffix());
    if (command.isEmpty())
        return false;
    return StartDetached(command, path);
}

bool OpenAddress(const QString& address) {
    if (address.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        return false;
    return QProcess::startDetached(QStringLiteral("xdg-open"), {address});
}

QString GetDictionaryValueCaption(int value, bool withCode, bool withName) {
    const QString code = LoadLocalizedString(kDictionaryCodeText + value);
    const QString name = LoadLocalizedString(kDictionaryNameText + value);
    if (name.isEmpty())
        return code;
    if (withCode && withName)
        return code + QStringLiteral(" (") + name + QLatin1Char(')');
    return withName ? name : code;
}

bool ReadRegistryValues(const QString& section, QStringList& names, QStringList& data) {
    names.clear();
    data.clear();
    const CSettingsStore store;
    if (!store.HasSection(section))
        return false;
    for (const QString& name : store.ValueNames(section)) {
        if (name.isEmpty())
            continue;
        names.append(name);
        data.append(store.ReadText(section, name));
    }
    return true;
}
