#include "structure/FormTableStruct.h"

#include "dialogs/DlgParams.h"
#include "export/StructureExportSource.h"
#include "services/Language.h"
#include "ui/ColorTabCtrl.h"
#include "ui/DrawingUtilities.h"
#include "ui/ImageList.h"
#include "ui/ListSearch.h"
#include "ui/QuorvixListCtrl.h"
#include "ui/QuorvixLook.h"
#include "ui/TemplateBuilder.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace {

constexpr int kTemplate = 1003;
constexpr int kFieldsTabText = 1170;
constexpr int kIndexesTabText = 1171;
constexpr int kStructureReadText = 1967;
constexpr int kNameHeading = 1183;
constexpr int kTypeHeading = 1184;
constexpr int kOrderHeading = 1185;
constexpr int kFieldHeading = 1800;
constexpr int kMargin = CQuorvixLook::kMargin;
constexpr int kIconSize = 16;
constexpr int kNameLeft = 28;
constexpr int kTabsTop = 30;
constexpr int kTabsBottomReserve = 75;
constexpr int kTabsInset = 4;
// Beyond the widest text, a column sized to its content keeps the list's text margins and a gap.
constexpr int kContentGap = 2 * CQuorvixListCtrl::kTextMargin + 6;
constexpr int kFieldColumns = 2;
constexpr int kIndexColumns = 3;

// The texts of one list, asked of the view: each list's rows are numbered its own way.
class CListTexts : public IListItemSource {
public:
    explicit CListTexts(std::function<QString(int, int)> text,
                        std::function<QString(int)> name = {})
        : m_text(std::move(text)), m_name(std::move(name)) {}
    QString GetItemText(int itemData, int column) const override {
        return m_text(itemData, column);
    }
    QString GetItemName(int itemData) const override {
        return m_name ? m_name(itemData) : IListItemSource::GetItemName(itemData);
    }

private:
    std::function<QString(int, int)> m_text;
    std::function<QString(int)> m_name;
};

int ContentWidth(const CQuorvixListCtrl& list, int column) {
    const QFontMetrics metrics(list.font());
    int widest = 0;
    for (int row = 0; row < list.GetItemCount(); ++row)
        widest = std::max(widest, metrics.horizontalAdvance(list.GetItemText(row, column)));
    return widest + kContentGap;
}

} // namespace

CFormTableStruct::CFormTableStruct(CTableStructContext context, QString table, QWidget* parent)
    : CQuorvixFormView(MapResourceId(kTemplate), parent), m_context(std::move(context)),
      m_table(std::move(table)) {
    m_sideIcon = CTemplateBuilder::Find<QLabel>(*this, kSideIcon);
    m_sideName = CTemplateBuilder::Find<QLabel>(*this, kSideName);
    m_tabs = dynamic_cast<CColorTabCtrl*>(CTemplateBuilder::FindControl(*this, kTabs));
    m_fieldList = CTemplateBuilder::Find<CQuorvixListCtrl>(*this, kFieldList);
    m_indexList = CTemplateBuilder::Find<CQuorvixListCtrl>(*this, kIndexList);
    m_searchEdit = CTemplateBuilder::Find<QLineEdit>(*this, kSearchEdit);
    m_findButton = CTemplateBuilder::Find<QPushButton>(*this, kFindButton);

    CQuorvixLook::UseWhiteText(*m_sideName);
    m_tabs->setIconSize(QSize(kIconSize, kIconSize));
    m_fieldTexts = std::make_unique<CListTexts>(
        [this](int field, int column) { return GetFieldText(field, column); });
    // Every row of an index is named by it, also those that do not show its name.
    m_indexTexts = std::make_unique<CListTexts>(
        [this](int row, int column) { return GetIndexText(row, column); },
        [this](int row) {
            int position = 0;
            const CIndexInfo* index = LocateIndexRow(row, position);
            return index ? index->name : QString();
        });
    m_fieldList->SetItemSource(m_fieldTexts.get());
    m_indexList->SetItemSource(m_indexTexts.get());
    // The lists show no headings; these head the rows copied from them.
    m_fieldList->InsertColumn(0, LoadLocalizedString(kNameHeading), Qt::AlignLeft, 100);
    m_fieldList->InsertColumn(1, LoadLocalizedString(kTypeHeading), Qt::AlignLeft, 100);
    m_indexList->InsertColumn(0, LoadLocalizedString(kNameHeading), Qt::AlignLeft, 100);
    m_indexList->InsertColumn(1, LoadLocalizedString(kFieldHeading), Qt::AlignLeft, 100);
    m_indexList->InsertColumn(2, LoadLocalizedString(kOrderHeading), Qt::AlignLeft, 100);
    for (CQuorvixListCtrl* list : {m_fieldList, m_indexList}) {
        list->SetShowSelectionAlways(true);
        // The last column follows the list's width, also when a scroll bar comes or goes.
        list->viewport()->installEventFilter(this);
    }

    connect(m_tabs, &QTabBar::currentChanged, this, [this] { ShowSelectedList(); });
    connect(m_searchEdit, &QLineEdit::textChanged, this,
            [this](const QString& text) { EnableControl(m_findButton, !text.isEmpty()); });
    connect(m_findButton, &QPushButton::clicked, this, [this] { FindNext(); });
}

