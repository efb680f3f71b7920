#include "ui/QuorvixListCtrl.h"

#include "model/NameOrdering.h"
#include "services/Language.h"
#include "services/WaitCursor.h"
#include "ui/Clipboard.h"
#include "ui/DrawingUtilities.h"
#include "ui/ImageList.h"
#include "ui/QuorvixListModel.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyledItemDelegate>

#include <functional>

namespace {

constexpr int kIconSize = 16;
constexpr int kIconMargin = 2;
constexpr int kCopyText = 1180;
constexpr int kCopyNameText = 1181;

// Every row has the same height: the font's line with a margin, at least the icon's height.
class CFixedRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return QSize(0, std::max(option.fontMetrics.height() + 4, kIconSize + 2));
    }
};

} // namespace

CQuorvixListCtrl::CQuorvixListCtrl(TooltipMode tooltipMode, QWidget* parent)
    : QTreeView(parent), m_tooltipMode(tooltipMode), m_model(new CQuorvixListModel(this)) {
    setModel(m_model);
    setItemDelegate(new CFixedRowDelegate(this));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setTextElideMode(Qt::ElideNone);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::Fixed);
    header()->setMinimumSectionSize(0); // a column may be as narrow as its owner makes it

    m_textColor = palette().color(QPalette::Text);
    m_textBackgroundColor = palette().color(QPalette::Base);
    m_backgroundColor = palette().color(QPalette::Base);

    m_tooltip.Create(0, 0, this, 0, m_tooltipMode);
    if (m_tooltipMode == TooltipMode::CellTips)
        viewport()->setMouseTracking(true);
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit ItemActivated(index.row()); });
}

CQuorvixListCtrl::~CQuorvixListCtrl() = default;

void CQuorvixListCtrl::SetItemSource(const IListItemSource* source) {
    m_source = source;
    m_model->SetSource(source);
    viewport()->update();
}

void CQuorvixListCtrl::SetImageList(const CImageList* images) {
    m_images = images;
    viewport()->update();
}

int CQuorvixListCtrl::InsertColumn(int column, const QString& heading, Qt::Alignment alignment,
                                   int width) {
    column = std::clamp(column, 0, GetColumnCount());
    m_columns.insert(m_columns.begin() + column, {heading, alignment});
    std::vector<int> widths;
    for (int i = 0; i < GetColumnCount() - 1; ++i)
        widths.push_back(QTreeView::columnWidth(i));
    widths.insert(widths.begin() + column, width);
    m_model->SetColumnCount(GetColumnCount());
    for (int i = 0; i < GetColumnCount(); ++i)
        QTreeView::setColumnWidth(i, widths[size_t(i)]);
    return column;
}

int CQuorvixListCtrl::GetColumnWidth(int column) const {
    return column >= 0 && column < GetColumnCount() ? QTreeView::columnWidth(column) : 0;
}

void CQuorvixListCtrl::SetColumnWidth(int column, int width) {
    if (column >= 0 && column < GetColumnCount())
        QTreeView::setColumnWidth(column, std::max(width, 0));
}

Qt::Alignment CQuorvixListCtrl::GetColumnAlignment(int column) const {
    return column >= 0 && column < GetColumnCount() ? m_columns[size_t(column)].alignment
                                                    : Qt::AlignLeft;
}

QString CQuorvixListCtrl::GetColumnHeading(int column) const {
    return column >= 0 && column < GetColumnCount() ? m_columns[size_t(column)].heading : QString();
}

void CQuorvixListCtrl::SetColumnHeading(int column, const QString& heading) {
    if (column >= 0 && column < GetColumnCount())
        m_columns[size_t(column)].heading = heading;
}

void CQuorvixListCtrl::DeleteAllColumns() {
    m_columns.clear();
    m_model->SetColumnCount(1);
}

void CQuorvixListCtrl::SetRedraw(bool redraw) {
    if (redraw)
        m_model->EndFill();
    else
        m_model->BeginFill();
}

int CQuorvixListCtrl::AppendItem(int itemData) {
    return m_model->AppendRow(itemData);
}

void CQuorvixListCtrl::DeleteAllItems() {
    ResetTooltip();
    m_model->Clear();
}

int CQuorvixListCtrl::GetItemCount() const {
    return m_model->Count();
}

int CQuorvixListCtrl::GetItemData(int row) const {
    return m_model->ItemData(row);
}

