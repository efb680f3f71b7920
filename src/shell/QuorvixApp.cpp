#include "shell/QuorvixApp.h"

#include "compare/CompareAliasFrm.h"
#include "compare/CompareTableFrm.h"
#include "dialogs/AboutDlg.h"
#include "dialogs/DlgParams.h"
#include "dialogs/DlgWait.h"
#include "export/SideFiles.h"
#include "services/Language.h"
#include "services/SettingsStore.h"
#include "services/Utilities.h"
#include "shell/FormDBSelect.h"
#include "shell/FormGen.h"
#include "shell/MainFrame.h"
#include "shell/RoundBitmapButton.h"
#include "ui/DesktopOpen.h"
#include "ui/DrawingUtilities.h"
#include "ui/KeyTaker.h"
#include "ui/QuorvixStyle.h"
#include "ui/WindowPlacement.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <QShortcut>

namespace {

constexpr int kProductTitle = 128;
constexpr int kNoDictionaryText = 1908;
constexpr int kTablesReadText = 1974;
constexpr int kAbandonedText = 1947;
constexpr int kReadingTablesText = 1990;
const QString kWindowRect = QStringLiteral("WndRect");
const QString kIsZoomed = QStringLiteral("IsZoomed");
const QString kSidesSection = QStringLiteral("Sides");
const QString kSideKeys[2] = {QStringLiteral("Left"), QStringLiteral("Right")};
// The kind kept for a side that is a snapshot file, whose path is kept as its data source.
const QString kSnapshotKind = QStringLiteral("snapshot");

} // namespace

CQuorvixApp::CQuorvixApp(int& argc, char** argv) : QApplication(argc, argv) {
    setOrganizationName(QStringLiteral("Ostrinel"));
    MakeResults();
    UseUtf8CharacterType();
    CQuorvixStyle::Install();
}

CQuorvixApp::~CQuorvixApp() {
    removeEventFilter(this);
    m_mainFrame.reset();
}

CQuorvixApp* CQuorvixApp::Instance() {
    return qobject_cast<CQuorvixApp*>(QCoreApplication::instance());
}

void CQuorvixApp::SetRegionalCodes(const QString& language, const QString& country) {
    m_language = language;
    m_country = country;
    ChooseLanguage(m_language, m_country);
    InstallToolkitTranslation(); // without Qt's French texts its own dialogs stay English
}

bool CQuorvixApp::InitInstance() {
    QString country;
    const QString language = GetUserLocaleCodes(country);
    SetRegionalCodes(language, country);
    m_imageList = CImageList::Shared();
    const CSettingsStore store;
    m_params.Load(store);
    InstallWaitCursor();
    // A new main window starts with both sides unchosen, whatever an earlier one left.
    for (CDataSourceSide& side : m_dataSources) {
        side.Disconnect();
        side.SetDataSource(QString(), CDataSourceSide::SystemDataSource);
        side.SetOwnerQualifier(QString());
        side.ApplyTableListing(CTableListing(), nullptr);
        side.SetReady(false);
    }
    for (CSnapshotSide& side : m_snapshots)
        side.SetReady(false);
    m_shownSides = {&m_dataSources[0], &m_dataSources[1]};
    MakeResults();

    m_mainFrame = std::make_unique<CMainFrame>(
        *this, std::array<CSelectionContext, 2>{SelectionContext(0), SelectionContext(1)});
    m_mainFrame->setWindowTitle(LoadLocalizedString(kProductTitle));
    CFormGen* commands = m_mainFrame->GetCommandView();
    connect(commands, &CFormGen::CompareTablesRequested, this, &CQuorvixApp::CompareTables);
    connect(commands, &CFormGen::CompareDictionariesRequested, this,
            &CQuorvixApp::CompareDataDictionaries);
    connect(commands, &CFormGen::AboutRequested, this, &CQuorvixApp::ShowAbout);
    connect(m_mainFrame->SwapButton(), &QAbstractButton::clicked, this, &CQuorvixApp::SwapSides);
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), m_mainFrame.get());
    help->setContext(Qt::ApplicationShortcut); // F1 opens the help from every window
    connect(help, &QShortcut::activated, this, &CQuorvixApp::OnHelp);
    // F5 reads both sides' owners and tables again.
    auto* refresh = new QShortcut(QKeySequence(Qt::Key_F5), m_mainFrame.get());
    connect(refresh, &QShortcut::activated, this, [this] {
        for (const int side : {0, 1}) {
            if (CFormDBSelect* view = m_mainFrame->GetSelectionView(side))
                view->Refresh();
        }
    });
    m_mainFrame->MeasureSplitterOverhead();
    m_mainFrame->RestorePlacement();
    installEventFilter(this);
    m_mainFrame->show();
    const QIcon icon(QStringLiteral(":/quorvix/images/icon128.png"));
    m_mainFrame->setWindowIcon(icon);
    setWindowIcon(icon);
    UpdateCommands();
    OpenSavedSides();
    return true;
}

