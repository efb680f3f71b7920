#pragma once

#include <QString>

class QWidget;

// What a top-level result window needs of the program that owns it: to be counted while it is
// open (the first comparison window locks the sides, the last one to go releases the results;
// structure windows are only listed) and to keep its placement between runs.
class IWindowHost {
public:
    virtual ~IWindowHost() = default;
    virtual void RegisterComparisonFrame(QWidget* frame) = 0;
    virtual void UnregisterComparisonFrame(QWidget* frame) = 0;
    virtual void RegisterStructureFrame(QWidget* frame) = 0;
    virtual void UnregisterStructureFrame(QWidget* frame) = 0;
    // Placement kind -1 is the main window, 1 to 4 the result windows.
    virtual void LoadWindowRect(int frameIndex, QString& rectangle, bool& zoomed) const = 0;
    virtual void SaveWindowRect(int frameIndex, const QString& rectangle, bool zoomed) = 0;
    // The result window opened last that is still open, other than except; null when none.
    virtual QWidget* LastResultWindow(const QWidget* except) const = 0;
};
