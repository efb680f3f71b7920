#include "shell/FormDBSelect.h"

#include "dialogs/DlgDataSources.h"
#include "dialogs/DlgWait.h"
#include "export/Export.h"
#include "model/NameOrdering.h"
#include "model/ParamWord.h"
#include "odbc/DataSourceSide.h"
#include "odbc/SideOpening.h"
#include "services/Language.h"
#include "services/ThreadKeeper.h"
#include "services/Utilities.h"
#include "snapshot/SnapshotSide.h"
#include "snapshot/SnapshotWriter.h"
#include "structure/TableStructFrm.h"
#include "ui/DrawingUtilities.h"
#include "ui/ExportDialog.h"
#include "ui/ImageList.h"
#include "ui/ListSearch.h"
#include "ui/QuorvixLook.h"
#include "ui/TemplateBuilder.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

namespace {

constexpr int kTemplate = 1001;
constexpr int kMargin = CQuorvixLook::kMargin;
constexpr int kNameWidthLimit = 400;
constexpr int kConnectText = 1970;
constexpr int kLockedText = 1962;
constexpr int kOwnersReadText = 1971;
constexpr int kTablesReadText = 1974;
constexpr int kOpeningText = 1948;
constexpr int kOwnerGoneText = 1949;
constexpr int kAbandonedText = 1947;
constexpr int kSnapshotWrittenText = 1219;
constexpr int kSaveSnapshotText = 1222;
constexpr int kSnapshotFilterText = 1224;
const QString kSnapshotExtension = QStringLiteral("qvsnap");
// How often the window looks whether an opening on its thread has ended.
constexpr int kOpeningPollMs = 50;
constexpr int kTableHeading = 1182; // heads the rows copied from the table list
// Lines of a note shown under the table list.
constexpr int kNoteLines = 3;

} // namespace

CFormDBSelect::CFormDBSelect(CSelectionContext context, QWidget* parent)
    : CQuorvixFormView(MapResourceId(kTemplate), parent), m_context(std::move(context)),
      m_dataSource(m_context.dataSource), m_snapshot(m_context.snapshot), m_side(m_dataSource) {
    m_dataSourceButton = CTemplateBuilder::Find<QPushButton>(*this, kDataSourceButton);
    m_kindIcon = CTemplateBuilder::Find<QLabel>(*this, kKindIcon);
    m_nameText = CTemplateBuilder::Find<QLabel>(*this, kDataSourceName);
    m_ownerCombo = CTemplateBuilder::Find<QComboBox>(*this, kOwnerCombo);
    m_connectButton = CTemplateBuilder::Find<QPushButton>(*this, kConnectButton);
    m_filterEdit = CTemplateBuilder::Find<QLineEdit>(*this, kFilterEdit);
    m_findButton = CTemplateBuilder::Find<QPushButton>(*this, kFindButton);
    m_tableList = CTemplateBuilder::Find<CQuorvixListCtrl>(*this, kTableList);
    m_structureButton = CTemplateBuilder::Find<QPushButton>(*this, kStructureButton);
    m_sideMessage = CTemplateBuilder::Find<QLabel>(*this, kSideMessage);
    m_refreshButton = CTemplateBuilder::Find<QPushButton>(*this, kRefreshButton);
    m_openingPoll = new QTimer(this);
    m_openingPoll->setInterval(kOpeningPollMs);
    connect(m_openingPoll, &QTimer::timeout, this, [this] { FinishOpening(); });
    // A moving bar under the side's message while it opens: nothing to count yet.
    m_openingBar = new QProgressBar(this);
    m_openingBar->setRange(0, 0);
    m_openingBar->setTextVisible(false);
    m_openingBar->hide();

    CQuorvixLook::UseWhiteText(*m_sideMessage);
    m_sideMessage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The driver's words can be copied into a search or a message to a colleague.
    m_sideMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);

    CQuorvixLook::UseWhiteText(*m_nameText);
    m_tableList->SetItemSource(this);
    m_tableList->SetShowSelectionAlways(true);
    // One column as wide as the list: long names are cut with "..." rather than scrolled.
    m_tableList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_tableList->viewport()->installEventFilter(this);

    connect(m_dataSourceButton, &QPushButton::clicked, this, [this] { ChooseDataSource(); });
    connect(m_connectButton, &QPushButton::clicked, this, [this] { ConnectAndList(); });
    connect(m_refreshButton, &QPushButton::clicked, this, [this] { Refresh(); });
    connect(m_ownerCombo, &QComboBox::activated, this, [this] { OwnerChanged(); });
    connect(m_filterEdit, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_findButton->setEnabled(!text.isEmpty()); });
    connect(m_findButton, &QPushButton::clicked, this, [this] { FindNext(); });
    connect(m_tableList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { UpdateStructureButton(); });
    connect(m_tableList, &CQuorvixListCtrl::ItemActivated, this, [this] { ShowTableStructure(); });
    connect(m_structureButton, &QPushButton::clicked, this, [this] { ShowTableStructure(); });
    // The table list's context menu offers the structure too.
    auto* structureCommand = new QAction(m_structureButton->text(), m_tableList);
    connect(structureCommand, &QAction::triggered, this, [this] { ShowTableStructure(); });
    m_tableList->addAction(structureCommand);
    // In the side's context menu rather than on a button: the narrowest window has no room
    // beside the others. The table list's menu keeps to its rows.
    m_saveSnapshot = new QAction(LoadLocalizedString(kSaveSnapshotText), this);
    m_saveSnapshot->setEnabled(false);
    connect(m_saveSnapshot, &QAction::triggered, this, [this] { SaveSnapshot(); });
}

