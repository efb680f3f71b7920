#include "shell/ModalHandlers.h"

#include "EventWait.h"

#include "compare/CompareFrm.h"
#include "compare/CompareListCtrl.h"
#include "compare/FormCompareTable.h"
#include "structure/FormTableStruct.h"
#include "structure/TableStructFrm.h"
#include "ui/QuorvixListCtrl.h"

#include "services/SettingsStore.h"
#include "services/ThreadKeeper.h"
#include "shell/RoundBitmapButton.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

const QString kPostgres = QStringLiteral("QuorvixPostgres");

// SQL run on a test database by its own client, as another user of the database would.
void Sqlite(const QString& path, const QString& sql) {
    ASSERT_EQ(QProcess::execute(QStringLiteral("sqlite3"), {path, sql}), 0) << sql.toStdString();
}

void Postgres(const QString& sql) {
    ASSERT_EQ(QProcess::execute(QStringLiteral("psql"),
                                {QStringLiteral("-q"), QStringLiteral("-v"),
                                 QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-h"),
                                 qEnvironmentVariable("QUORVIX_PG_SOCKETS"), QStringLiteral("-p"),
                                 qEnvironmentVariable("QUORVIX_PG_PORT"), QStringLiteral("-U"),
                                 QStringLiteral("postgres"), QStringLiteral("-d"),
                                 QStringLiteral("quorvix"), QStringLiteral("-c"), sql}),
              0)
        << sql.toStdString();
}

} // namespace

// What a side shows when something fails, and that each comparison and Refresh read the
// databases as they are now.
class SelectionView : public ResultWindowTest {
protected:
    static QStringList Compared(CFormCompareTable* view) {
        QStringList rows;
        for (int row = 0; row < view->List()->GetItemCount(); ++row)
            rows.append(view->List()->GetItemText(row, 0));
        return rows;
    }
    // The text of the next message box, accepted once read.
    static void ReadNextMessage(QString& text) {
        OnNextModal([&text](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            text = box->text();
            box->accept();
        });
    }
};

TEST_F(SelectionView, ADataSourceThatDoesNotOpenSaysWhyAndConnectionRetries) {
    Choose(0, QStringLiteral("NoSuchSource"));
    EXPECT_TRUE(View(0)->SideMessage().startsWith(
        QStringLiteral("Data source NoSuchSource cannot be opened.\nDriver: IM002")))
        << View(0)->SideMessage().toStdString();
    EXPECT_FALSE(Control(0, CFormDBSelect::kConnectButton)->isHidden());
    EXPECT_TRUE(View(0)->TableList()->isHidden());

    // In the user's language, and again after a retry that fails again.
    ChooseLanguage(QStringLiteral("FRA"), {});
    QTest::mouseClick(static_cast<QPushButton*>(Control(0, CFormDBSelect::kConnectButton)),
                      Qt::LeftButton);
    EXPECT_TRUE(View(0)->SideMessage().startsWith(
        QStringLiteral("La source de données NoSuchSource ne s'ouvre pas.\nPilote : IM002")))
        << View(0)->SideMessage().toStdString();
    ChooseLanguage(QStringLiteral("ENG"), {});

    // A data source that opens clears it.
    AddLite(QStringLiteral("SelPlain"), QStringLiteral("CREATE TABLE T (a INT);"));
    Choose(0, QStringLiteral("SelPlain"));
    EXPECT_TRUE(View(0)->SideMessage().isEmpty());
    EXPECT_EQ(Listed(0), QStringList{QStringLiteral("T")});
}

TEST_F(SelectionView, ATableListThatCannotBeReadLeavesTheSideNotReady) {
    // A name longer than the catalogue's buffers cannot be read whole.
    AddLite(QStringLiteral("SelLong"),
            QStringLiteral("CREATE TABLE T (a INT); CREATE TABLE \"%1\" (b INT);")
                .arg(QString(5000, QLatin1Char('N'))));
    AddLite(QStringLiteral("SelPlain"), QStringLiteral("CREATE TABLE T (a INT);"));
    Choose(0, QStringLiteral("SelLong"));
    Choose(1, QStringLiteral("SelPlain"));
    EXPECT_TRUE(View(0)->SideMessage().startsWith(QStringLiteral("The tables of SelLong cannot be "
                                                                 "read.\nDriver: ")))
        << View(0)->SideMessage().toStdString();
    EXPECT_TRUE(View(0)->TableList()->isHidden());
    EXPECT_FALSE(m_app->GetSide(0)->IsReady());
    EXPECT_FALSE(Commands()->CompareTablesButton()->isEnabled());
}

