#include "dialogs/DlgDataSources.h"

#include "dialogs/DlgDataSourceSetup.h"
#include "odbc/DataSourceList.h"
#include "services/Language.h"
#include "services/Utilities.h"
#include "ui/DrawingUtilities.h"
#include "ui/ImageList.h"
#include "ui/TemplateBuilder.h"
#include "ui/WarningBeep.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabBar>

namespace {

constexpr int kTemplate = 1000;
constexpr int kUserTabText = 1100;
constexpr int kSystemTabText = 1101;
constexpr int kOkButton = 1;
constexpr int kSnapshotFileText = 1223;
constexpr int kSnapshotFilterText = 1224;
constexpr int kSnapshotTitleText = 1227;
// The snapshot button is never narrower than OK.
constexpr int kSmallestButtonWidth = 90;
const char* const kTabStopProperty = "tabStop";

// Draws "name<TAB>driver" with the driver lined up at the list's tab stop.
class CTabStopDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QString text = item.text;
        item.text.clear();
        item.widget->style()->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);
        const qsizetype tab = text.indexOf(QLatin1Char('\t'));
        const int stop = item.widget->property(kTabStopProperty).toInt();
        painter->save();
        painter->setPen(item.palette.color(
            item.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        const QRect area = item.rect.adjusted(3, 0, -3, 0);
        painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter, text.left(tab));
        if (tab >= 0)
            painter->drawText(area.adjusted(stop, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                              text.mid(tab + 1));
        painter->restore();
    }
};

} // namespace

CDlgDataSources::CDlgDataSources(QString* name, CDataSourceSide::SourceKind* kind, QWidget* parent)
    : CQuorvixDialog(MapResourceId(kTemplate), parent), m_resultName(name), m_resultKind(kind),
      m_selectedName(name ? *name : QString()),
      m_systemFlag(kind && *kind == CDataSourceSide::SystemDataSource ? 1 : 0) {
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    m_tabs = CTemplateBuilder::Find<QTabBar>(*this, kTabs);
    m_userList = CTemplateBuilder::Find<QListWidget>(*this, kUserList);
    m_systemList = CTemplateBuilder::Find<QListWidget>(*this, kSystemList);
    for (int tab = 0; tab < 2; ++tab) {
        List(tab)->setItemDelegate(new CTabStopDelegate(List(tab)));
        connect(List(tab), &QListWidget::itemSelectionChanged, this,
                [this, tab] { OnSelectionChanged(tab); });
        connect(List(tab), &QListWidget::itemDoubleClicked, this, [this] { Accept(); });
    }
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int tab) {
        m_systemFlag = tab == 1 ? 1 : 0;
        m_selectedName.clear();
        ShowCurrentList();
    });
    if (auto* setup = CTemplateBuilder::Find<QPushButton>(*this, kSetupButton))
        connect(setup, &QPushButton::clicked, this, [this] { SetupDataSources(); });
    m_snapshotButton = static_cast<QPushButton*>(CTemplateBuilder::Adopt(
        *this, kSnapshotButton, new QPushButton(LoadLocalizedString(kSnapshotFileText))));
    m_snapshotButton->setAutoDefault(false);
    const QWidget* ok = CTemplateBuilder::FindControl(*this, kOkButton);
    m_snapshotButton->resize(std::max(m_snapshotButton->sizeHint().width(), kSmallestButtonWidth),
                             ok ? ok->height() : m_snapshotButton->sizeHint().height());
    connect(m_snapshotButton, &QPushButton::clicked, this, [this] { ChooseSnapshot(); });
}

void CDlgDataSources::InitDialog() {
    CQuorvixDialog::InitDialog();
    const CImageList images = CImageList::Shared();
    const QSignalBlocker blocker(m_tabs);
    m_tabs->addTab(images.Image(CImageList::UserDataSource), LoadLocalizedString(kUserTabText));
    m_tabs->addTab(images.Image(CImageList::SystemDataSource), LoadLocalizedString(kSystemTabText));
    m_tabs->setCurrentIndex(0);
    FillLists();
    ShowCurrentList();
    RestoreSize(QString());
}

void CDlgDataSources::FillLists() {
    bool anySelected = false;
    for (int tab = 0; tab < 2; ++tab) {
        QListWidget* list = List(tab);
        const QSignalBlocker blocker(list);
        list->clear();
        ListDataSources(tab == 1, m_names[tab], m_descriptions[tab]);
        for (int index = 0; index < m_names[tab].size(); ++index) {
            auto* item = new QListWidgetItem(m_names[tab][index] + QLatin1Char('\t') +
                                             m_descriptions[tab][index]);
            item->setData(Qt::UserRole, index);
            list->addItem(item);
        }
        if (!anySelected && m_systemFlag == tab && list->count() > 0) {
            for (int row = 0; row < list->count(); ++row) {
                const int index = list->item(row)->data(Qt::UserRole).toInt();
                if (m_names[tab][index].compare(m_selectedName, Qt::CaseInsensitive) == 0) {
                    list->setCurrentRow(row);
                    anySelected = true;
                    const QSignalBlocker tabBlocker(m_tabs);
                    m_tabs->setCurrentIndex(tab);
                    break;
                }
            }
        }
    }
    SetTabStops();
    ShowCurrentList();
}

