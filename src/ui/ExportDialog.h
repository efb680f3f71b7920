#pragma once

#include <QString>

class QWidget;

// Asks where to write an export, starting at the proposed path, in the save dialog with the one
// filter of the export's kind and the overwrite prompt; empty when the user cancels. A chosen
// name without extension gets "." and the extension.
QString AskExportPath(QWidget* owner, const QString& proposedPath, const QString& extension,
                      const QString& filter);