TEST_F(SelectionView, ADictionaryThatCannotBeCountedIsNamedUnderTheList) {
    // F9201 is a view of a table dropped since: listed, but its rows cannot be counted.
    const QString path = COdbcTestEnvironment::AddSqliteDataSource(
        QStringLiteral("SelBrokenDictionary"),
        QStringLiteral("CREATE TABLE X (a INT); CREATE VIEW F9201 AS SELECT * FROM X;"
                       "DROP TABLE X; CREATE TABLE T (a INT);"));
    Choose(0, QStringLiteral("SelBrokenDictionary"));
    EXPECT_FALSE(View(0)->TableList()->isHidden());
    EXPECT_TRUE(View(0)->SideMessage().startsWith(QStringLiteral(
        "The data dictionary F9201 of SelBrokenDictionary cannot be read.\nDriver: ")))
        << View(0)->SideMessage().toStdString();
    EXPECT_TRUE(m_app->GetSide(0)->DataDictionaryTable().isEmpty());

    // Mended, a Refresh finds it.
    Sqlite(path, QStringLiteral("DROP VIEW F9201; CREATE TABLE F9201 (FRDTAI VARCHAR(10));"
                                "INSERT INTO F9201 VALUES ('DTAI');"));
    QTest::mouseClick(View(0)->RefreshButton(), Qt::LeftButton);
    EXPECT_TRUE(View(0)->SideMessage().isEmpty());
    EXPECT_EQ(m_app->GetSide(0)->DataDictionaryTable(), QStringLiteral("F9201"));
}

TEST_F(SelectionView, OwnersThatCannotBeReadSayWhy) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    // A session of its own, so that ending it disturbs no other test.
    const QString application =
        QStringLiteral("qvx_owners_%1").arg(QCoreApplication::applicationPid());
    COdbcTestEnvironment::AddDataSource(
        QStringLiteral("SelOwners"), true, QStringLiteral("PostgreSQL Unicode"),
        QStringLiteral("Servername=%1\nPort=%2\nDatabase=quorvix\nUsername=postgres\n"
                       "pqopt=application_name=%3")
            .arg(qEnvironmentVariable("QUORVIX_PG_SOCKETS"),
                 qEnvironmentVariable("QUORVIX_PG_PORT"), application));
    Choose(0, QStringLiteral("SelOwners"));
    ASSERT_FALSE(View(0)->OwnerCombo()->isHidden());
    Postgres(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                            "WHERE application_name = '%1'")
                 .arg(application));
    View(0)->Refresh();
    EXPECT_TRUE(View(0)->SideMessage().startsWith(
        QStringLiteral("The owners of SelOwners cannot be read.\nDriver: ")))
        << View(0)->SideMessage().toStdString();
    EXPECT_FALSE(m_app->GetSide(0)->IsReady());
}

TEST_F(SelectionView, AStructureThatCannotBeReadShowsNothingAndSaysWhy) {
    const QString path = COdbcTestEnvironment::AddSqliteDataSource(
        QStringLiteral("SelGoneTable"), QStringLiteral("CREATE TABLE GONE (a INT, b INT);"));
    Choose(0, QStringLiteral("SelGoneTable"));
    Sqlite(path, QStringLiteral("DROP TABLE GONE;"));
    View(0)->TableList()->SelectRow(0);
    QString message;
    ReadNextMessage(message);
    View(0)->ShowTableStructure();
    ASSERT_FALSE(m_app->StructureFrames().isEmpty());
    auto* frame = dynamic_cast<CTableStructFrm*>(m_app->StructureFrames().last());
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !message.isEmpty(); }, kEventLimitMs));
    EXPECT_TRUE(message.startsWith(QStringLiteral("The structure of table GONE could not be "
                                                  "read.\nData source: SelGoneTable\nDriver: ")))
        << message.toStdString();
    auto* view = dynamic_cast<CFormTableStruct*>(frame->View());
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->Fields().empty());
    EXPECT_FALSE(Control(0, CFormDBSelect::kStructureButton) == nullptr);
    EXPECT_FALSE(
        CTemplateBuilder::FindControl(*view, CQuorvixFormView::kExportButton)->isEnabled());
    EXPECT_FALSE(CTemplateBuilder::FindControl(*view, CQuorvixFormView::kHtmlButton)->isEnabled());
}

