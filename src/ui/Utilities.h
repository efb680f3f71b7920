#pragma once

#include <QString>
#include <QStringList>

// Shared helpers of the user interface and the export that need no widgets. None keeps state;
// each turns failure into an empty or false result.

// Replaces every "%LDB%" with the left side's display name and every "%RDB%" with the right one's.
QString ReplaceSidePlaceholders(const QString& text, const QString& leftName,
                                const QString& rightName);

// The program's version, as its build gave it.
QString GetProductVersion();

// The user's documents folder, else the home folder, else empty.
QString GetPersonalFolder();

// The command that opens files of the extension (with its point): the desktop's "open" command
// with "%1" where the file goes, or empty when the desktop has none.
QString GetShellOpenCommand(const QString& extension);
// The part of an association's command that is kept: the text before its first "/" switch.
QString OpenCommandFromAssociation(const QString& association);
// The program and arguments that open path: the command's words with every "%1" replaced by
// path, or else path added as one more argument (the command line's path in quotation marks).
QStringList OpenCommandArguments(const QString& command, const QString& path);

// Opens an existing file in the application the desktop associates with its extension; true when
// a process was started. The process is not waited for.
bool OpenWithAssociatedApp(const QString& path);
// Opens an address (a web link) with the desktop's "open" command; true when it started.
bool OpenAddress(const QString& address);

// "DTAT (Data Item Type)", "DTAT" or "Data Item Type" for value k (0-4) of the data dictionary.
QString GetDictionaryValueCaption(int value, bool withCode, bool withName);

// Every value of a settings-store section with its data; false when the section is missing.
bool ReadRegistryValues(const QString& section, QStringList& names, QStringList& data);
