#include "shell/ShellTestBase.h"

#include "dialogs/AboutDlg.h"
#include "ui/QuorvixFormView.h"
#include "ui/StaticLink.h"
#include "ui/TemplateBuilder.h"

#include <QDir>
#include <QLabel>
#include <QTest>

namespace {

// Creates documents next to the test program and removes them afterwards.
class CDocumentsBesideProgram {
public:
    explicit CDocumentsBesideProgram(const QStringList& names) {
        for (const QString& name : names) {
            const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(name);
            QFile file(path);
            file.open(QIODevice::WriteOnly);
            m_paths.append(path);
        }
    }
    ~CDocumentsBesideProgram() {
        for (const QString& path : std::as_const(m_paths))
            QFile::remove(path);
    }

private:
    QStringList m_paths;
};

QString Beside(const QString& name) {
    return QDir(QCoreApplication::applicationDirPath()).filePath(name);
}

} // namespace

class Documents : public ShellTest {};

// One test for both cases: they put files beside the one test program, and tests run in
// parallel processes.
TEST_F(Documents, LanguageThenEnglishThenFrenchAndTheAboutBoxDisablesMissingOnes) {
    {
        const CDocumentsBesideProgram documents({"HelpENG.pdf", "HelpFRA.pdf", "ReleaseFRA.txt"});
        m_app->SetRegionalCodes(QStringLiteral("ENU"), QString());
        EXPECT_EQ(m_app->FindDocument(CQuorvixApp::Help), Beside(QStringLiteral("HelpENG.pdf")));
        EXPECT_EQ(m_app->FindDocument(CQuorvixApp::ReleaseNotes),
                  Beside(QStringLiteral("ReleaseFRA.txt")));
        EXPECT_EQ(m_app->FindDocument(CQuorvixApp::ConditionsOfUse), QString());
        m_app->SetRegionalCodes(QStringLiteral("FRA"), QString());
        EXPECT_EQ(m_app->FindDocument(CQuorvixApp::Help), Beside(QStringLiteral("HelpFRA.pdf")));
        m_app->SetRegionalCodes(QStringLiteral("ENG"), QString());
    }

    const CDocumentsBesideProgram documents({"HelpENG.pdf"});
    // As the application creates it for the round About button.
    CAboutDlg about(QPixmap(QStringLiteral(":/quorvix/images/bitmap137.png")),
                    {m_app->FindDocument(CQuorvixApp::ReleaseNotes),
                     m_app->FindDocument(CQuorvixApp::ConditionsOfUse),
                     m_app->FindDocument(CQuorvixApp::Help)},
                    m_app->MainFrame());
    about.show();
    EXPECT_TRUE(CTemplateBuilder::FindControl(about, CAboutDlg::kHelp)->isEnabled());
    EXPECT_FALSE(CTemplateBuilder::FindControl(about, CAboutDlg::kReleaseNotes)->isEnabled());
    EXPECT_FALSE(CTemplateBuilder::FindControl(about, CAboutDlg::kConditions)->isEnabled());
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About OSTRINEL Quorvix"));
    EXPECT_EQ(about.size(), QSize(384, 218));
    EXPECT_TRUE(CTemplateBuilder::Find<QLabel>(about, CAboutDlg::kVersion)
                    ->text()
                    .endsWith(QStringLiteral(QUORVIX_VERSION)));
}

TEST(AboutBox, OpensTheDocumentsItsCreatorGivesAndShowsTheWebAddress) {
    const FakeDesktopOpen desktop;
    QTemporaryDir folder;
    const QString conditions = folder.filePath(QStringLiteral("Conditions.txt"));
    QFile file(conditions);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    CAboutDlg about(QPixmap(), {QString(), conditions, QString()});
    about.show();
    EXPECT_FALSE(CTemplateBuilder::FindControl(about, CAboutDlg::kReleaseNotes)->isEnabled());
    EXPECT_FALSE(CTemplateBuilder::FindControl(about, CAboutDlg::kHelp)->isEnabled());
    QTest::mouseClick(CTemplateBuilder::Find<QPushButton>(about, CAboutDlg::kConditions),
                      Qt::LeftButton);
    EXPECT_EQ(desktop.WaitForArguments(), QStringList{conditions});

    const auto* web = CTemplateBuilder::Find<CStaticLink>(about, CAboutDlg::kWebLink);
    ASSERT_NE(web, nullptr);
    EXPECT_EQ(web->text(), QStringLiteral("www.ostrinel.example"));
    EXPECT_TRUE(web->font().bold());
    EXPECT_EQ(web->Address(), QLatin1String(CQuorvixFormView::kMakerAddress));
}

TEST(AboutNotice, YearRangeOnlyWhenBuiltLater) {
    EXPECT_EQ(CAboutDlg::NoticeWithYears(QStringLiteral("\u00A9 2024 Ostrinel."), 2026),
              QStringLiteral("\u00A9 2024-2026 Ostrinel."));
    EXPECT_EQ(CAboutDlg::NoticeWithYears(QStringLiteral("\u00A9 2024 Ostrinel."), 2024),
              QStringLiteral("\u00A9 2024 Ostrinel."));
}
