#pragma once

#include "odbc/Side.h"
#include "runs/RunFacts.h"
#include "structure/TableStructContext.h"
#include "ui/QuorvixFormView.h"

#include <memory>

class CColorTabCtrl;
class CQuorvixListCtrl;
class IListItemSource;
class QLabel;
class QLineEdit;
class QPushButton;

// The view of a table structure window: the fields and the indexes of one table of one side,
// read once when the view first shows, in two lists under two tabs, with a find and an export of
// both lists. The lists hold only row numbers; their texts come from the records read.
class CFormTableStruct : public CQuorvixFormView {
public:
    enum Control {
        kSideName = 5002,
        kSearchEdit = 5007,
        kFindButton = 5008,
        kSideIcon = 5009,
        kFieldList = 5010,
        kTabs = 5011,
        kIndexList = 5012,
    };
    enum Tab { FieldsTab = 0, IndexesTab = 1 };

    CFormTableStruct(CTableStructContext context, QString table, QWidget* parent);
    ~CFormTableStruct() override;

    QString TableName() const { return m_table; }
    const CColumnInfoArray& Fields() const { return m_fields; }
    // Why the table could not be read (the side, the table, the driver's words); empty when it
    // was.
    QString ReadFailure() const { return m_readFailure; }
    const CIndexInfoArray& Indexes() const { return m_indexes; }

    void OnInitialUpdate() override;
    void RepositionControls(int cx, int cy) override;

    std::unique_ptr<CExportSource> MakeExportSource() const override;
    bool PrepareExport(const CExportSource& source) override;

    // Selects the next row of the shown list that holds the search text; false (after the
    // warning beep) without text or match.
    bool FindNext();

    // The texts of a row of each list, by its item data; empty outside the records.
    QString GetFieldText(int field, int column) const;
    QString GetIndexText(int row, int column) const;

    CColorTabCtrl* Tabs() const { return m_tabs; }
    CQuorvixListCtrl* FieldList() const { return m_fieldList; }
    CQuorvixListCtrl* IndexList() const { return m_indexList; }
    QLineEdit* SearchEdit() const { return m_searchEdit; }
    QPushButton* FindButton() const { return m_findButton; }
    QLabel* SideIcon() const { return m_sideIcon; }
    QLabel* SideName() const { return m_sideName; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ReadStructure();
    void MeasureContent();
    void SizeColumns();
    void ShowSelectedList();
    // The index that row of the index list belongs to and the row's place among its columns.
    const CIndexInfo* LocateIndexRow(int row, int& position) const;

    CTableStructContext m_context;
    QString m_table;
    QLabel* m_sideIcon = nullptr;
    QLabel* m_sideName = nullptr;
    CColorTabCtrl* m_tabs = nullptr;
    CQuorvixListCtrl* m_fieldList = nullptr;
    CQuorvixListCtrl* m_indexList = nullptr;
    QLineEdit* m_searchEdit = nullptr;
    QPushButton* m_findButton = nullptr;
    CColumnInfoArray m_fields;
    QString m_readFailure;
    CIndexInfoArray m_indexes;
    CRunFacts m_readFacts;
    std::unique_ptr<IListItemSource> m_fieldTexts;
    std::unique_ptr<IListItemSource> m_indexTexts;
    // The widest text of each column sized to its content, measured once the records are read.
    int m_fieldNameWidth = 0;
    int m_indexNameWidth = 0;
    int m_indexColumnWidth = 0;
};
