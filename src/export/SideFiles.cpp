#include "export/SideFiles.h"

#include "export/ExportTarget.h"
#include "odbc/Side.h"
#include "services/Language.h"

namespace {
constexpr int kDatabaseFileText = 1906;
constexpr int kSnapshotFileText = 1221;
} // namespace

QString RefuseSideFile(const QString& path, const std::vector<const CSide*>& sides) {
    if (path.isEmpty())
        return {};
    const CExportTarget target(path);
    for (const CSide* side : sides) {
        if (!side)
            continue;
        const QString file = side->DatabaseFile();
        if (file.isEmpty() || !target.IsSameFileAs(file))
            continue;
        return LoadLocalizedString(side->IsSnapshot() ? kSnapshotFileText : kDatabaseFileText)
            .arg(path, side->DisplayName());
    }
    return {};
}
