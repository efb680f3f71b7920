#pragma once

#include <QSettings>
#include <QString>

#include <optional>

// The user's settings store: organisation "Ostrinel", application = the executable's base name,
// one section per group. The only place that touches QSettings; tests redirect it with
// QSettings::setPath.
class CSettingsStore {
public:
    CSettingsStore();
    explicit CSettingsStore(const QString& applicationName);

    static QString ApplicationName();

    // The value as a whole number; empty when it is absent or is not a number.
    std::optional<qint64> ReadInteger(const QString& section, const QString& valueName) const;
    QString ReadText(const QString& section, const QString& valueName,
                     const QString& defaultText = {}) const;

    void WriteInteger(const QString& section, const QString& valueName, qint64 value);
    void WriteText(const QString& section, const QString& valueName, const QString& text);

    // Writes pending changes to disk; false when the store cannot be written.
    bool Flush();

private:
    static QString Key(const QString& section, const QString& valueName);

    QSettings m_settings;
};