CSelectionContext CQuorvixApp::SelectionContext(int side) {
    CSelectionContext context;
    context.host = this;
    context.dataSource = GetSide(side);
    context.snapshot = GetSnapshotSide(side);
    context.sideIndex = side;
    context.images = &m_imageList;
    context.params = &m_params;
    context.readinessChanged = [this] { UpdateCommands(); };
    context.sideChanged = [this, side](CSide& shown) { UseSide(side, shown); };
    context.refusedTarget = [this](const QString& path) {
        return RefuseSideFile(path, {m_shownSides[0], m_shownSides[1]});
    };
    return context;
}

void CQuorvixApp::MakeResults() {
    if (m_results) {
        m_results->DiscardResultFile(CResultFile::TableResult);
        m_results->DiscardResultFile(CResultFile::DictionaryResult);
    }
    m_results = std::make_unique<CComparisonResults>(Side(0), Side(1), m_params);
    m_results->LoadReadingOption(CSettingsStore());
}

void CQuorvixApp::UseSide(int index, CSide& side) {
    if (index < 0 || index > 1 || m_shownSides[size_t(index)] == &side)
        return;
    m_shownSides[size_t(index)] = &side;
    MakeResults();
    UpdateCommands();
}

void CQuorvixApp::SaveSides() const {
    CSettingsStore store;
    for (const int side : {0, 1}) {
        const CFormDBSelect::Choice choice = m_mainFrame->GetSelectionView(side)->CurrentChoice();
        const QString key = kSideKeys[side];
        if (!choice.snapshotPath.isEmpty()) {
            store.WriteText(kSidesSection, key + QStringLiteral("DataSource"), choice.snapshotPath);
            store.WriteText(kSidesSection, key + QStringLiteral("Kind"), kSnapshotKind);
            store.WriteText(kSidesSection, key + QStringLiteral("Owner"), QString());
            continue;
        }
        store.WriteText(kSidesSection, key + QStringLiteral("DataSource"), choice.dataSource);
        store.WriteInteger(kSidesSection, key + QStringLiteral("Kind"), choice.kind);
        store.WriteText(kSidesSection, key + QStringLiteral("Owner"), choice.owner);
    }
    store.Flush();
}

// Both sides as they were left, each opened on a thread of its own while the window is already
// in use; what fails is said where the side is.
void CQuorvixApp::OpenSavedSides() {
    const CSettingsStore store;
    for (const int side : {0, 1}) {
        CFormDBSelect::Choice choice;
        choice.dataSource =
            store.ReadText(kSidesSection, kSideKeys[side] + QStringLiteral("DataSource"));
        if (choice.dataSource.isEmpty())
            continue;
        if (store.ReadText(kSidesSection, kSideKeys[side] + QStringLiteral("Kind")) ==
            kSnapshotKind) {
            choice.snapshotPath = std::exchange(choice.dataSource, QString());
            m_mainFrame->GetSelectionView(side)->OpenInBackground(choice);
            continue;
        }
        choice.kind = store.ReadInteger(kSidesSection, kSideKeys[side] + QStringLiteral("Kind"))
                                  .value_or(1) == CDataSourceSide::UserDataSource
                          ? CDataSourceSide::UserDataSource
                          : CDataSourceSide::SystemDataSource;
        choice.owner = store.ReadText(kSidesSection, kSideKeys[side] + QStringLiteral("Owner"));
        m_mainFrame->GetSelectionView(side)->OpenInBackground(choice);
    }
}