CFormTableStruct::~CFormTableStruct() {
    // The lists may still paint while the view goes: they must not ask the gone records.
    m_fieldList->SetItemSource(nullptr);
    m_indexList->SetItemSource(nullptr);
}

void CFormTableStruct::OnInitialUpdate() {
    if (IsInitialised())
        return;
    CQuorvixFormView::OnInitialUpdate();
    m_sideIcon->setPixmap(m_context.sideIcon);
    if (const CImageList* images = m_context.images)
        m_findButton->setIcon(images->Image(CImageList::Find));
    m_sideName->setToolTip(m_context.sideName);
    const QSignalBlocker quiet(m_tabs); // the lists are shown once both tabs exist
    m_tabs->addTab(LoadLocalizedString(kFieldsTabText));
    m_tabs->addTab(LoadLocalizedString(kIndexesTabText));
    if (const CImageList* images = m_context.images) {
        m_tabs->setTabIcon(FieldsTab, images->Image(CImageList::Fields));
        m_tabs->setTabIcon(IndexesTab, images->Image(CImageList::Indexes));
    }
    ReadStructure();
    RepositionControls(width(), height());
    ShowSelectedList();
    m_findButton->setEnabled(!m_searchEdit->text().isEmpty());
    m_searchEdit->setFocus();
}

void CFormTableStruct::ReadStructure() {
    // A read that fails shows nothing of the table, never a part of it as if it were the whole,
    // and says why: the side, the table and the driver's words.
    m_readFailure.clear();
    if (CSide* side = m_context.side) {
        // The report says when the table was read.
        m_readFacts = CRunFacts::ReadNow(*side, m_context.sideIndex);
        if (!side->ReadColumns(m_table, m_fields) || !side->ReadIndexes(m_table, m_indexes)) {
            m_readFailure = LoadLocalizedString(kStructureReadText)
                                .arg(m_table, m_context.sideName, side->LastDiagnostic());
            m_fields.clear();
            m_indexes.clear();
        }
    }
    EnableExport(m_readFailure.isEmpty());
    if (!m_readFailure.isEmpty())
        QTimer::singleShot(0, this, [this] {
            QMessageBox::warning(this, window()->windowTitle(), m_readFailure);
        });
    m_fieldList->SetRedraw(false);
    m_fieldList->DeleteAllItems();
    for (int field = 0; field < int(m_fields.size()); ++field)
        m_fieldList->AppendItem(field);
    m_fieldList->SetRedraw(true);

    m_indexList->SetRedraw(false);
    m_indexList->DeleteAllItems();
    int row = 0;
    for (const auto& index : m_indexes) {
        for (int position = 0; position < index->columns.size(); ++position)
            m_indexList->AppendItem(row++);
    }
    m_indexList->SetRedraw(true);
    MeasureContent();
}

void CFormTableStruct::MeasureContent() {
    m_fieldNameWidth = ContentWidth(*m_fieldList, 0);
    m_indexNameWidth = ContentWidth(*m_indexList, 0);
    m_indexColumnWidth = ContentWidth(*m_indexList, 1);
}

