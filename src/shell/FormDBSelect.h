#pragma once

#include "odbc/DataSourceSide.h"
#include "odbc/OwnerCombo.h"
#include "odbc/OwnerName.h"
#include "odbc/TableList.h"
#include "ui/KeyTaker.h"
#include "ui/QuorvixFormView.h"
#include "ui/QuorvixListCtrl.h"

#include <QStringList>

class CDataSourceSide;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Chooses and opens one side: the data source (connected at once), its owner when it offers
// several, and the list of its tables and views, with a find and the table structure. A side is
// ready for comparison exactly while its table list is shown.
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

    explicit CFormDBSelect(QWidget* parent = nullptr);
    ~CFormDBSelect() override;

    bool HasLogo() const override { return false; }
    bool PrepareExport() override { return false; }

    void AttachSide(int side);
    int SideIndex() const { return m_sideIndex; }
    void LockDataSourceControls(bool enable);
    bool TakeKey(int key) override;
    QString SelectedOwnerText() const;

    // The operations behind the controls.
    void ChooseDataSource();
    // Sets the side's data source as the data source dialog would, and connects.
    void SelectDataSource(const QString& name, CDataSourceSide::SourceKind kind);
    // Connects and lists the owners and, for a single owner, the tables; keepOwner, when still
    // offered, is chosen again. What fails is shown where the side is.
    void ConnectAndList(const QString& keepOwner = QString());
    void OwnerChanged();
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

    int m_sideIndex = -1;
    CDataSourceSide* m_side = nullptr;
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
    bool m_messageUnderList = false;
};
