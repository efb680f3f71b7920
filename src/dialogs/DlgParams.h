#pragma once

#include "model/CompareStatus.h"
#include "ui/QuorvixDialog.h"

#include <vector>

struct CExportOptions;
class CParamWord;
class QCheckBox;
class QComboBox;

// Edits any subset of the parameter word: the caller lists the bits to show, in order, an entry
// after the marker -1 indented. OK writes every listed bit, enabled or not.
class CDlgParams : public CQuorvixDialog {
public:
    static constexpr int kIndent = -1;
    static constexpr int kFirstCheckBox = 5016;
    static constexpr int kMinimumWidth = 250;
    static constexpr int kEncodingLabel = 5044;
    static constexpr int kEncodingCombo = 5045;

    // leftName and rightName replace %LDB% and %RDB% in the texts.
    CDlgParams(CParamWord& params, std::vector<int> bits, const QString& leftName,
               const QString& rightName, QWidget* parent);

    // The options of an export: one per status from firstBit, then, when nestedFirstBit is
    // given, one indented option per status from it (the lines written under an entry).
    static std::vector<int> StatusOptions(int firstBit, int nestedFirstBit = kIndent);

    // Shows the dialog until, after OK, one of the required bits (the requiredCount bits from
    // firstRequiredBit, one per status unless told) is set; false when the user cancels. An
    // export asks its options so, and the data-dictionary comparison its values.
    static bool AskUntilAnySet(CParamWord& params, const std::vector<int>& bits,
                               int firstRequiredBit, const QString& leftName,
                               const QString& rightName, QWidget* parent,
                               int requiredCount = CompareStatus::Count);
    // The same for the options of an export, which also choose a CSV file's encoding.
    static bool AskExportOptions(CParamWord& params, const std::vector<int>& bits,
                                 int firstRequiredBit, const QString& leftName,
                                 const QString& rightName, QWidget* parent,
                                 int requiredCount = CompareStatus::Count);

    // The same for the options an export source offers, preset in params.
    static bool AskExportOptions(CParamWord& params, const CExportOptions& options,
                                 const QString& leftName, const QString& rightName,
                                 QWidget* parent);

    // Shows the encoding choice below the options.
    void ShowEncodingChoice() { m_encodingShown = true; }
    QComboBox* EncodingCombo() const;

    QCheckBox* CheckBox(int bit) const;
    void Accept() { OnOK(); }

protected:
    void InitDialog() override;
    void OnOK() override;

private:
    void ApplyEnableRules();
    void Layout();
    static bool AskUntilAnySet(CParamWord& params, const std::vector<int>& bits,
                               int firstRequiredBit, const QString& leftName,
                               const QString& rightName, QWidget* parent, int requiredCount,
                               bool askEncoding);

    CParamWord& m_params;
    std::vector<int> m_bits;
    QString m_leftName;
    QString m_rightName;
    bool m_encodingShown = false;
};