CFormDBSelect::~CFormDBSelect() = default;

void CFormDBSelect::OnInitialUpdate() {
    if (IsInitialised())
        return;
    CQuorvixFormView::OnInitialUpdate();
    if (m_tableList->GetColumnCount() == 0)
        m_tableList->InsertColumn(0, LoadLocalizedString(kTableHeading), Qt::AlignLeft, 100);
    if (m_context.images) {
        m_tableList->SetImageList(m_context.images);
        m_findButton->setIcon(m_context.images->Image(CImageList::Find));
    }
    OnSize(width(), height());
    UpdateConnectionControls();
    m_findButton->setEnabled(!m_filterEdit->text().isEmpty());
}

void CFormDBSelect::LockDataSourceControls(bool enable) {
    for (const int id :
         {kDataSourceButton, kKindIcon, kDataSourceName, kConnectButton, kOwnerCombo})
        EnableControl(CTemplateBuilder::FindControl(*this, id), enable);
    // Locked while result windows show what these sides gave: the buttons say so.
    const QString why = enable ? QString() : LoadLocalizedString(kLockedText);
    m_dataSourceButton->setToolTip(why);
    m_ownerCombo->setToolTip(why);
    // A snapshot's owner is the one it was taken with.
    if (ShowsSnapshot())
        EnableControl(m_ownerCombo, false);
}

bool CFormDBSelect::TakeKey(int key) {
    if ((key != Qt::Key_Return && key != Qt::Key_Enter) || !m_filterEdit->hasFocus())
        return false;
    FindNext();
    return true;
}

QString CFormDBSelect::SelectedOwnerText() const {
    return m_ownerCombo->count() > 1 ? m_ownerCombo->currentText() : QString();
}

void CFormDBSelect::ChooseDataSource() {
    if (!m_dataSource)
        return;
    QString name = m_dataSource->DataSourceName();
    CDataSourceSide::SourceKind kind = m_dataSource->DataSourceKind();
    CDlgDataSources dialog(&name, &kind, window());
    if (ShowsSnapshot())
        dialog.SetSnapshotPath(m_snapshot->Path());
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!dialog.SnapshotPath().isEmpty())
        SelectSnapshot(dialog.SnapshotPath());
    else
        SelectDataSource(name, kind);
}

