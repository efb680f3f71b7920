#include "dialogs/DlgWait.h"

#include "odbc/OdbcTestEnvironment.h"
#include "runs/ComparisonTestBase.h"
#include "runs/HeldDictionaryLock.h"
#include "services/Language.h"
#include "ui/TemplateBuilder.h"
#include "ui/WarningBeep.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>

namespace {

// Runs check on the user-interface thread while the dialog's modal loop is up.
void WhileModal(int afterMs, std::function<void()> check) {
    QTimer::singleShot(afterMs, qApp, std::move(check));
}

QProgressBar* Bar(CDlgWait& dialog) {
    return CTemplateBuilder::Find<QProgressBar>(dialog, 5063);
}

// Waits, processing the dialog's events, until condition holds or a few seconds have passed.
bool Eventually(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 5000);
}

} // namespace

TEST(DlgWait, RelaysRangeStepsAndItemTextAndEndsWithOk) {
    QSemaphore started;
    QSemaphore goOn;
    std::atomic<bool> barHiddenAtFirst{false};
    CDlgWait dialog(
        CDlgWait::TableRun, true,
        [&](IComparisonProgress& progress) {
            started.release();
            goOn.acquire();
            progress.Progress(4);
            progress.SetItemText(QStringLiteral("ORDERS"));
            progress.Progress(0);
            progress.Progress(0);
            goOn.acquire();
            return true;
        },
        nullptr);
    int barValue = -1;
    int barMaximum = -1;
    QString itemText;
    WhileModal(0, [&] {
        started.acquire();
        barHiddenAtFirst = !Bar(dialog)->isVisible();
        goOn.release();
        Eventually([&] { return Bar(dialog)->value() == 2; });
        barValue = Bar(dialog)->value();
        barMaximum = Bar(dialog)->maximum();
        itemText = CTemplateBuilder::Find<QLabel>(dialog, 5065)->text();
        EXPECT_TRUE(dialog.isVisible());
        goOn.release();
    });
    EXPECT_EQ(dialog.exec(), 1);
    EXPECT_TRUE(barHiddenAtFirst);
    EXPECT_EQ(barMaximum, 4);
    EXPECT_EQ(barValue, 2);
    EXPECT_EQ(itemText, QStringLiteral("ORDERS"));
}

TEST(DlgWait, CancelPressedTwiceClosesOnceWhenTheRunHasStopped) {
    std::atomic<int> queriesAfterCancel{0};
    CDlgWait dialog(
        CDlgWait::DictionaryRun, true,
        [&](IComparisonProgress& progress) {
            while (progress.QueryCancel() == 0)
                QThread::msleep(2);
            // The run takes its time to stop: the dialog must wait for it.
            QThread::msleep(300);
            queriesAfterCancel = 1;
            return false;
        },
        nullptr);
    bool openWhileStopping = false;
    WhileModal(50, [&] {
        auto* cancel = CTemplateBuilder::Find<QPushButton>(dialog, 2);
        cancel->click();
        cancel->click();
        EXPECT_TRUE(dialog.IsCancelRequested());
        QTest::qWait(150);
        openWhileStopping = dialog.isVisible() && queriesAfterCancel == 0;
    });
    EXPECT_EQ(dialog.exec(), 2);
    EXPECT_TRUE(openWhileStopping);
    EXPECT_EQ(queriesAfterCancel, 1);
}

TEST(DlgWait, EscapeAndCloseActAsCancelAndEnterDoesNothing) {
    CDlgWait dialog(
        CDlgWait::TableRun, true,
        [&](IComparisonProgress& progress) {
            while (progress.QueryCancel() == 0)
                QThread::msleep(2);
            return false;
        },
        nullptr);
    bool cancelledByEnter = true;
    WhileModal(50, [&] {
        QTest::keyClick(&dialog, Qt::Key_Return);
        cancelledByEnter = dialog.IsCancelRequested();
        dialog.close();
        EXPECT_TRUE(dialog.IsCancelRequested());
    });
    EXPECT_EQ(dialog.exec(), 2);
    EXPECT_FALSE(cancelledByEnter);
}

TEST(DlgWait, NotCancellableBeepsAndRunsToItsEnd) {
    const int beepsBefore = CWarningBeep::Count();
    CDlgWait dialog(
        CDlgWait::TableRun, false,
        [&](IComparisonProgress& progress) {
            QThread::msleep(200);
            return progress.QueryCancel() == 0;
        },
        nullptr);
    WhileModal(20, [&] { QTest::keyClick(&dialog, Qt::Key_Escape); });
    EXPECT_EQ(dialog.exec(), 1);
    EXPECT_EQ(CWarningBeep::Count(), beepsBefore + 1);
}

