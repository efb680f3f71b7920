#include "dialogs/DlgParams.h"

#include "export/ExportSource.h"
#include "model/CompareStatus.h"
#include "model/ParamWord.h"
#include "services/Language.h"
#include "services/Utilities.h"
#include "ui/DrawingUtilities.h"
#include "ui/QuorvixFormView.h"
#include "ui/QuorvixLook.h"
#include "ui/TemplateBuilder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

namespace {

constexpr int kTemplate = 1005;
constexpr int kMargin = CQuorvixLook::kMargin;
constexpr int kGap = 3;
constexpr int kIndentWidth = 25;
constexpr int kCheckMarkWidth = 40;
constexpr int kButtonStrip = 50;

} // namespace

CDlgParams::CDlgParams(CParamWord& params, std::vector<int> bits, const QString& leftName,
                       const QString& rightName, QWidget* parent)
    : CQuorvixDialog(MapResourceId(kTemplate), parent), m_params(params), m_bits(std::move(bits)),
      m_leftName(leftName), m_rightName(rightName) {
    if (!HasBackgroundBrush())
        UseBackgroundBrush();
    for (const int master : {ParamBit::ExportTableStatus0 + 3, int(ParamBit::CompareSqlTypes)}) {
        if (QCheckBox* box = CheckBox(master))
            connect(box, &QCheckBox::clicked, this, [this] { ApplyEnableRules(); });
    }
}

QComboBox* CDlgParams::EncodingCombo() const {
    return CTemplateBuilder::Find<QComboBox>(*this, kEncodingCombo);
}

QCheckBox* CDlgParams::CheckBox(int bit) const {
    return bit < 0 ? nullptr : CTemplateBuilder::Find<QCheckBox>(*this, kFirstCheckBox + bit);
}

void CDlgParams::InitDialog() {
    CQuorvixDialog::InitDialog();
    for (const int bit : m_bits) {
        QCheckBox* box = CheckBox(bit);
        if (!box)
            continue;
        box->setText(FillParameterText(box->text(), bit, m_leftName, m_rightName));
        box->setChecked(m_params.TestBit(bit));
    }
    if (QComboBox* encoding = EncodingCombo(); encoding && m_encodingShown) {
        // The encodings' own names, the same in every language.
        encoding->addItem(QStringLiteral("ISO 8859-1"), int(ExportEncoding::Latin1));
        encoding->addItem(QStringLiteral("UTF-8"), int(ExportEncoding::Utf8));
        encoding->setCurrentIndex(encoding->findData(int(m_params.Encoding())));
    }
    Layout();
    ApplyEnableRules();
}

void CDlgParams::Layout() {
    int widest = 0;
    bool indent = false;
    for (const int bit : m_bits) {
        if (bit == kIndent) {
            indent = true;
            continue;
        }
        if (QCheckBox* box = CheckBox(bit))
            widest = std::max(widest, box->fontMetrics().horizontalAdvance(box->text()) +
                                          (indent ? kIndentWidth : 0));
        indent = false;
    }
    const int dialogWidth = std::max(widest + kCheckMarkWidth, kMinimumWidth);

    int top = kMargin;
    int bottom = kMargin;
    QWidget* previous = nullptr;
    indent = false;
    for (const int bit : m_bits) {
        if (bit == kIndent) {
            indent = true;
            continue;
        }
        QCheckBox* box = CheckBox(bit);
        if (!box)
            continue;
        const int left = indent ? kMargin + kIndentWidth : kMargin;
        box->setGeometry(left, top, dialogWidth - kMargin - left, box->height());
        box->show();
        if (previous)
            setTabOrder(previous, box);
        previous = box;
        bottom = box->geometry().bottom() + 1;
        top = bottom + kGap;
        indent = false;
    }
    QLabel* encodingLabel = CTemplateBuilder::Find<QLabel>(*this, kEncodingLabel);
    QComboBox* encoding = EncodingCombo();
    if (m_encodingShown && encodingLabel && encoding) {
        top += kGap;
        const int labelWidth =
            encodingLabel->fontMetrics().horizontalAdvance(encodingLabel->text()) + kGap;
        encodingLabel->setGeometry(kMargin, top, labelWidth, encoding->height());
        encoding->move(kMargin + labelWidth + kGap, top);
        encodingLabel->show();
        encoding->show();
        if (previous)
            setTabOrder(previous, encoding);
        bottom = encoding->geometry().bottom() + 1;
    }
    setFixedSize(dialogWidth, bottom + kGap + kButtonStrip);
    if (QWidget* owner = parentWidget())
        move(owner->window()->geometry().center() - rect().center());
    int buttonHeight = 0;
    ArrangeButtons(width(), height(), buttonHeight);
}