QString CQuorvixListCtrl::GetItemText(int row, int column) const {
    const int itemData = GetItemData(row);
    return m_source && itemData >= 0 ? m_source->GetItemText(itemData, column) : QString();
}

int CQuorvixListCtrl::GetSelectedRow() const {
    const QModelIndex current = currentIndex();
    if (current.isValid() && selectionModel()->isRowSelected(current.row(), {}))
        return current.row();
    // The ranges, not selectedRows(): a selection of every row must not cost an index per row.
    int first = -1;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        if (range.isValid() && (first < 0 || range.top() < first))
            first = range.top();
    }
    return first;
}

void CQuorvixListCtrl::SelectRow(int row) {
    const QModelIndex index = m_model->index(row, 0);
    if (!index.isValid()) {
        clearSelection();
        return;
    }
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    scrollTo(index);
}

std::vector<int> CQuorvixListCtrl::GetSelectedRows() const {
    // Ranges may overlap after Ctrl+clicks: mark the rows, then read them in order.
    std::vector<bool> selected(size_t(GetItemCount()), false);
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        for (int row = std::max(range.top(), 0); row <= range.bottom() && row < GetItemCount();
             ++row)
            selected[size_t(row)] = true;
    }
    std::vector<int> rows;
    for (int row = 0; row < GetItemCount(); ++row) {
        if (selected[size_t(row)])
            rows.push_back(row);
    }
    return rows;
}

void CQuorvixListCtrl::SortByColumn(int column) {
    if (column != SortColumn())
        SetSortOrder(column, Qt::AscendingOrder);
    else if (SortOrder() == Qt::AscendingOrder)
        SetSortOrder(column, Qt::DescendingOrder);
    else
        SetSortOrder(-1, Qt::AscendingOrder);
}

void CQuorvixListCtrl::SetSortOrder(int column, Qt::SortOrder order) {
    const CWaitCursor waitCursor;
    // The selection is kept by the rows' places in their own order, which the sort does not move.
    std::vector<bool> selected(size_t(GetItemCount()), false);
    for (const int row : GetSelectedRows())
        selected[size_t(m_model->AppendedPosition(row))] = true;
    const int current = m_model->AppendedPosition(currentIndex().row());
    ResetTooltip();
    m_model->SetSortOrder(column, order);

    QItemSelection selection;
    int currentRow = -1;
    int rangeTop = -1;
    const int lastColumn = std::max(GetColumnCount(), 1) - 1;
    for (int row = 0; row <= GetItemCount(); ++row) {
        const int position = m_model->AppendedPosition(row); // -1 past the last row
        if (position >= 0 && position == current)
            currentRow = row;
        const bool inSelection = position >= 0 && selected[size_t(position)];
        if (inSelection && rangeTop < 0)
            rangeTop = row;
        if (!inSelection && rangeTop >= 0) {
            selection.append(QItemSelectionRange(m_model->index(rangeTop, 0),
                                                 m_model->index(row - 1, lastColumn)));
            rangeTop = -1;
        }
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (currentRow >= 0) {
        selectionModel()->setCurrentIndex(m_model->index(currentRow, 0),
                                          QItemSelectionModel::NoUpdate);
        scrollTo(currentIndex());
    }
    viewport()->update();
}

int CQuorvixListCtrl::SortColumn() const {
    return m_model->SortColumn();
}

Qt::SortOrder CQuorvixListCtrl::SortOrder() const {
    return m_model->SortOrder();
}

std::vector<int> CQuorvixListCtrl::CopiedColumns() const {
    std::vector<int> columns;
    for (int visual = 0; visual < GetColumnCount(); ++visual) {
        const int column = header()->logicalIndex(visual);
        if (column >= 0 && !header()->isSectionHidden(column) && GetColumnWidth(column) > 0)
            columns.push_back(column);
    }
    return columns;
}

namespace {

// A cell on one line of the copy: tabs and line breaks would start another cell or row.
QString CopiedCell(const QString& text) {
    QString cell = TrimmedRight(text);
    for (QChar& character : cell) {
        if (character == QLatin1Char('\t') || character == QLatin1Char('\n') ||
            character == QLatin1Char('\r'))
            character = QLatin1Char(' ');
    }
    return cell;
}

} // namespace

QString CQuorvixListCtrl::SelectedRowsText() const {
    const std::vector<int> rows = GetSelectedRows();
    if (rows.empty())
        return {};
    const std::vector<int> columns = CopiedColumns();
    QString text;
    const auto appendLine = [&text, &columns](const std::function<QString(int)>& cell) {
        for (size_t at = 0; at < columns.size(); ++at) {
            if (at > 0)
                text += QLatin1Char('\t');
            text += CopiedCell(cell(columns[at]));
        }
        text += QLatin1Char('\n');
    };
    appendLine([this](int column) { return GetColumnHeading(column); });
    for (const int row : rows)
        appendLine([this, row](int column) { return GetItemText(row, column); });
    return text;
}

QString CQuorvixListCtrl::SelectedNamesText() const {
    QStringList names;
    for (const int row : GetSelectedRows()) {
        const int itemData = GetItemData(row);
        names.append(
            CopiedCell(m_source && itemData >= 0 ? m_source->GetItemName(itemData) : QString()));
    }
    return names.join(QLatin1Char('\n'));
}

void CQuorvixListCtrl::CopySelectedRows() const {
    const CWaitCursor waitCursor;
    const QString text = SelectedRowsText();
    if (!text.isEmpty())
        CClipboard::SetText(text);
}

void CQuorvixListCtrl::CopySelectedNames() const {
    const CWaitCursor waitCursor;
    if (!GetSelectedRows().empty())
        CClipboard::SetText(SelectedNamesText());
}

void CQuorvixListCtrl::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        CopySelectedRows();
        event->accept();
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (const int row = GetSelectedRow(); row >= 0) {
            emit ItemActivated(row);
            event->accept();
            return;
        }
    }
    QTreeView::keyPressEvent(event);
}