void CFormDBSelect::SelectDataSource(const QString& name, CDataSourceSide::SourceKind kind) {
    if (!m_dataSource)
        return;
    DropOpening();
    ShowSide(*m_dataSource);
    m_dataSource->SetDataSource(name, kind);
    ShowDataSourceKind();
    ShowDataSourceName();
    ConnectAndList();
}

bool CFormDBSelect::ShowsSnapshot() const {
    return m_snapshot && m_side == m_snapshot;
}

bool CFormDBSelect::IsChosen() const {
    return ShowsSnapshot() || (m_dataSource && !m_dataSource->DataSourceName().isEmpty());
}

void CFormDBSelect::ShowSide(CSide& side) {
    if (m_side == &side)
        return;
    ShowTableList(false);
    // The list's items are indexes into the names of the side left.
    DeleteAllItems();
    m_ownerList.clear();
    DeleteAllEntries();
    if (&side == m_dataSource) {
        EnableControl(m_ownerCombo, m_dataSourceButton->isEnabled());
    } else if (m_dataSource) {
        m_dataSource->Disconnect();
        m_dataSource->SetDataSource(QString(), m_dataSource->DataSourceKind());
        m_dataSource->SetOwnerQualifier(QString());
        m_dataSource->ApplyTableListing(CTableListing(), nullptr);
    }
    m_side = &side;
    if (m_context.sideChanged)
        m_context.sideChanged(side);
}

void CFormDBSelect::SelectSnapshot(const QString& path) {
    if (!m_snapshot || !m_dataSource)
        return;
    DropOpening();
    ShowTableList(false);
    ShowSide(*m_snapshot);
    if (!m_snapshot->Open(path)) {
        const QString why = m_snapshot->LastDiagnostic();
        ShowSide(*m_dataSource);
        ShowDataSourceName();
        UpdateConnectionControls();
        ShowSideMessage(why);
        return;
    }
    ShowDataSourceKind();
    ShowDataSourceName();
    ShowSnapshotOwner();
    UpdateConnectionControls();
    ShowSideMessage(QString());
    ListAndShowTables();
}

void CFormDBSelect::ShowSnapshotOwner() {
    DeleteAllEntries();
    if (const QString owner = m_snapshot->Owner().DisplayText(); !owner.isEmpty()) {
        m_ownerCombo->addItem(owner);
        m_ownerCombo->setCurrentIndex(0);
    }
    EnableControl(m_ownerCombo, false);
}

void CFormDBSelect::ShowDataSourceKind() {
    if (ShowsSnapshot()) {
        const int size = m_kindIcon->width();
        m_kindIcon->setPixmap(style()->standardIcon(QStyle::SP_FileIcon).pixmap(size, size));
        return;
    }
    if (m_context.images)
        m_kindIcon->setPixmap(m_context.images->Image(m_dataSource->DataSourceKind() ==
                                                              CDataSourceSide::SystemDataSource
                                                          ? CImageList::SystemDataSource
                                                          : CImageList::UserDataSource));
}

void CFormDBSelect::ShowDataSourceName() {
    if (!m_side)
        return;
    const QString name = ShowsSnapshot() ? m_side->DisplayName() : m_side->DataSourceName();
    // The name is cut with an ellipsis at its end when it is too long.
    m_nameText->setText(FitTextToWidth(m_nameText->fontMetrics(), name, m_nameText->width(), 0));
    m_nameText->setToolTip(ShowsSnapshot() ? name + QLatin1Char('\n') +
                                                 QDir::toNativeSeparators(m_snapshot->Path())
                                           : name);
}

void CFormDBSelect::ConnectAndList(const QString& keepOwner) {
    if (!m_dataSource || ShowsSnapshot())
        return;
    m_connecting = true;
    UpdateConnectionControls();
    const bool connected = m_dataSource->Connect();
    m_connecting = false;
    if (!connected) {
        // "Connection" stays offered as the retry.
        ShowSideMessage(LoadLocalizedString(kConnectText)
                            .arg(m_dataSource->DataSourceName(), m_dataSource->LastDiagnostic()));
        UpdateConnectionControls();
        return;
    }
    ListOwnersAndTables(keepOwner);
}

