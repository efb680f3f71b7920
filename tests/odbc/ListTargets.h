#pragma once

#include "odbc/OwnerCombo.h"
#include "odbc/OwnerName.h"
#include "odbc/TableList.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// The owner list as the qualifier texts catalog, ".", schema.
inline QStringList Qualifiers(const COwnerList& owners) {
    QStringList texts;
    for (const COwnerName& owner : owners)
        texts.append(owner.Qualifier());
    return texts;
}

// Plain stand-ins for the selection view's owner combo box and table list.
class COwnerComboRecorder : public IOwnerCombo {
public:
    void DeleteAllEntries() override { entries.clear(); }
    void AddEntry(const QString& text, int itemData) override { entries.append({text, itemData}); }
    QString TextOf(int itemData) const {
        for (const auto& entry : entries) {
            if (entry.second == itemData)
                return entry.first;
        }
        return QStringLiteral("<none>");
    }

    QList<QPair<QString, int>> entries;
};

class CTableListRecorder : public ITableList {
public:
    void DeleteAllItems() override { items.clear(); }
    void AppendItem(int itemData) override { items.append(itemData); }

    QList<int> items;
};
