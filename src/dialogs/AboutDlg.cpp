#include "dialogs/AboutDlg.h"

#include "services/Language.h"
#include "services/Utilities.h"
#include "shell/MainFrame.h"
#include "shell/QuorvixApp.h"
#include "ui/DrawingUtilities.h"
#include "ui/QuorvixFormView.h"
#include "ui/StaticLink.h"
#include "ui/TemplateBuilder.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>

namespace {
constexpr int kTemplate = 1007;
constexpr int kProductTitle = 128;
} // namespace

CAboutDlg::CAboutDlg(const QPixmap& background)
    : CQuorvixDialog(MapResourceId(kTemplate), nullptr, background) {
    m_webLink = static_cast<CStaticLink*>(CTemplateBuilder::FindControl(*this, kWebLink));
    m_logoLink = static_cast<CStaticLink*>(CTemplateBuilder::FindControl(*this, kLogo));
    const struct {
        int id;
        int kind;
    } documents[] = {{kReleaseNotes, CQuorvixApp::ReleaseNotes},
                     {kConditions, CQuorvixApp::ConditionsOfUse},
                     {kHelp, CQuorvixApp::Help}};
    for (const auto& document : documents) {
        if (auto* button = CTemplateBuilder::Find<QPushButton>(*this, document.id))
            connect(button, &QPushButton::clicked, this,
                    [this, kind = document.kind] { OpenDocument(kind); });
    }
}

QString CAboutDlg::NoticeWithYears(const QString& notice, int modificationYear) {
    static const QRegularExpression firstYear(QStringLiteral("\\b(\\d{4})\\b"));
    const QRegularExpressionMatch match = firstYear.match(notice);
    if (!match.hasMatch() || modificationYear <= match.captured(1).toInt())
        return notice;
    QString extended = notice;
    return extended.replace(match.capturedStart(1), match.capturedLength(1),
                            match.captured(1) + QLatin1Char('-') +
                                QString::number(modificationYear));
}

void CAboutDlg::InitDialog() {
    CQuorvixDialog::InitDialog();
    CQuorvixApp* app = CQuorvixApp::Instance();
    if (app && app->MainFrame())
        setWindowIcon(app->MainFrame()->windowIcon());
    setWindowTitle(windowTitle() + QLatin1Char(' ') + LoadLocalizedString(kProductTitle));

    if (auto* notice = CTemplateBuilder::Find<QLabel>(*this, kNotice)) {
        const QFileInfo program(QCoreApplication::applicationFilePath());
        if (program.exists())
            notice->setText(NoticeWithYears(notice->text(), program.lastModified().date().year()));
    }
    const int documents[] = {kReleaseNotes, kConditions, kHelp};
    for (int kind = 0; kind < 3; ++kind) {
        if (!app || app->FindDocument(kind).isEmpty())
            EnableControl(CTemplateBuilder::FindControl(*this, documents[kind]), false);
    }
    const QString address = QLatin1String(CQuorvixFormView::kMakerAddress);
    if (m_webLink)
        m_webLink->SetAddress(address);
    if (m_logoLink) {
        m_logoLink->SetAddress(address);
        m_logoLink->setPixmap(QPixmap(QStringLiteral(":/quorvix/images/bitmap132.png")));
        m_logoLink->setAlignment(Qt::AlignCenter);
    }
    if (auto* version = CTemplateBuilder::Find<QLabel>(*this, kVersion)) {
        version->setText(version->text().replace(QStringLiteral("%s"), GetProductVersion()));
        QFont bold = version->font();
        bold.setBold(true);
        bold.setPointSizeF(bold.pointSizeF() * 5 / 4);
        version->setFont(bold);
    }
    if (m_webLink) {
        QFont bold = m_webLink->font();
        bold.setBold(true);
        m_webLink->setFont(bold);
    }
    if (app && app->MainFrame())
        move(app->MainFrame()->geometry().center() - rect().center());
}

void CAboutDlg::OpenDocument(int kind) {
    CQuorvixApp* app = CQuorvixApp::Instance();
    const QString path = app ? app->FindDocument(kind) : QString();
    if (!path.isEmpty())
        OpenWithAssociatedApp(path);
}
