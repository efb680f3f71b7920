#pragma once

#include <QString>

class QWidget;

// Opens a file the program wrote or ships (an export, a help document) with the desktop's
// program for it, and tells the user, where they are, when no program opens it: the file is
// there all the same and can be opened by hand.
void OpenForTheUser(QWidget* owner, const QString& path);
