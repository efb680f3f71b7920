#include "ui/DesktopOpen.h"

#include "services/Language.h"
#include "services/Utilities.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

namespace {
constexpr int kNotOpenedText = 1992;
constexpr int kNoOpenCommandText = 1993;
} // namespace

void OpenForTheUser(QWidget* owner, const QString& path) {
    QPointer<QWidget> guard(owner);
    const auto tell = [guard, path](const QString& message) {
        QWidget* parent = guard ? guard.data() : nullptr;
        QMessageBox::warning(parent, parent ? parent->window()->windowTitle() : QString(), message);
    };
    const bool started = OpenWithAssociatedApp(path, [tell, path](int status) {
        tell(LoadLocalizedString(kNotOpenedText).arg(path, QString::number(status)));
    });
    if (!started)
        tell(LoadLocalizedString(kNoOpenCommandText).arg(path));
}
