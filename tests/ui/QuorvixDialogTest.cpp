#include "ui/QuorvixDialog.h"
#include "ui/QuorvixFormView.h"

#include "services/ServicesTestSupport.h"
#include "services/SettingsStore.h"
#include "ui/ExportDialog.h"
#include "ui/StaticLink.h"
#include "ui/TemplateBuilder.h"

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

class QuorvixDialogTest : public PrivateSettings {};

TEST_F(QuorvixDialogTest, ArrangeButtonsCentresTheVisibleOnes) {
    CQuorvixDialog dialog(9001, nullptr);
    int buttonHeight = 0;
    EXPECT_EQ(dialog.ArrangeButtons(300, 120, buttonHeight), 8);
    EXPECT_EQ(buttonHeight, 24);
    QWidget* ok = CTemplateBuilder::FindControl(dialog, 1);
    EXPECT_EQ(ok->x(), 125); // r = 250, g = min(50, 125) = 50
    EXPECT_EQ(ok->geometry().bottom() + 1, 120 - 8);

    CQuorvixDialog both(9002, nullptr);
    EXPECT_EQ(both.ArrangeButtons(340, 200, buttonHeight), 8);
    // r = 190, g = min(75, 63) = 63: OK at (190 - 63) / 2, Cancel 75 + 63 further.
    EXPECT_EQ(CTemplateBuilder::FindControl(both, 1)->x(), 63);
    EXPECT_EQ(CTemplateBuilder::FindControl(both, 2)->x(), 63 + 75 + 63);

    QDialog plain;
    CQuorvixDialog none(9003, nullptr);
    EXPECT_EQ(none.ArrangeButtons(300, 100, buttonHeight), -1);
}

TEST_F(QuorvixDialogTest, ResizableDialogsKeepTheirSizePerLanguage) {
    {
        CQuorvixDialog french(9002, nullptr);
        EXPECT_EQ(french.GetSizeSection(), QStringLiteral("DlgSize\\9002"));
        french.show();
        french.resize(520, 380);
    }
    CSettingsStore store;
    EXPECT_EQ(store.ReadText(QStringLiteral("DlgSize\\9002"), QStringLiteral("WndSize")),
              QStringLiteral("520x380"));
    EXPECT_EQ(store.ReadInteger(QStringLiteral("DlgSize\\9002"), QStringLiteral("IsZoomed")), 0);

    CQuorvixDialog again(9002, nullptr);
    again.RestoreSize(QString());
    EXPECT_EQ(again.size(), QSize(520, 380));
    CQuorvixDialog english(10002, nullptr);
    english.RestoreSize(QString());
    EXPECT_EQ(english.size(), QSize(340, 200)); // its own key holds nothing yet
}

TEST_F(QuorvixDialogTest, MalformedKeptSizesAreIgnored) {
    CSettingsStore store;
    for (const char* text : {"0x300", "400", "x", "-5x200"}) {
        store.WriteText(QStringLiteral("DlgSize\\9002"), QStringLiteral("WndSize"),
                        QLatin1String(text));
        store.Flush();
        CQuorvixDialog dialog(9002, nullptr);
        dialog.RestoreSize(QString());
        EXPECT_EQ(dialog.size(), QSize(340, 200)) << text;
    }
    CQuorvixDialog withDefault(10002, nullptr);
    withDefault.RestoreSize(QStringLiteral("400x250"));
    EXPECT_EQ(withDefault.size(), QSize(400, 250));
}

TEST_F(QuorvixDialogTest, KeptSizeLargerThanTheScreenIsCutToItAndSavedSo) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QString screenSize = QStringLiteral("%1x%2").arg(screen.width()).arg(screen.height());
    for (const char* text : {"99999x99999", "2147483647x2147483647"}) {
        CSettingsStore store;
        store.WriteText(QStringLiteral("DlgSize\\9002"), QStringLiteral("WndSize"),
                        QLatin1String(text));
        store.Flush();
        {
            CQuorvixDialog dialog(9002, nullptr);
            dialog.RestoreSize(QString());
            EXPECT_EQ(dialog.size(), screen.size()) << text;
            EXPECT_TRUE(screen.contains(dialog.geometry())) << text;
        }
        EXPECT_EQ(
            CSettingsStore().ReadText(QStringLiteral("DlgSize\\9002"), QStringLiteral("WndSize")),
            screenSize)
            << text; // not the stored size back
    }
}

