// Takes the pictures of the help document: the real windows of the program, offscreen, on the
// two demo SQLite data sources, so that the help shows the windows as they are built (a side's
// context menu, the columns and the indexes of a different table among them), and the HTML
// report each result window writes, as headless chromium shows it.
//   quorvix_help_screenshots DEMO_SQL_FOLDER OUTPUT_FOLDER en|fr
// Every setting, ODBC definition and database lives in a private temporary folder.
#include "HeadlessBrowser.h"
#include "compare/CompareColumnFrm.h"
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
#include "ui/TemplateBuilder.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
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
    return source && source->WriteTo(target, ExportFormat::Html, {}, dropped).isEmpty() && !dropped;
}

CQuorvixFormView* ComparisonView(QWidget* window) {
    auto* frame = dynamic_cast<CCompareFrm*>(window);
    return frame ? frame->View() : nullptr;
}

// Each report's top as the browser shows it; the table report with its first different table
// unfolded, the column report down to its indexes. Scaled to the help's text column, a picture
// 1,200 pixels high still fits a page.
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
        const int height = kind == QLatin1String("columns") ? 1200 : 1000;
        if (!browser.Screenshot(output + QStringLiteral("/report-") + kind + QStringLiteral(".png"),
                                height))
            return false;
    }
    return true;
}

// The left side with its context menu opened under the data source's name and "Save snapshot..."
// under the pointer. The menu is a window of its own: it is painted onto the side's picture where
// it opened, then closed from inside its loop.
bool PictureSideMenu(CFormDBSelect& side, const QString& path) {
    QWidget* name = CTemplateBuilder::FindControl(side, CFormDBSelect::kDataSourceName);
    if (!name || !side.SaveSnapshotCommand()->isEnabled())
        return false;
    bool saved = false;
    QTimer picture;
    QObject::connect(&picture, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        picture.stop();
        menu->setActiveAction(side.SaveSnapshotCommand());
        QCoreApplication::processEvents();
        QPixmap image = side.grab();
        QPainter painter(&image);
        painter.drawPixmap(side.mapFromGlobal(menu->pos()), menu->grab());
        painter.end();
        saved = image.save(path);
        menu->close();
    });
    picture.start(20);
    // Just below the name, which the menu leaves to be read.
    const QPoint at(name->fontMetrics().averageCharWidth() * 4, name->height());
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, name->mapToGlobal(at));
    QApplication::sendEvent(name, &click);
    return saved;
}

// The row of the table window's list that shows this table.
int RowOf(CFormCompareTable& view, const QString& table) {
    for (int row = 0; row < view.List()->GetItemCount(); ++row) {
        if (view.List()->GetItemText(row, 0) == table)
            return row;
    }
    return -1;
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
    app.Params().SetBit(ParamBit::CompareIndexes, true);
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
    saved =
        PictureSideMenu(*main->GetSelectionView(0), output + QStringLiteral("/side-menu.png")) &&
        saved;

    app.CompareTables();
    QWidget* tables = LastComparisonWindow(app);
    if (tables)
        tables->resize(560, 520);
    saved = Save(tables, output + QStringLiteral("/tables.png")) && saved;
    const QString reports = work.path();
    saved = WriteReport(ComparisonView(tables), reports + QStringLiteral("/report-tables.html")) &&
            saved;

    // The columns of a table that differs in both its columns and its indexes, then its indexes.
    auto* tableFrame = dynamic_cast<CCompareFrm*>(tables);
    auto* tableView = tableFrame ? dynamic_cast<CFormCompareTable*>(tableFrame->View()) : nullptr;
    const int row = tableView ? RowOf(*tableView, QStringLiteral("F4211")) : -1;
    if (row >= 0) {
        tableView->List()->SelectRow(row);
        emit tableView->List()->ItemActivated(row);
    }
    QWidget* columns = LastComparisonWindow(app);
    auto* columnFrame = columns != tables ? dynamic_cast<CCompareColumnFrm*>(columns) : nullptr;
    if (columnFrame && columnFrame->Tabs()) {
        columnFrame->resize(760, 470);
        columnFrame->Tabs()->setCurrentIndex(CCompareColumnFrm::ColumnsTab);
        saved = Save(columnFrame, output + QStringLiteral("/columns.png")) && saved;
        columnFrame->resize(760, 360);
        columnFrame->Tabs()->setCurrentIndex(CCompareColumnFrm::IndexesTab);
        saved = Save(columnFrame, output + QStringLiteral("/indexes.png")) && saved;
    } else {
        saved = false;
    }
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
