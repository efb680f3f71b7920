#include "export/ExportFile.h"
#include "export/Export.h"

#include "services/Language.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ExportFileTest : public ::testing::Test {
protected:
    void TearDown() override { ChooseLanguage(QStringLiteral("ENG"), {}); }
    QString Path() const { return m_folder.filePath(QStringLiteral("out.csv")); }
    QTemporaryDir m_folder;
};

} // namespace

TEST_F(ExportFileTest, OneBytePerCharacterAndCrLfLineEnds) {
    CExportFile file;
    ASSERT_TRUE(file.Open(Path()));
    file.WriteString(QStringLiteral("<>;caf\u00E9;a;b\n"));
    file.WriteString(QStringLiteral("\n\n"));
    file.Close();
    EXPECT_EQ(Contents(Path()), QByteArray("<>;caf\xE9;a;b\r\n\r\n\r\n"));
}

// The file layer writes nothing of a line it cannot encode; the target then drops the file.
TEST_F(ExportFileTest, CharacterAboveByteRangeStopsAtItsLine) {
    CExportFile file;
    ASSERT_TRUE(file.Open(Path()));
    file.WriteString(QStringLiteral("=;FIRST\n"));
    try {
        file.WriteString(QStringLiteral("=;PRICE\u20AC\n"));
        FAIL() << "no error for a character the byte encoding cannot hold";
    } catch (const CExportError& error) {
        EXPECT_TRUE(error.Message().startsWith(
            QStringLiteral("Line 2 of '%1' holds \"PRICE\u20AC\"").arg(Path())))
            << error.Message().toStdString();
    }
    file.Close();
    EXPECT_EQ(Contents(Path()), QByteArray("=;FIRST\r\n"));
}

// The leading text keeps CR LF line ends; a field holding ";", a double quote, CR or LF is quoted
// and written as it is, in either encoding; the line counts stay those of the file.
TEST_F(ExportFileTest, LineFieldsAreQuotedOnlyWhereTheyMustBeAndKeepTheirLineEnds) {
    for (const ExportEncoding encoding : {ExportEncoding::Latin1, ExportEncoding::Utf8}) {
        CExportFile file;
        ASSERT_TRUE(file.Open(Path(), encoding));
        file.WriteLine(QStringLiteral("a\nb"),
                       {QStringLiteral("p;q"), QStringLiteral("r\"s"), QStringLiteral("t\nu"),
                        QStringLiteral("v\rw"), QStringLiteral("caf\u00E9"), QString()});
        file.WriteLine(QStringLiteral("=;x"), {});
        try {
            file.WriteLine(QStringLiteral("=;y"), {QStringLiteral("z\u0141")});
            EXPECT_EQ(encoding, ExportEncoding::Utf8) << "Latin-1 cannot hold U+0141";
        } catch (const CExportError& error) {
            EXPECT_TRUE(error.Message().startsWith(QStringLiteral("Line 5 of"))) << error.Message();
        }
        file.Close();
        const QByteArray lines = "a\r\nb;\"p;q\";\"r\"\"s\";\"t\nu\";\"v\rw\";caf\xE9;\r\n=;x\r\n";
        if (encoding == ExportEncoding::Latin1)
            EXPECT_EQ(Contents(Path()), lines);
        else
            EXPECT_EQ(Contents(Path()),
                      "\xEF\xBB\xBF" + QString::fromLatin1(lines).toUtf8() + "=;y;z\xC5\x81\r\n");
    }
}

TEST_F(ExportFileTest, LegendInBothLanguages) {
    ChooseLanguage(QStringLiteral("ENG"), {});
    {
        CExportFile file;
        ASSERT_TRUE(file.Open(Path()));
        WriteExportLegend(file, QStringLiteral("LEFTDB"), QStringLiteral("RIGHTDB"));
    }
    EXPECT_EQ(Contents(Path()), QByteArray("=;same\r\n>;only in LEFTDB\r\n<;only in RIGHTDB\r\n"
                                           "<>;different\r\n\r\n\r\n\r\n"));
    ChooseLanguage(QStringLiteral("FRA"), {});
    {
        CExportFile file;
        ASSERT_TRUE(file.Open(Path()));
        WriteExportLegend(file, QStringLiteral("LEFTDB (s1)"), QStringLiteral("RIGHTDB"));
    }
    EXPECT_EQ(Contents(Path()), QByteArray("=;identique\r\n>;uniquement dans LEFTDB (s1)\r\n"
                                           "<;uniquement dans RIGHTDB\r\n<>;diff\xE9rent\r\n"
                                           "\r\n\r\n\r\n"));
}

TEST(ExportNames, SymbolsAndProposedPaths) {
    EXPECT_EQ(StatusSymbol(0), QStringLiteral("="));
    EXPECT_EQ(StatusSymbol(1), QStringLiteral(">"));
    EXPECT_EQ(StatusSymbol(2), QStringLiteral("<"));
    EXPECT_EQ(StatusSymbol(3), QStringLiteral("<>"));
    EXPECT_EQ(StatusSymbol(4), QString());
    EXPECT_EQ(ProposedExportPath(QStringLiteral("/home/u.v/Documents"),
                                 QStringLiteral("LEFTDB / RIGHTDB"), QStringLiteral("csv")),
              QStringLiteral("/home/u.v/Documents/LEFTDB - RIGHTDB.csv"));
    EXPECT_EQ(ProposedExportPath(QStringLiteral("/d/"), QStringLiteral("DB.SCHEMA/T1"),
                                 QStringLiteral("csv")),
              QStringLiteral("/d/DB_SCHEMA-T1.csv"));
    EXPECT_EQ(WithDefaultExtension(QStringLiteral("/d/report"), QStringLiteral("csv")),
              QStringLiteral("/d/report.csv"));
    EXPECT_EQ(WithDefaultExtension(QStringLiteral("/d/report.txt"), QStringLiteral("csv")),
              QStringLiteral("/d/report.txt"));
}

TEST(ExportFileOpen, FolderThatDoesNotExistCannotBeOpened) {
    CExportFile file;
    EXPECT_FALSE(file.Open(QStringLiteral("/no/such/folder/out.csv")));
}