void CDlgParams::ApplyEnableRules() {
    const QCheckBox* tables = CheckBox(ParamBit::ExportTableStatus0 + 3);
    for (int bit = ParamBit::ExportTableColumnStatus0; bit < ParamBit::ExportTableColumnStatus0 + 4;
         ++bit)
        EnableControl(CheckBox(bit), tables && tables->isChecked());
    const QCheckBox* types = CheckBox(ParamBit::CompareSqlTypes);
    EnableControl(CheckBox(ParamBit::StringsAlike), types && types->isChecked());
}

void CDlgParams::OnOK() {
    for (const int bit : m_bits) {
        if (const QCheckBox* box = CheckBox(bit))
            m_params.SetBit(bit, box->isChecked());
    }
    if (const QComboBox* encoding = EncodingCombo(); encoding && m_encodingShown)
        m_params.SetEncoding(ExportEncoding(encoding->currentData().toInt()));
    accept();
}

std::vector<int> CDlgParams::StatusOptions(int firstBit, int nestedFirstBit) {
    std::vector<int> bits;
    for (int status = 0; status < CompareStatus::Count; ++status)
        bits.push_back(firstBit + status);
    if (nestedFirstBit != kIndent) {
        for (int status = 0; status < CompareStatus::Count; ++status) {
            bits.push_back(kIndent);
            bits.push_back(nestedFirstBit + status);
        }
    }
    return bits;
}

bool CDlgParams::AskExportOptions(CParamWord& params, const CExportOptions& options,
                                  const QString& leftName, const QString& rightName,
                                  QWidget* parent) {
    std::vector<int> bits = options.bits;
    if (options.nestedFirstBit >= 0) {
        // Each table option, then the column options under it.
        bits = StatusOptions(options.bits.empty() ? options.firstRequiredBit : options.bits[0],
                             options.nestedFirstBit);
    }
    return AskExportOptions(params, bits, options.firstRequiredBit, leftName, rightName, parent,
                            options.requiredCount);
}

bool CDlgParams::AskUntilAnySet(CParamWord& params, const std::vector<int>& bits,
                                int firstRequiredBit, const QString& leftName,
                                const QString& rightName, QWidget* parent, int requiredCount) {
    return AskUntilAnySet(params, bits, firstRequiredBit, leftName, rightName, parent,
                          requiredCount, false);
}

bool CDlgParams::AskExportOptions(CParamWord& params, const std::vector<int>& bits,
                                  int firstRequiredBit, const QString& leftName,
                                  const QString& rightName, QWidget* parent, int requiredCount) {
    // An HTML report is always UTF-8: a view preparing one is asked no encoding.
    const auto* view = dynamic_cast<const CQuorvixFormView*>(parent);
    const bool csv = !view || view->CurrentExportForm() == CQuorvixFormView::ExportForm::Csv;
    return AskUntilAnySet(params, bits, firstRequiredBit, leftName, rightName, parent,
                          requiredCount, csv);
}

bool CDlgParams::AskUntilAnySet(CParamWord& params, const std::vector<int>& bits,
                                int firstRequiredBit, const QString& leftName,
                                const QString& rightName, QWidget* parent, int requiredCount,
                                bool askEncoding) {
    for (;;) {
        CDlgParams dialog(params, bits, leftName, rightName, parent);
        if (askEncoding)
            dialog.ShowEncodingChoice();
        if (dialog.exec() != QDialog::Accepted)
            return false;
        for (int bit = firstRequiredBit; bit < firstRequiredBit + requiredCount; ++bit) {
            if (params.TestBit(bit))
                return true;
        }
    }
}