// The left side's data source and owner go to the right and back; both are opened again, as
// every comparison reads the lists again anyway.
void CQuorvixApp::SwapSides() {
    if (!m_mainFrame || !m_comparisonFrames.isEmpty())
        return;
    const CFormDBSelect::Choice left = m_mainFrame->GetSelectionView(0)->CurrentChoice();
    const CFormDBSelect::Choice right = m_mainFrame->GetSelectionView(1)->CurrentChoice();
    m_mainFrame->GetSelectionView(0)->OpenInBackground(right);
    m_mainFrame->GetSelectionView(1)->OpenInBackground(left);
}

int CQuorvixApp::ExitInstance() {
    if (m_mainFrame) {
        m_mainFrame->SavePlacement();
        SaveSides();
    }
    CSettingsStore store;
    m_params.Save(store);
    store.Flush();
    m_results->DiscardResultFile(CResultFile::TableResult);
    m_results->DiscardResultFile(CResultFile::DictionaryResult);
    removeEventFilter(this);
    m_mainFrame.reset();
    return 0;
}

int CQuorvixApp::MapResourceId(int frenchId) const {
    return ::MapResourceId(frenchId);
}

CSide& CQuorvixApp::Side(int index) {
    return *m_shownSides[index == 1 ? 1 : 0];
}

const CSide& CQuorvixApp::Side(int index) const {
    return *m_shownSides[index == 1 ? 1 : 0];
}

CDataSourceSide* CQuorvixApp::GetSide(int index) {
    return index == 0 || index == 1 ? &m_dataSources[index] : nullptr;
}

CSnapshotSide* CQuorvixApp::GetSnapshotSide(int index) {
    return index == 0 || index == 1 ? &m_snapshots[index] : nullptr;
}

QString CQuorvixApp::SideDisplayName(int side) const {
    return side == 0 || side == 1 ? Side(side).DisplayName() : QString();
}

QString CQuorvixApp::PairDisplayName() const {
    return SideDisplayName(0) + QStringLiteral(" / ") + SideDisplayName(1);
}

void CQuorvixApp::RegisterComparisonFrame(QWidget* frame) {
    m_resultWindows.append(frame);
    m_comparisonFrames.append(frame);
    if (m_mainFrame)
        m_mainFrame->LockSelectionViews(false);
}

void CQuorvixApp::UnregisterComparisonFrame(QWidget* frame) {
    m_resultWindows.removeAll(frame);
    m_comparisonFrames.removeOne(frame);
    // The focus goes back to the window that opened the frame: the frame gives it.
    if (!m_comparisonFrames.isEmpty())
        return;
    if (m_mainFrame)
        m_mainFrame->LockSelectionViews(true);
    // The next comparison reads the data sources again.
    m_results->DiscardResultFile(CResultFile::TableResult);
    m_results->DiscardResultFile(CResultFile::DictionaryResult);
}

QWidget* CQuorvixApp::LastResultWindow(const QWidget* except) const {
    for (auto window = m_resultWindows.crbegin(); window != m_resultWindows.crend(); ++window) {
        if (*window != except && (*window)->isVisible())
            return *window;
    }
    return nullptr;
}

void CQuorvixApp::RegisterStructureFrame(QWidget* frame) {
    m_resultWindows.append(frame);
    m_structureFrames.append(frame);
}

void CQuorvixApp::UnregisterStructureFrame(QWidget* frame) {
    m_resultWindows.removeAll(frame);
    m_structureFrames.removeOne(frame);
}

bool CQuorvixApp::EnsureTableComparison() {
    if (m_results->HasResult(CResultFile::TableResult))
        return true;
    return RunOnFreshLists(CDlgWait::TableRun);
}

bool CQuorvixApp::EnsureDictionaryComparison() {
    if (m_results->HasResult(CResultFile::DictionaryResult))
        return true;
    return RunOnFreshLists(CDlgWait::DictionaryRun);
}

