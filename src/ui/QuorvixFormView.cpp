#include "ui/QuorvixFormView.h"

#include "export/Export.h"
#include "export/ExportSource.h"
#include "export/ExportTarget.h"
#include "services/Language.h"
#include "services/Utilities.h"
#include "services/WaitCursor.h"
#include "ui/DesktopOpen.h"
#include "ui/ExportDialog.h"
#include "ui/QuorvixLook.h"
#include "ui/StaticLink.h"
#include "ui/TemplateBuilder.h"

#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>

namespace {
constexpr int kFooterHeight = 65;
constexpr int kButtonGap = 6;
constexpr int kCsvFilterText = 1151;
constexpr int kHtmlFilterText = 1826;
// Below this width the logo would be too small to read: it is hidden.
constexpr int kSmallestLogoWidth = 100;
} // namespace

CQuorvixFormView::CQuorvixFormView(int templateId, QWidget* parent)
    : QWidget(parent), m_templateId(templateId) {
    CTemplateBuilder::Build(*this, templateId);
    CQuorvixLook::UseDarkBackground(*this);
    if (auto* exportButton = CTemplateBuilder::Find<QPushButton>(*this, kExportButton))
        connect(exportButton, &QPushButton::clicked, this, [this] { OnExportToFile(); });
    if (auto* htmlButton = CTemplateBuilder::Find<QPushButton>(*this, kHtmlButton))
        connect(htmlButton, &QPushButton::clicked, this, [this] { OnExportToHtml(); });
}

CQuorvixFormView::~CQuorvixFormView() = default;

void CQuorvixFormView::EnableExport(bool enabled) {
    for (const int button : {kExportButton, kHtmlButton}) {
        if (QWidget* control = CTemplateBuilder::FindControl(*this, button))
            control->setEnabled(enabled);
    }
}

void CQuorvixFormView::Export(ExportForm form) {
    m_exportForm = form;
    const bool html = form == ExportForm::Html;
    const std::unique_ptr<CExportSource> source = MakeExportSource();
    if (!source || !PrepareExport(*source))
        return;
    const QString extension = html ? QStringLiteral("html") : QStringLiteral("csv");
    const QString proposed = ProposedExportPath(GetPersonalFolder(), source->FileName(), extension);
    const QString path = AskExportPath(
        this, proposed, extension, LoadLocalizedString(html ? kHtmlFilterText : kCsvFilterText));
    if (path.isEmpty())
        return;
    // A file that a side reads is never written over, whatever the save dialog agreed to.
    QString message = source->RefusedTarget(path);
    bool dropped = false;
    if (message.isEmpty()) {
        const CWaitCursor waitCursor;
        CExportTarget target(path);
        message =
            source->WriteTo(target, html ? ExportFormat::Html : ExportFormat::Csv, {}, dropped);
    }
    if (!message.isEmpty())
        QMessageBox::warning(this, window()->windowTitle(), message);
    else if (!dropped)
        OpenForTheUser(this, path);
}

void CQuorvixFormView::OnInitialUpdate() {
    if (m_initialised)
        return;
    m_initialised = true;
    if (!HasLogo()) {
        if (QWidget* logo = CTemplateBuilder::FindControl(*this, kLogo))
            logo->hide();
        return;
    }
    m_logoLink = CTemplateBuilder::Find<CStaticLink>(*this, kLogo);
    if (!m_logoLink)
        return;
    m_logo = QPixmap(QStringLiteral(":/quorvix/images/bitmap132.png"));
    m_logoLink->setPixmap(m_logo);
    m_logoLink->setAlignment(Qt::AlignCenter);
    m_logoLink->SetAddress(QLatin1String(kMakerAddress));
    RepositionControls(width(), height());
}

void CQuorvixFormView::RepositionControls(int cx, int cy) {
    int buttonsEnd = 0;
    int left = CQuorvixLook::kMargin;
    for (const int id : {kExportButton, kHtmlButton}) {
        if (QWidget* button = CTemplateBuilder::FindControl(*this, id)) {
            button->move(left, cy - CQuorvixLook::kMargin - button->height());
            buttonsEnd = button->geometry().right() + 1;
            left = buttonsEnd + kButtonGap;
        }
    }
    if (HasLogo() && m_initialised && m_logoLink) {
        // In the footer the logo takes what the buttons leave, down to a size still readable.
        const int width = HasFooter()
                              ? std::min(kLogoWidth, cx - buttonsEnd - CQuorvixLook::kMargin)
                              : kLogoWidth;
        const int height = kLogoHeight * width / kLogoWidth;
        const int top = HasFooter() ? cy - (kLogoHeight + height) / 2 : (cy - height) / 2;
        m_logoLink->setVisible(width >= kSmallestLogoWidth);
        if (width >= kSmallestLogoWidth) {
            m_logoLink->setPixmap(
                width == kLogoWidth
                    ? m_logo
                    : m_logo.scaled(width, height, Qt::KeepAspectRatio, Qt::SmoothTransformation));
            m_logoLink->setGeometry(cx - width, top, width, height);
        }
    }
}

void CQuorvixFormView::OnSize(int cx, int cy) {
    RepositionControls(cx, cy);
}

void CQuorvixFormView::showEvent(QShowEvent* event) {
    OnInitialUpdate();
    QWidget::showEvent(event);
}

void CQuorvixFormView::paintEvent(QPaintEvent*) {
    if (!HasLogo() || !HasFooter())
        return;
    QPainter painter(this);
    CQuorvixLook::DrawSeparator(painter, width(), height() - kFooterHeight);
}

void CQuorvixFormView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    OnSize(event->size().width(), event->size().height());
}