void CDlgDataSources::SetTabStops() {
    // The drivers line up at four thirds of the widest name.
    for (int tab = 0; tab < 2; ++tab) {
        const QFontMetrics metrics(List(tab)->font());
        int widest = 0;
        for (const QString& name : std::as_const(m_names[tab]))
            widest = std::max(widest, metrics.horizontalAdvance(name));
        List(tab)->setProperty(kTabStopProperty, widest * 4 / 3);
    }
}

void CDlgDataSources::ShowCurrentList() {
    const int current = m_tabs->currentIndex() == 1 ? 1 : 0;
    List(current)->show();
    List(1 - current)->hide();
    UpdateOk();
}

void CDlgDataSources::UpdateOk() {
    const int current = m_tabs->currentIndex() == 1 ? 1 : 0;
    if (QWidget* ok = CTemplateBuilder::FindControl(*this, kOkButton))
        ok->setEnabled(!List(current)->selectedItems().isEmpty());
}

void CDlgDataSources::OnSelectionChanged(int tab) {
    UpdateOk();
    const QList<QListWidgetItem*> selected = List(tab)->selectedItems();
    m_selectedName = selected.isEmpty()
                         ? QString()
                         : m_names[tab].value(selected.first()->data(Qt::UserRole).toInt());
}

void CDlgDataSources::OnOK() {
    const int current = m_tabs->currentIndex() == 1 ? 1 : 0;
    const QList<QListWidgetItem*> selected = List(current)->selectedItems();
    if (selected.isEmpty())
        return;
    if (m_resultName)
        *m_resultName = m_names[current].value(selected.first()->data(Qt::UserRole).toInt());
    // The tabs stand in the order of the kinds: user, then system.
    if (m_resultKind)
        *m_resultKind =
            current == 1 ? CDataSourceSide::SystemDataSource : CDataSourceSide::UserDataSource;
    accept();
}

// The driver manager's own setup program where there is one; Quorvix's dialog otherwise (Debian
// ships none for unixODBC).
void CDlgDataSources::SetupDataSources() {
    if (CanManageDataSources()) {
        if (!ManageDataSources())
            CWarningBeep::Sound();
    } else {
        CDlgDataSourceSetup setup(this);
        setup.exec();
    }
    FillLists();
}

void CDlgDataSources::ChooseSnapshot() {
    QFileDialog files(this, LoadLocalizedString(kSnapshotTitleText));
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.setAcceptMode(QFileDialog::AcceptOpen);
    files.setFileMode(QFileDialog::ExistingFile);
    files.setNameFilter(LoadLocalizedString(kSnapshotFilterText));
    files.setDirectory(m_snapshotPath.isEmpty() ? GetPersonalFolder()
                                                : SaveDialogFolder(m_snapshotPath));
    if (!m_snapshotPath.isEmpty())
        files.selectFile(QFileInfo(m_snapshotPath).fileName());
    if (files.exec() != QDialog::Accepted || files.selectedFiles().isEmpty())
        return;
    m_snapshotPath = files.selectedFiles().first();
    m_snapshotChosen = true;
    accept();
}

void CDlgDataSources::ArrangeControls(int cx, int cy) {
    int buttonHeight = 0;
    const int margin = ArrangeButtons(cx, cy, buttonHeight);
    if (margin < 0)
        return;
    QWidget* setup = CTemplateBuilder::FindControl(*this, kSetupButton);
    setup->move(margin, margin);
    const int top = setup->geometry().bottom() + 1 + margin;
    // The snapshot file is the other way to a side: its button stands under the lists.
    m_snapshotButton->move(margin,
                           cy - margin - buttonHeight - margin - m_snapshotButton->height());
    const int bottom = m_snapshotButton->y() - margin;
    const QRect tabArea(margin, top, std::max(cx - 2 * margin, 0), std::max(bottom - top, 0));
    m_tabs->setGeometry(tabArea.left(), tabArea.top(), tabArea.width(),
                        m_tabs->sizeHint().height());
    const int headers = m_tabs->count() > 0 ? m_tabs->tabRect(0).bottom() + 1 : 0;
    const QRect lists =
        tabArea.adjusted(margin / 2, margin / 2 + headers, -margin / 2, -margin / 2);
    m_userList->setGeometry(lists);
    m_systemList->setGeometry(lists);
}
