#include "runs/ResultFile.h"

#include "model/FixedWidthFields.h"
#include "services/Utilities.h"

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

} // namespace

QString CResultFile::Folder() {
    return TemporaryFolder();
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
    for (Block& block : m_blocks)
        FlushBlock(block);
    if (!m_good)
        return false;
    if (m_pending.isEmpty())
        return true;
    if (!WriteFullyAt(m_descriptor, m_pending.constData(), m_pending.size(), m_flushedSize))
        m_good = false;
    m_flushedSize += m_pending.size();
    m_pending.resize(0); // keeps its capacity for the next writes
    return m_good;
}

CResultFile::Block* CResultFile::FindBlock(qint64 position, qint64 size) {
    for (Block& block : m_blocks) {
        if (block.start >= 0 && position >= block.start &&
            position + size <= block.start + block.bytes.size()) {
            block.lastUse = ++m_uses;
            return &block;
        }
    }
    return nullptr;
}

bool CResultFile::FlushBlock(Block& block) {
    if (block.dirty &&
        !WriteFullyAt(m_descriptor, block.bytes.constData(), block.bytes.size(), block.start))
        m_good = false;
    block.dirty = false;
    return m_good;
}

void CResultFile::DropBlock(Block& block) {
    FlushBlock(block);
    block.start = -1;
    block.bytes.clear();
}

void CResultFile::DropBlocks() {
    for (Block& block : m_blocks)
        DropBlock(block);
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

CResultFile::Block* CResultFile::LoadBlock(qint64 position) {
    // The least recently used block makes room; no byte may live in two blocks, or a rewrite
    // through one would leave the other stale.
    Block* victim = &m_blocks.front();
    for (Block& block : m_blocks) {
        if (block.start >= 0 && block.start < position + kBlockSize &&
            position < block.start + block.bytes.size())
            DropBlock(block);
        if (block.start < 0 || (victim->start >= 0 && block.lastUse < victim->lastUse))
            victim = &block;
    }
    DropBlock(*victim);
    // Pending writes at the end must be in the file before a block can cover them.
    if (position + kBlockSize > m_flushedSize && !Flush())
        return nullptr;
    if (position >= m_flushedSize)
        return nullptr;
    if (!ReadDirect(position, std::min(kBlockSize, m_flushedSize - position), victim->bytes) &&
        victim->bytes.isEmpty())
        return nullptr;
    victim->start = position;
    victim->lastUse = ++m_uses;
    return victim;
}

bool CResultFile::Resize(qint64 size) {
    DropBlocks();
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
    if (Block* block = FindBlock(position, bytes.size())) {
        std::copy(bytes.begin(), bytes.end(), block->bytes.begin() + (position - block->start));
        block->dirty = true;
        return true;
    }
    for (Block& block : m_blocks) {
        if (block.start >= 0 && position < block.start + block.bytes.size() &&
            position + bytes.size() > block.start)
            DropBlock(block);
    }
    if (position + bytes.size() > m_flushedSize && !Flush())
        return false;
    if (!WriteFullyAt(m_descriptor, bytes.constData(), bytes.size(), position)) {
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
    const Block* block = FindBlock(position, size);
    if (!block && size <= kBlockSize / 2 && LoadBlock(position))
        block = FindBlock(position, size);
    if (!block) {
        // Large reads, and reads that run past the end, go to the file itself.
        DropBlocks();
        if (position + size > m_flushedSize && !Flush())
            return false;
        return ReadDirect(position, size, bytes);
    }
    bytes.append(block->bytes.constData() + (position - block->start), size);
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
