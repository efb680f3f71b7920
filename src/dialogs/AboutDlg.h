#pragma once

#include "ui/QuorvixDialog.h"

#include <array>

class CStaticLink;

// The About box: product title, version, legal notice with its year range, the maker's logo and
// web address as links, and the buttons that open the documents next to the program.
class CAboutDlg : public CQuorvixDialog {
public:
    enum Control {
        kVersion = 5014,
        kNotice = 5069,
        kReleaseNotes = 5051,
        kConditions = 5049,
        kHelp = 5050,
        kWebLink = 5046,
        kLogo = 5048,
    };

    // The paths of the release notes, the conditions of use and the help, in that order; an
    // empty path disables its button.
    using Documents = std::array<QString, 3>;

    // mainWindow, when given, lends its icon and is the window the box is centred over.
    CAboutDlg(const QPixmap& background, const Documents& documents,
              const QWidget* mainWindow = nullptr);

    int ArrangeButtons(int, int, int&) override { return -1; }

    // The notice with its first year extended to the year the program was built, when later.
    static QString NoticeWithYears(const QString& notice, int modificationYear);

protected:
    void InitDialog() override;

private:
    void OpenDocument(int kind);

    Documents m_documents;
    const QWidget* m_mainWindow;
    CStaticLink* m_webLink = nullptr;
    CStaticLink* m_logoLink = nullptr;
};
