#include "shell/ShellTestBase.h"

#include "dialogs/DlgDataSources.h"
#include "services/Utilities.h"
#include "shell/RoundBitmapButton.h"
#include "ui/FocusMarks.h"
#include "ui/ImageList.h"
#include "ui/TemplateBuilder.h"
#include "ui/WarningBeep.h"
#include "ui/WindowPlacement.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QString kFindTables = QStringLiteral(
    "CREATE TABLE F0101 (a INT); CREATE TABLE ORDERS (b INT); CREATE TABLE customer_orders (c INT);"
    "CREATE TABLE F9210 (FRDTAI VARCHAR(10), FRDTAS INTEGER);");
const QString kPlainTables = QStringLiteral("CREATE TABLE ORDERS (b INT);");

} // namespace

class MainWindow : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        AddLite(QStringLiteral("ShellFind"), kFindTables);
        AddLite(QStringLiteral("ShellPlain"), kPlainTables);
    }
};

TEST_F(MainWindow, StartsWithTitleBothSidesEmptyAndComparisonsDisabled) {
    EXPECT_EQ(m_app->MainFrame()->windowTitle(), QStringLiteral("OSTRINEL Quorvix"));
    EXPECT_FALSE(Commands()->CompareTablesButton()->isEnabled());
    EXPECT_FALSE(Commands()->CompareDictionariesButton()->isEnabled());
    EXPECT_TRUE(View(0)->TableList()->isHidden());
    EXPECT_EQ(Commands()->CompareTablesButton()->text(), QStringLiteral("Compare tables..."));
}

TEST_F(MainWindow, DataSourceChosenInTheDialogIsConnectedAndListed) {
    QTimer::singleShot(0, [] {
        auto* dialog = dynamic_cast<CDlgDataSources*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->Tabs()->setCurrentIndex(1); // the test data sources are system ones
        QListWidget* list = dialog->List(1);
        const QList<QListWidgetItem*> found =
            list->findItems(QStringLiteral("ShellFind\t"), Qt::MatchStartsWith);
        ASSERT_EQ(found.size(), 1);
        EXPECT_TRUE(found.first()->text().endsWith(QStringLiteral("SQLite3")));
        list->setCurrentItem(found.first());
        QTest::mouseClick(CTemplateBuilder::Find<QPushButton>(*dialog, 1), Qt::LeftButton);
    });
    QTest::mouseClick(static_cast<QPushButton*>(Control(0, CFormDBSelect::kDataSourceButton)),
                      Qt::LeftButton);
    const CDataSourceSide* side = m_app->GetSide(0);
    EXPECT_EQ(side->DataSourceName(), QStringLiteral("ShellFind"));
    EXPECT_EQ(side->DataSourceKind(), CDataSourceSide::SystemDataSource);
    EXPECT_TRUE(side->IsConnected());
    EXPECT_TRUE(side->IsReady());
    // One owner: listed at once, no combo.
    EXPECT_FALSE(View(0)->TableList()->isHidden());
    EXPECT_TRUE(View(0)->OwnerCombo()->isHidden());
    EXPECT_EQ(View(0)->TableList()->GetItemCount(), 4);
    EXPECT_EQ(m_app->SideDisplayName(0), QStringLiteral("ShellFind"));
}

TEST_F(MainWindow, DialogOpensOnTheCurrentChoiceMatchedWithoutCase) {
    QString name = QStringLiteral("shellplain");
    CDataSourceSide::SourceKind kind = CDataSourceSide::SystemDataSource;
    CDlgDataSources dialog(&name, &kind, nullptr);
    dialog.show();
    EXPECT_EQ(dialog.Tabs()->currentIndex(), 1);
    ASSERT_EQ(dialog.List(1)->selectedItems().size(), 1);
    EXPECT_TRUE(dialog.List(1)->selectedItems().first()->text().startsWith("ShellPlain\t"));
    EXPECT_TRUE(CTemplateBuilder::FindControl(dialog, 1)->isEnabled());
    // Without a setup program of the driver manager, the program's own dialog is offered.
    EXPECT_TRUE(CTemplateBuilder::FindControl(dialog, CDlgDataSources::kSetupButton)->isEnabled());
    // Changing tabs forgets the choice: OK does nothing until an item is chosen.
    dialog.Tabs()->setCurrentIndex(0);
    EXPECT_TRUE(dialog.SelectedName().isEmpty());
    dialog.Accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(name, QStringLiteral("shellplain"));
}

