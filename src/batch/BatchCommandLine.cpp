#include "batch/BatchCommandLine.h"

#include "model/ParamWord.h"
#include "services/Language.h"

namespace {

constexpr int kUnknownCommandText = 1983;
constexpr int kUnknownOptionText = 1984;
constexpr int kMissingValueText = 1985;
constexpr int kInvalidValueText = 1986;
constexpr int kMissingArgumentText = 1987;
constexpr int kUnexpectedArgumentText = 1988;

using Command = CBatchOptions::Command;

const QStringList kValueOptions{
    QStringLiteral("--left"),
    QStringLiteral("--right"),
    QStringLiteral("--left-owner"),
    QStringLiteral("--right-owner"),
    QStringLiteral("--set"),
    QStringLiteral("--clear"),
    QStringLiteral("--params"),
    QStringLiteral("--lang"),
    QStringLiteral("--left-name"),
    QStringLiteral("--right-name"),
    QStringLiteral("-o"),
    QStringLiteral("--output"),
    QStringLiteral("--side"),
    QStringLiteral("--encoding"),
    QStringLiteral("--format"),
    QStringLiteral("--left-snapshot"),
    QStringLiteral("--right-snapshot"),
    QStringLiteral("--source"),
    QStringLiteral("--owner"),
};

std::optional<Command> CommandNamed(const QString& name) {
    static const std::pair<const char*, Command> kCommands[] = {
        {"tables", Command::Tables},
        {"columns", Command::Columns},
        {"dictionary", Command::Dictionary},
        {"structure", Command::Structure},
        {"list-sources", Command::ListSources},
        {"list-owners", Command::ListOwners},
        {"snapshot", Command::Snapshot},
    };
    for (const auto& [text, command] : kCommands) {
        if (name == QLatin1String(text))
            return command;
    }
    return std::nullopt;
}

bool Invalid(const QString& option, const QString& value, QString& error) {
    error = LoadLocalizedString(kInvalidValueText).arg(option, value);
    return false;
}

bool ApplyOption(const QString& option, const QString& value, CBatchOptions& options,
                 QString& error) {
    if (option == QLatin1String("--left") || option == QLatin1String("--source")) {
        options.left = value;
    } else if (option == QLatin1String("--right")) {
        options.right = value;
    } else if (option == QLatin1String("--left-snapshot") ||
               option == QLatin1String("--right-snapshot")) {
        if (value.isEmpty())
            return Invalid(option, value, error);
        (option == QLatin1String("--left-snapshot") ? options.leftSnapshot
                                                    : options.rightSnapshot) = value;
    } else if (option == QLatin1String("--left-owner") || option == QLatin1String("--owner")) {
        options.leftOwner = value;
    } else if (option == QLatin1String("--right-owner")) {
        options.rightOwner = value;
    } else if (option == QLatin1String("--set") || option == QLatin1String("--clear")) {
        bool isNumber = false;
        const int bit = value.toInt(&isNumber);
        if (!isNumber || bit < 0 || bit > CParamWord::MaxIndex)
            return Invalid(option, value, error);
        options.bitChanges.emplace_back(bit, option == QLatin1String("--set"));
    } else if (option == QLatin1String("--params")) {
        QString digits = value;
        if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
            digits = digits.mid(2);
        bool isNumber = false;
        const qulonglong word = digits.toULongLong(&isNumber, 16);
        if (!isNumber || digits.isEmpty() || word > 0xFFFFFFFFull)
            return Invalid(option, value, error);
        options.params = quint32(word);
    } else if (option == QLatin1String("--lang")) {
        if (value != QLatin1String("fr") && value != QLatin1String("en"))
            return Invalid(option, value, error);
        options.language = value;
    } else if (option == QLatin1String("--left-name")) {
        options.leftName = value;
    } else if (option == QLatin1String("--right-name")) {
        options.rightName = value;
    } else if (option == QLatin1String("-o") || option == QLatin1String("--output")) {
        if (value.isEmpty())
            return Invalid(option, value, error);
        options.output = value == QLatin1String("-") ? QString() : value;
    } else if (option == QLatin1String("--encoding")) {
        options.encoding = ExportEncodingFromWord(value);
        if (!options.encoding)
            return Invalid(option, value, error);
    } else if (option == QLatin1String("--format")) {
        if (value != QLatin1String("csv") && value != QLatin1String("html"))
            return Invalid(option, value, error);
        options.html = value == QLatin1String("html");
    } else if (option == QLatin1String("--side")) {
        if (value != QLatin1String("left") && value != QLatin1String("right"))
            return Invalid(option, value, error);
        options.structureSide = value == QLatin1String("left") ? 0 : 1;
    }
    return true;
}

bool ApplyFlag(const QString& option, CBatchOptions& options) {
    if (option == QLatin1String("--use-settings"))
        options.useSettings = true;
    else if (option == QLatin1String("--quiet") || option == QLatin1String("-q"))
        options.quiet = true;
    else if (option == QLatin1String("--help") || option == QLatin1String("-h"))
        options.help = true;
    else if (option == QLatin1String("--version"))
        options.version = true;
    else
        return false;
    return true;
}

bool Missing(const QString& what, QString& error) {
    error = LoadLocalizedString(kMissingArgumentText).arg(what);
    return false;
}

// A side is a data source or a snapshot file, never both.
bool CheckSide(const CBatchOptions& options, int side, QString& error) {
    const QString& dataSource = side == 0 ? options.left : options.right;
    const QString& snapshot = side == 0 ? options.leftSnapshot : options.rightSnapshot;
    const QString name = side == 0 ? QStringLiteral("--left") : QStringLiteral("--right");
    if (dataSource.isEmpty() && snapshot.isEmpty())
        return Missing(name + QStringLiteral(" DSN | ") + name + QStringLiteral("-snapshot FILE"),
                       error);
    if (!dataSource.isEmpty() && !snapshot.isEmpty()) {
        error =
            LoadLocalizedString(kUnexpectedArgumentText).arg(name + QStringLiteral("-snapshot"));
        return false;
    }
    return true;
}

// What each command needs besides its options.
bool CheckComplete(const CBatchOptions& options, QString& error) {
    switch (options.command) {
    case Command::Tables:
    case Command::Columns:
    case Command::Dictionary:
        return CheckSide(options, 0, error) && CheckSide(options, 1, error);
    case Command::Structure:
        if (options.structureSide < 0)
            return Missing(QStringLiteral("--side left|right"), error);
        return CheckSide(options, options.structureSide, error);
    case Command::Snapshot:
        if (options.left.isEmpty())
            return Missing(QStringLiteral("--source DSN"), error);
        // A snapshot is a binary file: it is never poured onto a terminal by default.
        if (options.output.isEmpty())
            return Missing(QStringLiteral("-o FILE"), error);
        return true;
    case Command::None:
        return Missing(QStringLiteral("COMMAND"), error);
    case Command::ListSources:
    case Command::ListOwners:
        return true;
    }
    return true;
}

} // namespace