// A table created, and one dropped, after the data source was chosen: the comparison sees the
// database as it is, and the side shows the fresh list afterwards.
TEST_F(SelectionView, EachComparisonReadsTheTableListsAgain) {
    const QString left = COdbcTestEnvironment::AddSqliteDataSource(
        QStringLiteral("SelFreshLeft"),
        QStringLiteral("CREATE TABLE T1 (a INT); CREATE TABLE DROPPED (d INT);"));
    COdbcTestEnvironment::AddSqliteDataSource(
        QStringLiteral("SelFreshRight"),
        QStringLiteral("CREATE TABLE T1 (a INT); CREATE TABLE DROPPED (d INT);"));
    Choose(0, QStringLiteral("SelFreshLeft"));
    Choose(1, QStringLiteral("SelFreshRight"));
    Sqlite(left, QStringLiteral("CREATE TABLE CREATED (c INT); DROP TABLE DROPPED;"));
    CFormCompareTable* view = CompareTables();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(Compared(view), (QStringList{QStringLiteral("CREATED"), QStringLiteral("DROPPED"),
                                           QStringLiteral("T1")}));
    EXPECT_EQ(view->Filter(1)->text().left(1), QStringLiteral("1"));
    EXPECT_EQ(Listed(0), (QStringList{QStringLiteral("CREATED"), QStringLiteral("T1")}));
}

TEST_F(SelectionView, EachComparisonReadsAPostgresSchemaAgain) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    const QString schema = QStringLiteral("fresh_%1").arg(QCoreApplication::applicationPid());
    Postgres(
        QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE; CREATE SCHEMA %1;"
                       "CREATE TABLE %1.kept (a integer); CREATE TABLE %1.dropped (d integer);")
            .arg(schema));
    Choose(0, kPostgres, QStringLiteral("quorvix.") + schema);
    Choose(1, kPostgres, QStringLiteral("quorvix.") + schema);
    Postgres(
        QStringLiteral("CREATE TABLE %1.created (c integer); DROP TABLE %1.dropped;").arg(schema));
    CFormCompareTable* view = CompareTables();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(Compared(view), (QStringList{QStringLiteral("created"), QStringLiteral("kept")}));
    EXPECT_EQ(Listed(1), (QStringList{QStringLiteral("created"), QStringLiteral("kept")}));
    Postgres(QStringLiteral("DROP SCHEMA %1 CASCADE;").arg(schema));
}

// Refresh reads a side again while a result window is open; the window keeps its result.
TEST_F(SelectionView, RefreshReadsASideAgainWhileResultWindowsKeepTheirResult) {
    const QString left = COdbcTestEnvironment::AddSqliteDataSource(
        QStringLiteral("SelRefreshLeft"), QStringLiteral("CREATE TABLE T1 (a INT);"));
    AddLite(QStringLiteral("SelRefreshRight"), QStringLiteral("CREATE TABLE T1 (a INT);"));
    Choose(0, QStringLiteral("SelRefreshLeft"));
    Choose(1, QStringLiteral("SelRefreshRight"));
    CFormCompareTable* view = CompareTables();
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(Control(0, CFormDBSelect::kDataSourceButton)->isEnabled());
    Sqlite(left, QStringLiteral("CREATE TABLE LATER (l INT);"));
    ASSERT_TRUE(View(0)->RefreshButton()->isEnabled());
    QTest::mouseClick(View(0)->RefreshButton(), Qt::LeftButton);
    EXPECT_EQ(Listed(0), (QStringList{QStringLiteral("LATER"), QStringLiteral("T1")}));
    EXPECT_EQ(Compared(view), QStringList{QStringLiteral("T1")});

    // F5 reads both sides.
    Sqlite(left, QStringLiteral("CREATE TABLE F5 (f INT);"));
    QApplication::setActiveWindow(m_app->MainFrame());
    QTest::keyClick(View(0)->TableList(), Qt::Key_F5);
    EXPECT_EQ(Listed(0),
              (QStringList{QStringLiteral("F5"), QStringLiteral("LATER"), QStringLiteral("T1")}));
}