TEST(DlgWait, ZeroTablesAdvanceTheEmptyBarOnce) {
    CDlgWait dialog(
        CDlgWait::TableRun, true,
        [](IComparisonProgress& progress) {
            progress.Progress(0);
            return true;
        },
        nullptr);
    EXPECT_EQ(dialog.exec(), 1);
    EXPECT_TRUE(Bar(dialog)->isVisibleTo(&dialog));
    EXPECT_EQ(Bar(dialog)->value(), 1);
}

TEST(DlgWait, ManyRowsReachTheEndOfTheBar) {
    CDlgWait dialog(
        CDlgWait::DictionaryRun, true,
        [](IComparisonProgress& progress) {
            progress.Progress(123457);
            for (int row = 0; row < 123457; ++row)
                progress.Progress(0);
            return true;
        },
        nullptr);
    EXPECT_EQ(dialog.exec(), 1);
    EXPECT_EQ(Bar(dialog)->value(), 123457);
}

TEST(DlgWait, TextsFollowTheLanguage) {
    ChooseLanguage(QStringLiteral("FRA"), {});
    CDlgWait french(
        CDlgWait::TableRun, true, [](IComparisonProgress&) { return true; }, nullptr);
    ChooseLanguage(QStringLiteral("ENG"), {});
    CDlgWait english(
        CDlgWait::TableRun, true, [](IComparisonProgress&) { return true; }, nullptr);
    EXPECT_EQ(CTemplateBuilder::Find<QLabel>(french, 5064)->text(),
              QStringLiteral("Comparaison en cours"));
    EXPECT_EQ(CTemplateBuilder::Find<QPushButton>(french, 2)->text(), QStringLiteral("Annuler"));
    EXPECT_EQ(CTemplateBuilder::Find<QLabel>(english, 5066)->text(),
              QStringLiteral("Please wait..."));
    EXPECT_EQ(CTemplateBuilder::Find<QPushButton>(english, 2)->text(), QStringLiteral("Cancel"));
}

class DlgWaitRealRun : public ComparisonTestBase {};

TEST_F(DlgWaitRealRun, TableComparisonOnAWorkerThread) {
    COdbcTestEnvironment::AddSqliteDataSource(
        QStringLiteral("WaitLeft"),
        QStringLiteral("CREATE TABLE a (x INT); CREATE TABLE b (y INT);"));
    COdbcTestEnvironment::AddSqliteDataSource(QStringLiteral("WaitRight"),
                                              QStringLiteral("CREATE TABLE b (z INT);"));
    OpenSide(m_left, QStringLiteral("WaitLeft"));
    OpenSide(m_right, QStringLiteral("WaitRight"));
    CDlgWait dialog(CDlgWait::TableRun, true, m_results, nullptr);
    EXPECT_EQ(dialog.exec(), 1);
    EXPECT_EQ(m_results.TableCounters(), (CComparisonResults::Counters{0, 1, 0, 1}));
    EXPECT_EQ(CTemplateBuilder::Find<QLabel>(dialog, 5065)->text(), QStringLiteral("b"));
    EXPECT_EQ(Bar(dialog)->value(), 2);
}

TEST_F(DlgWaitRealRun, CancelInterruptsAReadThatTheServerHolds) {
    QUORVIX_REQUIRE_DATA_SOURCE(QStringLiteral("QuorvixPostgres"));
    OpenSide(m_left, QStringLiteral("QuorvixPostgres"), QStringLiteral("quorvix.stall"));
    OpenSide(m_right, QStringLiteral("QuorvixPostgres"), QStringLiteral("quorvix.s1"));
    // Another session holds the left dictionary locked for a minute.
    const CHeldDictionaryLock lock;
    ASSERT_TRUE(CHeldDictionaryLock::IsHeld());

    CDlgWait dialog(CDlgWait::DictionaryRun, true, m_results, nullptr);
    QTimer::singleShot(500, &dialog, [&dialog] {
        QTest::mouseClick(CTemplateBuilder::Find<QPushButton>(dialog, 2), Qt::LeftButton);
    });
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(dialog.exec(), 2);
    // Closed soon after the Cancel at half a second, not when the lock goes after a minute.
    EXPECT_LT(timer.elapsed(), 10000);
    EXPECT_TRUE(m_results.LastFailure().isEmpty());
}
