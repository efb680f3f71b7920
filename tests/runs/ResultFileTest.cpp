#include "runs/ResultFile.h"

#include "runs/OpenFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class ResultFileFolder : public ::testing::Test {
protected:
    void SetUp() override {
        m_saved = qgetenv("TMP");
        qputenv("TMP", QFile::encodeName(m_folder.path()));
    }
    void TearDown() override { qputenv("TMP", m_saved); }

    QTemporaryDir m_folder;
    QByteArray m_saved;
};

QByteArray Bytes(qsizetype size, char fill) {
    return QByteArray(size, fill);
}

} // namespace

TEST_F(ResultFileFolder, PrivateFileWithItsPrefixGoneFromTheFolderAtOnce) {
    const auto table = CResultFile::Create(CResultFile::TableResult);
    const auto dictionary = CResultFile::Create(CResultFile::DictionaryResult);
    ASSERT_NE(table, nullptr);
    ASSERT_NE(dictionary, nullptr);
    const QString path = table->Path();
    EXPECT_EQ(QFileInfo(path).dir().path(), m_folder.path());
    EXPECT_TRUE(QFileInfo(path).fileName().startsWith(QStringLiteral("BFDB")));
    EXPECT_TRUE(QFileInfo(dictionary->Path()).fileName().startsWith(QStringLiteral("BFDD")));
    // Nothing is left in the folder for a killed program to leave behind, yet the file works.
    EXPECT_TRUE(QDir(m_folder.path()).isEmpty());
    ASSERT_GE(table->Append(QByteArray(100000, 'x')), 0);
    EXPECT_EQ(table->ReadAt(99990, 10), QByteArray(10, 'x'));
    // Nobody else may read the results.
    const QStringList descriptors = OpenDescriptorsIn(m_folder.path(), QStringLiteral("BFDB"));
    ASSERT_EQ(descriptors.size(), 1);
    EXPECT_EQ(QFile::permissions(descriptors.front()),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
}

TEST_F(ResultFileFolder, AKilledProgramLeavesNoFileBehind) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const auto file = CResultFile::Create(CResultFile::DictionaryResult, 0);
        if (file && file->Append(QByteArray(1 << 20, 'x')) >= 0 && file->Flush())
            ::raise(SIGKILL);
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child could not write its result file";
    EXPECT_TRUE(QDir(m_folder.path()).isEmpty());
}

TEST_F(ResultFileFolder, MissingTmpFolderFallsBackToSlashTmp) {
    qputenv("TMP", "/no/such/folder");
    EXPECT_EQ(CResultFile::Folder(), QStringLiteral("/tmp"));
}

TEST_F(ResultFileFolder, ReadsSeeEveryWriteWhateverMixOfAppendsAndRewrites) {
    // The file gathers appends and keeps a block in memory: check it against a plain model.
    const auto file = CResultFile::Create(CResultFile::TableResult);
    ASSERT_NE(file, nullptr);
    QByteArray model;
    ASSERT_TRUE(file->Resize(1000));
    model.resize(1000, '\0');
    QRandomGenerator random(17);
    for (int step = 0; step < 5000; ++step) {
        const int operation = random.bounded(4);
        if (operation == 0) {
            const QByteArray bytes = Bytes(random.bounded(1, 3000), char('a' + step % 26));
            ASSERT_EQ(file->Append(bytes), model.size());
            model.append(bytes);
        } else if (operation == 1 && model.size() > 10) {
            const qint64 size = random.bounded(1, 200);
            const qint64 position = random.bounded(qint64(model.size()) - 1);
            const QByteArray bytes = Bytes(size, char('A' + step % 26));
            ASSERT_TRUE(file->WriteAt(position, bytes));
            if (position + size > model.size())
                model.resize(position + size);
            model.replace(position, size, bytes);
        } else {
            const qint64 position = random.bounded(qint64(model.size()));
            const qint64 size = random.bounded(1, operation == 2 ? 100 : 70000);
            ASSERT_EQ(file->ReadAt(position, size), model.mid(position, size)) << step;
        }
        ASSERT_EQ(file->Size(), model.size());
    }
    ASSERT_TRUE(file->Flush());
    const QStringList descriptors = OpenDescriptorsIn(m_folder.path(), QStringLiteral("BFDB"));
    ASSERT_EQ(descriptors.size(), 1);
    QFile disk(descriptors.front());
    ASSERT_TRUE(disk.open(QIODevice::ReadOnly));
    EXPECT_EQ(disk.readAll(), model);
}

namespace {

// Bytes that this process has read through read calls so far.
qint64 BytesReadByThisProcess() {
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : io.readAll().split('\n')) {
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    }
    return -1;
}

} // namespace

TEST_F(ResultFileFolder, ReadsTakingTurnsInThreeStretchesLoadEachStretchOnce) {
    // A dictionary list reads an index entry, then a left record or a right-only one, item after
    // item: no stretch may push another one's block out.
    const auto file = CResultFile::Create(CResultFile::DictionaryResult);
    ASSERT_NE(file, nullptr);
    QByteArray model;
    for (const char fill : {'i', 'l', 'r'})
        model.append(Bytes(300000, fill));
    for (qsizetype at = 0; at < model.size(); at += 7)
        model[at] = char(at / 7);
    ASSERT_EQ(file->Append(model), 0);
    ASSERT_TRUE(file->Flush());

    const qint64 before = BytesReadByThisProcess();
    ASSERT_GE(before, 0);
    for (qint64 item = 0; item < 1000; ++item) {
        const qint64 entry = item * 28;
        const qint64 record = (item % 10 == 3 ? 600000 : 300000) + item * 44;
        ASSERT_EQ(file->ReadAt(entry, 28), model.mid(entry, 28)) << item;
        ASSERT_EQ(file->ReadAt(record, 44), model.mid(record, 44)) << item;
    }
    // Three blocks of 64 KB, against one block per read when they evict each other.
    EXPECT_LT(BytesReadByThisProcess() - before, 4 * 64 * 1024);
}
