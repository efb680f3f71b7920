// Takes the pictures of the help document: the real windows of the program, offscreen, on the
// two demo SQLite data sources, so that the help shows the windows as they are built, and the
// HTML report each result window writes, as headless chromium shows it.
//   quorvix_help_screenshots DEMO_SQL_FOLDER OUTPUT_FOLDER en|fr
// Every setting, ODBC definition and database lives in a private temporary folder.
#include "HeadlessBrowser.h"
#include "compare/CompareFrm.h"
#include "compare/CompareListCtrl.h"
#include "compare/FormCompareTable.h"
#include "dialogs/DlgDataSourceSetup.h"
#include "dialogs/DlgParams.h"
#include "dialogs/DlgWait.h"
#include "export/Export.h"
#include "export/ExportTarget.h"
#include "export/HtmlStream.h"
#include "model/ParamWord.h"
#include "shell/FormDBSelect.h"
#include "shell/MainFrame.h"
#include "shell/QuorvixApp.h"
#include "structure/FormTableStruct.h"
#include "structure/TableStructFrm.h"
#include "ui/QuorvixListCtrl.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

const QString kLeft = QStringLiteral("Quorvix Demo Left");
const QString kRight = QStringLiteral("Quorvix Demo Right");

bool MakeDemo(const QString& sqlFolder, const QString& folder) {
    QFile drivers(folder + QStringLiteral("/odbcinst.ini"));
    if (!drivers.open(QIODevice::WriteOnly))
        return false;
    drivers.write("[SQLite3]\nDriver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so\n");
    QFile sources(folder + QStringLiteral("/odbc.ini"));
    if (!sources.open(QIODevice::WriteOnly))
        return false;
    for (const QString& side : {QStringLiteral("left"), QStringLiteral("right")}) {
        const QString database = folder + QLatin1Char('/') + side + QStringLiteral(".sqlite");
        QProcess sqlite;
        sqlite.start(QStringLiteral("sqlite3"), {QStringLiteral("-bail"), database});
        for (const QString& part : {QStringLiteral("common.sql"), side + QStringLiteral(".sql")}) {
            QFile sql(sqlFolder + QLatin1Char('/') + part);
            if (!sql.open(QIODevice::ReadOnly))
                return false;
            sqlite.write(sql.readAll());
        }
        sqlite.closeWriteChannel();
        if (!sqlite.waitForFinished(60000) || sqlite.exitCode() != 0)
            return false;
        // Named from the working folder, so that no build's temporary path shows in a picture.
        sources.write(
            QStringLiteral("[%1]\nDriver=SQLite3\nDatabase=%2\nStepAPI=1\n\n")
                .arg(side == QLatin1String("left") ? kLeft : kRight, QFileInfo(database).fileName())
                .toUtf8());
    }
    QFile(folder + QStringLiteral("/user-odbc.ini")).open(QIODevice::WriteOnly);
    return true;
}

bool Save(QWidget* window, const QString& path) {
    if (!window)
        return false;
    QCoreApplication::processEvents();
    return window->grab().save(path);
}

// The HTML report of a result window's view, as "Export to HTML..." writes it.
bool WriteReport(CQuorvixFormView* view, const QString& path) {
    if (!view)
        return false;
    const std::unique_ptr<CExportSource> source = view->MakeExportSource();
    CExportTarget target(path);
    bool dropped = false;
    return source && source->WriteTo(target, ExportFormat::Html, {}, dropped).isEmpty() &&
           !dropped;
}

CQuorvixFormView* ComparisonView(QWidget* window) {
    auto* frame = dynamic_cast<CCompareFrm*>(window);
    return frame ? frame->View() : nullptr;
}

// Each report's top as the browser shows it; the table report with its first different table
// unfolded.
bool PictureReports(const QString& folder, const QStringList& kinds, const QString& output) {
    CHeadlessBrowser browser;
    if (!browser.Start(900, 1000)) {
        std::fprintf(stderr, "%s\n", qPrintable(browser.Error()));
        return false;
    }
    for (const QString& kind : kinds) {
        const QString report = folder + QStringLiteral("/report-") + kind + QStringLiteral(".html");
        if (browser.Open(report) < 0)
            return false;
        browser.Evaluate(QStringLiteral("document.querySelector('details') && "
                                        "(document.querySelector('details').open = true)"));
        if (!browser.Screenshot(output + QStringLiteral("/report-") + kind + QStringLiteral(".png"),
                                1000))
            return false;
    }
    return true;
}

