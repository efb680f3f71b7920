#include "shell/FormGen.h"

#include "odbc/Side.h"
#include "services/Language.h"
#include "shell/RoundBitmapButton.h"
#include "ui/DrawingUtilities.h"
#include "ui/QuorvixLook.h"
#include "ui/TemplateBuilder.h"

#include <QPushButton>

namespace {
constexpr int kNoSideText = 1959;
constexpr int kNotReadyText = 1960;
constexpr int kNoDictionaryText = 1961;
constexpr int kTemplate = 1002;
constexpr int kMargin = CQuorvixLook::kMargin;
constexpr int kAboutRightInset = 220;
} // namespace

CFormGen::CFormGen(QWidget* parent) : CQuorvixFormView(MapResourceId(kTemplate), parent) {
    m_compareTables = CTemplateBuilder::Find<QPushButton>(*this, kCompareTables);
    m_compareDictionaries = CTemplateBuilder::Find<QPushButton>(*this, kCompareDictionaries);
    m_about = static_cast<CRoundBitmapButton*>(
        CTemplateBuilder::Adopt(*this, kAbout, new CRoundBitmapButton(this)));
    m_about->PreSubclassWindow();

    connect(m_compareTables, &QPushButton::clicked, this, &CFormGen::CompareTablesRequested);
    connect(m_compareDictionaries, &QPushButton::clicked, this,
            &CFormGen::CompareDictionariesRequested);
    connect(m_about, &QAbstractButton::clicked, this, &CFormGen::AboutRequested);
}

void CFormGen::UpdateCommandButtons(const CSide& left, const CSide& right) {
    const bool ready = left.IsReady() && right.IsReady();
    const bool dictionaries =
        ready && !left.DataDictionaryTable().isEmpty() && !right.DataDictionaryTable().isEmpty();
    EnableControl(m_compareTables, ready);
    EnableControl(m_compareDictionaries, dictionaries);
    // A button that cannot be pressed says why.
    QString tablesWhy;
    // A side is named as the user knows it: a snapshot by its file.
    if (left.DisplayName().isEmpty() || right.DisplayName().isEmpty())
        tablesWhy = LoadLocalizedString(kNoSideText);
    else if (!ready)
        tablesWhy = LoadLocalizedString(kNotReadyText)
                        .arg(left.IsReady() ? right.DisplayName() : left.DisplayName());
    QString dictionariesWhy = tablesWhy;
    if (ready && !dictionaries)
        dictionariesWhy = LoadLocalizedString(kNoDictionaryText)
                              .arg(left.DataDictionaryTable().isEmpty() ? left.DisplayName()
                                                                        : right.DisplayName());
    m_compareTables->setToolTip(tablesWhy);
    m_compareDictionaries->setToolTip(dictionaries ? QString() : dictionariesWhy);
}

int CFormGen::RowHeight() const {
    return m_compareTables->height() + 2 * kMargin;
}

void CFormGen::OnSize(int cx, int cy) {
    CQuorvixFormView::OnSize(cx, cy);
    m_compareTables->move(kMargin, (cy - m_compareTables->height()) / 2);
    m_compareDictionaries->move(m_compareDictionaries->width() + 2 * kMargin,
                                (cy - m_compareDictionaries->height()) / 2);
    m_about->move(cx - kAboutRightInset - m_about->width(), (cy - m_about->height()) / 2);
}
