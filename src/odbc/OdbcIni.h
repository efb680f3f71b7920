#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The driver manager's lists of data sources (odbc.ini, the user's and the machine's) as its
// installer functions read and write them, and how names and values are kept in them.
class COdbcIni {
public:
    // The installer's functions work on the user's or the machine's list as the configuration
    // mode says; it is set for one operation and put back to both lists, which the rest of the
    // program (listing, connecting) expects.
    class ConfigMode {
    public:
        explicit ConfigMode(bool system);
        ~ConfigMode();
        ConfigMode(const ConfigMode&) = delete;
        ConfigMode& operator=(const ConfigMode&) = delete;
    };

    static const char FileName[];

    // The installer's own messages for its last failure, in the program's words.
    static QString InstallerError();
    // The driver manager looks a data source up by its name one byte per character, as its wide
    // functions pass it on; names are ASCII, and older Latin-1 ones are still found.
    static QByteArray NameBytes(const QString& name);
    // Values are stored as UTF-8, which the drivers hand to the system as they are (file paths).
    static QByteArray ValueBytes(const QString& value);
    // Earlier versions stored values one byte per character: such a value is shown as it was
    // meant.
    static QString TextOf(const QByteArray& bytes);
    // An entry of a list (key given) or the names of its sections or keys, each ended by a zero.
    static QByteArray ProfileBytes(const char* section, const char* key, const char* fallback,
                                   const char* file);
    static QList<QByteArray> Names(const QByteArray& list);
};