void CFormDBSelect::ListOwnersAndTables(const QString& keepOwner) {
    m_dataSource->ListQualifiers(m_ownerList, this);
    const QString failure = m_dataSource->LastDiagnostic();
    UpdateConnectionControls();
    m_dataSource->SetOwnerQualifier(QString());
    if (!failure.isEmpty()) {
        ShowSideMessage(
            LoadLocalizedString(kOwnersReadText).arg(m_dataSource->DataSourceName(), failure));
        return;
    }
    ShowSideMessage(QString());
    if (m_ownerCombo->count() == 1) {
        ListAndShowTables();
        return;
    }
    if (const int kept = keepOwner.isEmpty() ? -1 : m_ownerCombo->findText(keepOwner); kept >= 0) {
        m_ownerCombo->setCurrentIndex(kept);
        OwnerChanged();
    }
}

void CFormDBSelect::ListAndShowTables() {
    if (!FillTableList()) {
        // A side whose tables cannot be listed is not ready: comparing it would report every
        // table of the other side as one-sided.
        ShowTableList(false);
        // A snapshot's reason names its file already.
        ShowSideMessage(ShowsSnapshot()
                            ? m_side->LastDiagnostic()
                            : LoadLocalizedString(kTablesReadText)
                                  .arg(m_side->DisplayName(), m_side->LastDiagnostic()));
        return;
    }
    ShowTableList(true);
    AdjustColumnWidth();
    ShowSideMessage(m_side->DataDictionaryProblem(), true);
}

void CFormDBSelect::OwnerChanged() {
    if (!m_dataSource || ShowsSnapshot())
        return;
    ShowTableList(false);
    const int index = m_ownerCombo->count() > 1 ? m_ownerCombo->currentData().toInt() : -1;
    m_dataSource->SetOwner(
        index >= 0 && index < int(m_ownerList.size()) ? m_ownerList[size_t(index)] : COwnerName());
    ListAndShowTables();
}

CFormDBSelect::Choice CFormDBSelect::CurrentChoice() const {
    if (ShowsSnapshot())
        return Choice::Snapshot(m_snapshot->Path());
    if (!m_dataSource)
        return {};
    return {m_dataSource->DataSourceName(), m_dataSource->DataSourceKind(),
            m_opening ? m_opening->AskedOwner() : SelectedOwnerText()};
}

void CFormDBSelect::OpenInBackground(const Choice& choice) {
    if (!m_dataSource)
        return;
    if (!choice.snapshotPath.isEmpty()) {
        // A file opens at once.
        SelectSnapshot(choice.snapshotPath);
        return;
    }
    DropOpening();
    ShowTableList(false);
    ShowSide(*m_dataSource);
    m_dataSource->Disconnect();
    m_dataSource->SetDataSource(choice.dataSource, choice.kind);
    m_dataSource->SetOwnerQualifier(QString());
    m_dataSource->ApplyTableListing(CTableListing(), this);
    m_ownerList.clear();
    DeleteAllEntries();
    ShowDataSourceKind();
    ShowDataSourceName();
    ShowSideMessage(QString());
    if (choice.dataSource.isEmpty()) {
        UpdateConnectionControls();
        return;
    }
    auto opening = std::make_shared<CSideOpening>(choice.dataSource, choice.kind, choice.owner);
    m_opening = opening;
    m_connecting = true;
    UpdateConnectionControls();
    ShowSideMessage(LoadLocalizedString(kOpeningText).arg(choice.dataSource));
    ShowOpeningProgress(true);
    // The thread holds the opening too: dropped here, it ends on its own and closes what it
    // opened there, never on this thread.
    CThreadKeeper::Instance().Start([opening] { opening->Run(); });
    m_openingPoll->start();
}