// A button that cannot be pressed says why: no side chosen, a side not ready, no data
// dictionary on a side, the data sources locked by an open result window.
TEST_F(SelectionView, DisabledButtonsSayWhy) {
    EXPECT_EQ(Commands()->CompareTablesButton()->toolTip(),
              QStringLiteral("Choose a data source on each side."));
    AddLite(QStringLiteral("SelWhyPlain"), QStringLiteral("CREATE TABLE T (a INT);"));
    AddLite(QStringLiteral("SelWhyDictionary"),
            QStringLiteral("CREATE TABLE T (a INT); CREATE TABLE F9210 (FRDTAI VARCHAR(10));"));
    Choose(0, QStringLiteral("SelWhyDictionary"));
    Choose(1, QStringLiteral("NoSuchSource"));
    EXPECT_EQ(Commands()->CompareTablesButton()->toolTip(),
              QStringLiteral("NoSuchSource is not ready: choose its owner, or mend what it says."));
    Choose(1, QStringLiteral("SelWhyPlain"));
    EXPECT_TRUE(Commands()->CompareTablesButton()->toolTip().isEmpty());
    EXPECT_FALSE(Commands()->CompareDictionariesButton()->isEnabled());
    EXPECT_EQ(Commands()->CompareDictionariesButton()->toolTip(),
              QStringLiteral("SelWhyPlain has no data dictionary (an F9210 table, or an F9201 "
                             "with rows)."));

    ASSERT_NE(CompareTables(), nullptr);
    EXPECT_FALSE(Control(0, CFormDBSelect::kDataSourceButton)->isEnabled());
    EXPECT_EQ(Control(0, CFormDBSelect::kDataSourceButton)->toolTip(),
              QStringLiteral("A result window is open: close it to choose another data source."));
    for (QWidget* frame : QList<QWidget*>(m_app->ComparisonFrames()))
        frame->close();
    EXPECT_TRUE(Control(0, CFormDBSelect::kDataSourceButton)->toolTip().isEmpty());
}

// The pair of sides left at the end is opened again at the next start, on threads of their own,
// and the swap opens each side's choice on the other.
class SidePair : public SelectionView {
protected:
    void WaitForBothSides() {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !View(0)->IsOpening() && !View(1)->IsOpening(); },
                                    kEventLimitMs));
    }
    void Restart() {
        m_app->ExitInstance();
        ASSERT_TRUE(m_app->InitInstance());
    }
    static void Store(int side, const QString& dataSource, const QString& owner) {
        CSettingsStore store;
        const QString prefix = side == 0 ? QStringLiteral("Left") : QStringLiteral("Right");
        store.WriteText(QStringLiteral("Sides"), prefix + QStringLiteral("DataSource"), dataSource);
        store.WriteInteger(QStringLiteral("Sides"), prefix + QStringLiteral("Kind"), 1);
        store.WriteText(QStringLiteral("Sides"), prefix + QStringLiteral("Owner"), owner);
        store.Flush();
    }
    QPushButton* ConnectButton(int side) const {
        return static_cast<QPushButton*>(Control(side, CFormDBSelect::kConnectButton));
    }
};

