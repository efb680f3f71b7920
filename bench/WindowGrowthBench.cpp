// Runs "Compare tables..." from the real main window over and over on two SQLite sides made from
// the demo data sources' scripts, closing the comparison window each time (which discards the
// results, so that the next one compares again), and prints the resident memory after the first
// ten comparisons and after a hundred more: window_growth_kb, which must stay under 1024, is what
// the hundred kept. --smoke runs 2 + 5 comparisons, to keep the benchmark working; --count N runs
// 10 + N.
#include "BenchData.h"

#include "dialogs/DlgParams.h"
#include "shell/FormDBSelect.h"
#include "shell/FormGen.h"
#include "shell/MainFrame.h"
#include "shell/QuorvixApp.h"

#include <QCryptographicHash>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

constexpr double kGrowthLimitKb = 1024;

double ResidentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpression resident(QStringLiteral("VmRSS:\\s+(\\d+) kB"));
    const QRegularExpressionMatch match = resident.match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toDouble() : -1;
}

// A side's demo script, the part both sides share first; empty when the scripts are missing.
QByteArray DemoSql(const char* side) {
    QByteArray sql;
    for (const QString& name : {QStringLiteral("common"), QString::fromLatin1(side)}) {
        QFile script(QStringLiteral(QUORVIX_DEMO_FOLDER "/%1.sql").arg(name));
        if (!script.open(QIODevice::ReadOnly))
            return {};
        sql += script.readAll() + '\n';
    }
    return sql;
}

// One comparison as a user makes it: the button, the parameters dialog accepted as it is, the
// run, the window painted; then the window closed and what it deferred deleted.
bool CompareOnce(CQuorvixApp& application) {
    QTimer accept;
    accept.setInterval(5);
    QObject::connect(&accept, &QTimer::timeout, [&accept] {
        if (auto* params = dynamic_cast<CDlgParams*>(QApplication::activeModalWidget())) {
            accept.stop();
            params->Accept();
        }
    });
    accept.start();
    application.MainFrame()->GetCommandView()->CompareTablesButton()->click();
    accept.stop();
    const bool opened = application.ComparisonFrames().size() == 1;
    // Shown and painted, as on a screen.
    QCoreApplication::processEvents();
    for (QWidget* frame : QList<QWidget*>(application.ComparisonFrames()))
        frame->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    return opened;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Private settings and result files: the window starts as on a first run.
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("TMP", QFile::encodeName(home.path()));
    qputenv("LC_ALL", "C");

    CQuorvixApp application(argc, argv);
    const QStringList arguments = application.arguments();
    const bool smoke = arguments.contains(QStringLiteral("--smoke"));
    const qsizetype countAt = arguments.indexOf(QStringLiteral("--count"));
    const int first = smoke ? 2 : 10;
    const int more = countAt > 0 && countAt + 1 < arguments.size() ? arguments[countAt + 1].toInt()
                     : smoke                                       ? 5
                                                                   : 100;

    // Named after their scripts, so that a changed script makes its database again.
    QStringList names;
    for (const char* side : {"left", "right"}) {
        const QByteArray sql = DemoSql(side);
        if (sql.isEmpty()) {
            std::fprintf(stderr, "the demo scripts are missing from %s\n", QUORVIX_DEMO_FOLDER);
            return 1;
        }
        names.append(
            QStringLiteral("WindowDemo%1")
                .arg(QString::fromLatin1(
                    QCryptographicHash::hash(sql, QCryptographicHash::Sha1).toHex().left(8))));
        if (!EnsureDatabase(names.last(), sql))
            return 1;
    }
    UseBenchDataSources(names);
    if (!application.InitInstance())
        return 1;
    for (const int side : {0, 1})
        application.MainFrame()->GetSelectionView(side)->SelectDataSource(
            names[side], CDataSourceSide::SystemDataSource);

    double settled = -1;
    for (int comparison = 0; comparison < first + more; ++comparison) {
        if (!CompareOnce(application)) {
            std::fprintf(stderr, "comparison %d opened no window\n", comparison + 1);
            application.ExitInstance();
            return 1;
        }
        if (comparison + 1 == first)
            settled = ResidentKb();
    }
    const double last = ResidentKb();
    application.ExitInstance();

    std::printf("window_rss_%d_mb: %.1f\n", first, settled / 1024);
    std::printf("window_rss_%d_mb: %.1f\n", first + more, last / 1024);
    std::printf("window_growth_kb: %.0f\n", last - settled);
    std::printf("window_growth_ratio: %.3f\n", (last - settled) / kGrowthLimitKb);
    return 0;
}
