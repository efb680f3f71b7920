#include "shell/ModalHandlers.h"

#include "batch/BatchProcess.h"
#include "compare/CompareColumnFrm.h"
#include "compare/CompareFrm.h"
#include "compare/CompareListCtrl.h"
#include "compare/FormCompareColumn.h"
#include "compare/FormCompareIndex.h"
#include "compare/FormCompareTable.h"
#include "dialogs/DlgParams.h"
#include "dialogs/DlgWait.h"
#include "export/ExpectedFiles.h"
#include "runs/HeldDictionaryLock.h"
#include "runs/OpenFiles.h"
#include "runs/StoppedBackend.h"
#include "ui/Clipboard.h"
#include "ui/ContextMenus.h"
#include "ui/WarningBeep.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolTip>

class CompareTables : public ResultWindowTest {
protected:
    void SetUp() override {
        ResultWindowTest::SetUp();
        AddLite(QStringLiteral("ExpLeft"),
                QStringLiteral("CREATE TABLE T1 (C1 INT, C2 INT); CREATE TABLE SAME (a INT);"
                               "CREATE TABLE LONLY (x INT);"));
        AddLite(QStringLiteral("ExpRight"),
                QStringLiteral("CREATE TABLE T1 (C2 INT, C3 INT); CREATE TABLE SAME (a INT);"
                               "CREATE TABLE \"R;ONLY\" (y INT);"));
        View(0)->SelectDataSource(QStringLiteral("ExpLeft"), CDataSourceSide::SystemDataSource);
        View(1)->SelectDataSource(QStringLiteral("ExpRight"), CDataSourceSide::SystemDataSource);
    }
    CFormCompareTable* OpenTableComparison() {
        OnNextModal(AcceptParams);
        QTest::mouseClick(Commands()->CompareTablesButton(), Qt::LeftButton);
        return LastView();
    }
    CFormCompareTable* LastView() const {
        if (m_app->ComparisonFrames().isEmpty())
            return nullptr;
        auto* frame = dynamic_cast<CCompareFrm*>(m_app->ComparisonFrames().last());
        return frame ? dynamic_cast<CFormCompareTable*>(frame->View()) : nullptr;
    }
    QStringList ListedNames(CFormCompareTable* view) const { return ColumnTexts(view, 0); }
    // A column's texts, in the order shown.
    static QStringList ColumnTexts(const CFormCompare* view, int column) {
        QStringList texts;
        for (int row = 0; row < view->List()->GetItemCount(); ++row)
            texts.append(view->List()->GetItemText(row, column));
        return texts;
    }
    static std::vector<int> ColumnWidths(const CFormCompare* view) {
        std::vector<int> widths;
        for (int column = 0; column < view->List()->GetColumnCount(); ++column)
            widths.push_back(view->List()->GetColumnWidth(column));
        return widths;
    }
    // The widths a list of this width takes by these weights: the name column its share of the
    // whole, rounded, within 60 and 200 pixels; the others their share of the rest, cut; the
    // last column whatever is left.
    static std::vector<int> SplitByWeights(int list, const std::vector<int>& weights) {
        int others = 0;
        for (size_t column = 1; column < weights.size(); ++column)
            others += weights[column];
        const int total = weights[0] + others;
        std::vector<int> widths{std::clamp((list * weights[0] + total / 2) / total, 60, 200)};
        int left = list - widths[0];
        for (size_t column = 1; column + 1 < weights.size(); ++column) {
            widths.push_back((list - widths[0]) * weights[column] / others);
            left -= widths.back();
        }
        widths.push_back(left);
        return widths;
    }
    // The widths of a view's list: its own columns split by these weights what the status
    // column, last, leaves of the list.
    static std::vector<int> ExpectedWidths(const CFormCompare* view,
                                           const std::vector<int>& weights) {
        std::vector<int> widths =
            SplitByWeights(view->List()->viewport()->width() - view->StatusColumnWidth(), weights);
        widths.push_back(view->StatusColumnWidth());
        return widths;
    }
    // Whether every status shows whole in its column.
    static bool StatusesShowWhole(const CFormCompare* view) {
        for (int row = 0; row < view->List()->GetItemCount(); ++row) {
            const QString text = view->List()->GetItemText(row, view->StatusColumn());
            if (text.isEmpty() || view->List()->IsCellTextCut(text, row, view->StatusColumn()))
                return false;
        }
        return true;
    }
    // Result files are unlinked at once: count the descriptors held on them.
    int ResultFiles() const {
        return int(OpenDescriptorsIn(m_tmp.path(), QStringLiteral("BFD")).size());
    }
    void Export(CQuorvixFormView* view, const QString& path,
                const std::function<void(CDlgParams*)>& options = {}) {
        ExportThroughDialogs(view, path, options);
    }
    // The batch tool's file for the same sides, in the test's folder.
    QByteArray BatchExport(QStringList arguments) {
        const QString path = m_tmp.filePath(QStringLiteral("batch.csv"));
        QFile::remove(path);
        const CBatchProcess run = CBatchProcess::Run(arguments << QStringLiteral("-o") << path);
        EXPECT_NE(run.exitCode, 1) << run;
        EXPECT_TRUE(QFile::exists(path)) << run;
        return Contents(path);
    }
};

TEST_F(CompareTables, WindowShowsCountsFiltersAndSearch) {
    CFormCompareTable* view = OpenTableComparison();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->window()->windowTitle(), QStringLiteral("Tables - ExpLeft / ExpRight"));
    EXPECT_EQ(view->Filter(0)->text(), QStringLiteral("1 file(s) is/are the same"));
    EXPECT_EQ(view->Filter(1)->text(), QStringLiteral("1 file(s) is/are only in ExpLeft"));
    EXPECT_EQ(view->Filter(2)->text(), QStringLiteral("1 file(s) is/are only in ExpRight"));
    EXPECT_EQ(view->Filter(3)->text(), QStringLiteral("1 file(s) is/are different"));
    EXPECT_EQ(ListedNames(view), (QStringList{"LONLY", "R;ONLY", "SAME", "T1"}));
    EXPECT_FALSE(Control(0, CFormDBSelect::kDataSourceButton)->isEnabled());

    for (int status = 0; status < 3; ++status)
        view->Filter(status)->click();
    EXPECT_EQ(ListedNames(view), QStringList{"T1"});
    EXPECT_EQ(view->Filter(0)->text(), QStringLiteral("1 file(s) is/are the same"));
    for (int status = 0; status < 3; ++status)
        view->Filter(status)->click();

    // Search ignores the case of A-Z; Enter in the search field finds, wrapping around.
    QApplication::setActiveWindow(view->window());
    view->SearchEdit()->setText(QStringLiteral("Ly"));
    view->SearchEdit()->setFocus();
    QTest::keyClick(view->SearchEdit(), Qt::Key_Return);
    EXPECT_EQ(view->List()->GetItemText(view->List()->GetSelectedRow(), 0),
              QStringLiteral("LONLY"));
    QTest::keyClick(view->SearchEdit(), Qt::Key_Return);
    EXPECT_EQ(view->List()->GetItemText(view->List()->GetSelectedRow(), 0),
              QStringLiteral("R;ONLY"));
    EXPECT_FALSE(view->DetailButton()->isEnabled());
    view->SearchEdit()->setText(QStringLiteral("t1"));
    view->Find();
    EXPECT_EQ(view->List()->GetItemText(view->List()->GetSelectedRow(), 0), QStringLiteral("T1"));
    EXPECT_TRUE(view->DetailButton()->isEnabled());
    const int beeps = CWarningBeep::Count();
    view->SearchEdit()->setText(QStringLiteral("nothing"));
    view->Find();
    EXPECT_EQ(CWarningBeep::Count(), beeps + 1);
}

// Each row's status is also told in words, in a last column that fits them: the symbol the
// exports write, then what it means, a side by its name. Ctrl+C copies it under its heading;
// the search looks at the names only.
TEST_F(CompareTables, StatusHasAColumnOfItsOwnThatCopiesWithTheRowsInEitherLanguage) {
    CFormCompareTable* view = OpenTableComparison();
    ASSERT_NE(view, nullptr);
    CQuorvixListCtrl* list = view->List();
    ASSERT_EQ(list->GetColumnCount(), 2);
    EXPECT_EQ(view->StatusColumn(), 1);
    EXPECT_EQ(ColumnTexts(view, 1),
              (QStringList{"> only in ExpLeft", "< only in ExpRight", "= same", "<> different"}));
    EXPECT_TRUE(StatusesShowWhole(view));
    const int beeps = CWarningBeep::Count();
    view->SearchEdit()->setText(QStringLiteral("same"));
    view->Find();
    EXPECT_EQ(list->GetItemText(list->GetSelectedRow(), 0), QStringLiteral("SAME"));
    view->SearchEdit()->setText(QStringLiteral("different"));
    view->Find();
    EXPECT_EQ(CWarningBeep::Count(), beeps + 1);

    QApplication::setActiveWindow(view->window());
    list->setFocus();
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(CClipboard::Text(), QStringLiteral("File\tStatus\nLONLY\t> only in ExpLeft\n"
                                                 "R;ONLY\t< only in ExpRight\nSAME\t= same\n"
                                                 "T1\t<> different\n"));

    // A second window on the same result, in French: no parameters asked.
    ChooseLanguage(QStringLiteral("FRA"), {});
    QTest::mouseClick(Commands()->CompareTablesButton(), Qt::LeftButton);
    CFormCompareTable* french = LastView();
    ASSERT_NE(french, nullptr);
    ASSERT_NE(french, view);
    EXPECT_EQ(ColumnTexts(french, 1),
              (QStringList{"> uniquement dans ExpLeft", "< uniquement dans ExpRight", "= identique",
                           "<> différent"}));
    EXPECT_TRUE(StatusesShowWhole(french));
    french->List()->SelectRow(1);
    EXPECT_EQ(french->List()->SelectedRowsText(),
              QStringLiteral("Table\tStatut\nR;ONLY\t< uniquement dans ExpRight\n"));
}

TEST_F(CompareTables, ResultIsSharedUntilTheLastWindowCloses) {
    CFormCompareTable* first = OpenTableComparison();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(ResultFiles(), 1);
    // A second window on the same result: no parameters, no run.
    bool asked = false;
    OnNextModal([&asked](QWidget* modal) {
        asked = true;
        static_cast<QDialog*>(modal)->reject();
    });
    QTest::mouseClick(Commands()->CompareTablesButton(), Qt::LeftButton);
    ASSERT_EQ(m_app->ComparisonFrames().size(), 2);
    EXPECT_FALSE(asked);
    EXPECT_EQ(LastView()->Filter(3)->text(), QStringLiteral("1 file(s) is/are different"));

    m_app->ComparisonFrames().first()->close();
    EXPECT_EQ(ResultFiles(), 1);
    EXPECT_FALSE(Control(0, CFormDBSelect::kDataSourceButton)->isEnabled());
    m_app->ComparisonFrames().first()->close();
    EXPECT_TRUE(m_app->ComparisonFrames().isEmpty());
    EXPECT_EQ(ResultFiles(), 0);
    EXPECT_TRUE(Control(0, CFormDBSelect::kDataSourceButton)->isEnabled());
    QTimer::singleShot(0, [] {}); // let the pending "asked" handler die with the next dialog
    asked = false;
    OnNextModal([&asked](QWidget* modal) {
        asked = true;
        static_cast<QDialog*>(modal)->reject();
    });
    QTest::mouseClick(Commands()->CompareTablesButton(), Qt::LeftButton);
    EXPECT_TRUE(asked); // the next command asks again
    EXPECT_TRUE(m_app->ComparisonFrames().isEmpty());
}