void CFormTableStruct::RepositionControls(int cx, int cy) {
    CQuorvixFormView::RepositionControls(cx, cy);
    if (!m_tabs)
        return;
    m_sideIcon->setGeometry(kMargin, kMargin, kIconSize, kIconSize);
    const int nameHeight = m_sideName->height();
    m_sideName->setGeometry(kNameLeft, kMargin + (kIconSize - nameHeight) / 2,
                            std::max(cx - kMargin - kNameLeft, 0), nameHeight);
    // The name is cut with an ellipsis at its end when it is too long.
    m_sideName->setText(
        FitTextToWidth(m_sideName->fontMetrics(), m_context.sideName, m_sideName->width(), 0));

    const QRect tabs(QPoint(kMargin, kTabsTop),
                     QPoint(cx - kMargin - 1, std::max(cy - kTabsBottomReserve, kTabsTop) - 1));
    m_tabs->setGeometry(tabs);
    QRect inner = tabs.adjusted(kTabsInset, kTabsInset, -kTabsInset, -kTabsInset);
    if (m_tabs->count() > 0) {
        const QRect first = m_tabs->tabRect(0);
        inner.setTop(inner.top() + first.top() + first.bottom() + 1);
    }
    m_findButton->move(inner.right() + 1 - m_findButton->width(), inner.top());
    m_searchEdit->setGeometry(inner.left(), inner.top(),
                              std::max(m_findButton->x() - 1 - inner.left(), 0),
                              m_searchEdit->height());
    const int listTop = inner.top() + m_findButton->height();
    for (CQuorvixListCtrl* list : {m_fieldList, m_indexList})
        list->setGeometry(inner.left(), listTop, std::max(inner.width(), 0),
                          std::max(inner.bottom() + 1 - listTop, 0));
    SizeColumns();
    update();
}

void CFormTableStruct::SizeColumns() {
    if (m_fieldList->GetColumnCount() == kFieldColumns) {
        m_fieldList->SetColumnWidth(0, m_fieldNameWidth);
        m_fieldList->SetColumnWidth(1, m_fieldList->viewport()->width() - m_fieldNameWidth);
    }
    if (m_indexList->GetColumnCount() == kIndexColumns) {
        m_indexList->SetColumnWidth(0, m_indexNameWidth);
        m_indexList->SetColumnWidth(1, m_indexColumnWidth);
        m_indexList->SetColumnWidth(2, m_indexList->viewport()->width() - m_indexNameWidth -
                                           m_indexColumnWidth);
    }
}

bool CFormTableStruct::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize &&
        (watched == m_fieldList->viewport() || watched == m_indexList->viewport()))
        SizeColumns();
    return CQuorvixFormView::eventFilter(watched, event);
}

void CFormTableStruct::ShowSelectedList() {
    const bool indexes = m_tabs->currentIndex() == IndexesTab;
    m_fieldList->setVisible(!indexes);
    m_indexList->setVisible(indexes);
}

const CIndexInfo* CFormTableStruct::LocateIndexRow(int row, int& position) const {
    if (row < 0)
        return nullptr;
    for (const auto& index : m_indexes) {
        if (row < index->columns.size()) {
            position = row;
            return index.get();
        }
        row -= int(index->columns.size());
    }
    return nullptr;
}

QString CFormTableStruct::GetFieldText(int field, int column) const {
    if (field < 0 || field >= int(m_fields.size()) || column < 0 || column >= kFieldColumns)
        return {};
    return m_fields[size_t(field)]->GetText(column);
}

QString CFormTableStruct::GetIndexText(int row, int column) const {
    int position = 0;
    const CIndexInfo* index = LocateIndexRow(row, position);
    return index ? index->GetText(position, column) : QString();
}

bool CFormTableStruct::FindNext() {
    if (m_tabs->currentIndex() == IndexesTab) {
        // An index's name matches every row of that index, also those that do not show it.
        return FindNextInList(*m_searchEdit, *m_indexList, [this](int row, const QString& text) {
            int position = 0;
            const CIndexInfo* index = LocateIndexRow(row, position);
            return index && index->Contains(position, text);
        });
    }
    return FindNextInList(*m_searchEdit, *m_fieldList, [this](int field, const QString& text) {
        return field >= 0 && field < int(m_fields.size()) &&
               m_fields[size_t(field)]->Contains(text);
    });
}

std::unique_ptr<CExportSource> CFormTableStruct::MakeExportSource() const {
    if (!m_context.params || !m_context.side)
        return nullptr;
    return std::make_unique<CStructureExportSource>(*m_context.side, m_context.sideIndex,
                                                    m_context.sideName, m_table, m_fields,
                                                    m_indexes, m_readFacts, *m_context.params);
}

bool CFormTableStruct::PrepareExport(const CExportSource& source) {
    // Both lists are always shown, and written unless told otherwise; until the fields or the
    // indexes are to be written.
    return m_context.params &&
           CDlgParams::AskExportOptions(*m_context.params, source.PresetOptions(),
                                        source.LeftName(), source.RightName(), this);
}