void CFormDBSelect::DropOpening() {
    if (!m_opening)
        return;
    m_opening.reset();
    m_openingPoll->stop();
    m_connecting = false;
    ShowOpeningProgress(false);
}

void CFormDBSelect::ShowOpeningProgress(bool show) {
    m_openingBar->setVisible(show);
    PlaceSideMessage();
}

void CFormDBSelect::FinishOpening() {
    if (!m_opening || m_opening->Result() == CSideOpening::Outcome::Running)
        return;
    const std::shared_ptr<CSideOpening> opening = std::exchange(m_opening, nullptr);
    const CSideOpening::Outcome outcome = opening->Result();
    m_openingPoll->stop();
    m_connecting = false;
    ShowOpeningProgress(false);
    const QString name = m_dataSource->DataSourceName();
    if (outcome == CSideOpening::Outcome::NotConnected) {
        // "Connection" stays offered as the retry.
        UpdateConnectionControls();
        ShowSideMessage(LoadLocalizedString(kConnectText).arg(name, opening->Diagnostic()));
        return;
    }
    m_dataSource->TakeConnection(opening->Side());
    if (outcome == CSideOpening::Outcome::OwnersFailed) {
        UpdateConnectionControls();
        ShowSideMessage(LoadLocalizedString(kOwnersReadText).arg(name, opening->Diagnostic()));
        return;
    }
    m_ownerList = opening->Owners();
    for (size_t index = 0; index < m_ownerList.size(); ++index)
        AddEntry(m_ownerList[index].DisplayText(), int(index));
    UpdateConnectionControls();
    if (outcome == CSideOpening::Outcome::OwnerToChoose) {
        // The side waits for its owner, as after a choice of the user's; one that was asked for
        // and is gone is said.
        const QString asked = opening->AskedOwner();
        ShowSideMessage(asked.isEmpty() ? QString()
                                        : LoadLocalizedString(kOwnerGoneText).arg(asked, name));
        return;
    }
    if (const int chosen = opening->ChosenOwner(); chosen >= 0) {
        m_dataSource->SetOwner(m_ownerList[size_t(chosen)]);
        m_ownerCombo->setCurrentIndex(m_ownerCombo->findData(chosen));
    }
    if (outcome == CSideOpening::Outcome::TablesFailed) {
        ShowTableList(false);
        ShowSideMessage(
            LoadLocalizedString(kTablesReadText).arg(m_side->DisplayName(), opening->Diagnostic()));
        return;
    }
    m_tableList->SetRedraw(false);
    m_side->ApplyTableListing(std::move(opening->Listing()), this);
    m_tableList->SetRedraw(true);
    ShowTableList(true);
    AdjustColumnWidth();
    ShowSideMessage(m_side->DataDictionaryProblem(), true);
}

void CFormDBSelect::Refresh() {
    if (!m_side || !IsChosen() || m_opening)
        return;
    if (ShowsSnapshot()) {
        // The file is read again, as a data source's catalogue is.
        ShowTableList(false);
        ListAndShowTables();
        return;
    }
    const QString owner = SelectedOwnerText();
    if (!m_dataSource->IsConnected()) {
        ConnectAndList(owner);
        return;
    }
    ShowTableList(false);
    ListOwnersAndTables(owner);
}

void CFormDBSelect::ShowTableListing(CTableListing listing) {
    if (!m_side)
        return;
    const int row = m_tableList->GetSelectedRow();
    const QString selected =
        row >= 0 ? m_side->GetTableName(m_tableList->GetItemData(row)) : QString();
    m_tableList->SetRedraw(false);
    m_side->ApplyTableListing(std::move(listing), this);
    m_tableList->SetRedraw(true);
    if (!selected.isEmpty()) {
        const qsizetype index = m_side->TableNames().indexOf(selected);
        for (int item = 0; index >= 0 && item < m_tableList->GetItemCount(); ++item) {
            if (m_tableList->GetItemData(item) == index) {
                m_tableList->SelectRow(item);
                break;
            }
        }
    }
    if (!m_tableList->isHidden())
        ShowSideMessage(m_side->DataDictionaryProblem(), true);
    UpdateStructureButton();
}

