#pragma once

#include "ui/QuorvixFormView.h"

class CRoundBitmapButton;
class QPushButton;

// The strip across the bottom of the main window: "Compare tables...", "Compare data
// dictionaries...", the round About button and the maker's logo.
class CFormGen : public CQuorvixFormView {
public:
    enum Control { kCompareTables = 5003, kCompareDictionaries = 5004, kAbout = 5005 };

    explicit CFormGen(QWidget* parent = nullptr);

    bool HasFooter() const override { return false; }
    bool PrepareExport() override { return false; }

    // Enables the comparisons that both sides are ready for.
    void UpdateCommandButtons();

    QPushButton* CompareTablesButton() const { return m_compareTables; }
    QPushButton* CompareDictionariesButton() const { return m_compareDictionaries; }
    CRoundBitmapButton* AboutButton() const { return m_about; }

protected:
    void OnSize(int cx, int cy) override;

private:
    QPushButton* m_compareTables;
    QPushButton* m_compareDictionaries;
    CRoundBitmapButton* m_about;
};