QString CBatchCommandLine::LanguageArgument(const QStringList& arguments) {
    for (int index = 0; index < arguments.size(); ++index) {
        QString value;
        if (arguments[index] == QLatin1String("--lang") && index + 1 < arguments.size())
            value = arguments[index + 1];
        else if (arguments[index].startsWith(QLatin1String("--lang=")))
            value = arguments[index].mid(7);
        if (value == QLatin1String("fr") || value == QLatin1String("en"))
            return value;
    }
    return {};
}

bool CBatchCommandLine::Parse(const QStringList& arguments, CBatchOptions& options,
                              QString& error) {
    options = CBatchOptions();
    QStringList positional;
    bool optionsEnded = false;
    for (int index = 0; index < arguments.size(); ++index) {
        const QString& argument = arguments[index];
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) ||
            argument == QLatin1String("-")) {
            positional.append(argument);
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true; // a table name may begin with "-"
            continue;
        }
        if (ApplyFlag(argument, options))
            continue;
        QString option = argument;
        QString value;
        bool hasValue = false;
        if (const int equals = argument.indexOf(QLatin1Char('=')); equals > 0) {
            option = argument.left(equals);
            value = argument.mid(equals + 1);
            hasValue = true;
        }
        if (!kValueOptions.contains(option)) {
            error = LoadLocalizedString(kUnknownOptionText).arg(argument);
            return false;
        }
        if (!hasValue) {
            if (index + 1 >= arguments.size()) {
                error = LoadLocalizedString(kMissingValueText).arg(option);
                return false;
            }
            value = arguments[++index];
        }
        if (!ApplyOption(option, value, options, error))
            return false;
    }
    if (options.help || options.version)
        return true;

    if (positional.isEmpty())
        return Missing(QStringLiteral("COMMAND"), error);
    const QString commandName = positional.takeFirst();
    const std::optional<Command> command = CommandNamed(commandName);
    if (!command) {
        error = LoadLocalizedString(kUnknownCommandText).arg(commandName);
        return false;
    }
    options.command = *command;
    const bool takesName = options.command == Command::Columns ||
                           options.command == Command::Structure ||
                           options.command == Command::ListOwners;
    if (takesName) {
        if (positional.isEmpty())
            return Missing(options.command == Command::ListOwners ? QStringLiteral("DSN")
                                                                  : QStringLiteral("TABLE"),
                           error);
        (options.command == Command::ListOwners ? options.dataSource : options.table) =
            positional.takeFirst();
    }
    if (!positional.isEmpty()) {
        error = LoadLocalizedString(kUnexpectedArgumentText).arg(positional.first());
        return false;
    }
    return CheckComplete(options, error);
}
