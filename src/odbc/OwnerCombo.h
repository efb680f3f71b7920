#pragma once

#include <QString>

// The owner combo keeps its entries sorted by text, case ignored, a new entry going after those
// that equal it: true while the new text belongs after an existing entry.
inline bool OwnerEntryGoesAfter(const QString& existing, const QString& text) {
    return existing.compare(text, Qt::CaseInsensitive) <= 0;
}

// What the owner reader needs of the selection view's owner combo box.
class IOwnerCombo {
public:
    virtual ~IOwnerCombo() = default;
    virtual void DeleteAllEntries() = 0;
    // Adds an entry showing text whose item data is the index of its owner in the owner list.
    virtual void AddEntry(const QString& text, int itemData) = 0;
};