QWidget* LastComparisonWindow(CQuorvixApp& app) {
    return app.ComparisonFrames().isEmpty() ? nullptr : app.ComparisonFrames().last();
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s DEMO_SQL_FOLDER OUTPUT_FOLDER en|fr\n", argv[0]);
        return 2;
    }
    const QString sqlFolder = QString::fromLocal8Bit(argv[1]);
    // Absolute: the pictures are taken from the demo's folder.
    const QString output = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    const bool french = qstrcmp(argv[3], "fr") == 0;
    QTemporaryDir work;
    if (!work.isValid() || !MakeDemo(sqlFolder, work.path()) || !QDir().mkpath(output)) {
        std::fprintf(stderr, "cannot prepare the demo data sources\n");
        return 1;
    }
    QDir::setCurrent(work.path());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("ODBCSYSINI", QFile::encodeName(work.path()));
    qputenv("ODBCINI", QFile::encodeName(work.path() + QStringLiteral("/user-odbc.ini")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(work.path() + QStringLiteral("/config")));
    qputenv("TMP", QFile::encodeName(work.path()));
    qputenv("LC_ALL", french ? "fr_FR.UTF-8" : "C");

    CQuorvixApp app(argc, argv);
    if (!app.InitInstance())
        return 1;
    app.Params().SetBit(ParamBit::CompareSqlTypes, true);
    CMainFrame* main = app.MainFrame();
    main->resize(820, 560);
    main->GetSelectionView(0)->SelectDataSource(kLeft, CDataSourceSide::UserDataSource);
    main->GetSelectionView(1)->SelectDataSource(kRight, CDataSourceSide::UserDataSource);
    main->GetSelectionView(0)->TableList()->SelectRow(3);

    // Every dialog that the commands open is answered with OK, as a user would.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* dialog = dynamic_cast<CDlgParams*>(QApplication::activeModalWidget()))
            dialog->Accept();
    });
    answer.start(20);

    bool saved = Save(main, output + QStringLiteral("/main.png"));

    app.CompareTables();
    QWidget* tables = LastComparisonWindow(app);
    if (tables)
        tables->resize(560, 520);
    saved = Save(tables, output + QStringLiteral("/tables.png")) && saved;
    const QString reports = work.path();
    saved = WriteReport(ComparisonView(tables), reports + QStringLiteral("/report-tables.html")) &&
            saved;

    // The column comparison of the first table that differs.
    auto* tableFrame = dynamic_cast<CCompareFrm*>(tables);
    auto* tableView = tableFrame ? dynamic_cast<CFormCompareTable*>(tableFrame->View()) : nullptr;
    if (tableView) {
        for (int row = 0; row < tableView->List()->GetItemCount(); ++row) {
            tableView->List()->SelectRow(row);
            if (tableView->DetailButton()->isEnabled()) {
                emit tableView->List()->ItemActivated(row);
                break;
            }
        }
    }
    QWidget* columns = LastComparisonWindow(app);
    if (columns && columns != tables)
        columns->resize(760, 360);
    saved = columns != tables && Save(columns, output + QStringLiteral("/columns.png")) && saved;
    saved =
        WriteReport(ComparisonView(columns), reports + QStringLiteral("/report-columns.html")) &&
        saved;

    app.CompareDataDictionaries();
    QWidget* dictionary = LastComparisonWindow(app);
    if (dictionary)
        dictionary->resize(760, 460);
    saved = dictionary != columns && Save(dictionary, output + QStringLiteral("/dictionary.png")) &&
            saved;
    saved = WriteReport(ComparisonView(dictionary),
                        reports + QStringLiteral("/report-dictionary.html")) &&
            saved;

    main->GetSelectionView(0)->ShowTableStructure();
    QWidget* structure = app.StructureFrames().isEmpty() ? nullptr : app.StructureFrames().last();
    saved = Save(structure, output + QStringLiteral("/structure.png")) && saved;
    auto* structureFrame = dynamic_cast<CTableStructFrm*>(structure);
    saved = WriteReport(structureFrame ? structureFrame->View() : nullptr,
                        reports + QStringLiteral("/report-structure.html")) &&
            saved;

    // The data source setup dialog, showing the left demo data source.
    {
        CDlgDataSourceSetup setup(main);
        setup.show();
        setup.SelectSource(kLeft, true);
        saved = Save(&setup, output + QStringLiteral("/setup.png")) && saved;
    }

    answer.stop();
    for (QWidget* frame : QList<QWidget*>(app.ComparisonFrames()))
        frame->close();
    for (QWidget* frame : QList<QWidget*>(app.StructureFrames()))
        frame->close();
    app.ExitInstance();
    saved = saved && PictureReports(reports,
                                    {QStringLiteral("tables"), QStringLiteral("columns"),
                                     QStringLiteral("dictionary"), QStringLiteral("structure")},
                                    output);
    if (!saved) {
        std::fprintf(stderr, "a window could not be pictured\n");
        return 1;
    }
    return 0;
}