QString CFormDBSelect::SideMessage() const {
    return m_sideMessage->isHidden() ? QString() : m_sideMessage->text();
}

void CFormDBSelect::ShowSideMessage(const QString& text, bool underTheList) {
    m_sideMessage->setText(text);
    m_sideMessage->setToolTip(text);
    m_messageUnderList = underTheList;
    m_sideMessage->setVisible(!text.isEmpty());
    PlaceSideMessage();
}

void CFormDBSelect::UpdateConnectionControls() {
    if (!m_side)
        return;
    const bool named = IsChosen();
    const bool connected = ShowsSnapshot() || m_dataSource->IsConnected();
    m_kindIcon->setVisible(named);
    m_nameText->setVisible(named);
    m_connectButton->setVisible(!m_connecting && named && !connected);
    m_refreshButton->setVisible(!m_connecting && named);
    // A snapshot shows the owner it was taken with, when it has one, as the only one.
    const int shownOwners = ShowsSnapshot() ? 1 : 2;
    m_ownerCombo->setVisible(m_ownerCombo->count() >= shownOwners && !m_connecting && named &&
                             connected);
    ShowTableList(false);
    repaint(); // at once: a connection about to start blocks the event loop
}

void CFormDBSelect::ShowTableList(bool show) {
    for (QWidget* control :
         {static_cast<QWidget*>(m_filterEdit), static_cast<QWidget*>(m_findButton),
          static_cast<QWidget*>(m_tableList), static_cast<QWidget*>(m_structureButton)})
        control->setVisible(show);
    UpdateStructureButton();
    if (m_side)
        m_side->SetReady(show);
    UpdateSnapshotCommand();
    if (m_context.readinessChanged)
        m_context.readinessChanged();
}

void CFormDBSelect::UpdateSnapshotCommand() {
    m_saveSnapshot->setEnabled(m_dataSource && m_side == m_dataSource && !m_opening &&
                               !m_tableList->isHidden());
}

void CFormDBSelect::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addAction(m_saveSnapshot);
    menu.exec(event->globalPos());
    event->accept();
}

// The data source is opened again on a side of its own, on the worker, for the same owner: the
// writer lists it again, and the list shown here must keep the indexes its items hold.
void CFormDBSelect::SaveSnapshot() {
    UpdateSnapshotCommand();
    if (!m_saveSnapshot->isEnabled() || !m_context.params)
        return;
    const QString dataSource = m_dataSource->DataSourceName();
    const COwnerName owner = m_dataSource->Owner();
    const QString ownerText = owner.DisplayText();
    const QString proposed = ProposedExportPath(
        GetPersonalFolder(),
        ownerText.isEmpty() ? dataSource : dataSource + QLatin1Char('_') + ownerText,
        kSnapshotExtension);
    const QString path = AskExportPath(window(), proposed, kSnapshotExtension,
                                       LoadLocalizedString(kSnapshotFilterText));
    if (path.isEmpty())
        return;
    if (const QString refusal = m_context.refusedTarget ? m_context.refusedTarget(path) : QString();
        !refusal.isEmpty()) {
        QMessageBox::warning(window(), window()->windowTitle(), refusal);
        return;
    }

    // Shared with the worker, which a dialog that gives the run up leaves behind.
    struct Job {
        CDataSourceSide side;
        CSnapshotWriter writer;
        QString failure;
    };
    auto job = std::make_shared<Job>();
    job->side.SetDataSource(dataSource, m_dataSource->DataSourceKind());
    job->side.SetSoleOwner(m_dataSource->SoleOwner());
    const CParamWord params = *m_context.params;
    CDlgWait dialog(
        CDlgWait::Snapshot, true,
        [job, owner, params, path](IComparisonProgress& progress) {
            progress.ShowBusy(LoadLocalizedString(kOpeningText).arg(job->side.DataSourceName()));
            if (!job->side.Connect()) {
                if (progress.QueryCancel() == 0)
                    job->failure = LoadLocalizedString(kConnectText)
                                       .arg(job->side.DataSourceName(), job->side.LastDiagnostic());
                return false;
            }
            job->side.SetOwner(owner);
            if (job->writer.Take(job->side, params, path, progress))
                return true;
            job->failure = job->writer.LastFailure();
            return false;
        },
        window(),
        {[job] { return job->side.BeginInterrupt(); },
         [job] {
             std::vector<CAbandonedConnection> abandoned;
             if (std::shared_ptr<COdbcConnection> connection = job->side.AbandonStuckConnection())
                 abandoned.push_back({job->side.DataSourceName(), std::move(connection)});
             return abandoned;
         }});
    const int result = dialog.exec();
    if (result == CDlgWait::Succeeded) {
        ShowNote(LoadLocalizedString(kSnapshotWrittenText)
                     .arg(m_side->DisplayName(), QDir::toNativeSeparators(path))
                     .arg(job->side.TableCount())
                     .arg(job->writer.FileSize()));
        return;
    }
    // Given up, the worker still holds the job: only the dialog's word is read then.
    QString failure;
    if (!dialog.AbandonedDataSources().isEmpty())
        failure = LoadLocalizedString(kAbandonedText).arg(dataSource);
    else if (result == CDlgWait::Stopped)
        failure = job->failure;
    if (!failure.isEmpty())
        QMessageBox::warning(window(), window()->windowTitle(), failure);
}