TEST_F(MainWindow, FailingDataSourceOffersConnectionAndNoComparison) {
    View(0)->SelectDataSource(QStringLiteral("ShellFind"), CDataSourceSide::SystemDataSource);
    View(1)->SelectDataSource(QStringLiteral("NoSuchSource"), CDataSourceSide::UserDataSource);
    EXPECT_FALSE(Control(1, CFormDBSelect::kConnectButton)->isHidden());
    EXPECT_TRUE(View(1)->TableList()->isHidden());
    EXPECT_FALSE(Commands()->CompareTablesButton()->isEnabled());
    View(1)->SelectDataSource(QStringLiteral("ShellPlain"), CDataSourceSide::SystemDataSource);
    EXPECT_TRUE(Control(1, CFormDBSelect::kConnectButton)->isHidden());
    EXPECT_TRUE(Commands()->CompareTablesButton()->isEnabled());
    // Only the left side has a data dictionary.
    EXPECT_FALSE(Commands()->CompareDictionariesButton()->isEnabled());
    View(1)->SelectDataSource(QStringLiteral("ShellFind"), CDataSourceSide::SystemDataSource);
    EXPECT_TRUE(Commands()->CompareDictionariesButton()->isEnabled());
}

TEST_F(MainWindow, FindNextWrapsAroundAndTestsTheCurrentItemLast) {
    View(0)->SelectDataSource(QStringLiteral("ShellFind"), CDataSourceSide::SystemDataSource);
    CQuorvixListCtrl* list = View(0)->TableList();
    ASSERT_EQ(list->GetItemText(0, 0), QStringLiteral("F0101"));
    View(0)->FilterEdit()->setText(QStringLiteral("Order"));
    View(0)->FindNext();
    EXPECT_EQ(list->GetItemText(list->GetSelectedRow(), 0), QStringLiteral("ORDERS"));
    View(0)->FindNext();
    EXPECT_EQ(list->GetItemText(list->GetSelectedRow(), 0), QStringLiteral("customer_orders"));
    View(0)->FindNext();
    EXPECT_EQ(list->GetItemText(list->GetSelectedRow(), 0), QStringLiteral("ORDERS"));

    const int beeps = CWarningBeep::Count();
    View(0)->FilterEdit()->setText(QStringLiteral("zzz"));
    View(0)->FindNext();
    EXPECT_EQ(CWarningBeep::Count(), beeps + 1);
    EXPECT_EQ(list->GetItemText(list->GetSelectedRow(), 0), QStringLiteral("ORDERS"));
}

TEST_F(MainWindow, EnterInTheFilterEditFinds) {
    View(0)->SelectDataSource(QStringLiteral("ShellFind"), CDataSourceSide::SystemDataSource);
    QApplication::setActiveWindow(m_app->MainFrame());
    View(0)->FilterEdit()->setText(QStringLiteral("customer"));
    View(0)->FilterEdit()->setFocus();
    QTest::keyClick(View(0)->FilterEdit(), Qt::Key_Return);
    CQuorvixListCtrl* list = View(0)->TableList();
    EXPECT_EQ(list->GetItemText(list->GetSelectedRow(), 0), QStringLiteral("customer_orders"));
}

