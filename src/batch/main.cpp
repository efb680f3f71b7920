#include "batch/BatchCommandLine.h"
#include "batch/BatchRun.h"
#include "batch/InterruptSignals.h"
#include "export/ExportTarget.h"
#include "services/Language.h"

#include <QCoreApplication>
#include <QStringDecoder>

#include <cerrno>
#include <csignal>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr int kUsageErrorText = 1982;
constexpr int kHelpText = 1989;
constexpr int kGivenUpText = 1909;

void Print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

// A standard descriptor that the caller closed would be the number of the next file the tool
// opens (a database, an export), and what is printed would go there. Each is held by /dev/null
// opened for reading only, so that writing to a closed standard output still fails, as said.
void HoldClosedStandardDescriptors() {
    for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
        if (::fcntl(descriptor, F_GETFD) == -1 && errno == EBADF)
            ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    }
}
} // namespace

// quorvix-batch: the comparisons and exports of Quorvix without a window, for scripts and CI.
int main(int argc, char* argv[]) {
    HoldClosedStandardDescriptors();
    // Blocked before any thread starts, so that every thread inherits it.
    CInterruptSignals interruptSignals;
    // A closed standard output is a write error of the export, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication application(argc, argv);
    UseUtf8CharacterType();
    // Each argument decoded as it is: Qt's own list drops a leading U+FEFF, which may be part
    // of a name.
    QStringList arguments;
    for (int index = 1; index < argc; ++index) {
        QStringDecoder decoder(QStringDecoder::System, QStringDecoder::Flag::ConvertInitialBom);
        arguments.append(decoder(QByteArrayView(argv[index])));
    }

    const QString language = CBatchCommandLine::LanguageArgument(arguments);
    if (language.isEmpty()) {
        QString country;
        const QString code = GetUserLocaleCodes(country);
        ChooseLanguage(code, country);
    } else {
        ChooseLanguage(
            language == QLatin1String("fr") ? QStringLiteral("FRA") : QStringLiteral("ENU"), {});
    }

    CBatchOptions options;
    QString error;
    if (!CBatchCommandLine::Parse(arguments, options, error)) {
        Print(stderr, LoadLocalizedString(kUsageErrorText).arg(error) + QLatin1Char('\n'));
        return CBatchRun::Failed;
    }
    if (options.help) {
        Print(stdout, LoadLocalizedString(kHelpText));
        return CBatchRun::AllSame;
    }
    if (options.version) {
        Print(stdout, QStringLiteral("quorvix-batch " QUORVIX_VERSION "\n"));
        return CBatchRun::AllSame;
    }
    CBatchRun run(std::move(options));
    return interruptSignals.Run([&run] { return run.Execute(); }, [&run] { run.Cancel(); },
                                [] {
                                    CExportTarget::RemoveUnfinishedFiles();
                                    Print(stderr, QLatin1Char('\n') +
                                                      LoadLocalizedString(kGivenUpText) +
                                                      QLatin1Char('\n'));
                                });
}
