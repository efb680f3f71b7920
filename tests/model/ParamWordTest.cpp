#include "model/ParamWord.h"
#include "services/SettingsStore.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

namespace {

constexpr quint32 kAllDefined = (quint32(1) << 26) - 1;
constexpr quint32 kBit(int n) {
    return quint32(1) << n;
}

// Points the settings store at a private folder for each test.
class ParamWordStore : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_folder.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_folder.path());
    }

    QString StoreFile() const { return m_folder.filePath(QStringLiteral("Ostrinel/quorvix.conf")); }

    // Each store name is its own file, so that cases written one after the other in a test are
    // never read from the store's cache of an earlier one.
    void WriteStoreText(const QByteArray& text, const QString& name = QStringLiteral("quorvix")) {
        QDir().mkpath(m_folder.filePath(QStringLiteral("Ostrinel")));
        QFile file(m_folder.filePath(QStringLiteral("Ostrinel/%1.conf").arg(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    CParamWord Loaded(const QString& name = QStringLiteral("quorvix")) {
        const CSettingsStore store(name);
        CParamWord word(0);
        word.Load(store);
        return word;
    }

    QTemporaryDir m_folder;
};

} // namespace

TEST_F(ParamWordStore, FirstStartSetsEveryBitButCaseAndSqlTypes) {
    const CParamWord word = Loaded();
    EXPECT_EQ(word.Value(), kAllDefined & ~kBit(2) & ~kBit(24));
    EXPECT_EQ(CParamWord().Value(), word.Value());
}

TEST_F(ParamWordStore, StoreFromAProgramThatKnewFewerBitsGainsTheNewDefaults) {
    const quint32 stored = kBit(0) | kBit(2) | kBit(19) | kBit(23);
    WriteStoreText("[Params]\nValue=" + QByteArray::number(stored) + "\nMaxIndex=23\n");
    const CParamWord word = Loaded();
    EXPECT_FALSE(word.TestBit(ParamBit::CompareSqlTypes));
    EXPECT_TRUE(word.TestBit(ParamBit::StringsAlike));
    EXPECT_EQ(word.Value(), stored | kBit(25));
}

TEST_F(ParamWordStore, StoreOfThisProgramIsTakenUnchanged) {
    const quint32 stored = kBit(1) | kBit(24) | kBit(26) | kBit(27) | kBit(30);
    WriteStoreText("[Params]\nValue=" + QByteArray::number(stored) + "\nMaxIndex=27\n");
    const CParamWord word = Loaded();
    EXPECT_EQ(word.Value(), stored);
    EXPECT_FALSE(word.TestBit(ParamBit::StringsAlike));
    EXPECT_TRUE(word.TestBit(ParamBit::CompareIndexes));
    EXPECT_TRUE(word.TestBit(ParamBit::CompareAttributes));
}

// The index and attribute comparisons came after MaxIndex 25: a store of that time has them off,
// whatever its higher bits hold.
TEST_F(ParamWordStore, StoreWithMaxIndex25GetsTheIndexAndAttributeComparisonsOff) {
    const quint32 stored = kBit(1) | kBit(25) | kBit(26) | kBit(27) | kBit(30);
    WriteStoreText("[Params]\nValue=" + QByteArray::number(stored) + "\nMaxIndex=25\n");
    const CParamWord word = Loaded();
    EXPECT_FALSE(word.TestBit(ParamBit::CompareIndexes));
    EXPECT_FALSE(word.TestBit(ParamBit::CompareAttributes));
    EXPECT_EQ(word.Value(), kBit(1) | kBit(25) | kBit(30));
}

TEST_F(ParamWordStore, MissingWordReadsAsZeroAndOnlyBitsAboveMaxIndexTakeTheirDefaults) {
    WriteStoreText("[Params]\nMaxIndex=23\n", QStringLiteral("older"));
    EXPECT_EQ(Loaded(QStringLiteral("older")).Value(), kBit(25));
    WriteStoreText("[Params]\nMaxIndex=27\n", QStringLiteral("current"));
    EXPECT_EQ(Loaded(QStringLiteral("current")).Value(), 0u);
    // Neither value: a store that says nothing gives every default.
    WriteStoreText("[Params]\nOther=1\n", QStringLiteral("neither"));
    EXPECT_EQ(Loaded(QStringLiteral("neither")).Value(), CParamWord::DefaultValue());
}

TEST_F(ParamWordStore, UnreadableWordGivesTheDefaults) {
    WriteStoreText("[Params]\nValue=not a number\nMaxIndex=25\n");
    EXPECT_EQ(Loaded().Value(), CParamWord::DefaultValue());
}

TEST_F(ParamWordStore, WordOutside32BitsIsUnreadable) {
    int store = 0;
    for (const char* value : {"4294967296", "9223372036854775807", "99999999999999999999", "-1",
                              "-9223372036854775808"}) {
        const QString name = QStringLiteral("wide%1").arg(store++);
        WriteStoreText(QByteArray("[Params]\nValue=") + value + "\nMaxIndex=25\n", name);
        EXPECT_EQ(Loaded(name).Value(), CParamWord::DefaultValue()) << value;
    }
    // The widest word there is still is one.
    WriteStoreText("[Params]\nValue=4294967295\nMaxIndex=27\n");
    EXPECT_EQ(Loaded().Value(), 0xFFFFFFFFu);
}

TEST_F(ParamWordStore, MaxIndexOutsideTheWordCountsAsMissing) {
    // Every bit this program knows takes its default; the bits above them keep what was stored.
    const quint32 stored = kBit(2) | kBit(24) | kBit(30);
    const QByteArray word = "[Params]\nValue=" + QByteArray::number(stored) + "\n";
    WriteStoreText(word, QStringLiteral("missing"));
    const quint32 expected = CParamWord::DefaultValue() | kBit(30);
    EXPECT_EQ(Loaded(QStringLiteral("missing")).Value(), expected);
    int store = 0;
    for (const char* maxIndex :
         {"9223372036854775807", "-9223372036854775808", "4294967297", "32", "-2"}) {
        const QString name = QStringLiteral("index%1").arg(store++);
        WriteStoreText(word + "MaxIndex=" + maxIndex + "\n", name);
        EXPECT_EQ(Loaded(name).Value(), expected) << maxIndex;
    }
    // 31, the word's last bit, is a MaxIndex: nothing is new to such a store.
    WriteStoreText(word + "MaxIndex=31\n");
    EXPECT_EQ(Loaded().Value(), stored);
}

TEST_F(ParamWordStore, SaveWritesTheWordAndMaxIndexThatLoadReadsBack) {
    CParamWord word;
    word.SetBit(ParamBit::CaseSensitive, true);
    word.SetBit(ParamBit::StringsAlike, false);
    word.SetBit(31, true);
    {
        CSettingsStore store(QStringLiteral("quorvix"));
        word.Save(store);
        ASSERT_TRUE(store.Flush());
    }
    QSettings raw(StoreFile(), QSettings::IniFormat);
    EXPECT_EQ(raw.value(QStringLiteral("Params/MaxIndex")).toInt(), 27);
    EXPECT_EQ(raw.value(QStringLiteral("Params/Value")).toLongLong(), qint64(word.Value()));
    EXPECT_EQ(Loaded().Value(), word.Value());
}

TEST_F(ParamWordStore, ExportEncodingIsKeptBesideTheWordAndUnknownOnesReadAsLatin1) {
    CParamWord word;
    word.SetEncoding(ExportEncoding::Utf8);
    {
        CSettingsStore store(QStringLiteral("quorvix"));
        word.Save(store);
        ASSERT_TRUE(store.Flush());
    }
    QSettings raw(StoreFile(), QSettings::IniFormat);
    EXPECT_EQ(raw.value(QStringLiteral("Params/ExportEncoding")).toString(),
              QStringLiteral("utf-8"));
    EXPECT_EQ(Loaded().Encoding(), ExportEncoding::Utf8);
    WriteStoreText("[Params]\nValue=1\nMaxIndex=25\nExportEncoding=ebcdic\n",
                   QStringLiteral("odd"));
    EXPECT_EQ(Loaded(QStringLiteral("odd")).Encoding(), ExportEncoding::Latin1);
}

TEST(ParamWordBits, SetAndTestSingleBits) {
    CParamWord word(0);
    word.SetBit(ParamBit::ExportDictionaryStatus0 + 3, true);
    EXPECT_EQ(word.Value(), kBit(18));
    EXPECT_TRUE(word.TestBit(18));
    EXPECT_FALSE(word.TestBit(17));
    word.SetBit(18, false);
    EXPECT_EQ(word.Value(), 0u);
    word.SetBit(32, true);
    word.SetBit(-1, true);
    EXPECT_EQ(word.Value(), 0u);
    EXPECT_FALSE(word.TestBit(40));
}
