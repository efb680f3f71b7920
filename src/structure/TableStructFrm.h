#pragma once

#include "structure/TableStructContext.h"
#include "ui/ResultFrame.h"

class CFormTableStruct;

// A table structure window: a result frame, owned by the selection view that opened it, whose one
// view shows the fields and indexes of one table. Several may be open at once, for either side;
// they leave the data-source controls usable, and the focus goes back where it came from when
// one closes (CResultFrame).
class CTableStructFrm : public CResultFrame {
public:
    static constexpr int kPlacementKind = 1;
    static constexpr int kMinimumWidth = 370;
    static constexpr int kMinimumHeight = 270;
    static constexpr int kMaximumWidth = 500;

    // Opens the window on the table, the icon in its title bar; the focus goes back to
    // returnFocus when it closes. nullptr when there is no host to list it.
    static CTableStructFrm* Open(const QIcon& icon, CTableStructContext context,
                                 const QString& table, QWidget* returnFocus);

    int Side() const { return m_context.sideIndex; }
    QString TableName() const { return m_tableName; }
    CFormTableStruct* View() const;

protected:
    CQuorvixFormView* MakeView() override;
    QLineEdit* SearchField() const override;
    void FindInView() override;
    QSize MinimumSize() const override { return {kMinimumWidth, kMinimumHeight}; }
    int MaximumWidth() const override { return kMaximumWidth; }
    bool KeepsWiderPlacement() const override { return true; }

private:
    CTableStructFrm(const QIcon& icon, CTableStructContext context, const QString& table,
                    QWidget* returnFocus);

    CTableStructContext m_context;
    QString m_tableName;
};
