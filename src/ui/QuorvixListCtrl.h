#pragma once

#include "ui/InfoBulleWnd.h"

#include <QFont>
#include <QTreeView>

#include <vector>

class CImageList;
class CQuorvixListModel;

// What a list asks its owner for each row, when the row is painted: the text of a column and the
// image of the row. The row is known by its item data.
class IListItemSource {
public:
    virtual ~IListItemSource() = default;
    virtual QString GetItemText(int itemData, int column) const = 0;
    virtual int GetItemImage(int itemData) const {
        Q_UNUSED(itemData);
        return -1;
    }
    // The name of the row's object, which "Copy name" copies: its first column's text unless the
    // owner knows better.
    virtual QString GetItemName(int itemData) const { return GetItemText(itemData, 0); }
    // What a sort by the column compares: the cell's text unless the owner orders the column
    // by something else.
    virtual QString GetItemSortText(int itemData, int column) const {
        return GetItemText(itemData, column);
    }
};

// The program's report list: rows hold only their item data, every row is drawn by the list in
// steps that subclasses can replace, the colours set on it are kept, and in tooltip mode 2 the
// full text of a cut cell shows in a tooltip. Fast with hundreds of thousands of rows: no object
// per row, uniform row heights.
//
// Rows are selected as in a file manager (Shift, Ctrl, Ctrl+A). Return on the selected row does
// what a double click does (ItemActivated); Ctrl+C copies the selected rows. The context menu of
// the rows offers the copies, then the actions the owner added to the list (QWidget::addAction):
// the commands of the selected row.
class CQuorvixListCtrl : public QTreeView {
    Q_OBJECT

public:
    static constexpr int kTextMargin = 2;
    // A cell's text shows whole when it is this much narrower than the cell.
    static constexpr int kReservedWidth = 4;

    explicit CQuorvixListCtrl(TooltipMode tooltipMode = TooltipMode::None,
                              QWidget* parent = nullptr);
    ~CQuorvixListCtrl() override;

    TooltipMode Tooltips() const { return m_tooltipMode; }
    void SetItemSource(const IListItemSource* source);
    void SetImageList(const CImageList* images);

    // Columns
    int InsertColumn(int column, const QString& heading, Qt::Alignment alignment, int width);
    int GetColumnCount() const { return int(m_columns.size()); }
    int GetColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);
    Qt::Alignment GetColumnAlignment(int column) const;
    QString GetColumnHeading(int column) const;
    void SetColumnHeading(int column, const QString& heading);
    void DeleteAllColumns();

    // Rows. With redrawing off, rows are appended without any work per row.
    void SetRedraw(bool redraw);
    int AppendItem(int itemData);
    void DeleteAllItems();
    int GetItemCount() const;
    int GetItemData(int row) const;
    QString GetItemText(int row, int column) const;
    // The row the selection's commands act on: the current row when it is selected, else the
    // first selected row; -1 without selection.
    int GetSelectedRow() const;
    // Selects only this row and makes it current.
    void SelectRow(int row);
    // The selected rows, in the order shown.
    std::vector<int> GetSelectedRows() const;

    // Display order: the rows' own order unless sorted by a column. SortByColumn steps through
    // ascending, descending and the rows' own order; another column starts again ascending. The
    // selection and the current row stay on their items.
    void SortByColumn(int column);
    void SetSortOrder(int column, Qt::SortOrder order);
    int SortColumn() const;
    Qt::SortOrder SortOrder() const;

    // What Ctrl+C copies: a line of column headings, then one line per selected row in the order
    // shown, each line the cells of every column that has a width, in the order shown, separated
    // by tabs.
    QString SelectedRowsText() const;
    // What "Copy name" copies: the selected rows' names, one a line.
    QString SelectedNamesText() const;
    void CopySelectedRows() const;
    void CopySelectedNames() const;

    // Colours, kept as the owner sets them.
    void SetTextColor(const QColor& color);
    void SetTextBkColor(const QColor& color);
    void SetBkColor(const QColor& color);
    QColor GetTextColor() const { return m_textColor; }
    QColor GetTextBkColor() const { return m_textBackgroundColor; }
    QColor GetBkColor() const { return m_backgroundColor; }
    void SetShowSelectionAlways(bool always);

    // A row is highlighted when it is selected and the list has the focus or always shows its
    // selection.
    bool IsRowHighlighted(int row) const;

    // Geometry of a row, in viewport coordinates.
    QRect RowBounds(int row) const;
    QRect IconRect(int row) const;
    QRect LabelRect(int row) const;
    QRect CellRect(int row, int column) const;

    // Cell tooltips
    virtual int HitTestCell(const QPoint& point, int& column, QRect& cell) const;
    virtual bool IsCellTextCut(const QString& text, int row, int column) const;
    virtual void ShowCellTip(int row, int column, const QRect& cell);
    CInfoBulleWnd& Tooltip() { return m_tooltip; }

    // The font a row is drawn in, which is also what its texts are measured with.
    virtual QFont RowFont(int row) const;

signals:
    void ItemActivated(int row);

protected:
    // The drawing steps of one row.
    virtual bool DrawItemBackground(QPainter& painter, int row, bool highlighted,
                                    const QRect& rowRect, QColor& textColor,
                                    QColor& backgroundColor) const;
    virtual void DrawStateImage(QPainter& painter, int row, const QRect& rowRect,
                                int itemData) const;
    virtual void DrawItemIcon(QPainter& painter, const QRect& rowRect, const QRect& iconRect,
                              int itemData, bool highlighted) const;
    virtual void DrawItemTexts(QPainter& painter, int row, bool highlighted, const QRect& rowRect,
                               const QRect& iconRect, const QString& text, int itemData) const;

    void drawRow(QPainter* painter, const QStyleOptionViewItem& options,
                 const QModelIndex& index) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

    const IListItemSource* Source() const { return m_source; }
    const CImageList* Images() const { return m_images; }

private:
    struct Column {
        QString heading;
        Qt::Alignment alignment;
    };

    bool FocusIsOurs() const;
    // The columns a copy writes, in the order shown.
    std::vector<int> CopiedColumns() const;
    void ResetTooltip();

    TooltipMode m_tooltipMode;
    CInfoBulleWnd m_tooltip;
    QPoint m_lastMousePosition{-1, -1};
    int m_tooltipRow = -1;
    int m_tooltipColumn = -1;
    QColor m_textColor;
    QColor m_textBackgroundColor;
    QColor m_backgroundColor;
    bool m_showSelectionAlways = false;
    const IListItemSource* m_source = nullptr;
    const CImageList* m_images = nullptr;
    CQuorvixListModel* m_model;
    std::vector<Column> m_columns;
};