TEST_F(CompareTables, ExportWritesTheTableLayoutByteForByte) {
    const FakeDesktopOpen desktop;
    CFormCompareTable* view = OpenTableComparison();
    ASSERT_NE(view, nullptr);
    const QString path = m_tmp.filePath(QStringLiteral("all.csv"));
    Export(view, path);
    EXPECT_EQ(Contents(path), Expected("table-export-all.csv"));
    EXPECT_EQ(desktop.WaitForArguments(), QStringList{path}); // opened once written
}

// "Export to HTML..." beside "Export to file...": the report that the batch tool writes for the
// same sides, the same bytes each time it is written from one run, opened when written.
TEST_F(CompareTables, HtmlExportIsTheBatchReportAndTheSameBytesForOneRun) {
    const FakeDesktopOpen desktop;
    CFormCompareTable* view = OpenTableComparison();
    ASSERT_NE(view, nullptr);
    const QWidget* csvButton =
        CTemplateBuilder::FindControl(*view, CQuorvixFormView::kExportButton);
    const QWidget* htmlButton = CTemplateBuilder::FindControl(*view, CQuorvixFormView::kHtmlButton);
    EXPECT_EQ(htmlButton->y(), csvButton->y());
    EXPECT_GT(htmlButton->x(), csvButton->geometry().right());
    EXPECT_EQ(qobject_cast<const QPushButton*>(htmlButton)->text(),
              QStringLiteral("Export to HTML..."));

    const QString path = m_tmp.filePath(QStringLiteral("tables.html"));
    ExportHtmlThroughDialogs(view, path);
    const QByteArray report = Contents(path);
    EXPECT_TRUE(report.startsWith("<!DOCTYPE html>")) << report.left(100).toStdString();
    EXPECT_EQ(desktop.WaitForArguments(), QStringList{path});

    // Written again once the clock has left the second the run is dated: the moment is the
    // run's, not the writing's.
    const QRegularExpressionMatch dated =
        QRegularExpression(QStringLiteral("<time datetime=\"([^\"]+)\">"))
            .match(QString::fromUtf8(report));
    ASSERT_TRUE(dated.hasMatch());
    const QDateTime moment = QDateTime::fromString(dated.captured(1), Qt::ISODate);
    ASSERT_TRUE(moment.isValid()) << dated.captured(1).toStdString();
    ASSERT_TRUE(WaitForEvent(
        [&moment] { return QDateTime::currentSecsSinceEpoch() > moment.toSecsSinceEpoch(); }));
    const QString again = m_tmp.filePath(QStringLiteral("again.html"));
    ExportHtmlThroughDialogs(view, again);
    EXPECT_EQ(Contents(again), report);

    EXPECT_EQ(WithoutMoment(BatchExport({QStringLiteral("tables"), QStringLiteral("--left"),
                                         QStringLiteral("ExpLeft"), QStringLiteral("--right"),
                                         QStringLiteral("ExpRight"), QStringLiteral("--format"),
                                         QStringLiteral("html")})),
              WithoutMoment(report));
}

// A desktop with no program for CSV files: the file is written, and the user is told where it is.
TEST_F(CompareTables, AnExportThatNoProgramOpensIsSaid) {
    const FakeDesktopOpen desktop(false);
    CFormCompareTable* view = OpenTableComparison();
    ASSERT_NE(view, nullptr);
    const QString path = m_tmp.filePath(QStringLiteral("unopened.csv"));
    QString message;
    ReadMessageBoxWhenShown(message);
    Export(view, path);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !message.isEmpty(); }, kEventLimitMs));
    EXPECT_EQ(message, QStringLiteral("No program could open '%1' (xdg-open answered 1). The file "
                                      "is there: open it from your file manager.")
                           .arg(path));
    EXPECT_EQ(Contents(path), Expected("table-export-all.csv"));
}

// Each result window opens a step away from the last one, on the screen, with its kept size;
// titles say what each window is, in the user's language.
TEST_F(CompareTables, ResultWindowsCascadeAndTheirTitlesTellThemApart) {
    CFormCompareTable* tables = OpenTableComparison();
    ASSERT_NE(tables, nullptr);
    QWidget* first = tables->window();
    const QSize size = first->size();
    View(0)->TableList()->SelectRow(0);
    View(0)->ShowTableStructure();
    ASSERT_FALSE(m_app->StructureFrames().isEmpty());
    QWidget* second = m_app->StructureFrames().last();
    // One step down and right of the table window, or the screen's corner when that would
    // leave the screen.
    const QRect area = second->screen()->availableGeometry();
    QRect stepped = second->frameGeometry();
    stepped.moveTopLeft(first->frameGeometry().topLeft() + QPoint(28, 28));
    EXPECT_EQ(second->frameGeometry().topLeft(),
              area.contains(stepped) ? stepped.topLeft() : area.topLeft());
    EXPECT_EQ(second->windowTitle(),
              QStringLiteral("%1 (left: ExpLeft)").arg(m_app->GetSide(0)->GetTableName(0)));

    ChooseLanguage(QStringLiteral("FRA"), {});
    View(1)->TableList()->SelectRow(0);
    View(1)->ShowTableStructure();
    QWidget* third = m_app->StructureFrames().last();
    EXPECT_NE(third->frameGeometry().topLeft(), second->frameGeometry().topLeft());
    EXPECT_EQ(third->windowTitle(),
              QStringLiteral("%1 (droite : ExpRight)").arg(m_app->GetSide(1)->GetTableName(0)));
    EXPECT_EQ(first->size(), size);
}

TEST_F(CompareTables, ExportFollowsFiltersAndOptionsInFrench) {
    const FakeDesktopOpen desktop;
    CFormCompareTable* view = OpenTableComparison();
    ASSERT_NE(view, nullptr);
    for (int status = 0; status < 3; ++status)
        view->Filter(status)->click();
    ChooseLanguage(QStringLiteral("FRA"), {});
    // Typed without extension: ".csv" is added.
    Export(view, m_tmp.filePath(QStringLiteral("different")), [](CDlgParams* options) {
        EXPECT_FALSE(options->CheckBox(3)->isChecked());
        EXPECT_TRUE(options->CheckBox(6)->isChecked());
        for (const int bit : {7, 9, 10})
            options->CheckBox(bit)->setChecked(false);
    });
    EXPECT_EQ(Contents(m_tmp.filePath(QStringLiteral("different.csv"))),
              Expected("table-export-different-left-columns-fr.csv"));
}

TEST_F(CompareTables, BatchToolWritesTheWindowsBytes) {
    const FakeDesktopOpen desktop;
    CFormCompareTable* view = OpenTableComparison();
    ASSERT_NE(view, nullptr);
    const QString path = m_tmp.filePath(QStringLiteral("window.csv"));
    Export(view, path);
    const QStringList sides{QStringLiteral("tables"), QStringLiteral("--left"),
                            QStringLiteral("ExpLeft"), QStringLiteral("--right"),
                            QStringLiteral("ExpRight")};
    EXPECT_EQ(BatchExport(sides), Contents(path));

    // In French, with the different tables only and their left-only columns.
    for (int status = 0; status < 3; ++status)
        view->Filter(status)->click();
    ChooseLanguage(QStringLiteral("FRA"), {});
    const QString frenchPath = m_tmp.filePath(QStringLiteral("window-fr.csv"));
    Export(view, frenchPath, [](CDlgParams* options) {
        for (const int bit : {7, 9, 10})
            options->CheckBox(bit)->setChecked(false);
    });
    QStringList french = sides;
    french << QStringLiteral("--lang") << QStringLiteral("fr");
    for (const char* bit : {"3", "4", "5", "7", "9", "10"})
        french << QStringLiteral("--clear") << QLatin1String(bit);
    EXPECT_EQ(BatchExport(french), Contents(frenchPath));
}

// A name Latin-1 cannot hold stops the export with a message that names it and leaves no file;
// the UTF-8 encoding, chosen in the options and remembered, writes the batch tool's bytes.
TEST_F(CompareTables, NameOutsideLatin1IsNamedAndUtf8WritesIt) {
    AddLite(QStringLiteral("ExpEuro"), QStringLiteral("CREATE TABLE \"PRIX\u20AC\" (p INT);"
                                                      "CREATE TABLE AAA (a INT);"));
    View(1)->SelectDataSource(QStringLiteral("ExpEuro"), CDataSourceSide::SystemDataSource);
    const FakeDesktopOpen desktop;
    CFormCompareTable* view = OpenTableComparison();
    ASSERT_NE(view, nullptr);
    const QString path = m_tmp.filePath(QStringLiteral("euro.csv"));
    QString message;
    OnNextModal([path, &message](QWidget* modal) {
        auto* dialog = dynamic_cast<CDlgParams*>(modal);
        ASSERT_NE(dialog, nullptr);
        ASSERT_NE(dialog->EncodingCombo(), nullptr);
        EXPECT_TRUE(dialog->EncodingCombo()->isVisible());
        EXPECT_EQ(dialog->EncodingCombo()->currentText(), QStringLiteral("ISO 8859-1"));
        OnNextModal([path, &message](QWidget* save) {
            OnNextModal([&message](QWidget* box) {
                auto* messageBox = qobject_cast<QMessageBox*>(box);
                ASSERT_NE(messageBox, nullptr);
                message = messageBox->text();
                messageBox->accept();
            });
            ChooseSavePath(save, path);
        });
        dialog->Accept();
    });
    view->OnExportToFile();
    EXPECT_TRUE(message.startsWith(QStringLiteral("Line 10 of '%1' holds \"PRIX\u20AC\", whose "
                                                  "character U+20AC (\u20AC) cannot be written")
                                       .arg(path)))
        << message.toStdString();
    EXPECT_FALSE(QFile::exists(path));

    Export(view, path, [](CDlgParams* options) {
        options->EncodingCombo()->setCurrentIndex(
            options->EncodingCombo()->findText(QStringLiteral("UTF-8")));
    });
    const QByteArray written = Contents(path);
    EXPECT_TRUE(written.startsWith("\xEF\xBB\xBF=;same\r\n")) << written.toStdString();
    EXPECT_TRUE(written.contains("<;PRIX\xE2\x82\xAC\r\n")) << written.toStdString();
    EXPECT_EQ(desktop.WaitForArguments(), QStringList{path});
    EXPECT_EQ(desktop.Openings(), 1); // none after the error, which came first
    EXPECT_EQ(
        BatchExport({QStringLiteral("tables"), QStringLiteral("--left"), QStringLiteral("ExpLeft"),
                     QStringLiteral("--right"), QStringLiteral("ExpEuro"),
                     QStringLiteral("--encoding"), QStringLiteral("utf-8")}),
        written);
    // The choice is remembered for the next export.
    Export(view, m_tmp.filePath(QStringLiteral("again.csv")), [](CDlgParams* options) {
        EXPECT_EQ(options->EncodingCombo()->currentText(), QStringLiteral("UTF-8"));
    });
    EXPECT_TRUE(desktop.WaitForOpenings(2));
}

