#include "export/ExportTarget.h"

#include "export/ExpectedFiles.h"
#include "export/Export.h"
#include "export/ExportFile.h"
#include "services/Language.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// While it lives, files of this process cannot grow past a size: a write past it fails as on a
// full disk (EFBIG, its signal ignored).
class CFileSizeLimit {
public:
    explicit CFileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        m_set = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~CFileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_savedHandler);
    }
    CFileSizeLimit(const CFileSizeLimit&) = delete;
    CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;
    bool IsSet() const { return m_set; }

private:
    rlimit m_saved{};
    void (*m_savedHandler)(int) = SIG_DFL;
    bool m_set = false;
};

// The write of an export as both front ends make it: complete or absent.
class ExportTargetTest : public ::testing::Test {
protected:
    void TearDown() override { ChooseLanguage(QStringLiteral("ENG"), {}); }
    QString Path(const char* name) const { return m_folder.filePath(QLatin1String(name)); }
    QStringList Folder() const {
        return QDir(m_folder.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    // Writes lines through WriteExportTo; the message, empty on success.
    static QString WriteLines(const QString& path, const QStringList& lines,
                              ExportEncoding encoding, bool keep = true) {
        CExportTarget target(path);
        bool dropped = false;
        return WriteExportTo(
            target, encoding,
            [&](CExportFile& file) {
                for (const QString& line : lines)
                    file.WriteString(line + QLatin1Char('\n'));
                return keep;
            },
            dropped);
    }
    QTemporaryDir m_folder;
};

TEST_F(ExportTargetTest, NothingIsVisibleUntilTheFileIsComplete) {
    const QString path = Path("out.csv");
    CExportTarget target(path);
    ASSERT_TRUE(target.Create());
    EXPECT_EQ(target.TargetKind(), CExportTarget::Kind::Replaced);
    ASSERT_EQ(::write(target.Descriptor(), "half", 4), 4);
    EXPECT_EQ(Folder(), QStringList()) << "a partial file can be seen";
    ASSERT_TRUE(target.Commit());
    EXPECT_EQ(Contents(path), "half");

    // Dropped: the file that was there stays as it was.
    CExportTarget second(path);
    ASSERT_TRUE(second.Create());
    ASSERT_EQ(::write(second.Descriptor(), "other", 5), 5);
    second.Discard();
    EXPECT_EQ(Contents(path), "half");
    EXPECT_EQ(Folder(), QStringList{QStringLiteral("out.csv")});
}

TEST_F(ExportTargetTest, FailedOrDroppedWritesLeaveNoFile) {
    const QString path = Path("euro.csv");
    const QString message =
        WriteLines(path, {QStringLiteral("=;FIRST"), QStringLiteral("<>;PRICE\u20AC;x")},
                   ExportEncoding::Latin1);
    EXPECT_EQ(message,
              QStringLiteral("Line 2 of '%1' holds \"PRICE\u20AC\", whose character U+20AC "
                             "(\u20AC) cannot be written in ISO 8859-1; the UTF-8 "
                             "encoding can write it.")
                  .arg(path));
    EXPECT_EQ(WriteLines(path, {QStringLiteral("x")}, ExportEncoding::Latin1, false), QString());
    EXPECT_EQ(Folder(), QStringList());

    // No folder, a folder as the target: the message names the file and the system's reason.
    const QString missing = Path("no/folder/out.csv");
    EXPECT_EQ(WriteLines(missing, {QStringLiteral("x")}, ExportEncoding::Latin1),
              QStringLiteral("Cannot write to %1: No such file or directory.").arg(missing));
    EXPECT_FALSE(
        WriteLines(m_folder.path(), {QStringLiteral("x")}, ExportEncoding::Latin1).isEmpty());
}

// Lines reach the file in blocks: a disk that fills at the first block, between two, or only
// with the last bytes, which go out as the file is closed, still fails the export, and leaves
// nothing at the path; a device that takes nothing fails a file of one line.
TEST_F(ExportTargetTest, FullDiskAtAnyBlockFailsTheExportAndLeavesNoFile) {
    QStringList lines;
    for (int line = 0; line < 10000; ++line)
        lines.append(QStringLiteral("<>;ITEM%1;S;10;VARC;0").arg(line, 6, 10, QLatin1Char('0')));
    const QString path = Path("full.csv");
    ASSERT_EQ(WriteLines(path, lines, ExportEncoding::Latin1), QString());
    const qint64 size = QFileInfo(path).size();
    ASSERT_GT(size, 4 * 65536) << "the export spans several blocks";
    ASSERT_TRUE(QFile::remove(path));

    for (const qint64 room : {qint64(0), qint64(100), size / 2, size - 10}) {
        SCOPED_TRACE(room);
        QString message;
        {
            const CFileSizeLimit limit{rlim_t(room)};
            ASSERT_TRUE(limit.IsSet());
            message = WriteLines(path, lines, ExportEncoding::Latin1);
        }
        // The limit stands in for a full disk; the system calls it a file too large.
        EXPECT_EQ(message, QStringLiteral("Cannot write to %1: File too large.").arg(path));
        EXPECT_EQ(Folder(), QStringList());
    }
    EXPECT_EQ(
        WriteLines(QStringLiteral("/dev/full"), {QStringLiteral("=;ONE")}, ExportEncoding::Utf8),
        QStringLiteral("Disk full while accessing /dev/full."));
}

TEST_F(ExportTargetTest, EncodingsAndTheirMessagesInBothLanguages) {
    const QString path = Path("utf8.csv");
    EXPECT_EQ(WriteLines(
                  path,
                  {QStringLiteral("=;Z\u0141OTY_\u20AC;caf\u00E9"), QStringLiteral("<;\U0001F600")},
                  ExportEncoding::Utf8),
              QString());
    EXPECT_EQ(Contents(path), QByteArray("\xEF\xBB\xBF=;Z\xC5\x81OTY_\xE2\x82\xAC;caf\xC3\xA9\r\n"
                                         "<;\xF0\x9F\x98\x80\r\n"));

    // A lone surrogate is no character in any encoding.
    ChooseLanguage(QStringLiteral("FRA"), {});
    const QString broken = QStringLiteral("=;A") + QChar(0xD800) + QStringLiteral("B");
    EXPECT_EQ(WriteLines(path, {QStringLiteral("x"), QStringLiteral("y\nz"), broken},
                         ExportEncoding::Utf8),
              QStringLiteral("La ligne 4 de « %1 » contient « A\uFFFDB », dont l'unité U+D800 "
                             "n'est pas un caractère : elle ne peut pas être écrite en UTF-8.")
                  .arg(path)
                  .replace(QChar(0xFFFD), QChar(0xD800)));
    EXPECT_EQ(Contents(path).left(3), "\xEF\xBB\xBF") << "the earlier file was replaced";
}

TEST_F(ExportTargetTest, SameFileIsTheSameInodeWhateverTheName) {
    const QString file = Path("db.sqlite");
    QFile created(file);
    ASSERT_TRUE(created.open(QIODevice::WriteOnly));
    created.close();
    ASSERT_TRUE(QFile::link(file, Path("alias")));
    EXPECT_TRUE(CExportTarget(Path("alias")).IsSameFileAs(file));
    EXPECT_TRUE(CExportTarget(Path("./db.sqlite")).IsSameFileAs(file));
    EXPECT_FALSE(CExportTarget(Path("other.csv")).IsSameFileAs(file));
    EXPECT_FALSE(CExportTarget(QString()).IsSameFileAs(file));
}

} // namespace
