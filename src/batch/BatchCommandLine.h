#pragma once

#include "model/ExportEncoding.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

// What a command line of the batch tool asks for, as parsed, before anything is opened.
struct CBatchOptions {
    enum class Command {
        None,
        Tables,
        Columns,
        Dictionary,
        Structure,
        ListSources,
        ListOwners,
        Snapshot
    };

    Command command = Command::None;
    QString table;      // columns, structure
    QString dataSource; // list-owners
    QString left;       // also the snapshot command's --source
    QString right;
    // A side read from a snapshot file instead of a data source.
    QString leftSnapshot;
    QString rightSnapshot;
    std::optional<QString> leftOwner; // also the snapshot command's --owner
    std::optional<QString> rightOwner;
    int structureSide = -1; // 0 left, 1 right
    // Bit changes in the order given: the bit and whether it is set.
    std::vector<std::pair<int, bool>> bitChanges;
    std::optional<quint32> params;
    bool useSettings = false;
    QString language; // "fr", "en", or empty for the regional settings
    std::optional<QString> leftName;
    std::optional<QString> rightName;
    QString output;                         // empty (or "-" given): standard output
    std::optional<ExportEncoding> encoding; // none: the stored or built-in one
    bool html = false;                      // an HTML report instead of the CSV layout
    bool quiet = false;
    bool help = false;
    bool version = false;
};

// Reads the batch tool's arguments (the program name excluded). Options may come before or after
// the command's own arguments and take their value as the next argument or after "=".
class CBatchCommandLine {
public:
    // False with the reason, in the chosen language, when the arguments cannot be used.
    static bool Parse(const QStringList& arguments, CBatchOptions& options, QString& error);
    // The value of --lang, looked for before parsing so that its messages speak that language;
    // empty when there is none or it is not "fr" or "en".
    static QString LanguageArgument(const QStringList& arguments);
};