TEST_F(CompareTables, TwoSchemasOfOnePostgresDatabase) {
    QUORVIX_REQUIRE_DATA_SOURCE(QStringLiteral("QuorvixPostgres"));
    Choose(0, QStringLiteral("QuorvixPostgres"), QStringLiteral("quorvix.ta"));
    Choose(1, QStringLiteral("QuorvixPostgres"), QStringLiteral("quorvix.tb"));
    CFormCompareTable* view = OpenTableComparison();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(
        view->window()->windowTitle(),
        QStringLiteral("Tables - QuorvixPostgres (quorvix.ta) / QuorvixPostgres (quorvix.tb)"));
    // Without the type comparison every table matches by its column names.
    EXPECT_EQ(view->Filter(0)->text(), QStringLiteral("4 file(s) is/are the same"));
    EXPECT_EQ(view->Filter(3)->text(), QStringLiteral("0 file(s) is/are different"));
    EXPECT_EQ(ListedNames(view), (QStringList{"long_text", "same", "sizes", "strings"}));
}

TEST_F(CompareTables, TypedNameOfAnExistingFileAsksBeforeOverwriting) {
    const FakeDesktopOpen desktop;
    CFormCompareTable* view = OpenTableComparison();
    ASSERT_NE(view, nullptr);
    const QString existing = m_tmp.filePath(QStringLiteral("kept.csv"));
    {
        QFile file(existing);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("precious");
    }
    bool prompted = false;
    OnNextModal([this, &prompted](QWidget* modal) {
        dynamic_cast<CDlgParams*>(modal)->Accept();
        OnNextModal([this, &prompted](QWidget* save) {
            auto* files = qobject_cast<QFileDialog*>(save);
            ASSERT_NE(files, nullptr);
            // The confirmation comes while the save dialog waits: answer No, then give up.
            OnNextModal([files, &prompted](QWidget* question) {
                auto* box = qobject_cast<QMessageBox*>(question);
                prompted = box != nullptr;
                if (box)
                    box->reject();
                QTimer::singleShot(0, files, [files] { files->reject(); });
            });
            files->setDirectory(m_tmp.path());
            files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                ->setText(QStringLiteral("kept"));
            static_cast<QDialog*>(files)->accept();
        });
    });
    view->OnExportToFile();
    EXPECT_TRUE(prompted);
    EXPECT_EQ(Contents(existing), QByteArray("precious"));
}

TEST_F(CompareTables, WindowStillOpenAtExitKeepsItsPlacement) {
    CFormCompareTable* view = OpenTableComparison();
    ASSERT_NE(view, nullptr);
    view->window()->setGeometry(30, 40, 500, 420);
    m_app->ExitInstance();
    QString rectangle;
    bool zoomed = true;
    m_app->LoadWindowRect(2, rectangle, zoomed);
    EXPECT_EQ(rectangle, QStringLiteral("30,40,530,460"));
    EXPECT_FALSE(zoomed);
    ASSERT_TRUE(m_app->InitInstance());
}

TEST_F(CompareTables, ColumnFollowsTheListWhenAScrollBarAppears) {
    QString tables;
    for (int i = 0; i < 80; ++i)
        tables += QStringLiteral("CREATE TABLE T%1 (a INT);").arg(i, 3, 10, QLatin1Char('0'));
    AddLite(QStringLiteral("ExpMany"), tables);
    View(1)->SelectDataSource(QStringLiteral("ExpMany"), CDataSourceSide::SystemDataSource);
    CFormCompareTable* view = OpenTableComparison();
    ASSERT_NE(view, nullptr);
    view->window()->resize(420, 380);
    QApplication::processEvents();
    CQuorvixListCtrl* list = view->List();
    EXPECT_TRUE(list->verticalScrollBar()->isVisible());
    EXPECT_EQ(list->GetColumnWidth(0), list->viewport()->width() - 1 - view->StatusColumnWidth());
    EXPECT_EQ(list->GetColumnWidth(1), view->StatusColumnWidth());
    EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
}

TEST_F(CompareTables, FailedReadShowsWhyAndOpensNoWindow) {
    QUORVIX_REQUIRE_DATA_SOURCE(QStringLiteral("QuorvixPostgres"));
    // A session of its own, ended from outside after the listing, as a server restart would.
    const QString application =
        QStringLiteral("qvx_gone_%1").arg(QCoreApplication::applicationPid());
    COdbcTestEnvironment::AddDataSource(
        QStringLiteral("GoneLeft"), true, QStringLiteral("PostgreSQL Unicode"),
        QStringLiteral("Servername=%1\nPort=%2\nDatabase=quorvix\nUsername=postgres\n"
                       "pqopt=application_name=%3")
            .arg(qEnvironmentVariable("QUORVIX_PG_SOCKETS"),
                 qEnvironmentVariable("QUORVIX_PG_PORT"), application));
    Choose(0, QStringLiteral("GoneLeft"), QStringLiteral("quorvix.s1"));
    View(1)->SelectDataSource(QStringLiteral("ExpRight"), CDataSourceSide::SystemDataSource);
    ASSERT_EQ(
        QProcess::execute(
            QStringLiteral("psql"),
            {QStringLiteral("-q"), QStringLiteral("-h"), qEnvironmentVariable("QUORVIX_PG_SOCKETS"),
             QStringLiteral("-p"), qEnvironmentVariable("QUORVIX_PG_PORT"), QStringLiteral("-U"),
             QStringLiteral("postgres"), QStringLiteral("-d"), QStringLiteral("quorvix"),
             QStringLiteral("-c"),
             QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE "
                            "application_name = '%1'")
                 .arg(application)}),
        0);

    QString message;
    ReadMessageBoxWhenShown(message);
    OpenTableComparison();
    EXPECT_TRUE(m_app->ComparisonFrames().isEmpty());
    EXPECT_TRUE(message.startsWith(
        QStringLiteral("The tables of GoneLeft (quorvix.s1) cannot be read.\nDriver: ")))
        << message.toStdString();
    EXPECT_EQ(ResultFiles(), 0);
    // Nothing is locked: the user may choose other data sources at once.
    EXPECT_TRUE(Control(0, CFormDBSelect::kDataSourceButton)->isEnabled());
}

// A server that stops answering in the middle of a comparison: Cancel gives its connection up,
// the window says so, and the next comparison connects again.
TEST_F(CompareTables, ConnectionGivenUpIsToldAndTheNextComparisonConnectsAgain) {
    const QString postgres = QStringLiteral("QuorvixPostgres");
    QUORVIX_REQUIRE_DATA_SOURCE(postgres);
    Choose(0, postgres, QStringLiteral("quorvix.stall"));
    Choose(1, postgres, QStringLiteral("quorvix.s1"));
    CStoppedBackend stopped(postgres,
                            CStoppedBackend::BackendPid(*m_app->GetSide(0)->Connection()));
    ASSERT_GT(stopped.Pid(), 0);
    CHeldDictionaryLock lock;
    ASSERT_TRUE(lock.IsHeld());

    // The dictionary comparison's left read waits for the lock; its server process then stops,
    // so that the call that sent the read does not return, and Cancel is pressed. Then the
    // message is read.
    QString message;
    bool stoppedWhenTold = false;
    auto* watcher = new QTimer(qApp);
    g_pendingHandlers.emplace_back(watcher);
    watcher->setInterval(20);
    QObject::connect(watcher, &QTimer::timeout, watcher, [&] {
        QWidget* modal = ActiveModal();
        if (auto* progress = dynamic_cast<CDlgWait*>(modal)) {
            if (!progress->IsCancelRequested() &&
                CHeldDictionaryLock::IsWaitedForBy(stopped.Pid())) {
                stopped.Stop();
                progress->reject();
            }
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            watcher->stop();
            stoppedWhenTold = stopped.IsStopped();
            message = box->text();
            box->accept();
        }
    });
    watcher->start();
    // A window that waited for the server would wait for good: let it go long after, and fail.
    QTimer::singleShot(kEventLimitMs, watcher, [&stopped, &lock] {
        lock.Release();
        stopped.Continue();
    });
    OnNextModal(AcceptParams);
    QTest::mouseClick(Commands()->CompareDictionariesButton(), Qt::LeftButton);
    watcher->stop();
    EXPECT_EQ(message, QStringLiteral("The connection to QuorvixPostgres was abandoned because the "
                                      "server did not answer. Quorvix connects again on its next "
                                      "use."));
    EXPECT_TRUE(stoppedWhenTold);
    EXPECT_TRUE(m_app->ComparisonFrames().isEmpty());
    EXPECT_FALSE(m_app->GetSide(0)->IsConnected());

    // The server process is still stopped: the comparison runs on a new connection.
    CFormCompareTable* view = OpenTableComparison();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(ListedNames(view).contains(QStringLiteral("f9210")));
    EXPECT_TRUE(m_app->GetSide(0)->IsConnected());
    EXPECT_TRUE(stopped.IsStopped());
    EXPECT_TRUE(stopped.Continue());
}

TEST_F(CompareTables, StructureOpensBesideAComparisonWithoutABeep) {
    CFormCompareTable* view = OpenTableComparison();
    ASSERT_NE(view, nullptr);
    const int beeps = CWarningBeep::Count();
    // The table structure window opens beside the comparison.
    View(0)->TableList()->SelectRow(0);
    QTest::mouseClick(Control(0, CFormDBSelect::kStructureButton), Qt::LeftButton);
    EXPECT_EQ(CWarningBeep::Count(), beeps);
    ASSERT_EQ(m_app->StructureFrames().size(), 1);
    m_app->StructureFrames().first()->close();
}

