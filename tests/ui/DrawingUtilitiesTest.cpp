#include "ui/DrawingUtilities.h"

#include "ui/TemplateBuilder.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QPainter>
#include <QPushButton>

#include <gtest/gtest.h>

TEST(FitTextToWidth, FitsCutsOrGivesNothing) {
    const QFontMetrics metrics(QApplication::font());
    const QString text = QStringLiteral("CUSTOMER_ADDRESS_LINE");
    const int full = metrics.horizontalAdvance(text);
    const int dots = metrics.horizontalAdvance(QStringLiteral("..."));

    EXPECT_EQ(FitTextToWidth(metrics, QString(), 0, 4), QString());
    EXPECT_EQ(FitTextToWidth(metrics, text, full + 4, 4), text); // exactly fits with the reserve
    const QString cut = FitTextToWidth(metrics, text, full + 3, 4);
    EXPECT_TRUE(cut.endsWith(QStringLiteral("...")));
    EXPECT_LT(cut.size(), text.size() + 3);
    EXPECT_LE(metrics.horizontalAdvance(cut) + 4, full + 3);
    // Not even "..." fits beside the reserve.
    EXPECT_EQ(FitTextToWidth(metrics, text, dots + 4, 4), QString());
    EXPECT_EQ(FitTextToWidth(metrics, text, dots + 5, 4), QStringLiteral("..."));
}

// A name of a million characters, as a snapshot or a remembered setting may hold, is cut to the
// longest head that fits, and never between the halves of a character outside the basic plane.
TEST(FitTextToWidth, AHugeNameIsCutToTheLongestHeadThatFits) {
    const QFontMetrics metrics(QApplication::font());
    const QString huge = QString(1000000, QLatin1Char('W'));
    const int width = 300;
    const QString cut = FitTextToWidth(metrics, huge, width, 4);
    ASSERT_TRUE(cut.endsWith(QStringLiteral("...")));
    const QString head = cut.chopped(3);
    EXPECT_TRUE(huge.startsWith(head));
    EXPECT_LE(metrics.horizontalAdvance(cut) + 4, width);
    EXPECT_GT(metrics.horizontalAdvance(head + QStringLiteral("W...")) + 4, width);

    // U+1F600 is two code units: the cut keeps both or neither.
    QString faces;
    for (int i = 0; i < 200000; ++i)
        faces += QString::fromUcs4(U"\U0001F600");
    const QString facesCut = FitTextToWidth(metrics, faces, width, 4).chopped(3);
    EXPECT_FALSE(facesCut.isEmpty());
    EXPECT_EQ(facesCut.size() % 2, 0);
    EXPECT_FALSE(facesCut.back().isHighSurrogate());
}

TEST(EnableControl, DisablingTheFocusedControlPassesTheFocusOn) {
    QDialog dialog;
    ASSERT_TRUE(CTemplateBuilder::Build(dialog, 9003));
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QWidget* first = CTemplateBuilder::FindControl(dialog, 5101);
    QWidget* third = CTemplateBuilder::FindControl(dialog, 5103);
    first->setFocus();
    ASSERT_TRUE(first->hasFocus());
    EnableControl(first, false);
    EXPECT_FALSE(first->isEnabled());
    EXPECT_TRUE(third->hasFocus()); // the disabled second button is passed over
    EnableControl(first, true);
    EXPECT_TRUE(first->isEnabled());
}

TEST(DrawDitheredHighlight, EveryOtherPixelTakesTheHighlight) {
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        ASSERT_TRUE(DrawDitheredHighlight(painter, image.rect()));
    }
    const QColor highlight = QApplication::palette().color(QPalette::Highlight);
    int highlighted = 0;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x)
            highlighted += image.pixelColor(x, y) == highlight ? 1 : 0;
    }
    EXPECT_EQ(highlighted, 32);
    EXPECT_NE(image.pixelColor(0, 0), image.pixelColor(1, 0));
    EXPECT_NE(image.pixelColor(0, 0), image.pixelColor(0, 1));
}