TEST_F(SidePair, TheLastPairIsOpenedAgainInTheBackgroundWithItsOwner) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    AddLite(QStringLiteral("PairLeft"), QStringLiteral("CREATE TABLE T1 (a INT);"));
    Choose(0, QStringLiteral("PairLeft"));
    Choose(1, kPostgres, QStringLiteral("quorvix.s1"));
    const QStringList rightTables = Listed(1);
    ASSERT_FALSE(rightTables.isEmpty());

    Restart();
    // At once the window is in use: each side says what it does over a moving bar, and nothing
    // can be compared yet.
    EXPECT_TRUE(View(1)->IsOpening());
    EXPECT_EQ(View(1)->SideMessage(),
              QStringLiteral("Connecting to QuorvixPostgres and reading its tables..."));
    EXPECT_FALSE(View(1)->findChild<QProgressBar*>()->isHidden());
    EXPECT_FALSE(Commands()->CompareTablesButton()->isEnabled());
    EXPECT_TRUE(ConnectButton(1)->isHidden());

    WaitForBothSides();
    EXPECT_TRUE(View(1)->findChild<QProgressBar*>()->isHidden());
    EXPECT_EQ(Listed(0), QStringList{QStringLiteral("T1")});
    EXPECT_EQ(Listed(1), rightTables);
    EXPECT_EQ(View(1)->OwnerCombo()->currentText(), QStringLiteral("quorvix.s1"));
    EXPECT_EQ(m_app->SideDisplayName(1), QStringLiteral("QuorvixPostgres (quorvix.s1)"));
    EXPECT_TRUE(View(1)->SideMessage().isEmpty());
    EXPECT_TRUE(Commands()->CompareTablesButton()->isEnabled());
    // The connection taken over is the side's: a comparison runs on it.
    EXPECT_NE(CompareTables(), nullptr);
}

TEST_F(SidePair, WhatCannotBeOpenedAgainIsSaidWhereTheSideIs) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    m_app->ExitInstance();
    Store(0, QStringLiteral("NoSuchSource"), {});
    Store(1, kPostgres, QStringLiteral("quorvix.gone"));
    ASSERT_TRUE(m_app->InitInstance());
    WaitForBothSides();

    EXPECT_TRUE(View(0)->SideMessage().startsWith(
        QStringLiteral("Data source NoSuchSource cannot be opened.\nDriver: IM002")))
        << View(0)->SideMessage().toStdString();
    EXPECT_FALSE(ConnectButton(0)->isHidden());
    // An owner that is gone leaves the choice to the user, as a fresh choice would.
    EXPECT_EQ(View(1)->SideMessage(),
              QStringLiteral("The owner quorvix.gone chosen last time is no longer offered by "
                             "QuorvixPostgres: choose one."));
    EXPECT_FALSE(View(1)->OwnerCombo()->isHidden());
    EXPECT_TRUE(View(1)->TableList()->isHidden());
    QComboBox* owners = View(1)->OwnerCombo();
    owners->setCurrentIndex(owners->findText(QStringLiteral("quorvix.s1")));
    View(1)->OwnerChanged();
    EXPECT_FALSE(View(1)->TableList()->isHidden());
    EXPECT_TRUE(View(1)->SideMessage().isEmpty());

    // A stored name is a name, never a piece of a connection string.
    m_app->ExitInstance();
    Store(0, QStringLiteral("NoSuch};Driver={SQLite3};Database=/tmp/x.db"), {});
    ASSERT_TRUE(m_app->InitInstance());
    WaitForBothSides();
    EXPECT_TRUE(View(0)->SideMessage().startsWith(
        QStringLiteral("Data source NoSuch};Driver={SQLite3};Database=/tmp/x.db cannot be opened")))
        << View(0)->SideMessage().toStdString();
    EXPECT_FALSE(m_app->GetSide(0)->IsConnected());

    // What the user chooses while a side opens wins over the opening.
    AddLite(QStringLiteral("PairChosen"), QStringLiteral("CREATE TABLE C (a INT);"));
    View(0)->OpenInBackground({kPostgres, CDataSourceSide::SystemDataSource, {}});
    Choose(0, QStringLiteral("PairChosen"));
    EXPECT_FALSE(View(0)->IsOpening());
    ASSERT_TRUE(CThreadKeeper::Instance().WaitForAll(kEventLimitMs));
    // Whatever the view still polls has looked once at the opening that ended.
    for (QTimer* timer : View(0)->findChildren<QTimer*>()) {
        if (timer->isActive()) {
            QSignalSpy ticked(timer, &QTimer::timeout);
            EXPECT_TRUE(ticked.wait(kEventLimitMs));
        }
    }
    EXPECT_EQ(Listed(0), QStringList{QStringLiteral("C")});
    EXPECT_EQ(m_app->SideDisplayName(0), QStringLiteral("PairChosen"));
}

