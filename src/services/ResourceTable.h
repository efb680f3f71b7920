#pragma once

#include <QHash>
#include <QJsonObject>
#include <QString>

// The program's compiled-in resources: every JSON file under ":/quorvix" contributes its
// "strings" (number -> text) and, for the windows built from templates, its "dialogs"
// (number -> template object). Loaded once, read-only afterwards, so any thread may read it.
class CResourceTable {
public:
    static const CResourceTable& Instance();

    // The text of string number id, or an empty text when the table has none.
    QString String(int id) const;
    // The template numbered id, or an empty object.
    QJsonObject Dialog(int id) const;

private:
    CResourceTable();
    void Merge(const QJsonObject& document);

    QHash<int, QString> m_strings;
    QHash<int, QJsonObject> m_dialogs;
};
