#pragma once

// What the table reader needs of the selection view's table list: items hold only their table
// index; the view supplies each item's text and image on request.
class ITableList {
public:
    virtual ~ITableList() = default;
    virtual void DeleteAllItems() = 0;
    virtual void AppendItem(int itemData) = 0;
};