// Return on a row does what a double click does, the row's menu offers the same command, and
// Return on the focused "Show differences..." presses it.
TEST_F(CompareTables, ReturnTheRowMenuOrTheFocusedButtonShowTheDifferences) {
    CFormCompareTable* view = OpenTableComparison();
    ASSERT_NE(view, nullptr);
    CQuorvixListCtrl* list = view->List();
    const int same = int(ListedNames(view).indexOf(QStringLiteral("SAME")));
    const int t1 = int(ListedNames(view).indexOf(QStringLiteral("T1")));
    const auto pressReturnOn = [view](QWidget* control) {
        QApplication::setActiveWindow(view->window());
        control->setFocus();
        QTest::keyClick(control, Qt::Key_Return);
    };
    list->SelectRow(same);
    pressReturnOn(list);
    EXPECT_EQ(m_app->ComparisonFrames().size(), 1); // the same table has no differences
    MenuEntries seen;
    ChooseInNextMenu(QStringLiteral("Show differences..."), &seen);
    RightClick(*list, list->LabelRect(same).center());
    EXPECT_EQ(seen.texts, (QStringList{"Copy", "Copy name", "", "Show differences..."}));
    EXPECT_FALSE(seen.enabled.last());
    EXPECT_EQ(m_app->ComparisonFrames().size(), 1);

    list->SelectRow(t1);
    pressReturnOn(list);
    ASSERT_EQ(m_app->ComparisonFrames().size(), 2);
    auto* columns = dynamic_cast<CCompareColumnFrm*>(m_app->ComparisonFrames().last());
    ASSERT_NE(columns, nullptr);
    EXPECT_EQ(columns->TableIndex(), list->GetItemData(t1));
    ChooseInNextMenu(QStringLiteral("Show differences..."));
    RightClick(*list, list->LabelRect(t1).center());
    EXPECT_EQ(m_app->ComparisonFrames().size(), 3);
    pressReturnOn(view->DetailButton());
    EXPECT_EQ(m_app->ComparisonFrames().size(), 4);
}

TEST_F(CompareTables, EscapeAndCtrlWCloseTheWindowAndCtrlFGoesToTheSearch) {
    for (const QKeyCombination close :
         {QKeyCombination(Qt::Key_Escape), QKeyCombination(Qt::CTRL | Qt::Key_W)}) {
        CFormCompareTable* view = OpenTableComparison();
        ASSERT_NE(view, nullptr);
        QPointer<QWidget> frame = view->window();
        QApplication::setActiveWindow(frame);
        view->List()->setFocus();
        view->SearchEdit()->setText(QStringLiteral("ONLY"));
        QTest::keyClick(view->List(), Qt::Key_F, Qt::ControlModifier);
        EXPECT_TRUE(view->SearchEdit()->hasFocus());
        EXPECT_EQ(view->SearchEdit()->selectedText(), QStringLiteral("ONLY")); // typed over
        QTest::keyClick(view->SearchEdit(), close.key(), close.keyboardModifiers());
        EXPECT_TRUE(frame.isNull() || !frame->isVisible());
        EXPECT_TRUE(m_app->ComparisonFrames().isEmpty());
        EXPECT_EQ(ResultFiles(), 0); // closed as its close box closes it
    }
}

// The column comparison of a different table, opened from the table window.
class CompareColumns : public CompareTables {
protected:
    void SetUp() override {
        CompareTables::SetUp();
        AddLite(QStringLiteral("ColLeft"),
                QStringLiteral("CREATE TABLE T1 (id INTEGER, name VARCHAR(10), code VARCHAR(5), "
                               "only_left INT); CREATE TABLE SAME (a INT);"));
        AddLite(QStringLiteral("ColRight"),
                QStringLiteral("CREATE TABLE T1 (id INTEGER, name VARCHAR(20), code VARCHAR(5), "
                               "only_right INT); CREATE TABLE SAME (a INT);"));
        View(0)->SelectDataSource(QStringLiteral("ColLeft"), CDataSourceSide::SystemDataSource);
        View(1)->SelectDataSource(QStringLiteral("ColRight"), CDataSourceSide::SystemDataSource);
    }

    // Opens the table window with the SQL type comparison on or off, then the column window of
    // T1 by a double click on its row.
    CFormCompareColumn* OpenColumns(bool typeDetails) {
        m_app->Params().SetBit(ParamBit::CompareSqlTypes, typeDetails);
        CFormCompareTable* tables = OpenTableComparison();
        if (!tables)
            return nullptr;
        const int row = int(ListedNames(tables).indexOf(QStringLiteral("T1")));
        tables->List()->SelectRow(row);
        emit tables->List()->ItemActivated(row);
        auto* frame = dynamic_cast<CCompareColumnFrm*>(m_app->ComparisonFrames().last());
        return frame ? dynamic_cast<CFormCompareColumn*>(frame->View()) : nullptr;
    }
    // A row's texts before its status.
    QStringList Row(CFormCompareColumn* view, int row) const {
        QStringList texts;
        for (int column = 0; column < view->StatusColumn(); ++column)
            texts.append(view->List()->GetItemText(row, column));
        return texts;
    }
};

TEST_F(CompareColumns, WithoutTypeDetailsNameAndStatusThreeFiltersAndNamesOnly) {
    CFormCompareColumn* view = OpenColumns(false);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->window()->windowTitle(), QStringLiteral("Columns of T1 - ColLeft / ColRight"));
    // The name and the status, under no band: the name takes what the status leaves.
    EXPECT_EQ(view->List()->GetColumnCount(), 2);
    EXPECT_TRUE(view->HeaderBand().isEmpty());
    EXPECT_EQ(ColumnWidths(view),
              (std::vector<int>{view->List()->viewport()->width() - 1 - view->StatusColumnWidth(),
                                view->StatusColumnWidth()}));
    EXPECT_FALSE(view->Filter(CompareStatus::Different)->isVisible());
    EXPECT_TRUE(view->Filter(CompareStatus::OnlyRight)->isVisible());
    EXPECT_EQ(view->Filter(0)->text(), QStringLiteral("3 field(s) is/are the same"));
    EXPECT_EQ(view->Filter(1)->text(), QStringLiteral("1 field(s) is/are only in ColLeft"));
    // Right-only columns follow their predecessor.
    QStringList names;
    for (int row = 0; row < view->List()->GetItemCount(); ++row)
        names.append(view->List()->GetItemText(row, 0));
    EXPECT_EQ(names, (QStringList{"id", "name", "code", "only_right", "only_left"}));
    EXPECT_EQ(ColumnTexts(view, 1), (QStringList{"= same", "= same", "= same", "< only in ColRight",
                                                 "> only in ColLeft"}));
    // The search looks at names only: "varchar" is a type.
    const int beeps = CWarningBeep::Count();
    view->SearchEdit()->setText(QStringLiteral("VARCHAR"));
    view->Find();
    EXPECT_EQ(CWarningBeep::Count(), beeps + 1);
    view->SearchEdit()->setText(QStringLiteral("ONLY"));
    view->Find();
    EXPECT_EQ(view->List()->GetItemText(view->List()->GetSelectedRow(), 0),
              QStringLiteral("only_right"));
    // A table window and this one share the one result; the table window limits its width.
    auto* frame = dynamic_cast<CCompareFrm*>(view->window());
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->HasMaxWidth());
    EXPECT_EQ(m_app->ComparisonFrames().size(), 2);
    EXPECT_EQ(ResultFiles(), 1);
}

TEST_F(CompareColumns, TypeDetailsShowFiveColumnsUnderAPaintedBand) {
    CFormCompareColumn* view = OpenColumns(true);
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->List()->GetColumnCount(), 6); // and the status
    EXPECT_EQ(view->StatusColumn(), 5);
    EXPECT_TRUE(view->Filter(CompareStatus::Different)->isVisible());
    EXPECT_EQ(view->Filter(3)->text(), QStringLiteral("1 field(s) is/are different"));
    auto* frame = dynamic_cast<CCompareFrm*>(view->window());
    EXPECT_FALSE(frame->HasMaxWidth());
    // Sizes 10 and 20 of one VARCHAR column; the same type on both sides shows once, each
    // driver's own type name in its side's column.
    EXPECT_EQ(Row(view, 1),
              (QStringList{"name", "VARCHAR", "10 | 20", "VARCHAR(10)", "VARCHAR(20)"}));
    EXPECT_EQ(ColumnTexts(view, 5), (QStringList{"= same", "<> different", "= same",
                                                 "< only in ColRight", "> only in ColLeft"}));
    // The search looks at every column with type details, not at the status.
    view->SearchEdit()->setText(QStringLiteral("10 | 20"));
    view->Find();
    EXPECT_EQ(view->List()->GetSelectedRow(), 1);
    const int beeps = CWarningBeep::Count();
    view->SearchEdit()->setText(QStringLiteral("<>"));
    view->Find();
    EXPECT_EQ(CWarningBeep::Count(), beeps + 1);

    // The band above the list is painted in the button face colour.
    const QRect band = view->HeaderBand();
    ASSERT_EQ(band.height(), CFormCompareColumn::kBandHeight);
    EXPECT_EQ(band.bottom() + 1, view->List()->geometry().top());
    const QImage image = view->grab().toImage();
    EXPECT_EQ(QColor(image.pixel(band.left() + 2, band.top() + 1)),
              view->palette().color(QPalette::Button));

    // The status column keeps its width, last; of what it leaves, the name column takes 22 of
    // 100 parts, rounded, within 60 and 200 pixels; the type, the size and the first driver's
    // type share the rest as 26, 12 and 20 of 78; the second driver's type takes what is left.
    for (const int width : {200, 420, 700, 2400}) {
        frame->resize(width, 400);
        view->SizeColumns();
        EXPECT_EQ(ColumnWidths(view), ExpectedWidths(view, {22, 26, 12, 20, 20})) << width;
        EXPECT_TRUE(StatusesShowWhole(view)) << width;
    }
}

// However a column window closes (Escape, Ctrl+W, its close box), the focus goes back to the
// table window that opened it, on the control that had it there; once that window is gone, to
// the main window.
TEST_F(CompareColumns, ClosingGivesTheFocusBackToTheWindowThatOpenedIt) {
    // Activation is asked of the platform, as a click in a window would, and comes as its event.
    const auto activate = [](QWidget* window) {
        window->activateWindow();
        return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }, 5000);
    };
    const auto activeWindowBecomes = [](const QWidget* window) {
        return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }, 5000);
    };
    // Opened by Return on T1 in the table window's list.
    const auto openColumns = [this, activate](CFormCompareTable* tables) {
        QPointer<CCompareColumnFrm> columns;
        if (!activate(tables->window()))
            return columns;
        tables->List()->setFocus();
        tables->List()->SelectRow(int(ListedNames(tables).indexOf(QStringLiteral("T1"))));
        QTest::keyClick(tables->List(), Qt::Key_Return);
        columns = dynamic_cast<CCompareColumnFrm*>(m_app->ComparisonFrames().last());
        if (columns && activate(columns))
            columns->ShownView()->List()->setFocus();
        return columns;
    };
    const std::function<void(CCompareColumnFrm*)> closings[] = {
        [](CCompareColumnFrm* frame) {
            QTest::keyClick(frame->ShownView()->List(), Qt::Key_Escape);
        },
        [](CCompareColumnFrm* frame) {
            QTest::keyClick(frame->ShownView()->List(), Qt::Key_W, Qt::ControlModifier);
        },
        [](CCompareColumnFrm* frame) { frame->close(); },
    };
    CFormCompareTable* tables = OpenTableComparison();
    ASSERT_NE(tables, nullptr);
    for (const auto& close : closings) {
        const QPointer<CCompareColumnFrm> columns = openColumns(tables);
        ASSERT_NE(columns, nullptr);
        ASSERT_EQ(QApplication::activeWindow(), columns);
        close(columns);
        EXPECT_TRUE(columns.isNull() || !columns->isVisible());
        EXPECT_TRUE(activeWindowBecomes(tables->window()));
        EXPECT_TRUE(tables->List()->hasFocus());
    }

    // The table window closed first: the column window gives the focus to the main window.
    const QPointer<CCompareColumnFrm> columns = openColumns(tables);
    ASSERT_NE(columns, nullptr);
    tables->window()->close();
    ASSERT_TRUE(activate(columns));
    QTest::keyClick(columns->ShownView()->List(), Qt::Key_Escape);
    EXPECT_TRUE(m_app->ComparisonFrames().isEmpty());
    EXPECT_TRUE(activeWindowBecomes(m_app->MainFrame()));
}

