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

    bool HasSection(const QString& section) const;
    // The names of the values of a section, in the store's order.
    QStringList ValueNames(const QString& section) const;

    // Writes pending changes to disk; false when the store cannot be written.
    bool Flush();

private:
    static QString Key(const QString& section, const QString& valueName);

    mutable QSettings m_settings; // groups are entered and left to read a section
};
