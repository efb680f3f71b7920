#pragma once

#include "ui/KeyTaker.h"

#include <QIcon>
#include <QPointer>
#include <QWidget>

class CQuorvixFormView;
class IWindowHost;
class QLineEdit;

// A result window: a top-level frame whose one view shows a result. It is registered with its
// host while open, keeps its placement between runs and opens a step away from the last result
// window, runs its view's find on Enter in the search field and answers the keys of every result
// window (AddResultWindowKeys). However it closes, the focus goes back to the window that opened
// it when that is still open, else to its owner's. The subclass makes the view and says how large
// the window may be.
class CResultFrame : public QWidget, public IKeyTaker {
public:
    // How the host counts the window: comparison windows lock the sides' data-source controls
    // and hold the results; structure windows are only listed.
    enum class Role { Comparison, Structure };

    ~CResultFrame() override;

    bool TakeKey(int key) override;
    int PlacementKind() const { return m_placementKind; }

protected:
    // The frame goes with its owner. The focus goes back to opener when the frame closes, to the
    // control that had it there; the owner stands for a null opener.
    CResultFrame(IWindowHost* host, Role role, int placementKind, QIcon icon, QWidget* owner,
                 QWidget* opener = nullptr);

    CQuorvixFormView* FormView() const { return m_view; }

    // Makes the view the frame shows, with the frame as its parent; null when it cannot be.
    virtual CQuorvixFormView* MakeView() = 0;
    // What fills the window around the view: the view alone unless the subclass sets it among
    // other widgets, which it then owns.
    virtual QWidget* MakeContent(CQuorvixFormView& view);
    virtual QLineEdit* SearchField() const = 0;
    // What Enter in the search field does.
    virtual void FindInView() = 0;
    // Makes sure the result the view shows exists, once the frame is registered; false gives up.
    virtual bool PrepareResult() { return true; }
    virtual QSize MinimumSize() const = 0;
    // The widest the window may be dragged; QWIDGETSIZE_MAX when any width will do.
    virtual int MaximumWidth() const { return QWIDGETSIZE_MAX; }
    // The size a window opens at when no placement of its kind was kept.
    virtual QSize DefaultSize() const { return {680, 505}; }
    // Whether a wider placement that was restored, and a maximised window, keep their width: the
    // limit then follows the window down as it is narrowed. Otherwise it holds from the start.
    virtual bool KeepsWiderPlacement() const { return false; }

    // Registers the frame, prepares its result and opens the window with its title, the icon,
    // its stored placement and its view; false when it gave up (it is then unregistered; the
    // caller deletes it).
    bool OpenFrame(const QString& title);

    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool CreateFrame(const QString& title);
    void LimitWidth();
    void Register();
    void Unregister();
    void SavePlacement();
    void GiveFocusBack();

    IWindowHost* const m_host;
    // Kept rather than asked: the destructor cannot ask the subclass any more.
    const Role m_role;
    const int m_placementKind;
    QIcon m_icon;
    QPointer<QWidget> m_opener;
    CQuorvixFormView* m_view = nullptr;
    bool m_registered = false;
    bool m_placementSaved = true; // until the window exists
};
