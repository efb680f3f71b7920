#pragma once

#include "ui/QuorvixFormView.h"

class CSide;
class CRoundBitmapButton;
class QPushButton;

// The strip across the bottom of the main window: "Compare tables...", "Compare data
// dictionaries...", the round About button and the maker's logo. Its presses are signals that
// the application connects.
class CFormGen : public CQuorvixFormView {
    Q_OBJECT

public:
    enum Control { kCompareTables = 5003, kCompareDictionaries = 5004, kAbout = 5005 };

    explicit CFormGen(QWidget* parent = nullptr);

    bool HasFooter() const override { return false; }

    // Enables the comparisons that both sides are ready for.
    void UpdateCommandButtons(const CSide& left, const CSide& right);
    // The height of the strip: a button and a 7-pixel margin above and below it.
    int RowHeight() const;

    QPushButton* CompareTablesButton() const { return m_compareTables; }
    QPushButton* CompareDictionariesButton() const { return m_compareDictionaries; }
    CRoundBitmapButton* AboutButton() const { return m_about; }

signals:
    void CompareTablesRequested();
    void CompareDictionariesRequested();
    void AboutRequested();

protected:
    void OnSize(int cx, int cy) override;

private:
    QPushButton* m_compareTables;
    QPushButton* m_compareDictionaries;
    CRoundBitmapButton* m_about;
};
