#pragma once

#include "odbc/DataSourceSide.h"

#include "ui/QuorvixDialog.h"

#include <QStringList>

class QListWidget;
class QPushButton;
class QTabBar;

// Picks the data source of one side among those the driver manager knows, for the user and for
// the machine, on two tabs, each entry with its driver; or, under them, a snapshot file taken of
// one. Ends with OK only once a data source is chosen, or as soon as a file is.
class CDlgDataSources : public CQuorvixDialog {
public:
    enum Control {
        kSetupButton = 5004,
        kTabs = 5011,
        kUserList = 5012,
        kSystemList = 5013,
        kSnapshotButton = 5014,
    };
    static constexpr int kMinimumWidth = 340;
    static constexpr int kMinimumHeight = 200;

    // name and kind hold the current choice and receive the new one on OK.
    CDlgDataSources(QString* name, CDataSourceSide::SourceKind* kind, QWidget* parent);

    void FillLists();
    void Accept() { OnOK(); }
    void SetupDataSources();
    // Asks for a snapshot file; one chosen ends the dialog with OK.
    void ChooseSnapshot();
    // The snapshot the side shows, where the file dialog opens; the file chosen once the dialog
    // ended with one, else empty.
    void SetSnapshotPath(const QString& path) { m_snapshotPath = path; }
    QString SnapshotPath() const { return m_snapshotChosen ? m_snapshotPath : QString(); }
    QPushButton* SnapshotButton() const { return m_snapshotButton; }

    void ArrangeControls(int cx, int cy) override;

    QTabBar* Tabs() const { return m_tabs; }
    QListWidget* List(int tab) const { return tab == 0 ? m_userList : m_systemList; }
    QString SelectedName() const { return m_selectedName; }

protected:
    void InitDialog() override;
    void OnOK() override;

private:
    void ShowCurrentList();
    void UpdateOk();
    void OnSelectionChanged(int tab);
    void SetTabStops();

    QString* m_resultName;
    CDataSourceSide::SourceKind* m_resultKind;
    QString m_selectedName;
    int m_systemFlag;
    QStringList m_names[2];
    QStringList m_descriptions[2];
    QTabBar* m_tabs;
    QListWidget* m_userList;
    QListWidget* m_systemList;
    QPushButton* m_snapshotButton;
    QString m_snapshotPath;
    bool m_snapshotChosen = false;
};