void CQuorvixListCtrl::contextMenuEvent(QContextMenuEvent* event) {
    QPoint position = event->pos();
    if (event->reason() == QContextMenuEvent::Mouse) {
        // A click outside the selection selects the row clicked, as a left click would.
        const int row = indexAt(position).row();
        if (row >= 0 && !selectionModel()->isRowSelected(row, {}))
            SelectRow(row);
    } else if (const int row = GetSelectedRow(); row >= 0) {
        position = RowBounds(row).center();
    }
    ResetTooltip();
    const bool anySelected = GetSelectedRow() >= 0;
    QMenu menu(this);
    QAction* copy =
        menu.addAction(LoadLocalizedString(kCopyText), this, [this] { CopySelectedRows(); });
    copy->setShortcut(QKeySequence::Copy);
    QAction* copyName =
        menu.addAction(LoadLocalizedString(kCopyNameText), this, [this] { CopySelectedNames(); });
    for (QAction* copying : {copy, copyName})
        copying->setEnabled(anySelected);
    if (anySelected && !actions().isEmpty()) {
        menu.addSeparator();
        menu.addActions(actions());
    }
    menu.exec(viewport()->mapToGlobal(position));
    event->accept();
}

void CQuorvixListCtrl::SetTextColor(const QColor& color) {
    m_textColor = color;
    viewport()->update();
}

void CQuorvixListCtrl::SetTextBkColor(const QColor& color) {
    m_textBackgroundColor = color;
    viewport()->update();
}

void CQuorvixListCtrl::SetBkColor(const QColor& color) {
    m_backgroundColor = color;
    QPalette colours = viewport()->palette();
    colours.setColor(QPalette::Base, color);
    viewport()->setPalette(colours);
    viewport()->setAutoFillBackground(true);
    viewport()->update();
}

void CQuorvixListCtrl::SetShowSelectionAlways(bool always) {
    m_showSelectionAlways = always;
    viewport()->update();
}

bool CQuorvixListCtrl::IsRowHighlighted(int row) const {
    return selectionModel()->isRowSelected(row, {}) && (hasFocus() || m_showSelectionAlways);
}

QRect CQuorvixListCtrl::RowBounds(int row) const {
    const QRect first = visualRect(m_model->index(row, 0));
    if (!first.isValid())
        return {};
    const int last = std::max(GetColumnCount(), 1) - 1;
    const int right = header()->sectionViewportPosition(last) + header()->sectionSize(last);
    return QRect(QPoint(header()->sectionViewportPosition(0), first.top()),
                 QPoint(right - 1, first.bottom()));
}

QRect CQuorvixListCtrl::IconRect(int row) const {
    const QRect bounds = RowBounds(row);
    if (bounds.isEmpty() || !m_images)
        return QRect(bounds.topLeft(), QSize(0, bounds.height()));
    return QRect(bounds.left() + kIconMargin, bounds.top() + (bounds.height() - kIconSize) / 2,
                 kIconSize, kIconSize);
}

