#pragma once

#include "compare/ComparisonContext.h"
#include "model/CompareStatus.h"
#include "ui/QuorvixFormView.h"
#include "ui/QuorvixListCtrl.h"

#include <array>
#include <functional>
#include <vector>

class CCompareListCtrl;
struct CExportFilter;
class QAction;
class QCheckBox;
class QLineEdit;
class QPushButton;

// The common view of the comparison windows: four status filters labelled with their counts, a
// search, the result list and an optional detail button. The subclass supplies the data; the
// list holds only entry indexes and asks for each visible cell's text and status when painted.
class CFormCompare : public CQuorvixFormView, public IListItemSource {
public:
    enum Control {
        kFirstFilter = 5013,
        kSearchEdit = 5007,
        kFindButton = 5008,
        kResultList = 5006,
        kDetailButton = 5017,
    };

    ~CFormCompare() override;

    void RepositionControls(int cx, int cy) override;

    // The template operations of the views.
    virtual bool IsFilterShown(int status) const = 0;
    virtual bool HasDetailButton() const { return false; }
    virtual bool CanShowDetail(int /*itemData*/) { return false; }
    virtual bool MatchesSearch(int itemData, const QString& text) = 0;
    virtual void PlaceList(int cx, int cy, const QRect& searchEdit);
    virtual void InsertColumns();
    virtual void SizeColumns();
    virtual void FillList(bool count) = 0;
    virtual int GetFirstCountStringId() const = 0;
    // The rows of the status; by default those that FillStatusRows counted.
    virtual int GetStatusCount(int status) const;
    // Opens the detail of the selected entry; the base has none.
    virtual void ShowDetail() {}

    // Views whose list has a header band keep the band's height free above the list and paint
    // there each column's header: one line centred, or a first line over a second one.
    static constexpr int kBandHeight = 30;
    struct BandHeader {
        QString first;
        QString second;
        // A side's name on the second line is cut in its middle, where two names of one server
        // differ least; other texts lose their end.
        bool secondIsSideName = false;
    };
    virtual bool ReservesHeaderBand() const { return false; }
    // Whether the reserved band is painted; a click on a column's header there sorts the list by
    // that column (ascending, descending, then the comparison order again).
    virtual bool PaintsHeaderBand() const { return ReservesHeaderBand(); }
    // The columns' headers, left to right, the status column's last: painted in the band when
    // there is one, and the headings of the rows copied from the list (the lines joined by a
    // blank).
    std::vector<BandHeader> HeaderTexts() const;
    // Where the header band is painted, in view coordinates; empty when nothing is painted.
    QRect HeaderBand() const;
    // Where the header of a column is in the band; empty for a column without width.
    QRect BandHeaderRect(int column) const;

    // Every list ends with a column that tells each row's status in its symbol and words, so
    // that the status does not rest on the row's colour and is copied with the row. It is as
    // wide as its longest text; the view's own columns share the rest of the list.
    int StatusColumn() const { return m_statusColumn; }
    QString StatusText(qint32 status) const;
    int StatusColumnWidth() const;
    // The width the status column takes once the list has it.
    int StatusTextsWidth() const;

    // The list's cells: the view's own columns, then the status.
    QString GetItemText(int itemData, int column) const final;
    // The status column sorts in the order of the statuses, not of their texts.
    QString GetItemSortText(int itemData, int column) const override;

protected:
    // The text of one of the view's own columns, before the status column.
    virtual QString GetCellText(int itemData, int column) const = 0;
    // The headers of the view's own columns.
    virtual std::vector<BandHeader> ColumnHeaders() const { return {}; }
    // The width the view's own columns share: the list's, less the status column.
    int SharedWidth() const;
    // Gives the view's own columns these widths at once, the status column its width, and the
    // header band follows them.
    void SetColumnWidths(const std::vector<int>& widths);
    // Shares the list's width, less the status column, among the view's columns by these
    // weights, one per column: the name column first, held within its limits, and the last of
    // them takes what is left.
    void SizeColumnsByWeights(const std::vector<int>& weights);
    // Fills the list with rows 0 to rowCount - 1: when counting, every row, each status counted;
    // otherwise the rows whose status filter is checked.
    void FillStatusRows(int rowCount, const std::function<qint32(int row)>& statusOf, bool count);
    // The width of the item name column of a view with several columns: its weight's share of
    // the list, rounded to the nearest pixel, held between 60 and 200 pixels.
    static int NameColumnWidth(int listWidth, int nameWeight, int totalWeight);

public:
    void Find();
    void UpdateDetailButton();
    void OnInitialUpdate() override;

    bool IsFilterChecked(int status) const;
    // The status filters as the export options they preset, one per status.
    std::vector<CExportFilter> StatusFilters() const;
    QCheckBox* Filter(int status) const { return m_filters[status]; }
    QLineEdit* SearchEdit() const { return m_searchEdit; }
    CCompareListCtrl* List() const { return m_list; }
    QPushButton* DetailButton() const { return m_detailButton; }
    int SeparatorY() const { return m_separatorY; }
    QRect PanelRect() const { return m_panelRect; }

protected:
    CFormCompare(CComparisonContext context, QWidget* parent);

    const CComparisonContext& Context() const { return m_context; }
    // Asks the export's options, preset from the status filters, into the parameter word.
    bool PrepareExport(const CExportSource& source) override;

    void OnSize(int cx, int cy) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    // The lines of a column's header as they fit a text area of this width.
    std::pair<QString, QString> FittedHeader(const BandHeader& header, int width) const;
    // The text area of a column's header in the band, the sort mark's room left out.
    QRect HeaderTextArea(int column, bool twoLines) const;
    void PaintHeaderBand(QPainter& painter, const std::vector<BandHeader>& headers) const;
    void PaintSortMark(QPainter& painter) const;
    void SetColumnHeadings();
    void MakeStatusTexts();

    CComparisonContext m_context;
    QCheckBox* m_filters[CompareStatus::Count];
    std::array<qint32, CompareStatus::Count> m_rowCounts{};
    int m_separatorY = -1;
    QRect m_panelRect;
    QLineEdit* m_searchEdit;
    QPushButton* m_findButton;
    QPushButton* m_detailButton;
    QAction* m_detailAction = nullptr; // the detail button's command in the rows' context menu
    CCompareListCtrl* m_list;
    QFont m_boldFont;
    int m_statusColumn = -1;
    std::array<QString, CompareStatus::Count> m_statusTexts;
};
