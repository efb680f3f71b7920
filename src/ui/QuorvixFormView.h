#pragma once

#include "export/ExportSource.h"

#include <QPixmap>
#include <QWidget>

#include <memory>

class CStaticLink;

// The base of every view: a widget whose controls come from a dialog template, on the dark
// background, with the maker's logo as a link (bottom right above a separator line, or centred
// at the right edge) and the "Export to file..." and "Export to HTML..." buttons at the bottom
// left. The logo gives way to the buttons in a narrow window.
class CQuorvixFormView : public QWidget {
public:
    // The two forms an export takes: the CSV layout or the HTML report.
    enum class ExportForm { Csv, Html };

    static constexpr int kExportButton = 5020;
    static constexpr int kHtmlButton = 5021;
    static constexpr int kLogo = 5048;
    static constexpr int kLogoWidth = 200;
    static constexpr int kLogoHeight = 60;
    static constexpr const char* kMakerAddress = "https://www.ostrinel.example/";

    // templateId is the language-mapped template number.
    explicit CQuorvixFormView(int templateId, QWidget* parent = nullptr);
    ~CQuorvixFormView() override;

    int TemplateId() const { return m_templateId; }
    bool IsInitialised() const { return m_initialised; }
    CStaticLink* LogoLink() const { return m_logoLink; }

    virtual bool HasLogo() const { return true; }
    virtual bool HasFooter() const { return true; }
    // Places the export buttons and the logo; subclasses call it and then place their own.
    virtual void RepositionControls(int cx, int cy);

    // The export of the view's result as the core writes it (null: nothing to export), and the
    // asking of its options into the parameter word (false: the user gave up).
    virtual std::unique_ptr<CExportSource> MakeExportSource() const { return nullptr; }
    virtual bool PrepareExport(const CExportSource&) { return false; }
    // The form of the export being prepared: an HTML report asks no encoding.
    ExportForm CurrentExportForm() const { return m_exportForm; }
    // Both export buttons at once.
    void EnableExport(bool enabled);

    // Sets up the logo link; runs once, before the view first shows.
    virtual void OnInitialUpdate();

    // "Export to file..." and "Export to HTML...": options, path, writing, report, then the file
    // opens in the desktop's application for its kind. A view may hand them to another view.
    virtual void OnExportToFile() { Export(ExportForm::Csv); }
    virtual void OnExportToHtml() { Export(ExportForm::Html); }

protected:
    // Called on every size change with the client size; the base repositions its controls.
    virtual void OnSize(int cx, int cy);

    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Export(ExportForm form);

    int m_templateId;
    ExportForm m_exportForm = ExportForm::Csv;
    QPixmap m_logo;
    bool m_initialised = false;
    CStaticLink* m_logoLink = nullptr;
};
