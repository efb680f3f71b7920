#include "export/ExportTarget.h"

#include "services/Language.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <random>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr int kStandardOutputText = 1966;

constexpr int kMaximumLinks = 40;
constexpr int kHiddenNameTries = 100;

// Hidden names of files being written, so that a process ended at once can remove them.
std::timed_mutex gUnfinishedGuard;
std::vector<QByteArray> gUnfinished;

void RememberUnfinished(const QByteArray& path) {
    const std::lock_guard lock(gUnfinishedGuard);
    gUnfinished.push_back(path);
}

void ForgetUnfinished(const QByteArray& path) {
    const std::lock_guard lock(gUnfinishedGuard);
    gUnfinished.erase(std::remove(gUnfinished.begin(), gUnfinished.end(), path), gUnfinished.end());
}

QByteArray FolderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

QByteArray FileNameOf(const QByteArray& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

QByteArray HiddenName(const QByteArray& finalPath) {
    static std::mt19937 random{std::random_device{}()};
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray suffix(6, 'X');
    for (char& letter : suffix)
        letter = kLetters[random() % (sizeof kLetters - 1)];
    return FolderOf(finalPath) + "/." + FileNameOf(finalPath) + '.' + suffix;
}

// The descriptor a path such as /dev/stdout or /proc/self/fd/3 stands for, or -1. Such a path is
// a way of naming an open file of this process: it is written through that file as it is.
int AliasedDescriptor(const QByteArray& path) {
    if (path == "/dev/stdout")
        return STDOUT_FILENO;
    if (path == "/dev/stderr")
        return STDERR_FILENO;
    static const QRegularExpression kAlias(
        QStringLiteral("^/(?:dev/fd|proc/self/fd|proc/%1/fd)/([0-9]{1,9})$").arg(::getpid()));
    const QRegularExpressionMatch match = kAlias.match(QString::fromLocal8Bit(path));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The kernel's own files are never renamed over.
bool IsKernelPath(const QByteArray& path) {
    return path.startsWith("/proc/") || path.startsWith("/sys/");
}

} // namespace

CExportTarget::CExportTarget(QString path) : m_path(std::move(path)) {}

CExportTarget::~CExportTarget() {
    Discard();
}

QString CExportTarget::ShownName() const {
    return m_path.isEmpty() ? LoadLocalizedString(kStandardOutputText) : m_path;
}

QString CExportTarget::ErrorText() const {
    return QString::fromLocal8Bit(std::strerror(m_error ? m_error : EIO));
}

bool CExportTarget::ResolveFinalPath() {
    QByteArray current = QFile::encodeName(m_path);
    if (!current.startsWith('/')) {
        char folder[PATH_MAX];
        if (!::getcwd(folder, sizeof folder)) {
            m_error = errno;
            return false;
        }
        current = QByteArray(folder) + '/' + current;
    }
    for (int hop = 0; hop < kMaximumLinks; ++hop) {
        if (AliasedDescriptor(current) >= 0) {
            m_finalPath = current;
            return true;
        }
        struct stat link;
        if (::lstat(current.constData(), &link) != 0 || !S_ISLNK(link.st_mode)) {
            m_finalPath = current;
            return true;
        }
        QByteArray target(link.st_size > 0 ? link.st_size + 1 : PATH_MAX, '\0');
        const ssize_t length = ::readlink(current.constData(), target.data(), target.size());
        if (length < 0) {
            m_error = errno;
            return false;
        }
        target.truncate(length);
        current = target.startsWith('/') ? target : FolderOf(current) + '/' + target;
    }
    m_error = ELOOP;
    return false;
}

bool CExportTarget::Create() {
    m_error = 0;
    if (m_path.isEmpty()) {
        m_kind = Kind::StandardOutput;
        m_descriptor = STDOUT_FILENO;
        return true;
    }
    if (!ResolveFinalPath())
        return false;
    if (const int alias = AliasedDescriptor(m_finalPath); alias >= 0) {
        m_kind = Kind::WrittenThrough;
        m_descriptor = ::fcntl(alias, F_DUPFD_CLOEXEC, 0);
        m_error = errno;
        return m_descriptor >= 0;
    }
    struct stat existing;
    if (::stat(m_finalPath.constData(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) {
            m_error = EISDIR;
            return false;
        }
        if (!S_ISREG(existing.st_mode) || IsKernelPath(m_finalPath))
            return OpenWrittenThrough(m_finalPath);
        return CreateReplacement(&existing);
    }
    if (errno != ENOENT) {
        m_error = errno;
        return false;
    }
    return CreateReplacement(nullptr);
}

bool CExportTarget::OpenWrittenThrough(const QByteArray& path) {
    m_kind = Kind::WrittenThrough;
    // No truncation: a device or FIFO has nothing to truncate, and what it is stays as it is.
    m_descriptor = ::open(path.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    m_error = errno;
    return m_descriptor >= 0;
}

bool CExportTarget::CreateReplacement(const struct stat* existing) {
    m_kind = Kind::Replaced;
    m_targetExisted = existing != nullptr;
    const QByteArray folder = FolderOf(m_finalPath);
    // An unnamed file leaves nothing behind when the process dies before the end; where the
    // file system has none, a hidden name beside the target does the same work.
    m_descriptor = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    m_unnamed = m_descriptor >= 0 && ::access("/proc/self/fd", X_OK) == 0;
    if (m_descriptor >= 0 && !m_unnamed) {
        ::close(m_descriptor);
        m_descriptor = -1;
    }
    if (!m_unnamed) {
        for (int attempt = 0; attempt < kHiddenNameTries && m_descriptor < 0; ++attempt) {
            const QByteArray hidden = HiddenName(m_finalPath);
            m_descriptor =
                ::open(hidden.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (m_descriptor >= 0) {
                m_hiddenPath = hidden;
                RememberUnfinished(hidden);
            } else if (errno != EEXIST) {
                break;
            }
        }
    }
    if (m_descriptor < 0) {
        m_error = errno;
        return false;
    }
    if (existing) {
        // The replacement is the same file to everyone who could use the old one.
        // Only the superuser may give a file away: others keep their own, as an editor's save does.
        if ((existing->st_uid != ::geteuid() || existing->st_gid != ::getegid()) &&
            ::fchown(m_descriptor, existing->st_uid, existing->st_gid) != 0) {
        }
        ::fchmod(m_descriptor, existing->st_mode & 07777);
    }
    return true;
}

bool CExportTarget::IsSameFileAs(const QString& otherPath) const {
    struct stat target;
    struct stat other;
    const QByteArray path = m_finalPath.isEmpty() ? QFile::encodeName(m_path) : m_finalPath;
    return !m_path.isEmpty() && ::stat(path.constData(), &target) == 0 &&
           ::stat(QFile::encodeName(otherPath).constData(), &other) == 0 &&
           target.st_dev == other.st_dev && target.st_ino == other.st_ino;
}

bool CExportTarget::LinkUnnamedFile() {
    const QByteArray descriptorPath = "/proc/self/fd/" + QByteArray::number(m_descriptor);
    if (!m_targetExisted) {
        if (::linkat(AT_FDCWD, descriptorPath.constData(), AT_FDCWD, m_finalPath.constData(),
                     AT_SYMLINK_FOLLOW) == 0)
            return true;
        // Someone made the file meanwhile: it is replaced as an existing one would be.
        if (errno != EEXIST) {
            m_error = errno;
            return false;
        }
    }
    for (int attempt = 0; attempt < kHiddenNameTries; ++attempt) {
        const QByteArray hidden = HiddenName(m_finalPath);
        RememberUnfinished(hidden);
        if (::linkat(AT_FDCWD, descriptorPath.constData(), AT_FDCWD, hidden.constData(),
                     AT_SYMLINK_FOLLOW) == 0) {
            m_hiddenPath = hidden;
            return true;
        }
        ForgetUnfinished(hidden);
        if (errno != EEXIST) {
            m_error = errno;
            return false;
        }
    }
    m_error = EEXIST;
    return false;
}

bool CExportTarget::Commit() {
    if (m_kind == Kind::StandardOutput) {
        m_descriptor = -1;
        return true;
    }
    if (m_descriptor < 0)
        return false;
    if (m_kind == Kind::WrittenThrough) {
        const bool closed = ::close(m_descriptor) == 0;
        m_error = errno;
        m_descriptor = -1;
        return closed;
    }
    // On disk before it takes its name, and a write that only fails at closing fails here.
    bool stored = ::fsync(m_descriptor) == 0;
    m_error = errno;
    if (stored && m_unnamed)
        stored = LinkUnnamedFile();
    const bool closed = ::close(m_descriptor) == 0;
    if (stored && !closed)
        m_error = errno;
    m_descriptor = -1;
    bool named = stored && closed;
    if (named && !m_hiddenPath.isEmpty()) {
        named = ::rename(m_hiddenPath.constData(), m_finalPath.constData()) == 0;
        m_error = errno;
        if (named) {
            ForgetUnfinished(m_hiddenPath);
            m_hiddenPath.clear();
        }
    }
    if (!named)
        Discard();
    return named;
}

void CExportTarget::CloseDescriptor() {
    if (m_descriptor >= 0 && m_kind != Kind::StandardOutput)
        ::close(m_descriptor);
    m_descriptor = -1;
}

void CExportTarget::Discard() {
    CloseDescriptor();
    if (!m_hiddenPath.isEmpty()) {
        ::unlink(m_hiddenPath.constData());
        ForgetUnfinished(m_hiddenPath);
        m_hiddenPath.clear();
    }
}

void CExportTarget::RemoveUnfinishedFiles() {
    // The writer may hold the list for a moment; the end of the process cannot wait for long.
    std::unique_lock lock(gUnfinishedGuard, std::chrono::milliseconds(100));
    if (!lock.owns_lock())
        return;
    for (const QByteArray& path : gUnfinished)
        ::unlink(path.constData());
    gUnfinished.clear();
}