// A comparison reads the databases as they are now: both sides' table lists (and so the
// data-dictionary tables) are read again on the worker, put in place on this thread, and shown
// by the selection views, before the run itself.
bool CQuorvixApp::RunOnFreshLists(CDlgWait::Kind kind) {
    m_runFailure.clear();
    const std::array<QString, 2> names{SideDisplayName(0), SideDisplayName(1)};
    CDlgWait dialog(
        kind, true,
        [this, kind, names](IComparisonProgress& progress) {
            std::array<CTableListing, 2> listings;
            for (const int side : {0, 1}) {
                progress.ShowBusy(LoadLocalizedString(kReadingTablesText).arg(names[size_t(side)]));
                if (Side(side).ReadTableListing(listings[size_t(side)]))
                    continue;
                if (progress.QueryCancel() == 0 && !Side(side).IsInterrupted())
                    m_runFailure = LoadLocalizedString(kTablesReadText)
                                       .arg(names[size_t(side)], Side(side).LastDiagnostic());
                return false;
            }
            QMetaObject::invokeMethod(
                this, [this, &listings] { InstallTableListings(listings); },
                Qt::BlockingQueuedConnection);
            if (kind == CDlgWait::TableRun)
                return m_results->RunTableComparison(progress);
            for (const int side : {0, 1}) {
                if (Side(side).DataDictionaryTable().isEmpty()) {
                    const QString problem = Side(side).DataDictionaryProblem();
                    m_runFailure =
                        problem.isEmpty()
                            ? LoadLocalizedString(kNoDictionaryText).arg(names[size_t(side)])
                            : problem;
                    return false;
                }
            }
            return m_results->RunDictionaryComparison(progress);
        },
        m_mainFrame.get(),
        {[this] { return m_results->BeginInterrupt(); },
         [this] { return m_results->AbandonStuckConnections(); }});
    const int result = dialog.exec();
    return ReportRun(result, dialog.AbandonedDataSources());
}

void CQuorvixApp::InstallTableListings(std::array<CTableListing, 2>& listings) {
    for (const int side : {0, 1}) {
        CFormDBSelect* view = m_mainFrame ? m_mainFrame->GetSelectionView(side) : nullptr;
        if (view)
            view->ShowTableListing(std::move(listings[size_t(side)]));
        else
            Side(side).ApplyTableListing(std::move(listings[size_t(side)]), nullptr);
    }
    UpdateCommands();
}

// A run that failed says why, naming the side, the object and the driver's message; a cancelled
// one ends silently, unless a connection had to be abandoned on the way.
bool CQuorvixApp::ReportRun(int dialogResult, const QStringList& abandoned) {
    // A Cancel pressed as the run ended must not leave a side refusing statements.
    for (CSide* side : m_shownSides)
        side->ClearInterrupt();
    if (dialogResult == CDlgWait::Succeeded)
        return true;
    for (const QString& dataSource : abandoned) {
        const QString message = LoadLocalizedString(kAbandonedText).arg(dataSource);
        // Said once now, and kept under the side's list until it connects again.
        for (const int side : {0, 1}) {
            CFormDBSelect* view = m_mainFrame ? m_mainFrame->GetSelectionView(side) : nullptr;
            if (view && m_shownSides[size_t(side)] == &m_dataSources[side] &&
                m_dataSources[side].DataSourceName() == dataSource &&
                !m_dataSources[side].IsConnected())
                view->ShowNote(message);
        }
        QMessageBox::warning(m_mainFrame.get(), LoadLocalizedString(kProductTitle), message);
    }
    const QString failure = m_runFailure.isEmpty() ? m_results->LastFailure() : m_runFailure;
    if (!failure.isEmpty())
        QMessageBox::warning(m_mainFrame.get(), LoadLocalizedString(kProductTitle), failure);
    return false;
}

void CQuorvixApp::UpdateCommands() {
    if (m_mainFrame && m_mainFrame->GetCommandView())
        m_mainFrame->GetCommandView()->UpdateCommandButtons(Side(0), Side(1));
}

void CQuorvixApp::CompareTables() {
    if (!m_results->HasResult(CResultFile::TableResult)) {
        CDlgParams dialog(m_params,
                          {ParamBit::CaseSensitive, ParamBit::CompareSqlTypes, CDlgParams::kIndent,
                           ParamBit::StringsAlike, ParamBit::CompareAttributes,
                           ParamBit::CompareIndexes},
                          SideDisplayName(0), SideDisplayName(1), m_mainFrame.get());
        if (dialog.exec() != QDialog::Accepted)
            return;
    }
    CComparisonContext context = ComparisonContext([this] { return EnsureTableComparison(); });
    CCompareTableFrm::Open(context.programIcon, context, m_mainFrame.get());
}

