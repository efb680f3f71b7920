#pragma once

#include "services/DialogTemplate.h"

#include <QWidget>

// Creates the child controls of a dialog or form view from its template: each control is placed
// at its template rectangle and can be found again by its numeric id.
class CTemplateBuilder {
public:
    // Creates every control of the template as a child of parent and gives parent the template's
    // client size. False when the template does not exist.
    static bool Build(QWidget& parent, int templateId);
    static bool Build(QWidget& parent, const CDialogTemplate& dialogTemplate);

    // The control with this id among parent's children, or nullptr.
    static QWidget* FindControl(const QWidget& parent, int id);
    template <typename Control>
    static Control* Find(const QWidget& parent, int id) {
        return qobject_cast<Control*>(FindControl(parent, id));
    }
    static int ControlId(const QWidget& control);
    // Puts replacement, a control of the owner's own class, in the place of control id: it takes
    // the id, geometry, visibility and enabled state, and the template's control is deleted.
    static QWidget* Adopt(QWidget& parent, int id, QWidget* replacement);

private:
    static QWidget* CreateControl(QWidget& parent, const CControlTemplate& control);
};