// Two long names of one server that differ at their ends stay told apart: the side's line is cut
// in its middle, and the header shows whole in a tooltip while it is cut.
TEST_F(CompareColumns, LongSideNamesInTheHeadersAreCutInTheMiddleWithTheWholeNameInATooltip) {
    const QString left = QStringLiteral("ColumnsOfAnAccountingDb_PROD");
    const QString right = QStringLiteral("ColumnsOfAnAccountingDb_TEST");
    AddLite(left, QStringLiteral("CREATE TABLE T1 (id INTEGER, name VARCHAR(10));"));
    AddLite(right, QStringLiteral("CREATE TABLE T1 (id INTEGER, name VARCHAR(20));"));
    View(0)->SelectDataSource(left, CDataSourceSide::SystemDataSource);
    View(1)->SelectDataSource(right, CDataSourceSide::SystemDataSource);
    CFormCompareColumn* view = OpenColumns(true);
    ASSERT_NE(view, nullptr);
    const auto toolTipAt = [view](int column) {
        QHelpEvent event(QEvent::ToolTip, view->BandHeaderRect(column).center(),
                         view->mapToGlobal(view->BandHeaderRect(column).center()));
        event.ignore();
        QCoreApplication::sendEvent(view, &event);
        return event.isAccepted() ? QToolTip::text() : QString();
    };
    view->window()->resize(CCompareFrm::kMinimumWidth, 400);
    view->SizeColumns();
    const auto headers = view->HeaderTexts();
    EXPECT_EQ(toolTipAt(3), headers[3].first + QLatin1Char('\n') + left);
    EXPECT_EQ(toolTipAt(4), headers[4].first + QLatin1Char('\n') + right);

    // Wide enough, nothing is cut and no tooltip shows.
    view->window()->resize(2400, 400);
    view->SizeColumns();
    EXPECT_TRUE(toolTipAt(3).isEmpty());
    QToolTip::hideText();
}

// A click on a column's header sorts the rows by it, again in reverse, a third time back in the
// comparison order; filters, find and copies follow the order shown, exports keep their own.
TEST_F(CompareColumns, HeaderClicksSortTheRowsAndExportsKeepTheComparisonOrder) {
    const FakeDesktopOpen desktop;
    CFormCompareColumn* view = OpenColumns(true);
    ASSERT_NE(view, nullptr);
    const QString unsorted = m_tmp.filePath(QStringLiteral("unsorted.csv"));
    Export(view, unsorted);
    const QRect nameHeader = view->BandHeaderRect(0);
    const QImage plainHeader = view->grab(nameHeader).toImage();
    const auto names = [view] {
        QStringList texts;
        for (int row = 0; row < view->List()->GetItemCount(); ++row)
            texts.append(view->List()->GetItemText(row, 0));
        return texts;
    };
    const auto clickHeader = [view](int column) {
        QTest::mouseClick(view, Qt::LeftButton, {}, view->BandHeaderRect(column).center());
    };

    clickHeader(0);
    EXPECT_EQ(names(), (QStringList{"code", "id", "name", "only_left", "only_right"}));
    EXPECT_NE(view->grab(nameHeader).toImage(), plainHeader); // the header shows the sort
    clickHeader(0);
    EXPECT_EQ(names(), (QStringList{"only_right", "only_left", "name", "id", "code"}));
    const QString sorted = m_tmp.filePath(QStringLiteral("sorted.csv"));
    Export(view, sorted);
    EXPECT_EQ(Contents(sorted), Contents(unsorted));

    QApplication::setActiveWindow(view->window());
    view->List()->setFocus();
    view->List()->SelectRow(3); // id
    QTest::keyClick(view->List(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(view->List(), Qt::Key_C, Qt::ControlModifier);
    const QStringList copied = CClipboard::Text().split(QLatin1Char('\n'));
    ASSERT_EQ(copied.size(), 4);
    EXPECT_EQ(copied[0], QStringLiteral("Field\tSQL Type\tSize\tType From Driver ColLeft\t"
                                        "Type From Driver ColRight\tStatus"));
    EXPECT_TRUE(copied[1].startsWith(QStringLiteral("id\tINTEGER\t"))) << copied[1].toStdString();
    EXPECT_TRUE(copied[1].endsWith(QStringLiteral("\t= same"))) << copied[1].toStdString();
    EXPECT_TRUE(copied[2].startsWith(QStringLiteral("code\tVARCHAR\t5\t")))
        << copied[2].toStdString();

    // Without the same columns the list stays sorted; the find goes down the order shown.
    view->Filter(CompareStatus::Same)->click();
    EXPECT_EQ(names(), (QStringList{"only_right", "only_left", "name"}));
    view->List()->clearSelection();
    view->SearchEdit()->setText(QStringLiteral("only"));
    view->Find();
    EXPECT_EQ(view->List()->GetItemText(view->List()->GetSelectedRow(), 0),
              QStringLiteral("only_right"));
    view->Filter(CompareStatus::Same)->click();
    clickHeader(0);
    EXPECT_EQ(names(), (QStringList{"id", "name", "code", "only_right", "only_left"}));
    EXPECT_EQ(view->grab(nameHeader).toImage(), plainHeader);
    // Another column starts ascending: sizes by their value.
    clickHeader(2);
    EXPECT_EQ(view->List()->SortColumn(), 2);
    EXPECT_EQ(view->List()->GetItemText(0, 0), QStringLiteral("code")); // 5 before 9 and 10 | 20
    // The status's header is painted last and sorts in the statuses' order, not their symbols'.
    EXPECT_EQ(view->HeaderTexts().back().first, QStringLiteral("Status"));
    const QRect statusHeader = view->BandHeaderRect(view->StatusColumn());
    EXPECT_EQ(statusHeader.width(), view->StatusColumnWidth());
    EXPECT_LE(statusHeader.right(), view->HeaderBand().right());
    clickHeader(view->StatusColumn());
    EXPECT_EQ(names(), (QStringList{"id", "code", "only_left", "only_right", "name"}));
    clickHeader(view->StatusColumn());
    EXPECT_EQ(names(), (QStringList{"name", "only_right", "only_left", "id", "code"}));
    const QString byStatus = m_tmp.filePath(QStringLiteral("by-status.csv"));
    Export(view, byStatus);
    EXPECT_EQ(Contents(byStatus), Contents(unsorted));
}

TEST_F(CompareColumns, OnlyDifferentTablesOpenAndTheExportOffersTheViewsStatuses) {
    CFormCompareColumn* view = OpenColumns(false);
    ASSERT_NE(view, nullptr);
    // A double click on a table that is the same opens nothing.
    auto* tables = dynamic_cast<CFormCompareTable*>(
        dynamic_cast<CCompareFrm*>(m_app->ComparisonFrames().first())->View());
    ASSERT_NE(tables, nullptr);
    const int same = int(ListedNames(tables).indexOf(QStringLiteral("SAME")));
    tables->List()->SelectRow(same);
    emit tables->List()->ItemActivated(same);
    EXPECT_EQ(m_app->ComparisonFrames().size(), 2);
    EXPECT_FALSE(tables->DetailButton()->isEnabled());
    // "Show differences..." opens another window on the same table, on the same result.
    const int t1 = int(ListedNames(tables).indexOf(QStringLiteral("T1")));
    tables->List()->SelectRow(t1);
    ASSERT_TRUE(tables->DetailButton()->isEnabled());
    QTest::mouseClick(tables->DetailButton(), Qt::LeftButton);
    ASSERT_EQ(m_app->ComparisonFrames().size(), 3);
    EXPECT_NE(dynamic_cast<CCompareColumnFrm*>(m_app->ComparisonFrames().last()), nullptr);
    EXPECT_EQ(ResultFiles(), 1);

    const FakeDesktopOpen desktop;
    const QString path = m_tmp.filePath(QStringLiteral("columns.csv"));
    QStringList offered;
    Export(view, path, [&offered](CDlgParams* dialog) {
        for (int bit = ParamBit::ExportColumnStatus0; bit < ParamBit::ExportColumnStatus0 + 4;
             ++bit)
            if (dialog->CheckBox(bit) && dialog->CheckBox(bit)->isVisible())
                offered.append(QString::number(bit));
    });
    // Without type details no column can be different: no option for it.
    EXPECT_EQ(offered, (QStringList{"11", "12", "13"}));
    const QByteArray bytes = Contents(path);
    EXPECT_TRUE(bytes.endsWith("=;code\r\n<;only_right\r\n>;only_left\r\n")) << bytes.toStdString();
    EXPECT_EQ(view->MakeExportSource()->FileName(), QStringLiteral("ColLeft / ColRight - T1"));
}

TEST_F(CompareColumns, PostgresDriverTypeNamesOfBothSides) {
    QUORVIX_REQUIRE_DATA_SOURCE(QStringLiteral("QuorvixPostgres"));
    Choose(0, QStringLiteral("QuorvixPostgres"), QStringLiteral("quorvix.ta"));
    Choose(1, QStringLiteral("QuorvixPostgres"), QStringLiteral("quorvix.tb"));
    m_app->Params().SetBit(ParamBit::CompareSqlTypes, true);
    m_app->Params().SetBit(ParamBit::StringsAlike, false);
    CFormCompareTable* tables = OpenTableComparison();
    ASSERT_NE(tables, nullptr);
    const int row = int(ListedNames(tables).indexOf(QStringLiteral("strings")));
    tables->List()->SelectRow(row);
    QTest::mouseClick(tables->DetailButton(), Qt::LeftButton);
    auto* frame = dynamic_cast<CCompareColumnFrm*>(m_app->ComparisonFrames().last());
    ASSERT_NE(frame, nullptr);
    auto* view = dynamic_cast<CFormCompareColumn*>(frame->View());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Columns of strings - QuorvixPostgres "
                                                   "(quorvix.ta) / QuorvixPostgres (quorvix.tb)"));
    ASSERT_EQ(view->List()->GetItemCount(), 1);
    EXPECT_EQ(Row(view, 0), (QStringList{"c", "VARWCHAR | WCHAR", "10", "varchar", "bpchar"}));

    // The batch tool chooses the owners by the combo's text and writes the window's bytes.
    const FakeDesktopOpen desktop;
    const QString path = m_tmp.filePath(QStringLiteral("strings.csv"));
    Export(view, path);
    EXPECT_EQ(
        BatchExport({QStringLiteral("columns"), QStringLiteral("strings"), QStringLiteral("--left"),
                     QStringLiteral("QuorvixPostgres"), QStringLiteral("--left-owner"),
                     QStringLiteral("quorvix.ta"), QStringLiteral("--right"),
                     QStringLiteral("QuorvixPostgres"), QStringLiteral("--right-owner"),
                     QStringLiteral("quorvix.tb"), QStringLiteral("--set"), QStringLiteral("24"),
                     QStringLiteral("--clear"), QStringLiteral("25")}),
        Contents(path));
}