CComparisonContext CQuorvixApp::ComparisonContext(std::function<bool()> ensureResult) {
    CComparisonContext context;
    context.host = this;
    context.results = m_results.get();
    context.params = &m_params;
    context.leftName = SideDisplayName(0);
    context.rightName = SideDisplayName(1);
    context.findIcon = m_imageList.Image(CImageList::Find);
    context.programIcon = QIcon(QStringLiteral(":/quorvix/images/icon128.png"));
    context.ensureResult = std::move(ensureResult);
    return context;
}

void CQuorvixApp::CompareDataDictionaries() {
    if (!m_results->HasResult(CResultFile::DictionaryResult)) {
        // Until at least one value is to be compared; Cancel ends the command.
        constexpr int kValues = 5;
        std::vector<int> values;
        for (int value = 0; value < kValues; ++value)
            values.push_back(ParamBit::CompareValue0 + value);
        if (!CDlgParams::AskUntilAnySet(m_params, values, ParamBit::CompareValue0,
                                        SideDisplayName(0), SideDisplayName(1), m_mainFrame.get(),
                                        kValues))
            return;
    }
    CComparisonContext context = ComparisonContext([this] { return EnsureDictionaryComparison(); });
    CCompareAliasFrm::Open(context.programIcon, context, m_mainFrame.get());
}

void CQuorvixApp::ShowAbout() {
    CAboutDlg about(QPixmap(QStringLiteral(":/quorvix/images/bitmap137.png")),
                    {FindDocument(ReleaseNotes), FindDocument(ConditionsOfUse), FindDocument(Help)},
                    m_mainFrame.get());
    about.exec();
}

QString CQuorvixApp::FindDocument(Document kind) const {
    static const char* const kBaseNames[] = {"Release", "Cluf", "Help"};
    static const char* const kExtensions[] = {".txt", ".txt", ".pdf"};
    if (kind < ReleaseNotes || kind > Help)
        return {};
    const QDir folder(QCoreApplication::applicationDirPath());
    QStringList languages{m_language};
    if (m_language.compare(QLatin1String("ENG"), Qt::CaseInsensitive) != 0)
        languages.append(QStringLiteral("ENG"));
    languages.append(QStringLiteral("FRA"));
    for (const QString& language : languages) {
        const QString path = folder.filePath(QLatin1String(kBaseNames[kind]) + language +
                                             QLatin1String(kExtensions[kind]));
        if (QFileInfo::exists(path))
            return path;
    }
    return {};
}

void CQuorvixApp::OnHelp() {
    const QString help = FindDocument(Help);
    if (!help.isEmpty())
        OpenForTheUser(m_mainFrame.get(), help);
}

QString CQuorvixApp::PlacementSection(int frameIndex) {
    return frameIndex < 0 ? QStringLiteral("MainFrmSize")
                          : QStringLiteral("FrmSize") + QString::number(frameIndex);
}

void CQuorvixApp::SaveWindowRect(int frameIndex, const QString& rectangle, bool zoomed) {
    CSettingsStore store;
    store.WriteText(PlacementSection(frameIndex), kWindowRect, rectangle);
    store.WriteInteger(PlacementSection(frameIndex), kIsZoomed, zoomed ? 1 : 0);
    store.Flush();
}

void CQuorvixApp::LoadWindowRect(int frameIndex, QString& rectangle, bool& zoomed) const {
    const CSettingsStore store;
    rectangle = store.ReadText(PlacementSection(frameIndex), kWindowRect);
    zoomed = store.ReadInteger(PlacementSection(frameIndex), kIsZoomed).value_or(0) != 0;
    // A rectangle that cannot be used (a number out of range, empty or inverted) counts as
    // missing.
    if (!ParseWindowRect(rectangle))
        rectangle = DefaultWindowRect(QGuiApplication::primaryScreen()->geometry().size());
}

bool CQuorvixApp::eventFilter(QObject* watched, QEvent* event) {
    // Every key press of the program is offered first to the selection views, then to the
    // comparison frames, then to the structure frames, in opening order.
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return QApplication::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (m_mainFrame && m_mainFrame->OfferKeyToSelectionViews(key))
        return true;
    for (const QList<QWidget*>* frames : {&m_comparisonFrames, &m_structureFrames}) {
        for (QWidget* frame : *frames) {
            if (auto* taker = dynamic_cast<IKeyTaker*>(frame); taker && taker->TakeKey(key))
                return true;
        }
    }
    return QApplication::eventFilter(watched, event);
}
