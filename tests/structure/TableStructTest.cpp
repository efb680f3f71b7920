#include "shell/ModalHandlers.h"

#include "batch/BatchProcess.h"
#include "dialogs/DlgParams.h"
#include "export/ExpectedFiles.h"
#include "model/ParamWord.h"
#include "structure/FormTableStruct.h"
#include "structure/TableStructFrm.h"
#include "ui/Clipboard.h"
#include "ui/ColorTabCtrl.h"
#include "ui/ContextMenus.h"
#include "ui/WarningBeep.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace {

QLineEdit* FileNameEdit(QWidget* save) {
    return save->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

QStringList Row(const CQuorvixListCtrl* list, int row) {
    QStringList texts;
    for (int column = 0; column < list->GetColumnCount(); ++column)
        texts.append(list->GetItemText(row, column));
    return texts;
}

QStringList Column(const CQuorvixListCtrl* list, int column) {
    QStringList texts;
    for (int row = 0; row < list->GetItemCount(); ++row)
        texts.append(list->GetItemText(row, column));
    return texts;
}

QString Selected(const CQuorvixListCtrl* list) {
    return list->GetItemText(list->GetSelectedRow(), 0);
}

// The rows selected by finding the text again and again in the index list.
QList<int> IndexRowsFound(CFormTableStruct* view, const QString& text, int finds) {
    view->Tabs()->setCurrentIndex(CFormTableStruct::IndexesTab);
    view->SearchEdit()->setText(text);
    QList<int> rows;
    for (int find = 0; find < finds; ++find) {
        view->FindNext();
        rows.append(view->IndexList()->GetSelectedRow());
    }
    return rows;
}

} // namespace

// Structure windows opened with the selection views' "Show table structure..." button, on tables
// that the real drivers read.
class TableStruct : public ResultWindowTest {
protected:
    void SetUp() override {
        ResultWindowTest::SetUp();
        AddLite(QStringLiteral("StructLite"),
                QStringLiteral("CREATE TABLE SHAPES (NAME VARCHAR(20), SIZE INTEGER,"
                               " \"POINT;X\" REAL, LABEL TEXT);"
                               "CREATE INDEX IX_SHAPE ON SHAPES (NAME, SIZE, LABEL);"
                               "CREATE UNIQUE INDEX UX_LABEL ON SHAPES (LABEL);"
                               "CREATE TABLE FINDS (NAME VARCHAR(20), SIZE INTEGER, POINT_X REAL,"
                               " LABEL TEXT);"
                               "CREATE TABLE BARE (a INTEGER);"
                               "CREATE TABLE \"DB.SCHEMA/T1\" (c INTEGER);"));
        AddLite(QStringLiteral("StructOther"), QStringLiteral("CREATE TABLE OTHER (o INTEGER);"));
    }

    // Selects the table in the side's list and presses "Show table structure...".
    CFormTableStruct* Open(int side, const QString& table) {
        const int row = int(Column(View(side)->TableList(), 0).indexOf(table));
        if (row < 0)
            return nullptr;
        View(side)->TableList()->SelectRow(row);
        const qsizetype before = m_app->StructureFrames().size();
        QTest::mouseClick(Control(side, CFormDBSelect::kStructureButton), Qt::LeftButton);
        if (m_app->StructureFrames().size() != before + 1)
            return nullptr;
        auto* frame = dynamic_cast<CTableStructFrm*>(m_app->StructureFrames().last());
        return frame ? frame->View() : nullptr;
    }
    CFormTableStruct* OpenLite(const QString& table) {
        Choose(0, QStringLiteral("StructLite"));
        return Open(0, table);
    }

    // "Orders" of the servers' fixtures: ix_orders_amount on amount DESC and Customer, beside
    // other indexes in the driver's order. Its name walks its two rows; the sort order text is
    // found on the descending row only.
    void ExpectOrdersIndexes(CFormTableStruct* view, int indexRows) {
        ASSERT_NE(view, nullptr);
        ASSERT_EQ(view->IndexList()->GetItemCount(), indexRows);
        const int amount = int(Column(view->IndexList(), 0).indexOf("ix_orders_amount"));
        ASSERT_GE(amount, 0);
        EXPECT_EQ(Row(view->IndexList(), amount),
                  (QStringList{"ix_orders_amount", "amount", "Descending"}));
        EXPECT_EQ(Row(view->IndexList(), amount + 1), (QStringList{"", "Customer", "Ascending"}));
        EXPECT_EQ(IndexRowsFound(view, QStringLiteral("IX_ORDERS"), 3),
                  (QList<int>{amount, amount + 1, amount}));
        EXPECT_EQ(IndexRowsFound(view, QStringLiteral("descending"), 2),
                  (QList<int>{amount, amount}));
    }
};

