#pragma once

#include <QList>
#include <QRect>
#include <QString>

#include <QStringList>
#include <QStringView>
#include <functional>

#include <optional>

// Shared helpers of the user interface and the export that need no widgets. None keeps state;
// each turns failure into an empty or false result.

// Replaces every "%LDB%" with the left side's display name and every "%RDB%" with the right one's.
QString ReplaceSidePlaceholders(const QString& text, const QString& leftName,
                                const QString& rightName);

// The text of the parameters dialog's check box for a bit of the parameter word, filled as the
// dialog shows it: "%LDB%", or else "%RDB%", by a side's name, "%COL%" by the value a bit
// compares. One substitution only, so that a side's name is never searched for the other's.
QString FillParameterText(const QString& text, int bit, const QString& leftName,
                          const QString& rightName);

// The program's version, as its build gave it.
QString GetProductVersion();

// The user's documents folder when it exists, else the home folder, else empty.
QString GetPersonalFolder();
// The folder a save dialog for path opens in: the path's own folder when the path is absolute
// and its folder exists, else the home folder; never the working folder.
QString SaveDialogFolder(const QString& path);

// The command that opens files of the extension (with its point): the desktop's "open" command
// with "%1" where the file goes, or empty when the desktop has none.
QString GetShellOpenCommand(const QString& extension);
// The part of an association's command that is kept: the text before its first "/" switch.
QString OpenCommandFromAssociation(const QString& association);
// The program and arguments that open path: the command's words with every "%1" replaced by
// path, or else path added as one more argument (the command line's path in quotation marks).
QStringList OpenCommandArguments(const QString& command, const QString& path);

// The folder of the program's temporary files: $TMP when it names a folder, else /tmp, else the
// current folder.
QString TemporaryFolder();

// Writes size bytes at position of an open file, again after an interrupted or partial write;
// false on the first write that fails (errno tells why).
bool WriteFullyAt(int descriptor, const char* data, qint64 size, qint64 position);

// Opens an existing file in the application the desktop associates with its extension; true when
// a process was started. The application is never waited for; when failed is given, it is
// called later (on this thread's event loop) with the open command's exit status should that
// command end in failure within a few seconds, as it does when no program opens the file.
bool OpenWithAssociatedApp(const QString& path, std::function<void(int status)> failed = {});
// Opens an address (a web link) with the desktop's "open" command; true when it started.
bool OpenAddress(const QString& address);

// "DTAT (Data Item Type)", "DTAT" or "Data Item Type" for value k (0-4) of the data dictionary.
QString GetDictionaryValueCaption(int value, bool withCode, bool withName);

// Every value of a settings-store section with its data; false when the section is missing.
// One trailing backslash, the separator of a section's parts ("DlgSize\1000"), is ignored.
bool ReadRegistryValues(const QString& section, QStringList& names, QStringList& data);

// The whole number a text starts with, read leniently (blanks, an optional sign, then digits:
// "730x" reads 730, a text without digits 0); empty when the number does not fit 32 bits.
std::optional<int> LeadingInteger(QStringView text);

// A window's normal rectangle kept as "left,top,right,bottom"; empty (no usable placement) when
// a field is missing or out of range, or when the rectangle is empty or inverted.
std::optional<QRect> ParseWindowRect(const QString& text);

// The rectangle moved onto the area that shows most of it (the first area when none shows any),
// shrunk first where it is larger; unchanged without a usable area. The areas are the screens'.
QRect FitRectToAreas(const QRect& rectangle, const QList<QRect>& areas);
