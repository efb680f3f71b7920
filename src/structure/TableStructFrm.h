#pragma once

#include "structure/TableStructContext.h"
#include "ui/KeyTaker.h"

#include <QPointer>
#include <QWidget>

class CFormTableStruct;

// A table structure window: a top-level frame, owned by the selection view that opened it, whose
// one view shows the fields and indexes of one table. Several may be open at once, for either
// side; each is listed with its host while open, keeps its placement, takes Enter in its search
// field and answers the keys of every result window (AddResultWindowKeys).
class CTableStructFrm : public QWidget, public IKeyTaker {
public:
    static constexpr int kPlacementKind = 1;
    static constexpr int kMinimumWidth = 370;
    static constexpr int kMinimumHeight = 270;
    static constexpr int kMaximumWidth = 500;

    // Opens the window on the table, the icon in its title bar; the focus goes back to
    // returnFocus when it closes. nullptr when there is no host to list it.
    static CTableStructFrm* Open(const QIcon& icon, CTableStructContext context,
                                 const QString& table, QWidget* returnFocus);
    ~CTableStructFrm() override;

    bool TakeKey(int key) override;
    int Side() const { return m_context.sideIndex; }
    QString TableName() const { return m_tableName; }
    CFormTableStruct* View() const { return m_view; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    CTableStructFrm(CTableStructContext context, const QString& table, QWidget* returnFocus);

    // Creates the view and places the window as it was last left; registers it.
    bool CreateFrame(const QString& title);
    void LimitWidth();
    void SavePlacement();
    void Unregister();

    CTableStructContext m_context;
    QString m_tableName;
    QPointer<QWidget> m_returnFocus;
    CFormTableStruct* m_view = nullptr;
    bool m_registered = false;
    bool m_placementSaved = true; // until the window exists
};
