#include "export/HtmlStream.h"

#include "export/ExpectedFiles.h"
#include "export/Export.h"
#include "export/ExportTarget.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A report written through WriteReportTo, as both front ends write one; the message, empty on
// success.
QString WriteReport(const QString& path, const std::function<void(CHtmlStream&)>& write) {
    CExportTarget target(path);
    bool dropped = false;
    return WriteReportTo(
        target,
        [&](CHtmlStream& out) {
            write(out);
            return true;
        },
        dropped);
}

} // namespace

TEST(HtmlStream, NamesAndValuesAreTextWhateverTheyHold) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("text.html"));
    ASSERT_TRUE(WriteReport(path, [](CHtmlStream& out) {
                    out << "<p>" << QStringLiteral("<a href='x'>&\"</a>") << "</p>"
                        << QStringLiteral("\u00e9t\u00e9 \U0001F600\t\n")
                        // Controls have no place in a document: their pictures stand for them.
                        << QStringLiteral("a\u0001b\u007Fc\u0085d\uFFFE");
                }).isEmpty());
    EXPECT_EQ(Contents(path), QByteArray("<p>&lt;a href=&#39;x&#39;&gt;&amp;&quot;&lt;/a&gt;</p>"
                                         "\xC3\xA9t\xC3\xA9 \xF0\x9F\x98\x80\t\n"
                                         "a\xE2\x90\x81"
                                         "b\xE2\x90\xA1"
                                         "c\xEF\xBF\xBD"
                                         "d\xEF\xBF\xBD"));
}

TEST(HtmlStream, LoneSurrogateOrFullDiskLeavesNoReport) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("broken.html"));
    const QString broken = QStringLiteral("NAME") + QChar(0xD800);
    const QString message = WriteReport(path, [&](CHtmlStream& out) {
        // Past the buffer, so that part of the report has reached the file already.
        for (int line = 0; line < 10000; ++line)
            out << "<p>" << QStringLiteral("filler text") << "</p>\n";
        out << broken;
    });
    EXPECT_EQ(message, QStringLiteral("Line 10001 of '%1' holds \"%2\", whose code unit U+D800 is "
                                      "not a character: it cannot be written in UTF-8.")
                           .arg(path, broken));
    EXPECT_TRUE(
        QDir(folder.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));

    EXPECT_EQ(WriteReport(QStringLiteral("/dev/full"),
                          [](CHtmlStream& out) { out << "<p>" << QStringLiteral("x"); }),
              QStringLiteral("Disk full while accessing /dev/full."));
}
