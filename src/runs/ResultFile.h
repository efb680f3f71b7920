#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <memory>

// A temporary binary file that holds one comparison result, private to this run of the program.
// Created in $TMP (else /tmp, else the current folder) with a unique name that begins with
// "BFDB" (table results) or "BFDD" (data-dictionary results), mode 0600, and unlinked at once:
// only its descriptor lives on, so it is gone when the object goes or the program dies. Writes at
// the end are gathered in memory and reach the file before any read. Used by one thread at a time.
class CResultFile {
public:
    enum class Kind { TableResult = 0, DictionaryResult = 1 };
    // The kinds as callers name them: CResultFile::TableResult.
    static constexpr Kind TableResult = Kind::TableResult;
    static constexpr Kind DictionaryResult = Kind::DictionaryResult;

    // Keeps trying for timeoutMs when the file cannot be created; nullptr after that.
    static std::unique_ptr<CResultFile> Create(Kind kind, int timeoutMs = 10000);
    static QString Folder();
    static QString Prefix(Kind kind);

    ~CResultFile();
    CResultFile(const CResultFile&) = delete;
    CResultFile& operator=(const CResultFile&) = delete;

    // The name the file was created under; no longer in the folder.
    QString Path() const { return m_path; }
    // Length of the file including what is still gathered for writing.
    qint64 Size() const { return m_flushedSize + m_pending.size(); }

    // Extends the file with zeros (or cuts it) to size bytes.
    bool Resize(qint64 size);
    // Writes bytes at the end and gives their position, or -1.
    qint64 Append(const QByteArray& bytes);
    bool WriteAt(qint64 position, const QByteArray& bytes);
    bool WriteInt64At(qint64 position, qint64 value);
    // size bytes from position; fewer when the file ends before (an empty array on error).
    QByteArray ReadAt(qint64 position, qint64 size);
    // The same into a buffer that the caller keeps, so that a run of reads allocates nothing;
    // false when fewer than size bytes could be read.
    bool ReadAt(qint64 position, qint64 size, QByteArray& bytes);
    qint64 ReadInt64At(qint64 position);
    qint32 ReadInt32At(qint64 position);
    bool Flush();

    // False once a write has failed: the result in the file is then incomplete.
    bool IsGood() const { return m_good; }

private:
    // One stretch of the written file kept in memory.
    struct Block {
        QByteArray bytes;
        qint64 start = -1;
        bool dirty = false;
        quint64 lastUse = 0;
    };

    CResultFile(int descriptor, QString path);
    Block* FindBlock(qint64 position, qint64 size);
    Block* LoadBlock(qint64 position);
    bool FlushBlock(Block& block);
    void DropBlock(Block& block);
    void DropBlocks();
    bool ReadDirect(qint64 position, qint64 size, QByteArray& bytes);

    int m_descriptor;
    QString m_path;
    qint64 m_flushedSize = 0;
    QByteArray m_pending;
    // Blocks of the written file kept in memory: reads and in-place rewrites of neighbouring
    // records (a list being painted, a dictionary run merging its items in order) touch the
    // file once per block rather than once per record. A dictionary item is read from three
    // places in turn, its index entry, the left records and the right-only records, so each
    // keeps its own block instead of evicting the others at every item.
    std::array<Block, 3> m_blocks;
    quint64 m_uses = 0;
    bool m_good = true;
};
