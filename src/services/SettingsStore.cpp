#include "services/SettingsStore.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {
const QString kOrganisation = QStringLiteral("Ostrinel");
}

CSettingsStore::CSettingsStore() : CSettingsStore(ApplicationName()) {}

CSettingsStore::CSettingsStore(const QString& applicationName)
    : m_settings(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, applicationName) {}

QString CSettingsStore::ApplicationName() {
    const QString path = QCoreApplication::instance()
                             ? QCoreApplication::applicationFilePath()
                             : QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    const QString name = QFileInfo(path).completeBaseName();
    return name.isEmpty() ? QStringLiteral("quorvix") : name;
}

QString CSettingsStore::Key(const QString& section, const QString& valueName) {
    return section + QLatin1Char('/') + valueName;
}

std::optional<qint64> CSettingsStore::ReadInteger(const QString& section,
                                                  const QString& valueName) const {
    const QVariant value = m_settings.value(Key(section, valueName));
    if (!value.isValid())
        return std::nullopt;
    bool isNumber = false;
    const qint64 number = value.toString().trimmed().toLongLong(&isNumber);
    if (!isNumber)
        return std::nullopt;
    return number;
}

QString CSettingsStore::ReadText(const QString& section, const QString& valueName,
                                 const QString& defaultText) const {
    const QVariant value = m_settings.value(Key(section, valueName));
    if (!value.isValid())
        return defaultText;
    // A hand-edited value with commas and no quotes ("WndRect=10,20,700,500") comes back from
    // the INI reader as a list: it is still the text that was written.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

void CSettingsStore::WriteInteger(const QString& section, const QString& valueName, qint64 value) {
    m_settings.setValue(Key(section, valueName), value);
}

void CSettingsStore::WriteText(const QString& section, const QString& valueName,
                               const QString& text) {
    m_settings.setValue(Key(section, valueName), text);
}

bool CSettingsStore::Flush() {
    m_settings.sync();
    return m_settings.status() == QSettings::NoError;
}

bool CSettingsStore::HasSection(const QString& section) const {
    m_settings.beginGroup(section);
    const bool exists = !m_settings.childKeys().isEmpty() || !m_settings.childGroups().isEmpty();
    m_settings.endGroup();
    return exists;
}

QStringList CSettingsStore::ValueNames(const QString& section) const {
    m_settings.beginGroup(section);
    const QStringList names = m_settings.childKeys();
    m_settings.endGroup();
    return names;
}