bool CFormDBSelect::FillTableList() {
    m_tableList->SetRedraw(false);
    const bool listed = m_side->ListTables(this);
    m_tableList->SetRedraw(true);
    return listed;
}

void CFormDBSelect::AdjustColumnWidth() {
    if (m_tableList->GetColumnCount() == 1)
        m_tableList->SetColumnWidth(0, m_tableList->viewport()->width() - 1);
}

void CFormDBSelect::FindNext() {
    FindNextInList(*m_filterEdit, *m_tableList, [this](int itemData, const QString& text) {
        return m_side && m_side->TableNameContains(itemData, text);
    });
}

void CFormDBSelect::UpdateStructureButton() {
    m_structureButton->setEnabled(!m_tableList->isHidden() && m_tableList->GetSelectedRow() >= 0);
}

// A structure window on the selected table; several may be open, for either side.
void CFormDBSelect::ShowTableStructure() {
    const int row = m_tableList->GetSelectedRow();
    if (row < 0 || !m_side || !m_context.host || !m_context.images)
        return;
    const int index = m_tableList->GetItemData(row);
    const QString table = m_side->GetTableName(index);
    if (table.isEmpty())
        return;
    CTableStructContext context;
    context.host = m_context.host;
    context.side = m_side;
    context.sideIndex = m_context.sideIndex;
    context.sideName = m_side->DisplayName();
    context.sideIcon = m_kindIcon->pixmap();
    context.images = m_context.images;
    context.params = m_context.params;
    const QIcon icon(
        m_context.images->Image(m_side->IsView(index) ? CImageList::View : CImageList::Table));
    CTableStructFrm::Open(icon, std::move(context), table, this);
}

QString CFormDBSelect::GetItemText(int itemData, int column) const {
    QString text;
    GetItemDisplay(itemData, column, &text, nullptr);
    return text;
}

int CFormDBSelect::GetItemImage(int itemData) const {
    int image = -1;
    GetItemDisplay(itemData, 0, nullptr, &image);
    return image;
}

void CFormDBSelect::GetItemDisplay(int itemData, int column, QString* text, int* image) const {
    if (text)
        *text = m_side && column == 0 ? m_side->GetTableName(itemData) : QString();
    if (image)
        *image = !m_side || column != 0     ? -1
                 : m_side->IsView(itemData) ? CImageList::View
                                            : CImageList::Table;
}

