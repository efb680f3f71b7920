#include "ui/TemplateBuilder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>

#include "ui/ColorTabCtrl.h"
#include "ui/MultiLineButton.h"
#include "ui/QuorvixListCtrl.h"
#include "ui/StaticLink.h"

namespace {
const char* const kControlIdProperty = "controlId";

QString ControlName(int id) {
    return QStringLiteral("control%1").arg(id);
}
} // namespace

bool CTemplateBuilder::Build(QWidget& parent, int templateId) {
    return Build(parent, CDialogTemplate::Load(templateId));
}

bool CTemplateBuilder::Build(QWidget& parent, const CDialogTemplate& dialogTemplate) {
    if (!dialogTemplate.IsValid())
        return false;
    if (!dialogTemplate.Title().isEmpty())
        parent.setWindowTitle(dialogTemplate.Title());
    parent.resize(dialogTemplate.Size());
    for (const CControlTemplate& control : dialogTemplate.Controls()) {
        QWidget* widget = CreateControl(parent, control);
        widget->setObjectName(ControlName(control.id));
        widget->setProperty(kControlIdProperty, control.id);
        widget->setGeometry(control.rect);
        widget->setEnabled(!control.HasStyle(QStringLiteral("disabled")));
        widget->setVisible(!control.HasStyle(QStringLiteral("hidden")));
    }
    return true;
}

QWidget* CTemplateBuilder::CreateControl(QWidget& parent, const CControlTemplate& control) {
    const QString& kind = control.kind;
    if (kind == QLatin1String("button")) {
        auto* button = control.HasStyle(QStringLiteral("multiline"))
                           ? new CMultiLineButton(control.text, &parent)
                           : new QPushButton(control.text, &parent);
        // Return presses the focused button. A dialog sees to it itself (CQuorvixDialog): there,
        // Qt would make a button that once had the focus the dialog's lasting default.
        button->setAutoDefault(!qobject_cast<QDialog*>(&parent));
        button->setDefault(control.HasStyle(QStringLiteral("default")));
        return button;
    }
    if (kind == QLatin1String("check"))
        return new QCheckBox(control.text, &parent);
    if (kind == QLatin1String("edit")) {
        auto* edit = new QLineEdit(control.text, &parent);
        edit->setReadOnly(control.HasStyle(QStringLiteral("readonly")));
        return edit;
    }
    if (kind == QLatin1String("textedit"))
        return new QPlainTextEdit(control.text, &parent);
    if (kind == QLatin1String("combo"))
        return new QComboBox(&parent);
    if (kind == QLatin1String("progress")) {
        auto* bar = new QProgressBar(&parent);
        bar->setTextVisible(false);
        return bar;
    }
    if (kind == QLatin1String("tab"))
        return new QTabBar(&parent);
    if (kind == QLatin1String("colortab"))
        return new CColorTabCtrl(&parent);
    if (kind == QLatin1String("listbox")) {
        auto* list = new QListWidget(&parent);
        list->setSortingEnabled(true);
        return list;
    }
    if (kind == QLatin1String("group"))
        return new QGroupBox(control.text, &parent);
    if (kind == QLatin1String("link")) {
        auto* link = new CStaticLink(&parent);
        link->setTextFormat(Qt::PlainText);
        link->setText(control.text);
        return link;
    }
    if (kind == QLatin1String("frame")) {
        auto* frame = new QFrame(&parent);
        frame->setFrameShape(QFrame::HLine);
        return frame;
    }
    if (kind == QLatin1String("list"))
        return new CQuorvixListCtrl(control.HasStyle(QStringLiteral("tooltips"))
                                        ? TooltipMode::CellTips
                                        : TooltipMode::None,
                                    &parent);
    // "static" and "picture"
    auto* label = new QLabel(control.text, &parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(control.HasStyle(QStringLiteral("multiline")));
    if (control.HasStyle(QStringLiteral("right")))
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    else if (control.HasStyle(QStringLiteral("center")))
        label->setAlignment(Qt::AlignCenter);
    else
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QWidget* CTemplateBuilder::FindControl(const QWidget& parent, int id) {
    return parent.findChild<QWidget*>(ControlName(id), Qt::FindDirectChildrenOnly);
}

QWidget* CTemplateBuilder::Adopt(QWidget& parent, int id, QWidget* replacement) {
    QWidget* original = FindControl(parent, id);
    replacement->setParent(&parent);
    replacement->setObjectName(ControlName(id));
    replacement->setProperty(kControlIdProperty, id);
    if (original) {
        replacement->setGeometry(original->geometry());
        replacement->setEnabled(original->isEnabled());
        replacement->setVisible(!original->isHidden());
        delete original;
    }
    return replacement;
}

int CTemplateBuilder::ControlId(const QWidget& control) {
    return control.property(kControlIdProperty).toInt();
}
