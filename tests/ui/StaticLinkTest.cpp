#include "ui/StaticLink.h"

#include "services/ServicesTestSupport.h"
#include "ui/WarningBeep.h"

#include <QTest>

TEST(StaticLink, TurnsPurpleAfterASuccessfulOpen) {
    const FakeDesktopOpen desktop;
    CStaticLink link;
    link.setText(QStringLiteral("https://www.ostrinel.example/"));
    link.resize(200, 20);
    link.show();
    EXPECT_EQ(link.CurrentColor(), QColor(0, 0, 255));
    QTest::mouseClick(&link, Qt::LeftButton);
    EXPECT_TRUE(link.IsVisited());
    EXPECT_EQ(link.CurrentColor(), QColor(128, 0, 128));
    EXPECT_EQ(link.Address(), QStringLiteral("https://www.ostrinel.example/"));
    EXPECT_EQ(desktop.WaitForArguments(), QStringList{"https://www.ostrinel.example/"});
}

TEST(StaticLink, NoDesktopOpenCommandOnlyBeeps) {
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    const int beeps = CWarningBeep::Count();
    CStaticLink link;
    link.SetAddress(QStringLiteral("https://www.ostrinel.example/"));
    link.resize(100, 20);
    link.show();
    QTest::mouseClick(&link, Qt::LeftButton);
    qputenv("PATH", path);
    EXPECT_FALSE(link.IsVisited());
    EXPECT_EQ(CWarningBeep::Count(), beeps + 1);
}
