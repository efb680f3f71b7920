#include "dialogs/AboutDlg.h"

#include "services/Language.h"
#include "services/Utilities.h"
#include "ui/DesktopOpen.h"
#include "ui/DrawingUtilities.h"
#include "ui/QuorvixFormView.h"
#include "ui/StaticLink.h"
#include "ui/TemplateBuilder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>

namespace {
constexpr int kTemplate = 1007;
constexpr int kProductTitle = 128;
// The button of each document kind: release notes, conditions of use, help.
constexpr std::array<int, 3> kDocumentButtons = {CAboutDlg::kReleaseNotes, CAboutDlg::kConditions,
                                                 CAboutDlg::kHelp};
} // namespace

CAboutDlg::CAboutDlg(const QPixmap& background, const Documents& documents,
                     const QWidget* mainWindow)
    : CQuorvixDialog(MapResourceId(kTemplate), nullptr, background), m_documents(documents),
      m_mainWindow(mainWindow) {
    m_webLink = CTemplateBuilder::Find<CStaticLink>(*this, kWebLink);
    m_logoLink = CTemplateBuilder::Find<CStaticLink>(*this, kLogo);
    for (int kind = 0; kind < int(kDocumentButtons.size()); ++kind) {
        if (auto* button = CTemplateBuilder::Find<QPushButton>(*this, kDocumentButtons[kind]))
            connect(button, &QPushButton::clicked, this, [this, kind] { OpenDocument(kind); });
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
    if (m_mainWindow)
        setWindowIcon(m_mainWindow->windowIcon());
    setWindowTitle(windowTitle() + QLatin1Char(' ') + LoadLocalizedString(kProductTitle));

    if (auto* notice = CTemplateBuilder::Find<QLabel>(*this, kNotice)) {
        const QFileInfo program(QCoreApplication::applicationFilePath());
        if (program.exists())
            notice->setText(NoticeWithYears(notice->text(), program.lastModified().date().year()));
    }
    for (int kind = 0; kind < int(kDocumentButtons.size()); ++kind) {
        if (m_documents[size_t(kind)].isEmpty())
            EnableControl(CTemplateBuilder::FindControl(*this, kDocumentButtons[kind]), false);
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
    if (m_mainWindow)
        move(m_mainWindow->geometry().center() - rect().center());
}

void CAboutDlg::OpenDocument(int kind) {
    const QString& path = m_documents[size_t(kind)];
    if (!path.isEmpty())
        OpenForTheUser(this, path);
}
