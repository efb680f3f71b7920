#pragma once

#include "compare/ComparisonContext.h"
#include "dialogs/DlgWait.h"
#include "model/ParamWord.h"
#include "odbc/DataSourceSide.h"
#include "runs/ComparisonResults.h"
#include "shell/SelectionContext.h"
#include "snapshot/SnapshotSide.h"
#include "ui/ImageList.h"
#include "ui/WindowHost.h"

#include <QApplication>
#include <QList>

#include <array>
#include <memory>

class CMainFrame;
class IComparisonProgress;

// The one application object: it starts the program, owns what several windows share (the two
// sides, each a data source or a snapshot file of one, the parameter word, the comparison
// results bound to the sides shown, the open result windows), routes key
// presses to the windows that want them, opens the documents, keeps window placements, and on
// exit saves the parameters and removes the result files.
class CQuorvixApp : public QApplication, public IWindowHost {
    Q_OBJECT

public:
    enum Document { ReleaseNotes = 0, ConditionsOfUse = 1, Help = 2 };

    CQuorvixApp(int& argc, char** argv);
    ~CQuorvixApp() override;
    static CQuorvixApp* Instance();

    // Start-up and end. InitInstance creates and shows the main window.
    bool InitInstance();
    int ExitInstance();

    QString Language() const { return m_language; }
    QString Country() const { return m_country; }
    int MapResourceId(int frenchId) const;
    const CImageList& ImageList() const { return m_imageList; }
    CParamWord& Params() { return m_params; }
    CComparisonResults& Results() { return *m_results; }
    CMainFrame* MainFrame() const { return m_mainFrame.get(); }

    // The side as the selection view shows it, of either kind.
    CSide& Side(int index);
    const CSide& Side(int index) const;
    // The data source and the snapshot a side can be, whichever it shows.
    CDataSourceSide* GetSide(int index);
    CSnapshotSide* GetSnapshotSide(int index);
    QString SideDisplayName(int side) const;
    QString PairDisplayName() const;

    // Open result windows. The first comparison frame locks both sides' data-source controls;
    // when the last one goes, they are unlocked and both results are discarded.
    void RegisterComparisonFrame(QWidget* frame) override;
    void UnregisterComparisonFrame(QWidget* frame) override;
    void RegisterStructureFrame(QWidget* frame) override;
    void UnregisterStructureFrame(QWidget* frame) override;
    QWidget* LastResultWindow(const QWidget* except) const override;
    const QList<QWidget*>& ComparisonFrames() const { return m_comparisonFrames; }
    const QList<QWidget*>& StructureFrames() const { return m_structureFrames; }

    bool EnsureTableComparison();
    bool EnsureDictionaryComparison();
    void UpdateCommands();

    // The commands of the command view, and the swap between the sides.
    void CompareTables();
    void SwapSides();
    void CompareDataDictionaries();
    void ShowAbout();

    // Documents next to the executable: the language's, else English, else French; or empty.
    QString FindDocument(Document kind) const;
    void OnHelp();

    // Window placement: frame index -1 is the main window, 1 to 4 the result frames.
    void SaveWindowRect(int frameIndex, const QString& rectangle, bool zoomed) override;
    void LoadWindowRect(int frameIndex, QString& rectangle, bool& zoomed) const override;

    // Sets the regional codes and the language from them (start-up does it from the locale).
    void SetRegionalCodes(const QString& language, const QString& country);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static QString PlacementSection(int frameIndex);
    // The pair of data sources and owners left at the end, opened again at the next start.
    void SaveSides() const;
    void OpenSavedSides();
    CSelectionContext SelectionContext(int side);
    // The results are bound to the sides shown: a side that becomes the other kind makes them
    // again, which only happens while no result window holds them.
    void UseSide(int index, CSide& side);
    void MakeResults();
    bool ReportRun(int dialogResult, const QStringList& abandoned);
    bool RunOnFreshLists(CDlgWait::Kind kind);
    void InstallTableListings(std::array<CTableListing, 2>& listings);
    // What a comparison window is handed: this program's results, parameters and names.
    CComparisonContext ComparisonContext(std::function<bool()> ensureResult);

    QString m_language = QStringLiteral("ENG");
    QString m_country;
    CImageList m_imageList;
    CDataSourceSide m_dataSources[2];
    CSnapshotSide m_snapshots[2];
    std::array<CSide*, 2> m_shownSides{&m_dataSources[0], &m_dataSources[1]};
    CParamWord m_params;
    std::unique_ptr<CComparisonResults> m_results;
    // Every open result window, in the order they opened, for the next one to cascade from.
    QList<QWidget*> m_resultWindows;
    // Why a run stopped before its comparison began (a side's tables could not be read again).
    QString m_runFailure;
    QList<QWidget*> m_comparisonFrames;
    QList<QWidget*> m_structureFrames;
    std::unique_ptr<CMainFrame> m_mainFrame;
};
