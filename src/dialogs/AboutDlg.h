#pragma once

#include "ui/QuorvixDialog.h"

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

    explicit CAboutDlg(const QPixmap& background);

    int ArrangeButtons(int, int, int&) override { return -1; }

    // The notice with its first year extended to the year the program was built, when later.
    static QString NoticeWithYears(const QString& notice, int modificationYear);

protected:
    void InitDialog() override;

private:
    void OpenDocument(int kind);

    CStaticLink* m_webLink = nullptr;
    CStaticLink* m_logoLink = nullptr;
};