TEST_F(QuorvixDialogTest, DialogCentredOnAnOwnerAtTheScreenEdgeStaysOnScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget owner;
    owner.setGeometry(screen.right() - 100, screen.bottom() - 100, 200, 200);
    CQuorvixDialog dialog(9002, &owner);
    dialog.RestoreSize(QStringLiteral("400x300"));
    EXPECT_EQ(dialog.size(), QSize(400, 300));
    EXPECT_EQ(dialog.geometry().bottomRight(), screen.bottomRight());
}

TEST_F(QuorvixDialogTest, FixedDialogsKeepNoSize) {
    {
        CQuorvixDialog dialog(9001, nullptr);
        dialog.show();
        dialog.RestoreSize(QStringLiteral("500x500"));
        EXPECT_EQ(dialog.size(), QSize(300, 120));
    }
    EXPECT_FALSE(CSettingsStore().HasSection(QStringLiteral("DlgSize\\9001")));
}

TEST_F(QuorvixDialogTest, BackgroundPictureSizesTheDialogAndWhitensStaticTexts) {
    QPixmap background(384, 218);
    background.fill(Qt::darkBlue);
    CQuorvixDialog dialog(9001, nullptr, background);
    EXPECT_TRUE(dialog.HasBackgroundBrush());
    dialog.show();
    EXPECT_EQ(dialog.size(), QSize(384, 218));
    const QLabel* text = CTemplateBuilder::Find<QLabel>(dialog, 5100);
    EXPECT_EQ(text->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(dialog.palette().color(QPalette::Window), QColor(0, 64, 96));
}

namespace {

class CPlainView : public CQuorvixFormView {
public:
    CPlainView(bool footer) : CQuorvixFormView(9004), m_footer(footer) {}
    bool HasFooter() const override { return m_footer; }

private:
    bool m_footer;
};

} // namespace

TEST(QuorvixFormView, ExportButtonAndLogoFollowTheSize) {
    CPlainView view(true);
    view.resize(700, 500);
    view.show();
    ASSERT_TRUE(view.IsInitialised());
    const QWidget* exportButton = CTemplateBuilder::FindControl(view, 5020);
    EXPECT_EQ(exportButton->x(), 7);
    EXPECT_EQ(exportButton->geometry().bottom() + 1, 500 - 7);
    ASSERT_NE(view.LogoLink(), nullptr);
    EXPECT_EQ(view.LogoLink()->geometry(), QRect(500, 440, 200, 60));
    EXPECT_FALSE(view.LogoLink()->pixmap().isNull());
    EXPECT_EQ(view.LogoLink()->Address(), QLatin1String(CQuorvixFormView::kMakerAddress));

    CPlainView centred(false);
    centred.resize(700, 301);
    centred.show();
    EXPECT_EQ(centred.LogoLink()->geometry(), QRect(500, 120, 200, 60));
}

TEST(QuorvixFormView, FooterLineInTheAccentColour) {
    CPlainView view(true);
    view.resize(400, 300);
    view.show();
    const QImage image = view.grab().toImage();
    EXPECT_EQ(image.pixelColor(100, 300 - 65), QColor(25, 196, 220));
    EXPECT_EQ(image.pixelColor(100, 300 - 66), QColor(0, 64, 96));
    EXPECT_EQ(image.pixelColor(20, 300 - 65), QColor(0, 64, 96)); // the line starts at x = 30
}

TEST(ExportDialog, ProposedPathInAMissingFolderOpensInTheHomeFolder) {
    QTemporaryDir home;
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    QString opened;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            poll.stop();
            opened = dialog->directory().absolutePath();
            dialog->reject();
        }
    });
    poll.start();
    const QString chosen =
        AskExportPath(nullptr, home.filePath(QStringLiteral("Documents/LEFT - RIGHT.csv")),
                      QStringLiteral("csv"), QStringLiteral("CSV (*.csv)"));
    qputenv("HOME", savedHome);
    EXPECT_TRUE(chosen.isEmpty());
    EXPECT_EQ(opened, home.path());
}
