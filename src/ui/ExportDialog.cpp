#include "ui/ExportDialog.h"

#include "export/Export.h"
#include "services/Utilities.h"

#include <QFileDialog>
#include <QFileInfo>

QString AskExportPath(QWidget* owner, const QString& proposedPath, const QString& extension,
                      const QString& filter) {
    QString initial = proposedPath;
    if (initial.endsWith(QLatin1Char('/')))
        initial.chop(1);
    QFileDialog dialog(owner);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(filter);
    // The overwrite prompt must see the name with its extension.
    dialog.setDefaultSuffix(extension);
    // Without a usable folder the dialog would open in the working folder.
    dialog.setDirectory(SaveDialogFolder(initial));
    dialog.selectFile(QFileInfo(initial).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return WithDefaultExtension(dialog.selectedFiles().first(), extension);
}
