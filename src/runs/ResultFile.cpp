#include "runs/ResultFile.h"

#include "model/FixedWidthFields.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr qsizetype kPendingLimit = 256 * 1024;
constexpr qint64 kBlockSize = 64 * 1024;

bool WriteFully(int descriptor, const char* data, qint64 size, qint64 position) {
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

} // namespace

QString CResultFile::Folder() {
    const QString tmp = qEnvironmentVariable("TMP");
    if (!tmp.isEmpty() && QFileInfo(tmp).isDir())
        return tmp;
    if (QFileInfo(QStringLiteral("/tmp")).isDir())
        return QStringLiteral("/tmp");
    return QDir::currentPath();
}

QString CResultFile::Prefix(Kind kind) {
    return kind == DictionaryResult ? QStringLiteral("BFDD") : QStringLiteral("BFDB");
}

std::unique_ptr<CResultFile> CResultFile::Create(Kind kind, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        QByteArray pattern =
            QFile::encodeName(QDir(Folder()).filePath(Prefix(kind) + QStringLiteral("XXXXXX")));
        const int descriptor = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (descriptor >= 0) {
            // Only the descriptor is kept: a program that is killed leaves nothing behind.
            ::unlink(pattern.constData());
            return std::unique_ptr<CResultFile>(
                new CResultFile(descriptor, QFile::decodeName(pattern)));
        }
        if (timer.elapsed() >= timeoutMs)
            return nullptr;
        // A short pause between attempts keeps the retry from spinning a core for ten seconds.
        QThread::msleep(50);
    }
}

CResultFile::CResultFile(int descriptor, QString path)
    : m_descriptor(descriptor), m_path(std::move(path)) {}

CResultFile::~CResultFile() {
    // The file has no name left: closing it gives its space back.
    ::close(m_descriptor);
}

bool CResultFile::Flush() {
    if (!FlushBlock())
        return false;
    if (m_pending.isEmpty())
        return m_good;
    if (!WriteFully(m_descriptor, m_pending.constData(), m_pending.size(), m_flushedSize))
        m_good = false;
    m_flushedSize += m_pending.size();
    m_pending.resize(0); // keeps its capacity for the next writes
    return m_good;
}

bool CResultFile::InBlock(qint64 position, qint64 size) const {
    return m_blockStart >= 0 && position >= m_blockStart &&
           position + size <= m_blockStart + m_block.size();
}

bool CResultFile::FlushBlock() {
    if (m_blockDirty &&
        !WriteFully(m_descriptor, m_block.constData(), m_block.size(), m_blockStart))
        m_good = false;
    m_blockDirty = false;
    return m_good;
}

void CResultFile::DropBlock() {
    FlushBlock();
    m_blockStart = -1;
    m_block.clear();
}

bool CResultFile::ReadDirect(qint64 position, qint64 size, QByteArray& bytes) {
    bytes.resize(size);
    qint64 done = 0;
    while (done < size) {
        const ssize_t read =
            ::pread(m_descriptor, bytes.data() + done, size_t(size - done), off_t(position + done));
        if (read < 0 && errno == EINTR)
            continue;
        if (read <= 0)
            break;
        done += read;
    }
    bytes.truncate(done);
    return done == size;
}

bool CResultFile::LoadBlock(qint64 position) {
    DropBlock();
    // Pending writes at the end must be in the file before a block can cover them.
    if (position + kBlockSize > m_flushedSize && !Flush())
        return false;
    if (position >= m_flushedSize)
        return false;
    if (!ReadDirect(position, std::min(kBlockSize, m_flushedSize - position), m_block) &&
        m_block.isEmpty())
        return false;
    m_blockStart = position;
    return true;
}

bool CResultFile::Resize(qint64 size) {
    DropBlock();
    if (!Flush() || ::ftruncate(m_descriptor, off_t(size)) != 0) {
        m_good = false;
        return false;
    }
    m_flushedSize = size;
    return true;
}

qint64 CResultFile::Append(const QByteArray& bytes) {
    const qint64 position = Size();
    m_pending.append(bytes);
    if (m_pending.size() >= kPendingLimit && !Flush())
        return -1;
    return position;
}

bool CResultFile::WriteAt(qint64 position, const QByteArray& bytes) {
    if (InBlock(position, bytes.size())) {
        std::copy(bytes.begin(), bytes.end(), m_block.begin() + (position - m_blockStart));
        m_blockDirty = true;
        return true;
    }
    if (m_blockStart >= 0 && position < m_blockStart + m_block.size() &&
        position + bytes.size() > m_blockStart)
        DropBlock();
    if (position + bytes.size() > m_flushedSize && !Flush())
        return false;
    if (!WriteFully(m_descriptor, bytes.constData(), bytes.size(), position)) {
        m_good = false;
        return false;
    }
    m_flushedSize = std::max(m_flushedSize, position + bytes.size());
    return true;
}

bool CResultFile::WriteInt64At(qint64 position, qint64 value) {
    QByteArray bytes;
    CFixedWidthFields::AppendInt64(bytes, value);
    return WriteAt(position, bytes);
}

QByteArray CResultFile::ReadAt(qint64 position, qint64 size) {
    QByteArray bytes;
    ReadAt(position, size, bytes);
    return bytes;
}

bool CResultFile::ReadAt(qint64 position, qint64 size, QByteArray& bytes) {
    bytes.resize(0);
    if (position < 0 || size <= 0)
        return false;
    if (!InBlock(position, size)) {
        if (size > kBlockSize / 2 || !LoadBlock(position) || !InBlock(position, size)) {
            // Large reads, and reads that run past the end, go to the file itself.
            DropBlock();
            if (position + size > m_flushedSize && !Flush())
                return false;
            return ReadDirect(position, size, bytes);
        }
    }
    bytes.append(m_block.constData() + (position - m_blockStart), size);
    return true;
}

qint64 CResultFile::ReadInt64At(qint64 position) {
    const QByteArray bytes = ReadAt(position, 8);
    return bytes.size() == 8 ? CFixedWidthFields::ReadInt64(bytes.constData()) : -1;
}

qint32 CResultFile::ReadInt32At(qint64 position) {
    const QByteArray bytes = ReadAt(position, 4);
    return bytes.size() == 4 ? CFixedWidthFields::ReadInt32(bytes.constData()) : -1;
}
