#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <vector>

// One control of a dialog template: its id, its kind ("static", "button", "check", "edit",
// "combo", "list", "tab", "progress", "picture", "link", "frame"), its initial rectangle in
// pixels, its text and its style words ("hidden", "disabled", "right", "center", "default",
// "multiline", "smooth", "tooltips", ...). A template's own style words include "resizable".
struct CControlTemplate {
    int id = 0;
    QString kind;
    QRect rect;
    QString text;
    QStringList style;

    bool HasStyle(const QString& word) const { return style.contains(word); }
};

// A dialog or form view layout from the compiled-in resources: title, client size, style words
// and controls. Templates 1000-1007 are French, 2000-2007 English.
class CDialogTemplate {
public:
    // The template numbered id; an invalid template when there is none.
    static CDialogTemplate Load(int id);

    bool IsValid() const { return m_id != 0; }
    int Id() const { return m_id; }
    QString Title() const { return m_title; }
    QSize Size() const { return m_size; }
    const QStringList& Style() const { return m_style; }
    const std::vector<CControlTemplate>& Controls() const { return m_controls; }
    const CControlTemplate* Control(int id) const;

private:
    int m_id = 0;
    QString m_title;
    QSize m_size;
    QStringList m_style;
    std::vector<CControlTemplate> m_controls;
};