TEST_F(SidePair, SwapOpensEachSideOnTheOtherAndWaitsForOpenResultWindows) {
    QUORVIX_REQUIRE_DATA_SOURCE(kPostgres);
    AddLite(QStringLiteral("PairLeft"), QStringLiteral("CREATE TABLE T1 (a INT);"));
    Choose(0, QStringLiteral("PairLeft"));
    Choose(1, kPostgres, QStringLiteral("quorvix.s1"));
    const QStringList postgresTables = Listed(1);
    CRoundBitmapButton* swap = m_app->MainFrame()->SwapButton();
    EXPECT_EQ(swap->toolTip(), QStringLiteral("Swap sides (Ctrl+Shift+E)"));

    QTest::mouseClick(swap, Qt::LeftButton, {}, swap->rect().center());
    WaitForBothSides();
    EXPECT_EQ(m_app->SideDisplayName(0), QStringLiteral("QuorvixPostgres (quorvix.s1)"));
    EXPECT_EQ(m_app->SideDisplayName(1), QStringLiteral("PairLeft"));
    EXPECT_EQ(Listed(0), postgresTables);
    EXPECT_EQ(Listed(1), QStringList{QStringLiteral("T1")});

    // Locked while a result window shows what these sides gave, as the data sources are.
    ASSERT_NE(CompareTables(), nullptr);
    EXPECT_FALSE(swap->isEnabled());
    QApplication::setActiveWindow(m_app->MainFrame());
    QTest::keyClick(View(0)->TableList(), Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(View(0)->IsOpening());
    for (QWidget* frame : QList<QWidget*>(m_app->ComparisonFrames()))
        frame->close();
    EXPECT_TRUE(swap->isEnabled());
    QApplication::setActiveWindow(m_app->MainFrame());
    QTest::keyClick(View(0)->TableList(), Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    WaitForBothSides();
    EXPECT_EQ(m_app->SideDisplayName(0), QStringLiteral("PairLeft"));
    EXPECT_EQ(m_app->SideDisplayName(1), QStringLiteral("QuorvixPostgres (quorvix.s1)"));

    // A side with nothing chosen goes across as such.
    m_app->ExitInstance();
    ASSERT_TRUE(m_app->InitInstance());
    WaitForBothSides();
    View(1)->OpenInBackground({});
    m_app->SwapSides();
    WaitForBothSides();
    EXPECT_TRUE(m_app->GetSide(0)->DataSourceName().isEmpty());
    EXPECT_TRUE(View(0)->TableList()->isHidden());
    EXPECT_EQ(m_app->SideDisplayName(1), QStringLiteral("PairLeft"));
}

// The swap button sits on the line between the sides and covers none of their controls, from the
// first show (before any resize) down to the narrowest main window.
TEST_F(SidePair, TheSwapButtonCoversNoControl) {
    CMainFrame* frame = m_app->MainFrame();
    const CRoundBitmapButton* swap = frame->SwapButton();
    const auto expectInTheGap = [&](const std::string& when) {
        const QRect button(swap->mapTo(frame, QPoint(0, 0)), swap->size());
        const int leftEdge = View(0)->mapTo(frame, QPoint(View(0)->width(), 0)).x();
        const int rightEdge = View(1)->mapTo(frame, QPoint(0, 0)).x();
        EXPECT_TRUE(swap->isVisible()) << when;
        EXPECT_GT(button.center().x(), leftEdge) << when << " button " << button.x();
        EXPECT_LT(button.center().x(), rightEdge) << when << " button " << button.x();
        for (const int side : {0, 1}) {
            for (const QWidget* control :
                 View(side)->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
                const QRect area(control->mapTo(frame, QPoint(0, 0)), control->size());
                EXPECT_FALSE(area.intersects(button))
                    << when << " " << side << " " << control->metaObject()->className() << " "
                    << area.x() << "," << area.y() << " " << area.width() << "x" << area.height()
                    << " button " << button.x() << "," << button.y();
            }
        }
    };
    // As the window is first painted: shown by the start-up, never resized since.
    ASSERT_TRUE(frame->isVisible());
    expectInTheGap("first show");
    for (const int width : {CMainFrame::kMinimumWidth, 820, CMainFrame::kMaximumWidth}) {
        frame->resize(width, 560);
        QCoreApplication::processEvents();
        expectInTheGap(std::to_string(width));
    }
}
