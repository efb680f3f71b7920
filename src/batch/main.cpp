#include "batch/BatchCommandLine.h"
#include "batch/BatchRun.h"
#include "batch/InterruptSignals.h"
#include "services/Language.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

namespace {
constexpr int kUsageErrorText = 1982;
constexpr int kHelpText = 1989;

void Print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}
} // namespace

// quorvix-batch: the comparisons and exports of Quorvix without a window, for scripts and CI.
int main(int argc, char* argv[]) {
    // Blocked before any thread starts, so that every thread inherits it.
    CInterruptSignals interruptSignals;
    // A closed standard output is a write error of the export, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments().mid(1);

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
    return interruptSignals.Run([&run] { return run.Execute(); }, [&run] { run.Cancel(); });
}
