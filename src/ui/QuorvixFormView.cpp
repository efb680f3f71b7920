#include "ui/QuorvixFormView.h"

#include "export/Export.h"
#include "export/ExportFile.h"
#include "export/ExportTarget.h"
#include "model/ParamWord.h"
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
const QString kExtension = QStringLiteral("csv");
} // namespace

CQuorvixFormView::CQuorvixFormView(int templateId, QWidget* parent)
    : QWidget(parent), m_templateId(templateId) {
    CTemplateBuilder::Build(*this, templateId);
    CQuorvixLook::UseDarkBackground(*this);
    if (auto* exportButton = CTemplateBuilder::Find<QPushButton>(*this, kExportButton))
        connect(exportButton, &QPushButton::clicked, this, [this] { OnExportToFile(); });
}

CQuorvixFormView::~CQuorvixFormView() = default;

bool CQuorvixFormView::WriteExport(CExportFile&) {
    return false;
}

void CQuorvixFormView::OnExportToFile() {
    if (!PrepareExport())
        return;
    const QString proposed =
        ProposedExportPath(GetPersonalFolder(), GetExportFileName(), kExtension);
    const QString path = AskExportPath(this, proposed, kExtension);
    if (path.isEmpty())
        return;

    const CParamWord* params = ExportParams();
    CExportTarget target(path);
    bool dropped = false;
    QString message;
    {
        const CWaitCursor waitCursor;
        message = WriteExportTo(
            target, params ? params->Encoding() : ExportEncoding::Latin1,
            [this](CExportFile& file) { return WriteExport(file); }, dropped);
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
    m_logoLink->setPixmap(QPixmap(QStringLiteral(":/quorvix/images/bitmap132.png")));
    m_logoLink->setAlignment(Qt::AlignCenter);
    m_logoLink->SetAddress(QLatin1String(kMakerAddress));
    RepositionControls(width(), height());
}

void CQuorvixFormView::RepositionControls(int cx, int cy) {
    if (QWidget* exportButton = CTemplateBuilder::FindControl(*this, kExportButton))
        exportButton->move(CQuorvixLook::kMargin,
                           cy - CQuorvixLook::kMargin - exportButton->height());
    if (HasLogo() && m_initialised && m_logoLink) {
        const int top = HasFooter() ? cy - kLogoHeight : (cy - kLogoHeight) / 2;
        m_logoLink->setGeometry(cx - kLogoWidth, top, kLogoWidth, kLogoHeight);
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
