#include "export/Export.h"

#include "export/ExportFile.h"
#include "export/ExportTarget.h"
#include "export/HtmlStream.h"
#include "model/CompareStatus.h"
#include "model/IndexCompareInfo.h"
#include "model/ParamWord.h"
#include "services/Language.h"
#include "services/Utilities.h"

#include <QFileInfo>

#include <cerrno>

namespace {
constexpr int kStatusTexts = 1500;
constexpr int kWriteErrorText = 1900;
// Message boxes show no more of a message.
constexpr qsizetype kMessageLimit = 255;

QString CannotWrite(const CExportTarget& target) {
    // Only a file that something holds is worth closing applications for; any other failure (a
    // name too long, a folder that is not there, a full disk) is said as the system says it.
    const int error = target.ErrorNumber();
    if (error != ETXTBSY && error != EBUSY)
        return WriteFailureText(target.ShownName(), error ? error : EIO);
    return LoadLocalizedString(kWriteErrorText).replace(QStringLiteral("%s"), target.ShownName()) +
           QLatin1Char('\n') + target.ErrorText();
}
} // namespace

bool IsStatusKept(const CParamWord& params, int firstBit, qint32 status) {
    return CompareStatus::IsValid(status) && params.TestBit(firstBit + status);
}

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

QStringList IndexLineFields(const CIndexCompareInfo& index) {
    return {index.GetText(0), QStringLiteral("INDEX"), index.GetText(1), index.GetText(2)};
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

namespace {

// What every export does with its target: write opens its own file on the descriptor (false
// when it cannot) and says whether the result is dropped.
QString WriteTarget(CExportTarget& target, const std::function<bool(bool& dropped)>& write,
                    bool& dropped) {
    dropped = false;
    if (!target.Create())
        return CannotWrite(target);
    QString message;
    try {
        if (!write(dropped))
            message = CannotWrite(target);
    } catch (const CExportError& error) {
        message = error.Message().left(kMessageLimit);
    } catch (const std::exception& error) {
        message = QString::fromLocal8Bit(error.what()).left(kMessageLimit);
    }
    // A file that failed half-way, or whose run was cancelled, leaves nothing at its path.
    if (!message.isEmpty() || dropped) {
        target.Discard();
        return message;
    }
    if (!target.Commit())
        return CannotWrite(target);
    return {};
}

} // namespace

QString WriteExportTo(CExportTarget& target, ExportEncoding encoding,
                      const std::function<bool(CExportFile&)>& write, bool& dropped) {
    return WriteTarget(
        target,
        [&](bool& drop) {
            CExportFile file;
            if (!file.Open(target.Descriptor(), target.ShownName(), encoding))
                return false;
            drop = !write(file);
            file.Close();
            return true;
        },
        dropped);
}

QString WriteReportTo(CExportTarget& target, const std::function<bool(CHtmlStream&)>& write,
                      bool& dropped) {
    return WriteTarget(
        target,
        [&](bool& drop) {
            CHtmlStream stream(target.Descriptor(), target.ShownName());
            drop = !write(stream);
            if (!drop)
                stream.Finish();
            return true;
        },
        dropped);
}
