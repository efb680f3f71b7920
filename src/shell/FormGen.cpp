#include "shell/FormGen.h"

#include "services/Language.h"
#include "shell/MainFrame.h"
#include "shell/QuorvixApp.h"
#include "shell/RoundBitmapButton.h"
#include "ui/DrawingUtilities.h"
#include "ui/TemplateBuilder.h"

#include <QPushButton>

namespace {
constexpr int kTemplate = 1002;
constexpr int kMargin = 7;
constexpr int kAboutRightInset = 220;
} // namespace

CFormGen::CFormGen(QWidget* parent) : CQuorvixFormView(MapResourceId(kTemplate), parent) {
    m_compareTables = CTemplateBuilder::Find<QPushButton>(*this, kCompareTables);
    m_compareDictionaries = CTemplateBuilder::Find<QPushButton>(*this, kCompareDictionaries);
    m_about = static_cast<CRoundBitmapButton*>(
        CTemplateBuilder::Adopt(*this, kAbout, new CRoundBitmapButton(this)));
    m_about->PreSubclassWindow();

    connect(m_compareTables, &QPushButton::clicked, this, [] {
        if (CQuorvixApp* app = CQuorvixApp::Instance())
            app->CompareTables();
    });
    connect(m_compareDictionaries, &QPushButton::clicked, this, [] {
        if (CQuorvixApp* app = CQuorvixApp::Instance())
            app->CompareDataDictionaries();
    });
    connect(m_about, &QAbstractButton::clicked, this, [] {
        if (CQuorvixApp* app = CQuorvixApp::Instance())
            app->ShowAbout();
    });
}

void CFormGen::UpdateCommandButtons() {
    CQuorvixApp* app = CQuorvixApp::Instance();
    CDataSourceSide* left = app ? app->GetSide(0) : nullptr;
    CDataSourceSide* right = app ? app->GetSide(1) : nullptr;
    const bool ready = left && right && left->IsReady() && right->IsReady();
    EnableControl(m_compareTables, ready);
    EnableControl(m_compareDictionaries, ready && !left->DataDictionaryTable().isEmpty() &&
                                             !right->DataDictionaryTable().isEmpty());
}

void CFormGen::OnSize(int cx, int cy) {
    CQuorvixFormView::OnSize(cx, cy);
    m_compareTables->move(kMargin, (cy - m_compareTables->height()) / 2);
    if (CQuorvixApp* app = CQuorvixApp::Instance(); app && app->MainFrame())
        app->MainFrame()->SetCommandRowHeight(m_compareTables->height() + 14);
    m_compareDictionaries->move(m_compareDictionaries->width() + 14,
                                (cy - m_compareDictionaries->height()) / 2);
    m_about->move(cx - kAboutRightInset - m_about->width(), (cy - m_about->height()) / 2);
}
