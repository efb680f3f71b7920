#include "services/WaitCursor.h"
#include "ui/ColorTabCtrl.h"
#include "ui/DrawingUtilities.h"
#include "ui/FocusMarks.h"

#include <QApplication>
#include <QImage>
#include <QSemaphore>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

TEST(ColorTabCtrl, DarkStripBehindTheTabsAndButtonFaceBelow) {
    CColorTabCtrl tabs;
    tabs.addTab(QStringLiteral("Fields"));
    tabs.addTab(QStringLiteral("Indexes"));
    tabs.resize(300, tabs.tabRect(0).height() + 20);
    tabs.show();
    const QImage image = tabs.grab().toImage();
    const int stripBottom = tabs.tabRect(0).bottom();
    EXPECT_EQ(image.pixelColor(290, 0), QColor(0, 64, 96)); // right of the tabs, on the strip
    EXPECT_EQ(image.pixelColor(290, stripBottom + 5), tabs.palette().color(QPalette::Button));
}

TEST(ColorTabCtrl, FocusedTabsShowTheFocusOnTheSelectedTab) {
    QWidget window;
    CColorTabCtrl tabs(&window);
    tabs.addTab(QStringLiteral("Fields"));
    tabs.addTab(QStringLiteral("Indexes"));
    tabs.resize(300, tabs.tabRect(0).height() + 20);
    QWidget other(&window);
    other.setFocusPolicy(Qt::StrongFocus);
    window.show();
    QApplication::setActiveWindow(&window);
    const auto [plain, focused] = FocusPictures(tabs, other, Qt::TabFocusReason);
    EXPECT_GE(PixelsMarkedByFocus(plain.copy(tabs.tabRect(0)), focused.copy(tabs.tabRect(0))), 20);
    EXPECT_EQ(plain.copy(tabs.tabRect(1)), focused.copy(tabs.tabRect(1))); // not the other tab
}

TEST(WaitCursor, ShownWhileRequestedFromAnyThread) {
    InstallWaitCursor();
    {
        const CWaitCursor waitCursor;
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // From a worker, each request reaches the user-interface thread as an event.
    QSemaphore shown;
    QSemaphore mayEnd;
    std::unique_ptr<QThread> worker(QThread::create([&shown, &mayEnd] {
        const CWaitCursor waitCursor;
        shown.release();
        mayEnd.acquire();
    }));
    worker->start();
    shown.acquire();
    QCoreApplication::sendPostedEvents(qApp, QEvent::MetaCall);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    mayEnd.release();
    worker->wait();
    QCoreApplication::sendPostedEvents(qApp, QEvent::MetaCall);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    CWaitCursor::InstallHooks(nullptr, nullptr);
}