TEST_F(MainWindow, CtrlFGoesToTheSearchFieldOfTheSideWithTheFocus) {
    for (const int side : {0, 1}) {
        View(side)->SelectDataSource(QStringLiteral("ShellFind"),
                                     CDataSourceSide::SystemDataSource);
        View(side)->FilterEdit()->setText(QStringLiteral("orders"));
    }
    QApplication::setActiveWindow(m_app->MainFrame());
    View(1)->TableList()->setFocus();
    QTest::keyClick(View(1)->TableList(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(View(1)->FilterEdit()->hasFocus());
    EXPECT_EQ(View(1)->FilterEdit()->selectedText(), QStringLiteral("orders"));
    // With the focus on neither side, the left side's field.
    Commands()->CompareTablesButton()->setFocus();
    QTest::keyClick(Commands()->CompareTablesButton(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(View(0)->FilterEdit()->hasFocus());
}

TEST_F(MainWindow, RoundAboutButtonShowsTheFocus) {
    QApplication::setActiveWindow(m_app->MainFrame());
    CRoundBitmapButton* about = Commands()->AboutButton();
    const auto [plain, focused] =
        FocusPictures(*about, *Control(0, CFormDBSelect::kDataSourceButton), Qt::TabFocusReason);
    EXPECT_GE(PixelsMarkedByFocus(plain, focused), 20);
}

TEST_F(MainWindow, ComparisonFramesLockTheDataSourceControls) {
    View(0)->SelectDataSource(QStringLiteral("ShellFind"), CDataSourceSide::SystemDataSource);
    QWidget first;
    QWidget second;
    m_app->RegisterComparisonFrame(&first);
    m_app->RegisterComparisonFrame(&second);
    EXPECT_FALSE(Control(0, CFormDBSelect::kDataSourceButton)->isEnabled());
    EXPECT_FALSE(Control(1, CFormDBSelect::kDataSourceButton)->isEnabled());
    EXPECT_TRUE(View(0)->TableList()->isEnabled()); // browsing stays possible
    m_app->UnregisterComparisonFrame(&first);
    EXPECT_FALSE(Control(0, CFormDBSelect::kDataSourceButton)->isEnabled());
    m_app->UnregisterComparisonFrame(&second);
    EXPECT_TRUE(Control(0, CFormDBSelect::kDataSourceButton)->isEnabled());
}

TEST_F(MainWindow, PanesShareTheWidthAndTheStripKeepsItsHeight) {
    CMainFrame* frame = m_app->MainFrame();
    // The strip's height comes from its button from the start, before any sizing.
    const int strip = Commands()->CompareTablesButton()->height() + 14;
    EXPECT_EQ(frame->CommandRowHeight(), strip);
    frame->OnSize(700, 500);
    const int overhead = frame->HorizontalOverhead();
    EXPECT_EQ(View(0)->width(), (700 - overhead) / 2);
    EXPECT_EQ(View(1)->width(), 700 - overhead - (700 - overhead) / 2);
    EXPECT_EQ(Commands()->height(), strip);
    frame->OnSize(700, 30); // lower than the strip: the top row never goes negative
    EXPECT_GE(View(0)->height(), 0);
    EXPECT_EQ(frame->minimumSize(), QSize(650, 400));
    EXPECT_EQ(frame->maximumWidth(), 900);
}

TEST_F(MainWindow, PanesSitInDarkBordersBesideTheAccentBars) {
    CMainFrame* frame = m_app->MainFrame();
    frame->showNormal();
    frame->resize(700, 500);
    QCoreApplication::processEvents();
    // Two borders of two pixels on the left: the inner splitter's, then the view's own.
    EXPECT_EQ(frame->HorizontalOverhead(), 2 + 2 + 2 + 3 + 2 + 2 + 2);
    EXPECT_EQ(frame->VerticalOverhead(), 2 + 2 + 3 + 2 + 2);
    const QPoint left = View(0)->mapTo(frame, QPoint(0, 0));
    EXPECT_EQ(left, QPoint(4, 4));
    const QImage image = frame->grab().toImage();
    const QColor dark(0, 64, 96);
    const QColor accent(25, 196, 220);
    EXPECT_EQ(image.pixelColor(0, 0), dark); // the window's own background would be grey
    EXPECT_EQ(image.pixelColor(1, 250), dark);
    // Right of the left view: its border, the bar, the right view's border.
    const int y = left.y() + View(0)->height() / 2;
    const int gap = left.x() + View(0)->width();
    const QColor expected[] = {dark, dark, accent, accent, accent, dark, dark};
    for (int x = 0; x < 7; ++x)
        EXPECT_EQ(image.pixelColor(gap + x, y), expected[x]) << x;
    EXPECT_EQ(View(1)->mapTo(frame, QPoint(0, 0)).x(), gap + 7);
    // Below the top row: the bar between it and the command strip.
    const int below = left.y() + View(0)->height() + 2;
    EXPECT_EQ(image.pixelColor(100, below + 1), dark);
    EXPECT_EQ(image.pixelColor(100, below + 2), accent);
    EXPECT_EQ(image.pixelColor(100, below + 4), accent);
    EXPECT_EQ(image.pixelColor(100, below + 5), dark);
}

TEST_F(MainWindow, PlacementRoundTripAndDefaults) {
    EXPECT_EQ(DefaultWindowRect(QSize(1024, 768)), QStringLiteral("172,131,852,636"));
    m_app->SaveWindowRect(2, QStringLiteral("10,20,710,525"), true);
    QString rectangle;
    bool zoomed = false;
    m_app->LoadWindowRect(2, rectangle, zoomed);
    EXPECT_EQ(rectangle, QStringLiteral("10,20,710,525"));
    EXPECT_TRUE(zoomed);
    QWidget window;
    EXPECT_TRUE(ApplyWindowRect(window, rectangle, zoomed));
    EXPECT_EQ(window.geometry(), QRect(10, 20, 700, 505));
    EXPECT_TRUE(window.windowState() & Qt::WindowMaximized);
    EXPECT_FALSE(ApplyWindowRect(window, QStringLiteral("10,20,30"), false));
    m_app->LoadWindowRect(3, rectangle, zoomed);
    EXPECT_EQ(rectangle, DefaultWindowRect(QGuiApplication::primaryScreen()->geometry().size()));
    EXPECT_FALSE(zoomed);
}

TEST_F(MainWindow, MainWindowPlacementIsKeptOnExit) {
    m_app->MainFrame()->setGeometry(40, 50, 700, 480);
    m_app->ExitInstance();
    QString rectangle;
    bool zoomed = true;
    m_app->LoadWindowRect(-1, rectangle, zoomed);
    EXPECT_EQ(rectangle, QStringLiteral("40,50,740,530"));
    EXPECT_FALSE(zoomed);
    ASSERT_TRUE(m_app->InitInstance());
    EXPECT_EQ(m_app->MainFrame()->geometry(), QRect(40, 50, 700, 480));
}

TEST_F(MainWindow, UnusableKeptPlacementsGiveTheDefault) {
    const QString defaultRect =
        DefaultWindowRect(QGuiApplication::primaryScreen()->geometry().size());
    QString rectangle;
    bool zoomed = false;
    for (const char* text :
         {"2147483648,0,700,500", "0,0,700,99999999999999999999",
          "-2147483648,-2147483648,2147483647,2147483647", "10,20,10,525", "710,525,10,20"}) {
        m_app->SaveWindowRect(2, QLatin1String(text), false);
        m_app->LoadWindowRect(2, rectangle, zoomed);
        EXPECT_EQ(rectangle, defaultRect) << text;
    }
    // The main window starts on the default placement and keeps that, not the stored numbers.
    m_app->ExitInstance();
    m_app->SaveWindowRect(-1, QStringLiteral("-2147483648,-2147483648,2147483647,2147483647"),
                          false);
    ASSERT_TRUE(m_app->InitInstance());
    EXPECT_EQ(WindowRectText(*m_app->MainFrame()), defaultRect);
    m_app->ExitInstance();
    m_app->LoadWindowRect(-1, rectangle, zoomed);
    EXPECT_EQ(rectangle, defaultRect);
    ASSERT_TRUE(m_app->InitInstance());
}

TEST_F(MainWindow, PlacementOffEveryScreenComesBackOnScreenAndIsSavedThere) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const char* text :
         {"-30000,-30000,-29300,-29520", "2000000000,5000,2000000700,5480", "-5,-5,99999,99999"}) {
        m_app->ExitInstance();
        m_app->SaveWindowRect(-1, QLatin1String(text), true);
        ASSERT_TRUE(m_app->InitInstance());
        CMainFrame* frame = m_app->MainFrame();
        EXPECT_TRUE(frame->isMaximized()) << text;
        const QRect placed = frame->normalGeometry();
        EXPECT_TRUE(screen.contains(placed)) << text;
        m_app->ExitInstance();
        QString rectangle;
        bool zoomed = false;
        m_app->LoadWindowRect(-1, rectangle, zoomed);
        EXPECT_EQ(ParseWindowRect(rectangle), placed) << text;
        EXPECT_TRUE(zoomed);
        ASSERT_TRUE(m_app->InitInstance());
    }
    // A window that fits keeps its size when it is brought back (the platform may still move
    // it by its frame).
    m_app->ExitInstance();
    m_app->SaveWindowRect(-1, QStringLiteral("-30000,-30000,-29300,-29520"), false);
    ASSERT_TRUE(m_app->InitInstance());
    const QRect shown = m_app->MainFrame()->geometry();
    EXPECT_EQ(shown.size(), QSize(700, 480));
    EXPECT_TRUE(screen.contains(shown));
}

TEST(RoundBitmapButton, PressOutsideTheCircleDoesNothing) {
    CRoundBitmapButton button;
    button.resize(54, 60);
    button.PreSubclassWindow();
    EXPECT_EQ(button.size(), QSize(54, 54));
    button.show();
    int clicks = 0;
    QObject::connect(&button, &QAbstractButton::clicked, [&] { ++clicks; });
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(clicks, 0);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(27, 27));
    EXPECT_EQ(clicks, 1);
}

TEST_F(MainWindow, SeveralOwnersWaitForTheUsersChoice) {
    QUORVIX_REQUIRE_DATA_SOURCE(QStringLiteral("QuorvixPostgres"));
    View(0)->SelectDataSource(QStringLiteral("QuorvixPostgres"), CDataSourceSide::SystemDataSource);
    QComboBox* owners = View(0)->OwnerCombo();
    EXPECT_FALSE(owners->isHidden());
    ASSERT_GE(owners->count(), 2);
    EXPECT_TRUE(View(0)->TableList()->isHidden());
    EXPECT_FALSE(m_app->GetSide(0)->IsReady());

    const int s1 = owners->findText(QStringLiteral("quorvix.s1"));
    ASSERT_GE(s1, 0);
    owners->setCurrentIndex(s1);
    View(0)->OwnerChanged();
    EXPECT_FALSE(View(0)->TableList()->isHidden());
    EXPECT_EQ(View(0)->TableList()->GetItemCount(), 7);
    EXPECT_EQ(m_app->GetSide(0)->OwnerQualifier(), QStringLiteral("quorvix.s1"));
    EXPECT_EQ(m_app->SideDisplayName(0), QStringLiteral("QuorvixPostgres (quorvix.s1)"));
    // The view image of v_orders, the table image of the others.
    EXPECT_EQ(View(0)->GetItemImage(5), CImageList::View);
    EXPECT_EQ(View(0)->GetItemImage(0), CImageList::Table);
}

class FrenchMainWindow : public ShellTest {
protected:
    void SetUp() override {
        PrivateSettings::SetUp();
        m_savedLocale = qgetenv("LC_ALL");
        qputenv("LC_ALL", "fr_FR.UTF-8");
        m_app = CQuorvixApp::Instance();
        ASSERT_TRUE(m_app->InitInstance());
    }
};

TEST_F(FrenchMainWindow, SpeaksFrenchUnderAFrenchLocale) {
    EXPECT_EQ(m_app->Language(), QStringLiteral("FRA"));
    EXPECT_EQ(Commands()->CompareTablesButton()->text(), QStringLiteral("Comparer les tables..."));
    EXPECT_EQ(static_cast<QPushButton*>(Control(0, CFormDBSelect::kDataSourceButton))->text(),
              QStringLiteral("Source de donn\u00E9es ODBC..."));
    EXPECT_EQ(static_cast<QPushButton*>(Control(0, CFormDBSelect::kConnectButton))->text(),
              QStringLiteral("Connexion"));
    EXPECT_EQ(m_app->MainFrame()->windowTitle(), QStringLiteral("OSTRINEL Quorvix"));
}

TEST_F(FrenchMainWindow, QtsOwnDialogsSpeakFrenchTooUntilEnglishIsChosen) {
    const char* const overwrite = "%1 already exists.\nDo you want to replace it?";
    const auto saveButton = [] {
        QFileDialog save;
        save.setOption(QFileDialog::DontUseNativeDialog);
        save.setAcceptMode(QFileDialog::AcceptSave);
        const auto* buttons = save.findChild<QDialogButtonBox*>();
        return buttons ? buttons->button(QDialogButtonBox::Save)->text() : QString();
    };
    // The overwrite prompt, in whatever words Qt's French has for it.
    EXPECT_TRUE(QCoreApplication::translate("QFileDialog", overwrite)
                    .contains(QStringLiteral("existe d\u00E9j\u00E0")));
    EXPECT_EQ(saveButton(), QStringLiteral("&Enregistrer"));
    m_app->SetRegionalCodes(QStringLiteral("ENG"), QString());
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", overwrite), QLatin1String(overwrite));
    EXPECT_EQ(saveButton(), QStringLiteral("&Save"));
}

TEST_F(MainWindow, SetupProgramOfTheDriverManagerRefreshesTheLists) {
    // A stand-in for unixODBC's administration program that adds a system data source.
    QTemporaryDir programs;
    const QString program = programs.filePath(QStringLiteral("ODBCManageDataSourcesQ5"));
    QFile script(program);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf '\\n[AddedBySetup]\\nDriver=SQLite3\\nDatabase=/tmp/none\\n' "
                 ">> \"$ODBCSYSINI/odbc.ini\"\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(programs.path()) + ':' + path);

    QString name;
    CDataSourceSide::SourceKind kind = CDataSourceSide::SystemDataSource;
    CDlgDataSources dialog(&name, &kind, nullptr);
    dialog.show();
    QWidget* setup = CTemplateBuilder::FindControl(dialog, CDlgDataSources::kSetupButton);
    EXPECT_TRUE(setup->isEnabled());
    EXPECT_TRUE(
        dialog.List(1)->findItems(QStringLiteral("AddedBySetup\t"), Qt::MatchStartsWith).isEmpty());
    dialog.SetupDataSources();
    qputenv("PATH", path);
    EXPECT_EQ(
        dialog.List(1)->findItems(QStringLiteral("AddedBySetup\t"), Qt::MatchStartsWith).size(), 1);
}
