#include "services/Utilities.h"

#include "model/ParamWord.h"
#include "services/Language.h"
#include "services/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <limits>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kDictionaryCodeText = 1601;
constexpr int kDictionaryNameText = 1701;

constexpr int kStatusPollMilliseconds = 100;
constexpr int kStatusWaitMilliseconds = 8000;

bool StartDetached(const QString& command, const QString& path) {
    QStringList arguments = OpenCommandArguments(command, path);
    if (arguments.isEmpty())
        return false;
    const QString program = arguments.takeFirst();
    return QProcess::startDetached(program, arguments);
}

// Starts the open command detached through a shell that writes its exit status into a file
// of ours, and watches that file for a while: the program it starts is never our child, yet a
// command that finds no program for the file is told.
bool StartDetachedWatched(const QString& command, const QString& path,
                          std::function<void(int)> failed) {
    const QStringList arguments = OpenCommandArguments(command, path);
    QByteArray status = QFile::encodeName(TemporaryFolder() + QStringLiteral("/QVXOPEN.XXXXXX"));
    if (arguments.isEmpty())
        return false;
    const int descriptor = ::mkostemp(status.data(), O_CLOEXEC);
    // Without a place for the status the file is still opened, only unwatched.
    if (descriptor < 0)
        return StartDetached(command, path);
    ::close(descriptor);
    // The status is written only while the file is still there: once given up, it is gone.
    QProcess shell;
    shell.setProgram(QStringLiteral("/bin/sh"));
    shell.setArguments(QStringList{QStringLiteral("-c"),
                                   QStringLiteral("s=$1; shift; \"$@\" >/dev/null 2>&1; r=$?; "
                                                  "[ -e \"$s\" ] && echo $r > \"$s\""),
                                   QStringLiteral("quorvix-open"), QFile::decodeName(status)} +
                       arguments);
    if (!shell.startDetached()) {
        ::unlink(status.constData());
        return false;
    }
    auto* watch = new QTimer(QCoreApplication::instance());
    auto waited = std::make_shared<int>(0);
    QObject::connect(watch, &QTimer::timeout, watch, [watch, waited, status, failed] {
        QFile file(QFile::decodeName(status));
        const QByteArray text = file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : "";
        *waited += kStatusPollMilliseconds;
        if (text.isEmpty() && *waited < kStatusWaitMilliseconds)
            return;
        watch->stop();
        watch->deleteLater();
        ::unlink(status.constData());
        bool number = false;
        const int code = text.toInt(&number);
        if (number && code != 0)
            failed(code);
    });
    watch->start(kStatusPollMilliseconds);
    return true;
}

constexpr qint64 kIntMin = std::numeric_limits<int>::min();
constexpr qint64 kIntMax = std::numeric_limits<int>::max();

// Widths and overlaps in 64 bits: a rectangle from a settings file may span every int.
qint64 Extent(int first, int last) {
    return qint64(last) - first + 1;
}

double OverlapArea(const QRect& a, const QRect& b) {
    const qint64 width =
        std::min<qint64>(a.right(), b.right()) - std::max<qint64>(a.left(), b.left()) + 1;
    const qint64 height =
        std::min<qint64>(a.bottom(), b.bottom()) - std::max<qint64>(a.top(), b.top()) + 1;
    return width > 0 && height > 0 ? double(width) * double(height) : 0.0;
}

qint64 FitExtent(qint64 extent, qint64 available) {
    return std::min({extent, available, kIntMax});
}

} // namespace

QString ReplaceSidePlaceholders(const QString& text, const QString& leftName,
                                const QString& rightName) {
    QString replaced = text;
    replaced.replace(QStringLiteral("%LDB%"), leftName);
    replaced.replace(QStringLiteral("%RDB%"), rightName);
    return replaced;
}

QString FillParameterText(const QString& text, int bit, const QString& leftName,
                          const QString& rightName) {
    QString filled = text;
    if (filled.contains(QStringLiteral("%LDB%")))
        filled.replace(QStringLiteral("%LDB%"), leftName);
    else
        filled.replace(QStringLiteral("%RDB%"), rightName);
    if (bit >= ParamBit::CompareValue0 && bit < ParamBit::CompareValue0 + 5)
        filled.replace(QStringLiteral("%COL%"),
                       GetDictionaryValueCaption(bit - ParamBit::CompareValue0, true, true));
    return filled;
}

QString GetProductVersion() {
    return QStringLiteral(QUORVIX_VERSION);
}

QString GetPersonalFolder() {
    // A fresh account may have no documents folder yet: the desktop still names one.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return documents;
    return QDir::homePath();
}

QString SaveDialogFolder(const QString& path) {
    const QFileInfo file(path);
    if (!path.isEmpty() && file.isAbsolute() && QFileInfo(file.absolutePath()).isDir())
        return file.absolutePath();
    return QDir::homePath();
}

QString GetShellOpenCommand(const QString& extension) {
    // On this desktop every extension opens through xdg-open, found on the PATH when it runs.
    Q_UNUSED(extension);
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        return {};
    return OpenCommandFromAssociation(QStringLiteral("xdg-open \"%1\""));
}