TEST_F(CompareColumns, BatchToolWritesTheWindowsBytes) {
    for (const bool typeDetails : {false, true}) {
        CFormCompareColumn* view = OpenColumns(typeDetails);
        ASSERT_NE(view, nullptr);
        const FakeDesktopOpen desktop;
        const QString path =
            m_tmp.filePath(typeDetails ? QStringLiteral("types.csv") : QStringLiteral("names.csv"));
        // The encoding chosen last is offered again: Latin-1 is chosen here.
        Export(view, path,
               [](CDlgParams* options) { ChooseEncoding(options, QStringLiteral("ISO 8859-1")); });
        QStringList arguments{QStringLiteral("columns"), QStringLiteral("T1"),
                              QStringLiteral("--left"),  QStringLiteral("ColLeft"),
                              QStringLiteral("--right"), QStringLiteral("ColRight")};
        if (typeDetails)
            arguments << QStringLiteral("--set") << QStringLiteral("24");
        EXPECT_EQ(BatchExport(arguments), Contents(path)) << typeDetails;
        const QString utf8 = m_tmp.filePath(typeDetails ? QStringLiteral("types-utf8.csv")
                                                        : QStringLiteral("names-utf8.csv"));
        Export(view, utf8,
               [](CDlgParams* options) { ChooseEncoding(options, QStringLiteral("UTF-8")); });
        EXPECT_EQ(BatchExport(QStringList(arguments)
                              << QStringLiteral("--encoding") << QStringLiteral("utf-8")),
                  Contents(utf8))
            << typeDetails;
        EXPECT_EQ(Contents(utf8), AsUtf8Export(Contents(path))) << typeDetails;
        for (QWidget* frame : QList<QWidget*>(m_app->ComparisonFrames()))
            frame->close();
    }
}

// With the attributes compared, three columns follow the type details, or the name alone
// without them: the search looks at them, a click on their header sorts by them, and the batch
// tool writes the window's bytes. "Compare tables..." offers them under the SQL types.
TEST_F(CompareColumns, AttributesFollowTheTypeDetailsOrTheNameAlone) {
    QUORVIX_REQUIRE_DATA_SOURCE(QStringLiteral("QuorvixPostgres"));
    Choose(0, QStringLiteral("QuorvixPostgres"), QStringLiteral("quorvix.attr_l"));
    Choose(1, QStringLiteral("QuorvixPostgres"), QStringLiteral("quorvix.attr_r"));
    m_app->Params().SetBit(ParamBit::CompareAttributes, true);
    const FakeDesktopOpen desktop;
    const QStringList sides{QStringLiteral("--left"),        QStringLiteral("QuorvixPostgres"),
                            QStringLiteral("--left-owner"),  QStringLiteral("quorvix.attr_l"),
                            QStringLiteral("--right"),       QStringLiteral("QuorvixPostgres"),
                            QStringLiteral("--right-owner"), QStringLiteral("quorvix.attr_r"),
                            QStringLiteral("--set"),         QStringLiteral("27")};
    const QString changed = QStringLiteral("'a'::character varying | 'b'::character varying");
    for (const bool typeDetails : {true, false}) {
        SCOPED_TRACE(typeDetails ? "type details" : "names");
        m_app->Params().SetBit(ParamBit::CompareSqlTypes, typeDetails);
        OnNextModal([](QWidget* modal) {
            auto* dialog = dynamic_cast<CDlgParams*>(modal);
            ASSERT_NE(dialog, nullptr);
            EXPECT_TRUE(dialog->CheckBox(ParamBit::CompareAttributes)->isVisible());
            EXPECT_TRUE(dialog->CheckBox(ParamBit::CompareAttributes)->isChecked());
            EXPECT_EQ(dialog->CheckBox(ParamBit::CompareAttributes)->x(),
                      dialog->CheckBox(ParamBit::CaseSensitive)->x());
            EXPECT_GT(dialog->CheckBox(ParamBit::CompareAttributes)->y(),
                      dialog->CheckBox(ParamBit::StringsAlike)->y());
            EXPECT_FALSE(dialog->CheckBox(ParamBit::CompareIndexes)->isChecked());
            dialog->Accept();
        });
        QTest::mouseClick(Commands()->CompareTablesButton(), Qt::LeftButton);
        CFormCompareTable* tables = LastView();
        ASSERT_NE(tables, nullptr);
        EXPECT_EQ(tables->Filter(3)->text(), QStringLiteral("4 file(s) is/are different"));
        const QStringList typeArguments{typeDetails ? QStringLiteral("--set")
                                                    : QStringLiteral("--clear"),
                                        QStringLiteral("24")};
        const QString name = typeDetails ? QStringLiteral("details") : QStringLiteral("names");
        const QString tablePath = m_tmp.filePath(name + QStringLiteral("-tables.csv"));
        Export(tables, tablePath);
        EXPECT_EQ(BatchExport(QStringList{QStringLiteral("tables")} + sides + typeArguments),
                  Contents(tablePath));

        tables->List()->SelectRow(int(ListedNames(tables).indexOf(QStringLiteral("defaults"))));
        QTest::mouseClick(tables->DetailButton(), Qt::LeftButton);
        auto* frame = dynamic_cast<CCompareColumnFrm*>(m_app->ComparisonFrames().last());
        ASSERT_NE(frame, nullptr);
        auto* view = dynamic_cast<CFormCompareColumn*>(frame->View());
        ASSERT_NE(view, nullptr);
        EXPECT_TRUE(view->HasAttributes());
        EXPECT_FALSE(frame->HasMaxWidth());
        EXPECT_TRUE(view->Filter(CompareStatus::Different)->isVisible());
        QStringList headers;
        for (const CFormCompare::BandHeader& header : view->HeaderTexts())
            headers.append(header.first);
        const QStringList attributeHeaders{"Nullable", "Decimals", "Default Value"};
        if (typeDetails) {
            EXPECT_EQ(headers, QStringList({"Field", "SQL Type", "Size", "Type From Driver",
                                            "Type From Driver"}) +
                                   attributeHeaders + QStringList{"Status"});
            EXPECT_EQ(Row(view, 1), (QStringList{"changed", "VARWCHAR", "10", "varchar", "varchar",
                                                 "NULL", "", changed}));
        } else {
            EXPECT_EQ(headers, QStringList{"Field"} + attributeHeaders + QStringList{"Status"});
            EXPECT_EQ(Row(view, 1), (QStringList{"changed", "NULL", "", changed}));
        }
        // The attribute columns take their share beside the type details, or beside the name,
        // of what the status column leaves.
        frame->resize(900, 400);
        view->SizeColumns();
        EXPECT_EQ(ColumnWidths(view),
                  ExpectedWidths(view, typeDetails ? std::vector<int>{22, 20, 9, 17, 17, 13, 15, 26}
                                                   : std::vector<int>{22, 13, 15, 26}));
        EXPECT_FALSE(view->HeaderBand().isEmpty());
        view->SearchEdit()->setText(QStringLiteral("'b'::"));
        view->Find();
        EXPECT_EQ(view->List()->GetSelectedRow(), 1);

        // The defaults in their order: a blank, quotes, then digits by their value.
        const int defaultColumn = view->StatusColumn() - 1;
        QTest::mouseClick(view, Qt::LeftButton, {}, view->BandHeaderRect(defaultColumn).center());
        QStringList sorted;
        for (int row = 0; row < view->List()->GetItemCount(); ++row)
            sorted.append(view->List()->GetItemText(row, 0));
        EXPECT_EQ(sorted, (QStringList{"added", "changed", "marks", "removed", "kept"}));

        const QString columnPath = m_tmp.filePath(name + QStringLiteral("-columns.csv"));
        Export(view, columnPath);
        EXPECT_EQ(BatchExport(QStringList{QStringLiteral("columns"), QStringLiteral("defaults")} +
                              sides + typeArguments),
                  Contents(columnPath));
        for (QWidget* window : QList<QWidget*>(m_app->ComparisonFrames()))
            window->close();
    }
}

