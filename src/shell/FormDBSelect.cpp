#include "shell/FormDBSelect.h"

#include "dialogs/DlgDataSources.h"
#include "model/NameOrdering.h"
#include "odbc/DataSourceSide.h"
#include "odbc/SideOpening.h"
#include "services/Language.h"
#include "services/ThreadKeeper.h"
#include "structure/TableStructFrm.h"
#include "ui/DrawingUtilities.h"
#include "ui/ImageList.h"
#include "ui/ListSearch.h"
#include "ui/QuorvixLook.h"
#include "ui/TemplateBuilder.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
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
// How often the window looks whether an opening on its thread has ended.
constexpr int kOpeningPollMs = 50;
constexpr int kTableHeading = 1182; // heads the rows copied from the table list
// Lines of a note shown under the table list.
constexpr int kNoteLines = 3;

} // namespace

CFormDBSelect::CFormDBSelect(CSelectionContext context, QWidget* parent)
    : CQuorvixFormView(MapResourceId(kTemplate), parent), m_context(std::move(context)),
      m_side(m_context.side) {
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
    if (!m_side)
        return;
    QString name = m_side->DataSourceName();
    CDataSourceSide::SourceKind kind = m_side->DataSourceKind();
    CDlgDataSources dialog(&name, &kind, window());
    if (dialog.exec() == QDialog::Accepted)
        SelectDataSource(name, kind);
}

void CFormDBSelect::SelectDataSource(const QString& name, CDataSourceSide::SourceKind kind) {
    if (!m_side)
        return;
    DropOpening();
    m_side->SetDataSource(name, kind);
    ShowDataSourceKind();
    ShowDataSourceName();
    ConnectAndList();
}

void CFormDBSelect::ShowDataSourceKind() {
    if (m_context.images)
        m_kindIcon->setPixmap(
            m_context.images->Image(m_side->DataSourceKind() == CDataSourceSide::SystemDataSource
                                        ? CImageList::SystemDataSource
                                        : CImageList::UserDataSource));
}

void CFormDBSelect::ShowDataSourceName() {
    if (!m_side)
        return;
    // The name is cut with an ellipsis at its end when it is too long.
    m_nameText->setText(FitTextToWidth(m_nameText->fontMetrics(), m_side->DataSourceName(),
                                       m_nameText->width(), 0));
    m_nameText->setToolTip(m_side->DataSourceName());
}

void CFormDBSelect::ConnectAndList(const QString& keepOwner) {
    if (!m_side)
        return;
    m_connecting = true;
    UpdateConnectionControls();
    const bool connected = m_side->Connect();
    m_connecting = false;
    if (!connected) {
        // "Connection" stays offered as the retry.
        ShowSideMessage(LoadLocalizedString(kConnectText)
                            .arg(m_side->DataSourceName(), m_side->LastDiagnostic()));
        UpdateConnectionControls();
        return;
    }
    ListOwnersAndTables(keepOwner);
}

void CFormDBSelect::ListOwnersAndTables(const QString& keepOwner) {
    m_side->ListQualifiers(m_ownerList, this);
    const QString failure = m_side->LastDiagnostic();
    UpdateConnectionControls();
    m_side->SetOwnerQualifier(QString());
    if (!failure.isEmpty()) {
        ShowSideMessage(
            LoadLocalizedString(kOwnersReadText).arg(m_side->DataSourceName(), failure));
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
        ShowSideMessage(LoadLocalizedString(kTablesReadText)
                            .arg(m_side->DisplayName(), m_side->LastDiagnostic()));
        return;
    }
    ShowTableList(true);
    AdjustColumnWidth();
    ShowSideMessage(m_side->DataDictionaryProblem(), true);
}

void CFormDBSelect::OwnerChanged() {
    if (!m_side)
        return;
    ShowTableList(false);
    const int index = m_ownerCombo->count() > 1 ? m_ownerCombo->currentData().toInt() : -1;
    m_side->SetOwner(index >= 0 && index < int(m_ownerList.size()) ? m_ownerList[size_t(index)]
                                                                   : COwnerName());
    ListAndShowTables();
}

CFormDBSelect::Choice CFormDBSelect::CurrentChoice() const {
    if (!m_side)
        return {};
    return {m_side->DataSourceName(), m_side->DataSourceKind(),
            m_opening ? m_opening->AskedOwner() : SelectedOwnerText()};
}

void CFormDBSelect::OpenInBackground(const Choice& choice) {
    if (!m_side)
        return;
    DropOpening();
    ShowTableList(false);
    m_side->Disconnect();
    m_side->SetDataSource(choice.dataSource, choice.kind);
    m_side->SetOwnerQualifier(QString());
    m_side->ApplyTableListing(CTableListing(), this);
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
    const QString name = m_side->DataSourceName();
    if (outcome == CSideOpening::Outcome::NotConnected) {
        // "Connection" stays offered as the retry.
        UpdateConnectionControls();
        ShowSideMessage(LoadLocalizedString(kConnectText).arg(name, opening->Diagnostic()));
        return;
    }
    m_side->TakeConnection(opening->Side());
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
        m_side->SetOwner(m_ownerList[size_t(chosen)]);
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
    if (!m_side || m_side->DataSourceName().isEmpty() || m_opening)
        return;
    const QString owner = SelectedOwnerText();
    if (!m_side->IsConnected()) {
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
    const bool named = !m_side->DataSourceName().isEmpty();
    const bool connected = m_side->IsConnected();
    m_kindIcon->setVisible(named);
    m_nameText->setVisible(named);
    m_connectButton->setVisible(!m_connecting && named && !connected);
    m_refreshButton->setVisible(!m_connecting && named);
    m_ownerCombo->setVisible(m_ownerCombo->count() >= 2 && !m_connecting && named && connected);
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
    if (m_context.readinessChanged)
        m_context.readinessChanged();
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
