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
                        << QStringLiteral("a\u0001b\u007Fc\u0085d\uFFFE")
                        // Nor have those of the direction, which would turn the text around.
                        << QStringLiteral("\u202Ae\u202B\u202C\u202D\u202E\u2066\u2067\u2068\u2069"
                                          "\u200E\u200F\u061C\u05D0");
                }).isEmpty());
    EXPECT_EQ(QString::fromUtf8(Contents(path)),
              QStringLiteral("<p>&lt;a href=&#39;x&#39;&gt;&amp;&quot;&lt;/a&gt;</p>"
                             "\u00e9t\u00e9 \U0001F600\t\n"
                             "a\u2401b\u2421c\uFFFDd\uFFFD"
                             "\u2039LRE\u203Ae\u2039RLE\u203A\u2039PDF\u203A\u2039LRO\u203A"
                             "\u2039RLO\u203A\u2039LRI\u203A\u2039RLI\u203A\u2039FSI\u203A"
                             "\u2039PDI\u203A\u2039LRM\u203A\u2039RLM\u203A\u2039ALM\u203A\u05D0"));
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
