#pragma once

#include "compare/ComparisonContext.h"
#include "ui/KeyTaker.h"

#include <QIcon>
#include <QWidget>

class CFormCompare;

// A comparison window: a top-level frame owned by the main window whose one view is a
// comparison view. It is registered with its host while open (which locks the sides'
// data-source controls), keeps its placement, routes Enter in the search field to the find, and
// answers the keys of every result window (AddResultWindowKeys).
class CCompareFrm : public QWidget, public IKeyTaker {
public:
    static constexpr int kMinimumWidth = 400;
    static constexpr int kMinimumHeight = 350;
    static constexpr int kMaximumWidth = 750;

    ~CCompareFrm() override;

    bool TakeKey(int key) override;
    virtual int GetPlacementKind() const = 0;
    virtual bool HasMaxWidth() const { return true; }
    CFormCompare* View() const { return m_view; }

protected:
    CCompareFrm(const QIcon& icon, CComparisonContext context, QWidget* owner);

    const CComparisonContext& Context() const { return m_context; }

    // Creates the view the frame shows.
    virtual CFormCompare* GetViewClass() = 0;
    // Creates the window with its title, stored placement and view; false when it could not be.
    virtual bool CreateComparisonWindow(const QString& title);
    // Registers the frame, makes sure its result exists (which may run the comparison) and
    // creates the window; false when it gave up (it is then unregistered; the caller deletes it).
    bool OpenWindow(const QString& title);

    void closeEvent(QCloseEvent* event) override;

private:
    void SavePlacement();

    QIcon m_icon;
    CComparisonContext m_context;
    CFormCompare* m_view = nullptr;
    bool m_registered = false;
    bool m_placementSaved = true; // until the window exists
    int m_placementKind = 0;      // kept: the destructor cannot ask the subclass any more
};
