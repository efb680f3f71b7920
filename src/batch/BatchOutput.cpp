#include "batch/BatchOutput.h"

#include "services/Language.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int kStandardOutputText = 1966;

// The permissions a newly created file gets from the user's mask, as the window's export file.
mode_t NewFilePermissions() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}
} // namespace

CBatchOutput::CBatchOutput(QString path) : m_path(std::move(path)) {}

CBatchOutput::~CBatchOutput() {
    Discard();
}

QString CBatchOutput::ShownName() const {
    return m_path.isEmpty() ? LoadLocalizedString(kStandardOutputText) : m_path;
}

bool CBatchOutput::Create() {
    if (m_path.isEmpty()) {
        m_descriptor = STDOUT_FILENO;
        return true;
    }
    const QFileInfo target(m_path);
    // Hidden beside the target: the rename at the end stays within one file system.
    m_temporaryPath = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") +
                                        target.fileName() + QStringLiteral(".XXXXXX"));
    m_descriptor = ::mkostemp(m_temporaryPath.data(), O_CLOEXEC);
    if (m_descriptor < 0) {
        m_temporaryPath.clear();
        return false;
    }
    ::fchmod(m_descriptor, NewFilePermissions());
    return true;
}

void CBatchOutput::CloseDescriptor() {
    if (m_descriptor >= 0 && m_descriptor != STDOUT_FILENO)
        ::close(m_descriptor);
    m_descriptor = -1;
}

bool CBatchOutput::Commit() {
    if (m_path.isEmpty()) {
        m_descriptor = -1;
        return std::fflush(stdout) == 0 && !std::ferror(stdout);
    }
    // On disk before it takes its name, and a write that only fails at closing fails here.
    const bool stored = m_descriptor >= 0 && ::fsync(m_descriptor) == 0;
    const bool closed = m_descriptor >= 0 && ::close(m_descriptor) == 0;
    m_descriptor = -1;
    if (m_temporaryPath.isEmpty() || !stored || !closed) {
        Discard();
        return false;
    }
    if (::rename(m_temporaryPath.constData(), QFile::encodeName(m_path).constData()) != 0) {
        Discard();
        return false;
    }
    m_temporaryPath.clear();
    return true;
}

void CBatchOutput::RemoveTarget() {
    if (!m_path.isEmpty())
        ::unlink(QFile::encodeName(m_path).constData());
}

void CBatchOutput::Discard() {
    CloseDescriptor();
    if (!m_temporaryPath.isEmpty())
        ::unlink(m_temporaryPath.constData());
    m_temporaryPath.clear();
}
