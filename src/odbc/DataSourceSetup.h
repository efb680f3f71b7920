#pragma once

#include "odbc/DataSourceDefinition.h"

#include <QString>
#include <QStringList>

// Adds, reads, changes and removes data sources through unixODBC's installer functions, never
// by writing its files; and tries a definition with a read-only connection made as a side
// makes its own. Every operation that fails says why in the chosen language.
//
// The installer checks nothing and rewrites a whole file for each entry, reporting success even
// when the disk is full. So a change refuses what the file cannot keep as given (Check), copies
// each file it touches beside itself (file.quorvix-backup) before writing, reads the whole file
// back after, and on any failure or difference renames the copy back over it. Values are stored
// as UTF-8; names are ASCII.
class CDataSourceSetup {
public:
    using DriverKind = CDataSourceDefinition::DriverKind;

    // The drivers the driver manager knows (odbcinst.ini), by name, in the order UnicodeFirst
    // gives.
    static QStringList InstalledDrivers();
    // The drivers in their order, except that a driver's Unicode variant ("PostgreSQL Unicode")
    // comes just before its ANSI one ("PostgreSQL ANSI") when both are there: the ANSI variants
    // cannot carry names beyond the client's code page.
    static QStringList UnicodeFirst(const QStringList& drivers);
    // The attributes offered as labelled fields for a kind of driver; none for other drivers,
    // which are given as key = value lines.
    static QStringList FieldsOf(DriverKind kind);
    // What the driver takes for an attribute left empty, where it is worth showing (the server's
    // port); empty otherwise.
    static QString DefaultValue(DriverKind kind, const QString& key);
    static bool IsPasswordKey(const QString& key);

    // Why definition cannot be written in place of the data source previousName of the list
    // previousSystem (an empty name for a new one), or read back whole; empty when it can.
    static QString Check(const CDataSourceDefinition& definition, const QString& previousName,
                         bool previousSystem);
    // Checks, then writes the definition in place of previousName's, which may have another
    // name or be in the other list. Nothing is written when the check fails or a file cannot
    // be copied; a write that fails half-way, or does not read back as written, leaves each
    // file as it was.
    static bool Write(const CDataSourceDefinition& definition, const QString& previousName,
                      bool previousSystem, QString& error);
    // With the same copy, reading back and putting back as Write.
    static bool Remove(const QString& name, bool system, QString& error);
    // Whether the machine's list may be written by this user.
    static bool CanWriteSystemSources();

    // Opens a read-only connection on the definition as it stands, written or not, and closes
    // it; message says what the driver answered.
    static bool Test(const CDataSourceDefinition& definition, QString& message);

    // "key = value" lines, as the dialog shows the attributes of other drivers, and back; false
    // with the line that is not of that form.
    static QString AttributeLines(const CDataSourceDefinition& definition);
    static bool ParseAttributeLines(const QString& lines, CDataSourceDefinition& definition,
                                    QString& error);
};