QRect CQuorvixListCtrl::LabelRect(int row) const {
    const QRect bounds = RowBounds(row);
    if (bounds.isEmpty())
        return {};
    const int left = m_images ? IconRect(row).right() + 1 + kIconMargin : bounds.left();
    const int right = header()->sectionViewportPosition(0) + header()->sectionSize(0);
    return QRect(QPoint(left, bounds.top()), QPoint(std::max(left, right) - 1, bounds.bottom()));
}

QRect CQuorvixListCtrl::CellRect(int row, int column) const {
    if (column == 0)
        return LabelRect(row);
    const QRect bounds = RowBounds(row);
    if (bounds.isEmpty() || column < 0 || column >= GetColumnCount())
        return {};
    return QRect(header()->sectionViewportPosition(column), bounds.top(),
                 header()->sectionSize(column), bounds.height());
}

void CQuorvixListCtrl::drawRow(QPainter* painter, const QStyleOptionViewItem&,
                               const QModelIndex& index) const {
    const int row = index.row();
    const int itemData = GetItemData(row);
    const QString text = m_source ? m_source->GetItemText(itemData, 0) : QString();
    const bool highlighted = IsRowHighlighted(row);
    QRect rowRect = RowBounds(row);
    const QRect iconRect = IconRect(row);
    rowRect.setLeft(LabelRect(row).left()); // the icon is not highlighted

    painter->save();
    QColor textColor = m_textColor;
    QColor backgroundColor = m_textBackgroundColor;
    DrawItemBackground(*painter, row, highlighted, rowRect, textColor, backgroundColor);
    DrawStateImage(*painter, row, rowRect, itemData);
    DrawItemIcon(*painter, rowRect, iconRect, itemData, highlighted);
    painter->setPen(textColor);
    painter->setFont(RowFont(row));
    DrawItemTexts(*painter, row, highlighted, rowRect, iconRect, text, itemData);
    if (currentIndex().row() == row && hasFocus()) {
        QPen dotted(palette().color(QPalette::WindowText), 1, Qt::DotLine);
        painter->setPen(dotted);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(rowRect.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}

bool CQuorvixListCtrl::DrawItemBackground(QPainter& painter, int, bool highlighted,
                                          const QRect& rowRect, QColor& textColor,
                                          QColor& backgroundColor) const {
    if (!isEnabled()) {
        textColor = palette().color(QPalette::Disabled, QPalette::Text);
        backgroundColor = palette().color(QPalette::Button);
        painter.fillRect(rowRect, backgroundColor);
        return true;
    }
    if (!highlighted) {
        painter.fillRect(rowRect, m_textBackgroundColor);
        return false;
    }
    textColor = palette().color(QPalette::Active, QPalette::HighlightedText);
    backgroundColor = palette().color(QPalette::Active, QPalette::Highlight);
    painter.fillRect(rowRect, backgroundColor);
    return true;
}

void CQuorvixListCtrl::DrawStateImage(QPainter&, int, const QRect&, int) const {
    // The program's lists carry no state images.
}

void CQuorvixListCtrl::DrawItemIcon(QPainter& painter, const QRect&, const QRect& iconRect,
                                    int itemData, bool highlighted) const {
    if (iconRect.isEmpty() || !m_images || !m_source)
        return;
    const QPixmap image = m_images->Image(m_source->GetItemImage(itemData));
    if (image.isNull())
        return;
    painter.drawPixmap(iconRect.topLeft(), image);
    if (!isEnabled()) {
        DrawDitheredHighlight(painter, iconRect);
    } else if (highlighted) {
        // A highlighted row's icon is blended with the highlight colour.
        QColor blend = palette().color(QPalette::Active, QPalette::Highlight);
        blend.setAlpha(110);
        painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        painter.fillRect(iconRect, blend);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
}

void CQuorvixListCtrl::DrawItemTexts(QPainter& painter, int row, bool, const QRect&, const QRect&,
                                     const QString& text, int itemData) const {
    const QFontMetrics metrics = painter.fontMetrics(); // the font the row is drawn in
    const QRect label = LabelRect(row);
    const QString fitted = FitTextToWidth(metrics, text, label.width(), kReservedWidth);
    painter.drawText(label.adjusted(kTextMargin, 0, -kTextMargin, 0),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, fitted);
    for (int column = 1; column < GetColumnCount(); ++column) {
        const QRect cell = CellRect(row, column);
        if (cell.width() <= 0)
            continue;
        const QString cellText = m_source ? m_source->GetItemText(itemData, column) : QString();
        const QString cellFitted = FitTextToWidth(metrics, cellText, cell.width(), kReservedWidth);
        // A shortened text is left-aligned whatever the column's alignment.
        const Qt::Alignment horizontal =
            cellFitted == cellText ? (GetColumnAlignment(column) & Qt::AlignHorizontal_Mask)
                                   : Qt::AlignLeft;
        painter.drawText(cell.adjusted(kTextMargin, 0, -kTextMargin, 0),
                         (horizontal ? horizontal : Qt::AlignLeft) | Qt::AlignVCenter |
                             Qt::TextSingleLine,
                         cellFitted);
    }
}

int CQuorvixListCtrl::HitTestCell(const QPoint& point, int& column, QRect& cell) const {
    column = -1;
    cell = QRect();
    if (!viewport()->rect().contains(point))
        return -1;
    const int row = indexAt(point).row();
    if (row < 0 || !RowBounds(row).contains(point))
        return -1;
    const QRect label = LabelRect(row);
    if (point.x() < label.right() + 1 && point.x() >= RowBounds(row).left()) {
        column = 0;
        cell = label;
        return row;
    }
    for (int candidate = 1; candidate < GetColumnCount(); ++candidate) {
        const QRect candidateCell = CellRect(row, candidate);
        if (point.x() >= candidateCell.left() && point.x() <= candidateCell.right()) {
            column = candidate;
            cell = candidateCell;
            return row;
        }
    }
    return -1;
}

bool CQuorvixListCtrl::IsCellTextCut(const QString& text, int row, int column) const {
    if (text.isEmpty())
        return false;
    const int width = column == 0 ? LabelRect(row).width() : GetColumnWidth(column);
    return FitTextToWidth(QFontMetrics(RowFont(row)), text, width, kReservedWidth) != text;
}

QFont CQuorvixListCtrl::RowFont(int) const {
    return font();
}

void CQuorvixListCtrl::ShowCellTip(int row, int column, const QRect& cell) {
    const QString text = TrimmedRight(GetItemText(row, column));
    if (text.isEmpty() || !IsCellTextCut(text, row, column))
        return;
    m_tooltip.setGeometry(QRect(viewport()->mapToGlobal(cell.topLeft()), cell.size()));
    // A tip is no wider than the screen, however long the name.
    const QScreen* screen = QGuiApplication::primaryScreen();
    m_tooltip.SetText(
        screen ? FitTextToWidth(QFontMetrics(RowFont(row)), text, screen->geometry().width(), 0)
               : text);
    m_tooltip.StartShowDelay();
}

bool CQuorvixListCtrl::FocusIsOurs() const {
    const QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return false;
    const QWidget* scope = parentWidget() ? parentWidget() : this;
    return focus == this || scope->isAncestorOf(focus);
}

void CQuorvixListCtrl::mouseMoveEvent(QMouseEvent* event) {
    QTreeView::mouseMoveEvent(event);
    if (m_tooltipMode != TooltipMode::CellTips)
        return;
    const QPoint position = event->position().toPoint();
    if (position == m_lastMousePosition || !FocusIsOurs())
        return;
    m_lastMousePosition = position;
    int column = -1;
    QRect cell;
    const int row = HitTestCell(position, column, cell);
    if (row != m_tooltipRow || column != m_tooltipColumn) {
        m_tooltip.Hide();
        if (row >= 0)
            ShowCellTip(row, column, cell);
        m_tooltipRow = row;
        m_tooltipColumn = column;
    }
}

void CQuorvixListCtrl::leaveEvent(QEvent* event) {
    ResetTooltip();
    QTreeView::leaveEvent(event);
}

void CQuorvixListCtrl::ResetTooltip() {
    m_tooltip.Hide();
    m_tooltipRow = -1;
    m_tooltipColumn = -1;
    m_lastMousePosition = QPoint(-1, -1);
}

void CQuorvixListCtrl::focusInEvent(QFocusEvent* event) {
    QTreeView::focusInEvent(event);
    viewport()->update(); // the highlight follows the focus
}

void CQuorvixListCtrl::focusOutEvent(QFocusEvent* event) {
    QTreeView::focusOutEvent(event);
    viewport()->update();
}
