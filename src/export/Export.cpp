#include "export/Export.h"

#include "export/ExportFile.h"
#include "model/CompareStatus.h"
#include "services/Language.h"
#include "services/Utilities.h"

#include <QFileInfo>

namespace {
constexpr int kStatusTexts = 1500;
} // namespace

QString StatusSymbol(int status) {
    switch (status) {
    case CompareStatus::Same:
        return QStringLiteral("=");
    case CompareStatus::OnlyLeft:
        return QStringLiteral(">");
    case CompareStatus::OnlyRight:
        return QStringLiteral("<");
    case CompareStatus::Different:
        return QStringLiteral("<>");
    default:
        return {};
    }
}

void WriteExportLegend(CExportFile& file, const QString& leftName, const QString& rightName) {
    for (int status = 0; status < CompareStatus::Count; ++status) {
        const QString text = LoadLocalizedString(kStatusTexts + status);
        if (!text.isEmpty())
            file.WriteString(StatusSymbol(status) + QLatin1Char(';') +
                             ReplaceSidePlaceholders(text, leftName, rightName) +
                             QLatin1Char('\n'));
    }
    file.WriteString(QStringLiteral("\n\n\n"));
}

QString ProposedExportPath(const QString& folder, const QString& name, const QString& extension) {
    QString fileName = name;
    fileName.replace(QLatin1Char('.'), QLatin1Char('_'))
        .replace(QLatin1Char('/'), QLatin1Char('-'));
    QString path = folder;
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path + fileName + QLatin1Char('.') + extension;
}

QString WithDefaultExtension(const QString& path, const QString& extension) {
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1Char('.') + extension;
}
