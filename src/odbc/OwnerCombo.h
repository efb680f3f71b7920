#pragma once

#include <QString>

// What the owner reader needs of the selection view's owner combo box.
class IOwnerCombo {
public:
    virtual ~IOwnerCombo() = default;
    virtual void DeleteAllEntries() = 0;
    // Adds an entry showing text whose item data is the index of its owner in the owner list.
    virtual void AddEntry(const QString& text, int itemData) = 0;
};