// MariaDB through the windows: owners are databases, and table names keep their case, so that
// "Orders" and "ORDERS" are one table only when case is ignored.
TEST_F(CompareColumns, MariaDbDatabasesThroughTheWindows) {
    QUORVIX_REQUIRE_DATA_SOURCE(QStringLiteral("QuorvixMariaDB"));
    Choose(0, QStringLiteral("QuorvixMariaDB"), QStringLiteral("quorvix_wl"));
    Choose(1, QStringLiteral("QuorvixMariaDB"), QStringLiteral("quorvix_wr"));
    m_app->Params().SetBit(ParamBit::CompareSqlTypes, true);
    m_app->Params().SetBit(ParamBit::CaseSensitive, false);
    const FakeDesktopOpen desktop;
    CFormCompareTable* tables = OpenTableComparison();
    ASSERT_NE(tables, nullptr);
    EXPECT_EQ(ListedNames(tables), (QStringList{"Items", "LeftOnly", "Orders", "RightOnly"}));
    EXPECT_EQ(tables->Filter(3)->text(), QStringLiteral("1 file(s) is/are different"));
    const QStringList sides{QStringLiteral("--left"),        QStringLiteral("QuorvixMariaDB"),
                            QStringLiteral("--left-owner"),  QStringLiteral("quorvix_wl"),
                            QStringLiteral("--right"),       QStringLiteral("QuorvixMariaDB"),
                            QStringLiteral("--right-owner"), QStringLiteral("quorvix_wr"),
                            QStringLiteral("--set"),         QStringLiteral("24")};
    const QString tablePath = m_tmp.filePath(QStringLiteral("maria-tables.csv"));
    Export(tables, tablePath);
    EXPECT_EQ(BatchExport(QStringList{QStringLiteral("tables")} + sides), Contents(tablePath));

    const int row = int(ListedNames(tables).indexOf(QStringLiteral("Orders")));
    tables->List()->SelectRow(row);
    emit tables->List()->ItemActivated(row);
    auto* frame = dynamic_cast<CCompareColumnFrm*>(m_app->ComparisonFrames().last());
    ASSERT_NE(frame, nullptr);
    auto* view = dynamic_cast<CFormCompareColumn*>(frame->View());
    ASSERT_NE(view, nullptr);
    // Each side asked under its own spelling; the driver's type names beside the SQL types.
    EXPECT_EQ(Row(view, 1), (QStringList{"Customer", "VARWCHAR", "40 | 60", "VARCHAR", "VARCHAR"}));
    EXPECT_EQ(Row(view, 3), (QStringList{"status", "WCHAR", "1", "", "CHAR"}));
    const QString columnPath = m_tmp.filePath(QStringLiteral("maria-columns.csv"));
    Export(view, columnPath);
    EXPECT_EQ(BatchExport(QStringList{QStringLiteral("columns"), QStringLiteral("Orders")} + sides),
              Contents(columnPath));

    // With case kept, the two spellings are two tables, each on one side.
    for (QWidget* window : QList<QWidget*>(m_app->ComparisonFrames()))
        window->close();
    m_app->Params().SetBit(ParamBit::CaseSensitive, true);
    tables = OpenTableComparison();
    ASSERT_NE(tables, nullptr);
    EXPECT_EQ(ListedNames(tables),
              (QStringList{"Items", "LeftOnly", "ORDERS", "Orders", "RightOnly"}));
    EXPECT_EQ(tables->Filter(1)->text(),
              QStringLiteral("2 file(s) is/are only in QuorvixMariaDB (quorvix_wl)"));
}

// With the indexes compared, the column window of a table shows them under a second tab.
class CompareIndexes : public CompareTables {
protected:
    void SetUp() override {
        CompareTables::SetUp();
        // t differs by an index alone; u by its indexes alone: one unique on the left only,
        // one alike, one on the right only; v by its columns, its index alike; same is alike.
        AddLite(QStringLiteral("IdxLeft"),
                QStringLiteral("CREATE TABLE t (a INT, b INT); CREATE INDEX ix ON t (a);"
                               "CREATE TABLE u (a INT, b INT); CREATE UNIQUE INDEX ux ON u (a, b);"
                               "CREATE INDEX us ON u (b);"
                               "CREATE TABLE v (a INT, b INT); CREATE INDEX vx ON v (a);"
                               "CREATE TABLE same (a INT); CREATE INDEX sx ON same (a);"));
        AddLite(QStringLiteral("IdxRight"),
                QStringLiteral("CREATE TABLE t (a INT, b INT);"
                               "CREATE TABLE u (a INT, b INT); CREATE INDEX ux ON u (a, b);"
                               "CREATE INDEX us ON u (b); CREATE INDEX uy ON u (b, a);"
                               "CREATE TABLE v (a INT, c INT); CREATE INDEX vx ON v (a);"
                               "CREATE TABLE same (a INT); CREATE INDEX sx ON same (a);"));
        View(0)->SelectDataSource(QStringLiteral("IdxLeft"), CDataSourceSide::SystemDataSource);
        View(1)->SelectDataSource(QStringLiteral("IdxRight"), CDataSourceSide::SystemDataSource);
    }
    // The column window of a table, opened by a double click on its row.
    CCompareColumnFrm* OpenTable(CFormCompareTable* tables, const QString& name) {
        const int row = int(ListedNames(tables).indexOf(name));
        if (row < 0)
            return nullptr;
        const qsizetype before = m_app->ComparisonFrames().size();
        tables->List()->SelectRow(row);
        emit tables->List()->ItemActivated(row);
        if (m_app->ComparisonFrames().size() == before)
            return nullptr;
        return dynamic_cast<CCompareColumnFrm*>(m_app->ComparisonFrames().last());
    }
    // Each listed row's texts before its status, "|" between them, in the order shown.
    static QStringList Rows(const CFormCompare* view) {
        QStringList rows;
        for (int row = 0; row < view->List()->GetItemCount(); ++row) {
            QStringList texts;
            for (int column = 0; column < view->StatusColumn(); ++column)
                texts.append(view->List()->GetItemText(row, column));
            rows.append(texts.join(QLatin1Char('|')));
        }
        return rows;
    }
    static int RowNamed(const CFormCompare* view, const QString& name) {
        for (int row = 0; row < view->List()->GetItemCount(); ++row) {
            if (view->List()->GetItemText(row, 0) == name)
                return row;
        }
        return -1;
    }
    static QStringList FilterTexts(const CFormCompare* view) {
        QStringList texts;
        for (int status = 0; status < CompareStatus::Count; ++status)
            texts.append(view->Filter(status)->isVisible() ? view->Filter(status)->text()
                                                           : QStringLiteral("(hidden)"));
        return texts;
    }
};