TEST_F(TableStruct, FieldsAndIndexesUnderTwoTabsLaidOutForTheWindowSize) {
    CFormTableStruct* view = OpenLite(QStringLiteral("SHAPES"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->window()->windowTitle(), QStringLiteral("SHAPES (left: StructLite)"));
    EXPECT_FALSE(view->window()->windowIcon().isNull());
    EXPECT_EQ(view->SideName()->text(), QStringLiteral("StructLite"));
    EXPECT_EQ(view->Tabs()->tabText(0), QStringLiteral("Fields"));
    EXPECT_EQ(view->Tabs()->tabText(1), QStringLiteral("Indexes"));
    // The driver's type name holds the declared size already; a sized type adds its own.
    EXPECT_EQ(Row(view->FieldList(), 0), (QStringList{"NAME", "VARCHAR(20) (20)"}));
    EXPECT_EQ(Column(view->FieldList(), 1),
              (QStringList{"VARCHAR(20) (20)", "INTEGER", "REAL", "TEXT"}));
    // One row per index column, the index's name on its first row only; the unique index first.
    EXPECT_EQ(Column(view->IndexList(), 0), (QStringList{"UX_LABEL", "IX_SHAPE", "", ""}));
    EXPECT_EQ(Row(view->IndexList(), 2), (QStringList{"", "SIZE", "Ascending"}));
    EXPECT_TRUE(view->FieldList()->isVisible());
    EXPECT_FALSE(view->IndexList()->isVisible());
    EXPECT_FALSE(view->FindButton()->isEnabled());
    view->SearchEdit()->setText(QStringLiteral("x"));
    EXPECT_TRUE(view->FindButton()->isEnabled());

    view->Tabs()->setCurrentIndex(CFormTableStruct::IndexesTab);
    EXPECT_FALSE(view->FieldList()->isVisible());
    view->window()->resize(420, 360);
    QCoreApplication::processEvents();
    const int cx = view->width();
    const int cy = view->height();
    EXPECT_EQ(view->SideIcon()->geometry(), QRect(7, 7, 16, 16));
    EXPECT_EQ(view->SideName()->geometry().right() + 1, cx - 7);
    const QRect tabs = view->Tabs()->geometry();
    EXPECT_EQ(tabs, QRect(QPoint(7, 30), QPoint(cx - 8, cy - 76)));
    // The find row and the lists lie 4 pixels inside the tabs, below their strip.
    const QRect first = view->Tabs()->tabRect(0);
    const int innerTop = tabs.top() + 4 + first.top() + first.bottom() + 1;
    const QRect find = view->FindButton()->geometry();
    EXPECT_EQ(find.topRight(), QPoint(tabs.right() - 4, innerTop));
    EXPECT_EQ(view->SearchEdit()->geometry(),
              QRect(QPoint(tabs.left() + 4, innerTop),
                    QPoint(find.left() - 2, innerTop + view->SearchEdit()->height() - 1)));
    const CQuorvixListCtrl* indexes = view->IndexList();
    EXPECT_EQ(indexes->geometry(), QRect(QPoint(tabs.left() + 4, innerTop + find.height()),
                                         QPoint(tabs.right() - 4, tabs.bottom() - 4)));
    // The first columns fit their widest text; the last one takes the rest.
    const QFontMetrics metrics(indexes->font());
    EXPECT_GT(indexes->GetColumnWidth(0), metrics.horizontalAdvance(QStringLiteral("UX_LABEL")));
    EXPECT_LT(indexes->GetColumnWidth(0),
              metrics.horizontalAdvance(QStringLiteral("UX_LABEL")) + 20);
    EXPECT_EQ(indexes->GetColumnWidth(0) + indexes->GetColumnWidth(1) + indexes->GetColumnWidth(2),
              indexes->viewport()->width());
}

TEST_F(TableStruct, IntFindsATypeAndANameInEitherCaseWrapsAndFindsASingleMatchAgain) {
    CFormTableStruct* view = OpenLite(QStringLiteral("FINDS"));
    ASSERT_NE(view, nullptr);
    const CQuorvixListCtrl* fields = view->FieldList();
    const int beeps = CWarningBeep::Count();
    view->SearchEdit()->setText(QStringLiteral("int"));
    view->FindNext();
    EXPECT_EQ(Selected(fields), QStringLiteral("SIZE")); // INTEGER
    view->FindNext();
    EXPECT_EQ(Selected(fields), QStringLiteral("POINT_X"));
    view->SearchEdit()->setText(QStringLiteral("INT"));
    view->FindNext();
    EXPECT_EQ(Selected(fields), QStringLiteral("SIZE"));
    EXPECT_EQ(view->SearchEdit()->selectedText(), QStringLiteral("INT"));
    view->SearchEdit()->setText(QStringLiteral("text"));
    view->FindNext();
    EXPECT_EQ(Selected(fields), QStringLiteral("LABEL"));
    EXPECT_TRUE(view->FindNext());
    EXPECT_EQ(Selected(fields), QStringLiteral("LABEL"));
    EXPECT_EQ(CWarningBeep::Count(), beeps);

    for (const char* text : {"nothing", ""}) {
        view->SearchEdit()->setText(QLatin1String(text));
        EXPECT_FALSE(view->FindNext());
        EXPECT_EQ(Selected(fields), QStringLiteral("LABEL"));
    }
    EXPECT_EQ(CWarningBeep::Count(), beeps + 2);
}

TEST_F(TableStruct, IndexNameWalksEveryRowOfThatIndexOnSqlite) {
    CFormTableStruct* view = OpenLite(QStringLiteral("SHAPES"));
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(Column(view->IndexList(), 1), (QStringList{"LABEL", "NAME", "SIZE", "LABEL"}));
    EXPECT_EQ(IndexRowsFound(view, QStringLiteral("shape"), 4), (QList<int>{1, 2, 3, 1}));
    // A column name matches its own row only, an index name every row of its index.
    EXPECT_EQ(IndexRowsFound(view, QStringLiteral("label"), 3), (QList<int>{3, 0, 3}));
    // The field list is not searched meanwhile.
    EXPECT_EQ(view->FieldList()->GetSelectedRow(), -1);
}

TEST_F(TableStruct, PostgresIndexesWithADescendingColumn) {
    QUORVIX_REQUIRE_DATA_SOURCE(QStringLiteral("QuorvixPostgres"));
    Choose(0, QStringLiteral("QuorvixPostgres"), QStringLiteral("quorvix.s1"));
    CFormTableStruct* view = Open(0, QStringLiteral("Orders"));
    ExpectOrdersIndexes(view, 3);
    EXPECT_EQ(view->SideName()->text(), QStringLiteral("QuorvixPostgres (quorvix.s1)"));
    EXPECT_EQ(Column(view->FieldList(), 1),
              (QStringList{"int4", "varchar (40)", "numeric", "text", "bpchar (5)", "bytea"}));
}

TEST_F(TableStruct, MariaDbIndexesWithADescendingColumnAndAFullTextIndex) {
    QUORVIX_REQUIRE_DATA_SOURCE(QStringLiteral("QuorvixMariaDB"));
    Choose(0, QStringLiteral("QuorvixMariaDB"), QStringLiteral("quorvix_a"));
    CFormTableStruct* view = Open(0, QStringLiteral("Orders"));
    ExpectOrdersIndexes(view, 4);
    // Without a sort order from the driver a column reads as ascending.
    const int fullText = int(Column(view->IndexList(), 0).indexOf("ft_note"));
    EXPECT_EQ(Row(view->IndexList(), fullText), (QStringList{"ft_note", "note", "Ascending"}));

    // Its export, which the batch tool writes alike.
    const FakeDesktopOpen desktop;
    const QString window = m_tmp.filePath(QStringLiteral("maria.csv"));
    ExportThroughDialogs(view, window);
    const QByteArray written = Contents(window);
    EXPECT_TRUE(written.contains("\r\nix_orders_amount;amount;Descending\r\n;Customer;"
                                 "Ascending\r\n"))
        << written.toStdString();
    const CBatchProcess run = CBatchProcess::Run(
        {QStringLiteral("structure"), QStringLiteral("Orders"), QStringLiteral("--side"),
         QStringLiteral("left"), QStringLiteral("--left"), QStringLiteral("QuorvixMariaDB"),
         QStringLiteral("--left-owner"), QStringLiteral("quorvix_a")});
    EXPECT_EQ(run.exitCode, 0) << run;
    EXPECT_EQ(run.out, written);
}

TEST_F(TableStruct, TableWithoutIndexesShowsAnEmptyIndexListAndExportsNoIndexLine) {
    CFormTableStruct* view = OpenLite(QStringLiteral("BARE"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->IndexList()->GetItemCount(), 0);
    const int beeps = CWarningBeep::Count();
    EXPECT_EQ(IndexRowsFound(view, QStringLiteral("a"), 1), QList<int>{-1});
    EXPECT_EQ(CWarningBeep::Count(), beeps + 1);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("bare.csv"));
    const FakeDesktopOpen desktop;
    OnNextModal([&path](QWidget* options) {
        OnNextModal([&path](QWidget* save) {
            FileNameEdit(save)->setText(path);
            static_cast<QDialog*>(save)->accept();
        });
        dynamic_cast<CDlgParams*>(options)->Accept();
    });
    view->OnExportToFile();
    EXPECT_EQ(Contents(path), QByteArray("a;INTEGER\r\n\r\n\r\n"));
    EXPECT_EQ(desktop.WaitForArguments(), QStringList{path});
}

TEST_F(TableStruct, HtmlExportIsTheBatchReportOfTheTable) {
    CFormTableStruct* view = OpenLite(QStringLiteral("BARE"));
    ASSERT_NE(view, nullptr);
    const FakeDesktopOpen desktop;
    const QString path = m_tmp.filePath(QStringLiteral("bare.html"));
    ExportHtmlThroughDialogs(view, path);
    const QByteArray report = Contents(path);
    EXPECT_TRUE(report.contains("<tr><td>a<td>INTEGER</tbody>")) << report.toStdString();
    EXPECT_EQ(desktop.WaitForArguments(), QStringList{path});
    const CBatchProcess run = CBatchProcess::Run(
        {QStringLiteral("structure"), QStringLiteral("BARE"), QStringLiteral("--side"),
         QStringLiteral("left"), QStringLiteral("--left"), QStringLiteral("StructLite"),
         QStringLiteral("--format"), QStringLiteral("html")});
    EXPECT_EQ(run.exitCode, 0) << run;
    EXPECT_EQ(WithoutMoment(run.out), WithoutMoment(report));
}

TEST_F(TableStruct, EnterFindsOnlyFromTheSearchField) {
    CFormTableStruct* view = OpenLite(QStringLiteral("FINDS"));
    ASSERT_NE(view, nullptr);
    QApplication::setActiveWindow(view->window());
    view->SearchEdit()->setText(QStringLiteral("int"));
    view->SearchEdit()->setFocus();
    QTest::keyClick(view->SearchEdit(), Qt::Key_Return);
    EXPECT_EQ(Selected(view->FieldList()), QStringLiteral("SIZE"));
    QTest::keyClick(view->SearchEdit(), Qt::Key_Enter);
    EXPECT_EQ(Selected(view->FieldList()), QStringLiteral("POINT_X"));
    QTest::keyClick(view->SearchEdit(), Qt::Key_End);
    QTest::keyClick(view->SearchEdit(), Qt::Key_Z); // other keys type as usual
    EXPECT_EQ(view->SearchEdit()->text(), QStringLiteral("intz"));

    // Elsewhere Enter is left to the control: no find, no beep.
    const int beeps = CWarningBeep::Count();
    view->SearchEdit()->setText(QStringLiteral("label"));
    view->FieldList()->setFocus();
    QTest::keyClick(view->FieldList(), Qt::Key_Return);
    EXPECT_EQ(Selected(view->FieldList()), QStringLiteral("POINT_X"));
    EXPECT_EQ(CWarningBeep::Count(), beeps);
    // The selection views are offered Enter before the structure windows.
    QApplication::setActiveWindow(m_app->MainFrame());
    View(0)->FilterEdit()->setText(QStringLiteral("bare"));
    View(0)->FilterEdit()->setFocus();
    QTest::keyClick(View(0)->FilterEdit(), Qt::Key_Return);
    EXPECT_EQ(Selected(View(0)->TableList()), QStringLiteral("BARE"));
    EXPECT_EQ(Selected(view->FieldList()), QStringLiteral("POINT_X"));
}

// The side's table list opens a structure by Return on a row as by a double click, and by its
// context menu.
TEST_F(TableStruct, ReturnOrTheRowMenuOnASidesTableOpensItsStructure) {
    Choose(0, QStringLiteral("StructLite"));
    CQuorvixListCtrl* tables = View(0)->TableList();
    const int shapes = int(Column(tables, 0).indexOf(QStringLiteral("SHAPES")));
    ASSERT_GE(shapes, 0);
    QApplication::setActiveWindow(m_app->MainFrame());
    tables->setFocus();
    tables->SelectRow(shapes);
    QTest::keyClick(tables, Qt::Key_Return);
    ASSERT_EQ(m_app->StructureFrames().size(), 1);
    auto* frame = dynamic_cast<CTableStructFrm*>(m_app->StructureFrames().last());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->TableName(), QStringLiteral("SHAPES"));

    const int bare = int(Column(tables, 0).indexOf(QStringLiteral("BARE")));
    MenuEntries seen;
    ChooseInNextMenu(QStringLiteral("Show table structure..."), &seen);
    RightClick(*tables, tables->LabelRect(bare).center());
    EXPECT_EQ(seen.texts, (QStringList{"Copy", "Copy name", "", "Show table structure..."}));
    ASSERT_EQ(m_app->StructureFrames().size(), 2);
    EXPECT_EQ(dynamic_cast<CTableStructFrm*>(m_app->StructureFrames().last())->TableName(),
              QStringLiteral("BARE"));
    QTest::keyClick(tables, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(CClipboard::Text(), QStringLiteral("File\nBARE\n"));
}

TEST_F(TableStruct, RowsAndIndexNamesAreCopied) {
    CFormTableStruct* view = OpenLite(QStringLiteral("SHAPES"));
    ASSERT_NE(view, nullptr);
    QApplication::setActiveWindow(view->window());
    view->FieldList()->setFocus();
    QTest::keyClick(view->FieldList(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(view->FieldList(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(CClipboard::Text(),
              QStringLiteral("Name\tType\nNAME\tVARCHAR(20) (20)\nSIZE\tINTEGER\n"
                             "POINT;X\tREAL\nLABEL\tTEXT\n"));
    // Every row of an index is named by the index, also those that do not show its name.
    view->Tabs()->setCurrentIndex(CFormTableStruct::IndexesTab);
    CQuorvixListCtrl* indexes = view->IndexList();
    indexes->SelectRow(1);
    QTest::keyClick(indexes, Qt::Key_End, Qt::ShiftModifier);
    ChooseInNextMenu(QStringLiteral("Copy name"));
    RightClick(*indexes, indexes->LabelRect(2).center());
    EXPECT_EQ(CClipboard::Text(), QStringLiteral("IX_SHAPE\nIX_SHAPE\nIX_SHAPE"));
    QTest::keyClick(indexes, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(CClipboard::Text(), QStringLiteral("Name\tField\tOrder\nIX_SHAPE\tNAME\tAscending\n"
                                                 "\tSIZE\tAscending\n\tLABEL\tAscending\n"));
}

TEST_F(TableStruct, EscapeClosesTheWindowAndCtrlFGoesToTheSearch) {
    CFormTableStruct* view = OpenLite(QStringLiteral("SHAPES"));
    ASSERT_NE(view, nullptr);
    QPointer<QWidget> frame = view->window();
    QApplication::setActiveWindow(frame);
    view->Tabs()->setCurrentIndex(CFormTableStruct::IndexesTab);
    CQuorvixListCtrl* indexes = view->IndexList();
    indexes->setFocus();
    view->SearchEdit()->setText(QStringLiteral("size"));
    QTest::keyClick(indexes, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(view->SearchEdit()->hasFocus());
    EXPECT_EQ(view->SearchEdit()->selectedText(), QStringLiteral("size"));
    QTest::keyClick(view->SearchEdit(), Qt::Key_Escape);
    EXPECT_TRUE(frame.isNull() || !frame->isVisible());
    EXPECT_TRUE(m_app->StructureFrames().isEmpty());
}

TEST_F(TableStruct, NeverDraggedWiderThan500YetAWiderSavedPlacementOrMaximisingStays) {
    m_app->SaveWindowRect(CTableStructFrm::kPlacementKind, QStringLiteral("10,20,710,525"), false);
    CFormTableStruct* view = OpenLite(QStringLiteral("SHAPES"));
    ASSERT_NE(view, nullptr);
    QWidget* frame = view->window();
    EXPECT_EQ(frame->geometry(), QRect(10, 20, 700, 505));
    frame->resize(800, 505);
    EXPECT_EQ(frame->width(), 700);
    frame->resize(450, 505);
    frame->resize(650, 505);
    EXPECT_EQ(frame->width(), 500);
    frame->resize(300, 200);
    EXPECT_EQ(frame->size(), QSize(370, 270));
    frame->setGeometry(40, 50, 480, 400);
    frame->close();
    QString rectangle;
    bool zoomed = true;
    m_app->LoadWindowRect(CTableStructFrm::kPlacementKind, rectangle, zoomed);
    EXPECT_EQ(rectangle, QStringLiteral("40,50,520,450"));
    EXPECT_FALSE(zoomed);

    m_app->SaveWindowRect(CTableStructFrm::kPlacementKind, QStringLiteral("10,20,410,320"), true);
    frame = Open(0, QStringLiteral("BARE"))->window();
    QCoreApplication::processEvents();
    EXPECT_TRUE(frame->isMaximized());
    EXPECT_GT(frame->width(), 500);
    frame->showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->geometry(), QRect(10, 20, 400, 300));
    frame->resize(600, 300);
    EXPECT_EQ(frame->width(), 500);
}

TEST_F(TableStruct, SeveralWindowsForEitherSideEachGivingTheFocusBack) {
    QWidget* button = Control(0, CFormDBSelect::kStructureButton);
    Choose(0, QStringLiteral("StructLite"));
    EXPECT_FALSE(button->isEnabled()); // no table selected
    Choose(1, QStringLiteral("StructOther"));
    CFormTableStruct* shapes = Open(0, QStringLiteral("SHAPES"));
    EXPECT_TRUE(button->isEnabled());
    CFormTableStruct* again = Open(0, QStringLiteral("SHAPES"));
    View(1)->TableList()->SelectRow(0);
    emit View(1)->TableList()->ItemActivated(0); // a double click opens one too
    ASSERT_TRUE(shapes && again && shapes != again);
    ASSERT_EQ(m_app->StructureFrames().size(), 3);
    auto* other = dynamic_cast<CTableStructFrm*>(m_app->StructureFrames().last());
    EXPECT_EQ(other->Side(), 1);
    EXPECT_EQ(other->View()->SideName()->text(), QStringLiteral("StructOther"));
    // Unlike comparison windows, they leave the data source controls usable.
    EXPECT_TRUE(Control(0, CFormDBSelect::kDataSourceButton)->isEnabled());

    QApplication::setActiveWindow(other);
    other->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(m_app->MainFrame()->focusWidget(), View(1));
    EXPECT_EQ(m_app->StructureFrames(), (QList<QWidget*>{shapes->window(), again->window()}));
    // Another data source lists its tables afresh, none selected.
    Choose(0, QStringLiteral("StructOther"));
    EXPECT_FALSE(button->isEnabled());
    // A window still open when the program ends goes with its selection view.
    const QPointer<QWidget> open = again->window();
    m_app->ExitInstance();
    EXPECT_TRUE(open.isNull());
    EXPECT_TRUE(m_app->StructureFrames().isEmpty());
    ASSERT_TRUE(m_app->InitInstance());
}

TEST_F(TableStruct, ExportAsksUntilAListIsChosenThenWritesTheStructureLayout) {
    const FakeDesktopOpen desktop;
    QTemporaryDir folder;
    CFormTableStruct* view = OpenLite(QStringLiteral("SHAPES"));
    ASSERT_NE(view, nullptr);
    const QString path = folder.filePath(QStringLiteral("shapes.csv"));
    QStringList offered;
    int shown = 0;
    std::function<void(QWidget*)> answer = [&](QWidget* modal) {
        auto* dialog = dynamic_cast<CDlgParams*>(modal);
        ASSERT_NE(dialog, nullptr);
        offered.clear();
        for (int bit = 0; bit <= CParamWord::MaxIndex; ++bit) {
            if (dialog->CheckBox(bit) && dialog->CheckBox(bit)->isVisible())
                offered.append(dialog->CheckBox(bit)->text() +
                               (dialog->CheckBox(bit)->isChecked() ? "+" : "-"));
        }
        // Both cleared the first time: the options come back at once.
        const bool clearBoth = ++shown == 1;
        dialog->CheckBox(ParamBit::ExportFields)->setChecked(!clearBoth);
        dialog->CheckBox(ParamBit::ExportIndexes)->setChecked(!clearBoth);
        OnNextModal(clearBoth ? answer : [&path](QWidget* save) {
            EXPECT_EQ(FileNameEdit(save)->text(), QStringLiteral("StructLite_SHAPES.csv"));
            FileNameEdit(save)->setText(path);
            static_cast<QDialog*>(save)->accept();
        });
        dialog->Accept();
    };
    OnNextModal(answer);
    view->OnExportToFile();
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(offered, (QStringList{"Export field list-", "Export key list-"}));
    EXPECT_EQ(Contents(path), Expected("structure-shapes-en.csv"));
    EXPECT_EQ(desktop.WaitForArguments(), QStringList{path});
}

TEST_F(TableStruct, PointAndSlashOfTheTableNameBecomeUnderscoreAndHyphenInTheProposedName) {
    CFormTableStruct* view = OpenLite(QStringLiteral("DB.SCHEMA/T1"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(Row(view->FieldList(), 0), (QStringList{"c", "INTEGER"}));
    QString proposed;
    OnNextModal([&proposed](QWidget* options) {
        OnNextModal([&proposed](QWidget* save) {
            proposed = FileNameEdit(save)->text();
            static_cast<QDialog*>(save)->reject();
        });
        dynamic_cast<CDlgParams*>(options)->Accept();
    });
    view->OnExportToFile();
    EXPECT_EQ(proposed, QStringLiteral("StructLite_DB_SCHEMA-T1.csv"));
}

TEST_F(TableStruct, BatchToolWritesTheWindowsBytes) {
    CFormTableStruct* view = OpenLite(QStringLiteral("SHAPES"));
    ASSERT_NE(view, nullptr);
    const FakeDesktopOpen desktop;
    const QString window = m_tmp.filePath(QStringLiteral("window.csv"));
    ExportThroughDialogs(view, window);
    const QString batch = m_tmp.filePath(QStringLiteral("batch.csv"));
    const CBatchProcess run = CBatchProcess::Run(
        {QStringLiteral("structure"), QStringLiteral("SHAPES"), QStringLiteral("--side"),
         QStringLiteral("left"), QStringLiteral("--left"), QStringLiteral("StructLite"),
         QStringLiteral("-o"), batch});
    EXPECT_EQ(run.exitCode, 0) << run;
    ASSERT_TRUE(QFile::exists(window));
    EXPECT_EQ(Contents(batch), Contents(window));

    const QString windowUtf8 = m_tmp.filePath(QStringLiteral("utf8.csv"));
    ExportThroughDialogs(view, windowUtf8, [](CDlgParams* options) {
        ChooseEncoding(options, QStringLiteral("UTF-8"));
    });
    const CBatchProcess utf8 = CBatchProcess::Run(
        {QStringLiteral("structure"), QStringLiteral("SHAPES"), QStringLiteral("--side"),
         QStringLiteral("left"), QStringLiteral("--left"), QStringLiteral("StructLite"),
         QStringLiteral("--encoding"), QStringLiteral("utf-8"), QStringLiteral("-o"), batch});
    EXPECT_EQ(utf8.exitCode, 0) << utf8;
    EXPECT_EQ(Contents(batch), Contents(windowUtf8));
    EXPECT_EQ(Contents(windowUtf8), AsUtf8Export(Contents(window)));
}