QStringList OpenCommandArguments(const QString& command, const QString& path) {
    // The command is split into its words first, so that a path holding quotes or blanks reaches
    // the program as one argument.
    QStringList arguments = QProcess::splitCommand(command);
    if (arguments.isEmpty())
        return {};
    bool placed = false;
    for (QString& argument : arguments) {
        if (argument.contains(QStringLiteral("%1"))) {
            argument.replace(QStringLiteral("%1"), path);
            placed = true;
        }
    }
    if (!placed)
        arguments.append(path);
    return arguments;
}

QString OpenCommandFromAssociation(const QString& association) {
    const qsizetype slash = association.indexOf(QLatin1Char('/'));
    return slash < 0 ? association : association.left(slash);
}

QString TemporaryFolder() {
    const QString tmp = qEnvironmentVariable("TMP");
    if (!tmp.isEmpty() && QFileInfo(tmp).isDir())
        return tmp;
    if (QFileInfo(QStringLiteral("/tmp")).isDir())
        return QStringLiteral("/tmp");
    return QDir::currentPath();
}

bool WriteFullyAt(int descriptor, const char* data, qint64 size, qint64 position) {
    while (size > 0) {
        const ssize_t written = ::pwrite(descriptor, data, size_t(size), off_t(position));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= written;
        position += written;
    }
    return true;
}

bool OpenWithAssociatedApp(const QString& path, std::function<void(int status)> failed) {
    const QFileInfo file(path);
    if (!file.exists() || !file.isFile())
        return false;
    const QString command =
        GetShellOpenCommand(file.suffix().isEmpty() ? QString() : QLatin1Char('.') + file.suffix());
    if (command.isEmpty())
        return false;
    return failed ? StartDetachedWatched(command, path, std::move(failed))
                  : StartDetached(command, path);
}

bool OpenAddress(const QString& address) {
    if (address.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        return false;
    return QProcess::startDetached(QStringLiteral("xdg-open"), {address});
}

QString GetDictionaryValueCaption(int value, bool withCode, bool withName) {
    const QString code = LoadLocalizedString(kDictionaryCodeText + value);
    const QString name = LoadLocalizedString(kDictionaryNameText + value);
    if (name.isEmpty())
        return code;
    if (withCode && withName)
        return code + QStringLiteral(" (") + name + QLatin1Char(')');
    return withName ? name : code;
}

bool ReadRegistryValues(const QString& section, QStringList& names, QStringList& data) {
    names.clear();
    data.clear();
    QString path = section;
    if (path.endsWith(QLatin1Char('\\')))
        path.chop(1);
    const CSettingsStore store;
    if (!store.HasSection(path))
        return false;
    for (const QString& name : store.ValueNames(path)) {
        if (name.isEmpty())
            continue;
        names.append(name);
        data.append(store.ReadText(path, name));
    }
    return true;
}

std::optional<int> LeadingInteger(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    qint64 magnitude = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        magnitude = magnitude * 10 + (text[i].unicode() - u'0');
        // Stop as soon as it is out of range, long before 64 bits could overflow.
        if (magnitude > -kIntMin)
            return std::nullopt;
    }
    const qint64 number = negative ? -magnitude : magnitude;
    if (number < kIntMin || number > kIntMax)
        return std::nullopt;
    return int(number);
}

std::optional<QRect> ParseWindowRect(const QString& text) {
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() < 4)
        return std::nullopt;
    qint64 numbers[4] = {};
    for (int i = 0; i < 4; ++i) {
        const std::optional<int> number = LeadingInteger(fields[i]);
        if (!number)
            return std::nullopt;
        numbers[i] = *number;
    }
    const qint64 width = numbers[2] - numbers[0];
    const qint64 height = numbers[3] - numbers[1];
    if (width <= 0 || height <= 0 || width > kIntMax || height > kIntMax)
        return std::nullopt;
    return QRect(int(numbers[0]), int(numbers[1]), int(width), int(height));
}

QRect FitRectToAreas(const QRect& rectangle, const QList<QRect>& areas) {
    const QRect* target = nullptr;
    double targetOverlap = -1.0;
    for (const QRect& area : areas) {
        if (area.isEmpty())
            continue;
        const double overlap = OverlapArea(rectangle, area);
        if (overlap > targetOverlap) {
            target = &area;
            targetOverlap = overlap;
        }
    }
    if (!target || rectangle.isEmpty())
        return rectangle;
    const qint64 width = FitExtent(Extent(rectangle.left(), rectangle.right()),
                                   Extent(target->left(), target->right()));
    const qint64 height = FitExtent(Extent(rectangle.top(), rectangle.bottom()),
                                    Extent(target->top(), target->bottom()));
    const qint64 left =
        std::clamp<qint64>(rectangle.left(), target->left(), qint64(target->right()) + 1 - width);
    const qint64 top =
        std::clamp<qint64>(rectangle.top(), target->top(), qint64(target->bottom()) + 1 - height);
    return QRect(QPoint(int(left), int(top)), QPoint(int(left + width - 1), int(top + height - 1)));
}