void CFormDBSelect::OnSize(int cx, int cy) {
    CQuorvixFormView::OnSize(cx, cy);
    m_dataSourceButton->move(kMargin, kMargin);
    if (m_separatorY < 0)
        m_separatorY = m_dataSourceButton->geometry().bottom() + 1 + kMargin;
    for (QWidget* control :
         {static_cast<QWidget*>(m_nameText), static_cast<QWidget*>(m_ownerCombo)}) {
        const int right = std::min(control->x() + kNameWidthLimit, cx - kMargin);
        control->resize(std::max(right - control->x(), 0), control->height());
    }
    ShowDataSourceName();
    const int top = m_separatorY + kSeparatorToSearch;
    m_findButton->move(cx - kMargin - m_findButton->width(), top);
    m_filterEdit->setGeometry(kMargin, top, std::max(m_findButton->x() - 1 - kMargin, 0),
                              m_filterEdit->height());
    const int listTop = m_findButton->geometry().bottom() + 1 + kMargin;
    const int listBottom = cy - m_findButton->height() - 14;
    m_tableList->setGeometry(kMargin, listTop, std::max(cx - 2 * kMargin, 0),
                             std::max(listBottom - listTop, 0));
    m_structureButton->move(cx - kMargin - m_structureButton->width(),
                            cy - kMargin - m_structureButton->height());
    m_refreshButton->move(kMargin, cy - kMargin - m_refreshButton->height());
    PlaceSideMessage();
    AdjustColumnWidth();
}

void CFormDBSelect::PlaceSideMessage() {
    // In place of the filter and the list when the side failed; a band at the list's foot,
    // which gives up its height, for a note about a side that is shown.
    int top = m_separatorY + kSeparatorToSearch;
    const int bottom = height() - m_findButton->height() - 14;
    const int width = std::max(this->width() - 2 * kMargin, 0);
    const int listTop = m_findButton->geometry().bottom() + 1 + kMargin;
    if (!m_openingBar->isHidden()) {
        m_openingBar->setGeometry(kMargin, top, width, m_openingBar->sizeHint().height());
        top = m_openingBar->geometry().bottom() + 1 + kMargin;
    }
    if (!m_messageUnderList || m_sideMessage->isHidden()) {
        m_sideMessage->setGeometry(kMargin, top, width, std::max(bottom - top, 0));
        m_tableList->setGeometry(kMargin, listTop, width, std::max(bottom - listTop, 0));
        return;
    }
    const int band = m_sideMessage->fontMetrics().lineSpacing() * kNoteLines + kMargin;
    m_tableList->setGeometry(kMargin, listTop, width, std::max(bottom - listTop - band, 0));
    m_sideMessage->setGeometry(kMargin, bottom - band + kMargin, width, band - kMargin);
}

bool CFormDBSelect::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_tableList->viewport() && event->type() == QEvent::Resize)
        AdjustColumnWidth();
    return CQuorvixFormView::eventFilter(watched, event);
}

void CFormDBSelect::paintEvent(QPaintEvent* event) {
    CQuorvixFormView::paintEvent(event);
    if (m_separatorY <= 0)
        return;
    QPainter painter(this);
    CQuorvixLook::DrawSeparator(painter, width(), m_separatorY);
}

void CFormDBSelect::DeleteAllEntries() {
    m_ownerCombo->clear();
}

void CFormDBSelect::AddEntry(const QString& text, int itemData) {
    // The combo keeps its entries sorted by text; the item data keeps the link to the owner list.
    int position = 0;
    while (position < m_ownerCombo->count() &&
           OwnerEntryGoesAfter(m_ownerCombo->itemText(position), text))
        ++position;
    m_ownerCombo->insertItem(position, text, itemData);
    m_ownerCombo->setCurrentIndex(-1);
}

void CFormDBSelect::DeleteAllItems() {
    m_tableList->DeleteAllItems();
}

void CFormDBSelect::AppendItem(int itemData) {
    m_tableList->AppendItem(itemData);
}