// "Compare tables..." offers the index comparison last; with it the window of a table that
// differs by its indexes alone opens on them: rows, statuses, filters, counts and the search.
TEST_F(CompareIndexes, IndexesTabShowsTheRowsWithTheirFiltersCountsAndSearch) {
    OnNextModal([](QWidget* modal) {
        auto* dialog = dynamic_cast<CDlgParams*>(modal);
        ASSERT_NE(dialog, nullptr);
        QCheckBox* indexes = dialog->CheckBox(ParamBit::CompareIndexes);
        ASSERT_NE(indexes, nullptr);
        EXPECT_TRUE(indexes->isVisible());
        EXPECT_FALSE(indexes->isChecked());
        EXPECT_EQ(indexes->text(), QStringLiteral("Compare the indexes of tables"));
        EXPECT_EQ(indexes->x(), dialog->CheckBox(ParamBit::CaseSensitive)->x());
        EXPECT_GT(indexes->y(), dialog->CheckBox(ParamBit::CompareAttributes)->y());
        indexes->click();
        dialog->Accept();
    });
    QTest::mouseClick(Commands()->CompareTablesButton(), Qt::LeftButton);
    EXPECT_TRUE(m_app->Params().TestBit(ParamBit::CompareIndexes));
    CFormCompareTable* tables = LastView();
    ASSERT_NE(tables, nullptr);
    EXPECT_EQ(tables->Filter(0)->text(), QStringLiteral("1 file(s) is/are the same"));
    EXPECT_EQ(tables->Filter(3)->text(), QStringLiteral("3 file(s) is/are different"));

    CCompareColumnFrm* frame = OpenTable(tables, QStringLiteral("u"));
    ASSERT_NE(frame, nullptr);
    QTabWidget* tabs = frame->Tabs();
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Columns"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Indexes"));
    EXPECT_TRUE(tabs->tabBar()->isVisible());
    EXPECT_EQ(tabs->currentIndex(), CCompareColumnFrm::IndexesTab);
    CFormCompareIndex* view = frame->IndexView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(frame->ShownView(), view);
    EXPECT_TRUE(view->isVisible());
    EXPECT_FALSE(frame->View()->isVisible());

    // Every status has its filter, with its count, none of them also.
    EXPECT_EQ(FilterTexts(view),
              (QStringList{"1 index(es) is/are the same", "0 index(es) is/are only in IdxLeft",
                           "1 index(es) is/are only in IdxRight", "1 index(es) is/are different"}));
    QStringList headers;
    for (const CFormCompare::BandHeader& header : view->HeaderTexts())
        headers.append(header.first);
    EXPECT_EQ(headers, (QStringList{"Index", "Unique", "Columns", "Status"}));
    EXPECT_FALSE(view->HeaderBand().isEmpty());
    EXPECT_EQ(ColumnWidths(view), ExpectedWidths(view, {30, 18, 52}));
    QStringList rows = Rows(view);
    rows.sort();
    EXPECT_EQ(rows, (QStringList{"us|not unique|b", "ux|unique | not unique|a, b",
                                 "uy|not unique|b, a"}));
    const auto statusOf = [view](const QString& name) {
        const int row = RowNamed(view, name);
        return row < 0 ? -2 : view->GetItemImage(view->List()->GetItemData(row));
    };
    EXPECT_EQ(statusOf(QStringLiteral("us")), CompareStatus::Same);
    EXPECT_EQ(statusOf(QStringLiteral("ux")), CompareStatus::Different);
    EXPECT_EQ(statusOf(QStringLiteral("uy")), CompareStatus::OnlyRight);
    const auto statusTextOf = [](const CFormCompare* index, const QString& name) {
        return index->List()->GetItemText(RowNamed(index, name), index->StatusColumn());
    };
    EXPECT_EQ(statusTextOf(view, QStringLiteral("us")), QStringLiteral("= same"));
    EXPECT_EQ(statusTextOf(view, QStringLiteral("ux")), QStringLiteral("<> different"));
    EXPECT_EQ(statusTextOf(view, QStringLiteral("uy")), QStringLiteral("< only in IdxRight"));
    EXPECT_TRUE(StatusesShowWhole(view));
    // Drawn as the column rows are: bold but for the same.
    EXPECT_TRUE(view->List()->RowFont(RowNamed(view, QStringLiteral("ux"))).bold());
    EXPECT_FALSE(view->List()->RowFont(RowNamed(view, QStringLiteral("us"))).bold());

    // The filters hide rows; the counts stay.
    view->Filter(CompareStatus::Same)->click();
    view->Filter(CompareStatus::Different)->click();
    EXPECT_EQ(Rows(view), QStringList{"uy|not unique|b, a"});
    EXPECT_EQ(view->Filter(CompareStatus::Same)->text(),
              QStringLiteral("1 index(es) is/are the same"));
    view->Filter(CompareStatus::Same)->click();
    EXPECT_EQ(RowNamed(view, QStringLiteral("ux")), -1);
    EXPECT_GE(RowNamed(view, QStringLiteral("us")), 0);
    view->Filter(CompareStatus::Different)->click();
    EXPECT_EQ(view->List()->GetItemCount(), 3);

    // The search of the shown tab finds an index by its name, Enter in it too; Ctrl+F goes to
    // the search of the tab shown.
    QApplication::setActiveWindow(frame);
    view->List()->setFocus();
    QTest::keyClick(view->List(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(view->SearchEdit()->hasFocus());
    view->SearchEdit()->setText(QStringLiteral("UY"));
    QTest::keyClick(view->SearchEdit(), Qt::Key_Return);
    EXPECT_EQ(view->List()->GetSelectedRow(), RowNamed(view, QStringLiteral("uy")));
    view->SearchEdit()->setText(QStringLiteral("ux"));
    view->Find();
    EXPECT_EQ(view->List()->GetSelectedRow(), RowNamed(view, QStringLiteral("ux")));

    tabs->setCurrentIndex(CCompareColumnFrm::ColumnsTab);
    auto* columns = dynamic_cast<CFormCompareColumn*>(frame->View());
    ASSERT_NE(columns, nullptr);
    EXPECT_EQ(frame->ShownView(), columns);
    EXPECT_EQ(columns->Filter(0)->text(), QStringLiteral("2 field(s) is/are the same"));
    columns->List()->setFocus();
    QTest::keyClick(columns->List(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(columns->SearchEdit()->hasFocus());
    const int beeps = CWarningBeep::Count();
    columns->SearchEdit()->setText(QStringLiteral("ux"));
    QTest::keyClick(columns->SearchEdit(), Qt::Key_Return);
    EXPECT_EQ(CWarningBeep::Count(), beeps + 1); // an index is no column
    EXPECT_EQ(view->SearchEdit()->text(), QStringLiteral("ux"));

    // In French.
    ChooseLanguage(QStringLiteral("FRA"), {});
    CCompareColumnFrm* french = OpenTable(tables, QStringLiteral("u"));
    ASSERT_NE(french, nullptr);
    ASSERT_NE(french->Tabs(), nullptr);
    EXPECT_EQ(french->Tabs()->tabText(0), QStringLiteral("Colonnes"));
    EXPECT_EQ(french->Tabs()->tabText(1), QStringLiteral("Index"));
    EXPECT_EQ(FilterTexts(french->IndexView()),
              (QStringList{"1 index identique(s)", "0 index uniquement dans IdxLeft",
                           "1 index uniquement dans IdxRight", "1 index différent(s)"}));
    EXPECT_TRUE(Rows(french->IndexView()).contains(QStringLiteral("ux|unique | non unique|a, b")));
    EXPECT_EQ(statusTextOf(french->IndexView(), QStringLiteral("ux")),
              QStringLiteral("<> différent"));
    EXPECT_EQ(statusTextOf(french->IndexView(), QStringLiteral("uy")),
              QStringLiteral("< uniquement dans IdxRight"));
    EXPECT_EQ(french->IndexView()->HeaderTexts().back().first, QStringLiteral("Statut"));
}

// The window opens on the indexes only when they alone make the table different; both tabs
// export the whole column comparison, index lines included, as the batch tool writes it.
TEST_F(CompareIndexes, IndexesAloneOpenTheirTabAndBothTabsExportTheColumns) {
    m_app->Params().SetBit(ParamBit::CompareIndexes, true);
    CFormCompareTable* tables = OpenTableComparison();
    ASSERT_NE(tables, nullptr);

    CCompareColumnFrm* indexOnly = OpenTable(tables, QStringLiteral("t"));
    ASSERT_NE(indexOnly, nullptr);
    ASSERT_NE(indexOnly->Tabs(), nullptr);
    EXPECT_EQ(indexOnly->Tabs()->currentIndex(), CCompareColumnFrm::IndexesTab);
    EXPECT_EQ(Rows(indexOnly->IndexView()), QStringList{"ix|not unique|a"});
    EXPECT_EQ(indexOnly->IndexView()->GetItemImage(0), CompareStatus::OnlyLeft);
    EXPECT_EQ(FilterTexts(indexOnly->IndexView())[CompareStatus::OnlyLeft],
              QStringLiteral("1 index(es) is/are only in IdxLeft"));
    EXPECT_EQ(indexOnly->focusWidget(), indexOnly->IndexView()->SearchEdit());

    CCompareColumnFrm* byColumns = OpenTable(tables, QStringLiteral("v"));
    ASSERT_NE(byColumns, nullptr);
    ASSERT_NE(byColumns->Tabs(), nullptr);
    EXPECT_EQ(byColumns->Tabs()->currentIndex(), CCompareColumnFrm::ColumnsTab);
    EXPECT_TRUE(byColumns->View()->isVisible());
    byColumns->Tabs()->setCurrentIndex(CCompareColumnFrm::IndexesTab);
    EXPECT_EQ(Rows(byColumns->IndexView()), QStringList{"vx|not unique|a"});
    EXPECT_EQ(FilterTexts(byColumns->IndexView())[CompareStatus::Same],
              QStringLiteral("1 index(es) is/are the same"));
    EXPECT_EQ(FilterTexts(byColumns->IndexView())[CompareStatus::Different],
              QStringLiteral("0 index(es) is/are different"));

    // The export buttons of either tab write the same file, the batch tool's.
    const FakeDesktopOpen desktop;
    const QString fromColumns = m_tmp.filePath(QStringLiteral("from-columns.csv"));
    const QString fromIndexes = m_tmp.filePath(QStringLiteral("from-indexes.csv"));
    Export(indexOnly->View(), fromColumns);
    OnNextModal([fromIndexes](QWidget* modal) {
        auto* dialog = dynamic_cast<CDlgParams*>(modal);
        ASSERT_NE(dialog, nullptr);
        OnNextModal([fromIndexes](QWidget* save) { ChooseSavePath(save, fromIndexes); });
        dialog->Accept();
    });
    QTest::mouseClick(qobject_cast<QPushButton*>(CTemplateBuilder::FindControl(
                          *indexOnly->IndexView(), CQuorvixFormView::kExportButton)),
                      Qt::LeftButton);
    const QByteArray bytes = Contents(fromIndexes);
    EXPECT_EQ(bytes, Contents(fromColumns));
    EXPECT_TRUE(bytes.contains("INDEX")) << bytes.toStdString();
    EXPECT_EQ(
        BatchExport({QStringLiteral("columns"), QStringLiteral("t"), QStringLiteral("--left"),
                     QStringLiteral("IdxLeft"), QStringLiteral("--right"),
                     QStringLiteral("IdxRight"), QStringLiteral("--set"), QStringLiteral("26")}),
        bytes);
    const QString report = m_tmp.filePath(QStringLiteral("from-indexes.html"));
    ExportHtmlThroughDialogs(indexOnly->IndexView(), report);
    EXPECT_TRUE(Contents(report).startsWith("<!DOCTYPE html>"));
}

// An index that both sides hold under one name but on other columns is different: the window's
// Indexes tab shows it, and its CSV and HTML exports hold it as the batch tool writes it, with
// the index comparison alone or beside the other options.
TEST_F(CompareIndexes, ADifferentIndexIsWrittenByBothFrontEndsAlike) {
    AddLite(QStringLiteral("IdxDiffLeft"),
            QStringLiteral("CREATE TABLE w (a INT, b INT); CREATE INDEX wx ON w (a);"));
    AddLite(QStringLiteral("IdxDiffRight"),
            QStringLiteral("CREATE TABLE w (a INT, b INT); CREATE INDEX wx ON w (b);"));
    View(0)->SelectDataSource(QStringLiteral("IdxDiffLeft"), CDataSourceSide::SystemDataSource);
    View(1)->SelectDataSource(QStringLiteral("IdxDiffRight"), CDataSourceSide::SystemDataSource);
    const FakeDesktopOpen desktop;
    const QStringList sides{QStringLiteral("--left"), QStringLiteral("IdxDiffLeft"),
                            QStringLiteral("--right"), QStringLiteral("IdxDiffRight")};
    for (const QList<int>& bits : {QList<int>{26}, QList<int>{24, 26, 27}}) {
        m_app->Params().SetBit(ParamBit::CompareSqlTypes, bits.contains(24));
        m_app->Params().SetBit(ParamBit::CompareAttributes, bits.contains(27));
        m_app->Params().SetBit(ParamBit::CompareIndexes, true);
        QStringList arguments = QStringList{QStringLiteral("columns"), QStringLiteral("w")} + sides;
        for (const int bit : bits)
            arguments << QStringLiteral("--set") << QString::number(bit);
        const QString name = QString::number(bits.size());

        CFormCompareTable* tables = OpenTableComparison();
        ASSERT_NE(tables, nullptr);
        CCompareColumnFrm* frame = OpenTable(tables, QStringLiteral("w"));
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(Rows(frame->IndexView()), QStringList{"wx|not unique|a | b"});
        EXPECT_EQ(frame->IndexView()->GetItemImage(0), CompareStatus::Different);

        const QString csv = m_tmp.filePath(name + QStringLiteral(".csv"));
        Export(frame->IndexView(), csv);
        EXPECT_TRUE(Contents(csv).contains("<>;wx;INDEX;")) << Contents(csv).toStdString();
        EXPECT_EQ(BatchExport(arguments), Contents(csv)) << name.toStdString();

        const QString html = m_tmp.filePath(name + QStringLiteral(".html"));
        ExportHtmlThroughDialogs(frame->IndexView(), html);
        EXPECT_TRUE(Contents(html).contains(">wx<")) << name.toStdString();
        EXPECT_EQ(WithoutMoment(BatchExport(QStringList(arguments) << QStringLiteral("--format")
                                                                   << QStringLiteral("html"))),
                  WithoutMoment(Contents(html)))
            << name.toStdString();
        for (QWidget* window : QList<QWidget*>(m_app->ComparisonFrames()))
            window->close();
    }
}

// Without the index comparison the window has no tabs: its one view fills it, as before.
TEST_F(CompareIndexes, WithoutTheIndexComparisonNoTabs) {
    m_app->Params().SetBit(ParamBit::CompareIndexes, false);
    CFormCompareTable* tables = OpenTableComparison();
    ASSERT_NE(tables, nullptr);
    // Columns alike, indexes not looked at.
    EXPECT_EQ(tables->Filter(3)->text(), QStringLiteral("1 file(s) is/are different"));
    EXPECT_EQ(OpenTable(tables, QStringLiteral("t")), nullptr);
    CCompareColumnFrm* frame = OpenTable(tables, QStringLiteral("v"));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->Tabs(), nullptr);
    EXPECT_EQ(frame->IndexView(), nullptr);
    EXPECT_EQ(frame->findChild<QTabBar*>(), nullptr);
    EXPECT_EQ(frame->View()->parentWidget(), frame);
    EXPECT_EQ(frame->ShownView(), frame->View());
}

// PostgreSQL gives each column's direction: a descending one is marked.
TEST_F(CompareIndexes, PostgresDescendingColumnsAreMarked) {
    QUORVIX_REQUIRE_DATA_SOURCE(QStringLiteral("QuorvixPostgres"));
    Choose(0, QStringLiteral("QuorvixPostgres"), QStringLiteral("quorvix.idx_l"));
    Choose(1, QStringLiteral("QuorvixPostgres"), QStringLiteral("quorvix.idx_r"));
    m_app->Params().SetBit(ParamBit::CompareIndexes, true);
    CFormCompareTable* tables = OpenTableComparison();
    ASSERT_NE(tables, nullptr);
    CCompareColumnFrm* frame = OpenTable(tables, QStringLiteral("cols"));
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(frame->Tabs(), nullptr);
    EXPECT_EQ(frame->Tabs()->currentIndex(), CCompareColumnFrm::IndexesTab);
    EXPECT_TRUE(
        Rows(frame->IndexView()).contains(QStringLiteral("ix_dir|not unique|c DESC, a | c, a")));
}
