#include "ui/QuorvixDialog.h"

#include "services/DialogTemplate.h"
#include "services/SettingsStore.h"
#include "services/Utilities.h"
#include "ui/DrawingUtilities.h"
#include "ui/QuorvixLook.h"
#include "ui/TemplateBuilder.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>

namespace {
const QString kWindowSize = QStringLiteral("WndSize");
const QString kIsZoomed = QStringLiteral("IsZoomed");
constexpr int kOkButton = 1;
constexpr int kCancelButton = 2;
} // namespace

CQuorvixDialog::CQuorvixDialog(int templateId, QWidget* parent, const QPixmap& background)
    : QDialog(parent), m_templateId(templateId), m_background(background) {
    const CDialogTemplate dialogTemplate = CDialogTemplate::Load(templateId);
    CTemplateBuilder::Build(*this, dialogTemplate);
    m_resizable = dialogTemplate.Style().contains(QStringLiteral("resizable"));
    if (!m_resizable)
        setFixedSize(size());
    if (!m_background.isNull())
        CreateBackgroundBrush();
    if (auto* ok = CTemplateBuilder::Find<QPushButton>(*this, kOkButton))
        connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });
    if (auto* cancel = CTemplateBuilder::Find<QPushButton>(*this, kCancelButton))
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CQuorvixDialog::OnOK() {
    accept();
}

CQuorvixDialog::~CQuorvixDialog() {
    SaveSize();
}

void CQuorvixDialog::CreateBackgroundBrush() {
    if (!m_background.isNull() && !m_hasBrush)
        UseBackgroundBrush();
}

void CQuorvixDialog::UseBackgroundBrush() {
    m_hasBrush = true;
    CQuorvixLook::UseDarkBackground(*this);
    const QList<QWidget*> texts = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* text : texts) {
        if (qobject_cast<QLabel*>(text) || qobject_cast<QCheckBox*>(text))
            CQuorvixLook::UseWhiteText(*text);
    }
}

QPoint CQuorvixDialog::GetContentOffset() const {
    return QPoint(0, 0);
}

void CQuorvixDialog::FitToBackground() {
    if (m_background.isNull())
        return;
    const QSize pictureSize = m_background.deviceIndependentSize().toSize();
    move(0, 0);
    setFixedSize(pictureSize);
    const QPoint offset = GetContentOffset();
    if (offset.isNull())
        return;
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->move(child->pos() + offset);
}

bool CQuorvixDialog::DrawBackground(QPainter& painter) {
    if (m_background.isNull())
        return false;
    painter.drawPixmap(0, 0, m_background);
    return true;
}

int CQuorvixDialog::ArrangeButtons(int width, int height, int& buttonHeight) {
    QWidget* ok = CTemplateBuilder::FindControl(*this, kOkButton);
    QWidget* cancel = CTemplateBuilder::FindControl(*this, kCancelButton);
    QWidget* first = ok ? ok : cancel;
    if (!first)
        return -1;
    const int w = first->width();
    const int h = first->height();
    const int margin = int(std::lround(h / 3.0));
    int visible = 0;
    for (QWidget* button : {ok, cancel})
        visible += button && !button->isHidden() ? 1 : 0;
    const int remaining = width - visible * w;
    const int gap = std::min(w, remaining / (visible + 1));
    int left = (remaining - gap * (visible - 1)) / 2;
    for (QWidget* button : {ok, cancel}) {
        if (!button || button->isHidden())
            continue;
        button->move(left, height - margin - button->height());
        left += w + gap;
    }
    buttonHeight = h;
    return margin;
}

void CQuorvixDialog::ArrangeControls(int, int) {}

QString CQuorvixDialog::GetSizeSection() const {
    return QStringLiteral("DlgSize\\") + QString::number(m_templateId);
}

void CQuorvixDialog::RestoreSize(const QString& defaultSize) {
    if (m_resizable) {
        const CSettingsStore store;
        const QString text = store.ReadText(GetSizeSection(), kWindowSize, defaultSize);
        const qsizetype x = text.indexOf(QLatin1Char('x'));
        if (x >= 0) {
            const int width = text.left(x).toInt();
            const int height = text.mid(x + 1).toInt();
            if (width > 0 && height > 0) {
                // A size kept on a larger screen (or edited by hand) is cut to this one's, so
                // that the dialog can be seen whole and the next save keeps a usable size.
                const QList<QRect> screens = GetAvailableScreenAreas();
                QRect placed = FitRectToAreas(QRect(0, 0, width, height), screens);
                if (const QWidget* owner = parentWidget()) {
                    placed.moveCenter(owner->window()->geometry().center());
                    placed = FitRectToAreas(placed, screens);
                }
                move(placed.topLeft());
                resize(placed.size());
            }
        }
        if (store.ReadInteger(GetSizeSection(), kIsZoomed).value_or(0) != 0)
            setWindowState(windowState() | Qt::WindowMaximized);
    }
    ArrangeControls(width(), height());
}

void CQuorvixDialog::SaveSize() {
    if (!m_resizable)
        return;
    const QRect normal = isMaximized() ? normalGeometry() : geometry();
    if (!normal.isValid())
        return;
    CSettingsStore store;
    store.WriteText(GetSizeSection(), kWindowSize,
                    QStringLiteral("%1x%2").arg(normal.width()).arg(normal.height()));
    store.WriteInteger(GetSizeSection(), kIsZoomed, isMaximized() ? 1 : 0);
}

void CQuorvixDialog::InitDialog() {
    FitToBackground();
}

void CQuorvixDialog::showEvent(QShowEvent* event) {
    if (!m_initialised) {
        m_initialised = true;
        InitDialog();
    }
    QDialog::showEvent(event);
}

void CQuorvixDialog::keyPressEvent(QKeyEvent* event) {
    // Return presses the focused button, whichever it is; with the focus elsewhere it presses the
    // default button. A button other than the default leaves the key to its dialog.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        auto* button = qobject_cast<QPushButton*>(focusWidget());
        if (button && button->window() == this && button->isVisible()) {
            if (button->isEnabled())
                button->click();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

void CQuorvixDialog::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    DrawBackground(painter);
}

void CQuorvixDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    ArrangeControls(event->size().width(), event->size().height());
}
