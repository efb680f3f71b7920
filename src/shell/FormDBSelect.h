#pragma once

#include "odbc/DataSourceSide.h"
#include "odbc/OwnerCombo.h"
#include "odbc/OwnerName.h"
#include "odbc/TableList.h"
#include "shell/SelectionContext.h"
#include "ui/KeyTaker.h"
#include "ui/QuorvixFormView.h"
#include "ui/QuorvixListCtrl.h"

#include <QStringList>

#include <memory>

class CDataSourceSide;
class CSideOpening;
class CSnapshotSide;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

// Chooses and opens one side: the data source (connected at once), its owner when it offers
// several, and the list of its tables and views, with a find and the table structure; or a
// snapshot file of one, whose owner is the one it was taken with. A side is ready for comparison
// exactly while its table list is shown. Its context menu saves a data source shown with its
// tables to a snapshot file.
class CFormDBSelect : public CQuorvixFormView,
                      public IListItemSource,
                      public IKeyTaker,
                      private IOwnerCombo,
                      private ITableList {
public:
    enum Control {
        kDataSourceButton = 5000,
        kOwnerCombo = 5001,
        kDataSourceName = 5002,
        kConnectButton = 5005,
        kTableList = 5006,
        kFilterEdit = 5007,
        kFindButton = 5008,
        kKindIcon = 5009,
        kStructureButton = 5015,
        kSideMessage = 5067,
        kRefreshButton = 5068,
    };

    // What the side was opened on: enough to open it again at the next start, or on the other
    // side. A snapshot path, when given, is the side; the other fields then say nothing.
    struct Choice {
        Choice() = default;
        Choice(QString source, CDataSourceSide::SourceKind sourceKind, QString ownerText = {})
            : dataSource(std::move(source)), kind(sourceKind), owner(std::move(ownerText)) {}
        static Choice Snapshot(QString path) {
            Choice choice;
            choice.snapshotPath = std::move(path);
            return choice;
        }

        QString dataSource;
        CDataSourceSide::SourceKind kind = CDataSourceSide::SystemDataSource;
        QString owner;
        QString snapshotPath;
    };

    // From the separator line under the data source to the search field.
    static constexpr int kSeparatorToSearch = 14;

    explicit CFormDBSelect(CSelectionContext context, QWidget* parent = nullptr);
    ~CFormDBSelect() override;

    bool HasLogo() const override { return false; }

    int SideIndex() const { return m_context.sideIndex; }
    void LockDataSourceControls(bool enable);
    bool TakeKey(int key) override;
    QString SelectedOwnerText() const;

    // The operations behind the controls.
    void ChooseDataSource();
    // Sets the side's data source as the data source dialog would, and connects.
    void SelectDataSource(const QString& name, CDataSourceSide::SourceKind kind);
    // Makes the side the snapshot file, as the data source dialog would, and lists its tables; a
    // file that is no sound snapshot is said and leaves the side with nothing chosen.
    void SelectSnapshot(const QString& path);
    bool ShowsSnapshot() const;
    // The side shown, of either kind.
    CSide* Side() const { return m_side; }
    // Saves the data source shown, as listed, to a snapshot file that the user chooses, through
    // the progress dialog; read on a connection of its own, so the list shown stays as it is.
    void SaveSnapshot();
    QAction* SaveSnapshotCommand() const { return m_saveSnapshot; }
    // Connects and lists the owners and, for a single owner, the tables; keepOwner, when still
    // offered, is chosen again. What fails is shown where the side is.
    void ConnectAndList(const QString& keepOwner = QString());
    void OwnerChanged();
    Choice CurrentChoice() const;
    // Opens the choice on a thread of its own while the window goes on, the side's progress
    // shown where its list will be; an empty data source leaves the side unchosen. A later choice
    // of the user's wins over an opening still under way.
    void OpenInBackground(const Choice& choice);
    bool IsOpening() const { return m_opening != nullptr; }
    // Reads the side's owners and tables again, keeping the chosen owner; also while result
    // windows are open, which keep what they show.
    void Refresh();
    // Puts a listing read for a comparison in place and shows it, keeping the selected table.
    void ShowTableListing(CTableListing listing);
    // The text shown where the side is: why it failed (in place of the table list), or a note
    // under a list that is shown; empty hides it.
    QString SideMessage() const;
    // A note under the side's table list, until the list is read again.
    void ShowNote(const QString& text) { ShowSideMessage(text, true); }
    QPushButton* RefreshButton() const { return m_refreshButton; }
    void UpdateConnectionControls();
    void ShowTableList(bool show);
    void FindNext();
    void UpdateStructureButton();
    void ShowTableStructure();

    // IListItemSource: table name and table/view image of the item with index i.
    QString GetItemText(int itemData, int column) const override;
    int GetItemImage(int itemData) const override;
    void GetItemDisplay(int itemData, int column, QString* text, int* image) const;

    CQuorvixListCtrl* TableList() const { return m_tableList; }
    QComboBox* OwnerCombo() const { return m_ownerCombo; }
    QLineEdit* FilterEdit() const { return m_filterEdit; }
    const COwnerList& OwnerList() const { return m_ownerList; }
    int SeparatorY() const { return m_separatorY; }

    void OnInitialUpdate() override;

protected:
    void OnSize(int cx, int cy) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The readers fill the owner combo and the table list through these.
    void DeleteAllEntries() override;
    void AddEntry(const QString& text, int itemData) override;
    void DeleteAllItems() override;
    void AppendItem(int itemData) override;

    bool FillTableList();
    void ListOwnersAndTables(const QString& keepOwner);
    void ListAndShowTables();
    void ShowSideMessage(const QString& text, bool underTheList = false);
    void PlaceSideMessage();
    void AdjustColumnWidth();
    void ShowDataSourceName();
    void ShowDataSourceKind();
    // Forgets an opening under way; its thread ends on its own.
    void DropOpening();
    // The side of the other kind becomes the one shown; the one left is emptied.
    void ShowSide(CSide& side);
    bool IsChosen() const;
    void ShowSnapshotOwner();
    void UpdateSnapshotCommand();
    void FinishOpening();
    void ShowOpeningProgress(bool show);

    CSelectionContext m_context;
    CDataSourceSide* m_dataSource = nullptr;
    CSnapshotSide* m_snapshot = nullptr;
    CSide* m_side = nullptr;
    std::shared_ptr<CSideOpening> m_opening;
    QTimer* m_openingPoll;
    QProgressBar* m_openingBar;
    int m_separatorY = -1;
    COwnerList m_ownerList;
    bool m_connecting = false;
    QLabel* m_kindIcon;
    QLabel* m_nameText;
    QComboBox* m_ownerCombo;
    QPushButton* m_connectButton;
    QLineEdit* m_filterEdit;
    QPushButton* m_findButton;
    CQuorvixListCtrl* m_tableList;
    QPushButton* m_structureButton;
    QPushButton* m_dataSourceButton;
    QLabel* m_sideMessage;
    QPushButton* m_refreshButton;
    QAction* m_saveSnapshot;
    bool m_messageUnderList = false;
};
