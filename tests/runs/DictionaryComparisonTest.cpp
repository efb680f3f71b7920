#include "model/FixedWidthFields.h"
#include "odbc/OdbcTestEnvironment.h"
#include "runs/ComparisonTestBase.h"
#include "services/Language.h"

#include <QFile>

namespace {

const char* const kTable = R"sql(
CREATE TABLE F9210 (FRDTAI VARCHAR(12), FRDTAT VARCHAR(2), FRDTAS INTEGER, FROWTP VARCHAR(4),
                    FRDTAD SMALLINT, FRCDEC VARCHAR(1));
INSERT INTO F9210 VALUES ('DTAI', 'S', 10, 'VARC', 0, '0'), ('DTAT', 'S', 2, 'VARC', 0, '0'),
    ('OWTP', 'S', 4, 'VARC', 0, '0'), ('CDEC', 'S', 1, 'VARC', 0, '0');
)sql";

// Each D19..D23 differs in the one value of its bit; TRAIL differs by trailing blanks only.
const char* const kLeftRows = R"sql(
INSERT INTO F9210 VALUES ('ABC', 'S', 3, 'VARC', 0, '0'), ('SAME', 'N', 8, 'NUMB', 2, '2'),
    ('TRAIL', 'S ', 5, 'VARC  ', 0, '0'), ('D19', 'S', 5, 'VARC', 0, '0'),
    ('D20', 'S', 5, 'VARC', 0, '0'), ('D21', 'S', 5, 'VARC', 0, '0'),
    ('D22', 'S', 5, 'VARC', 0, '0'), ('D23', 'S', 5, 'VARC', 0, '0'),
    ('LEFTONLY', 'S', 5, 'VARC', 0, '0'), ('DUP', 'S', 5, 'VARC', 0, '0'),
    ('DUP', 'X', 9, 'XXXX', 9, '9');
)sql";

const char* const kRightRows = R"sql(
INSERT INTO F9210 VALUES ('abc', 'S', 3, 'VARC', 0, '0'), ('SAME', 'N', 8, 'NUMB', 2, '2'),
    ('TRAIL', 'S', 5, 'VARC', 0, '0'), ('D19', 'A', 5, 'VARC', 0, '0'),
    ('D20', 'S', 6, 'VARC', 0, '0'), ('D21', 'S', 5, 'CHAR', 0, '0'),
    ('D22', 'S', 5, 'VARC', 1, '0'), ('D23', 'S', 5, 'VARC', 0, '1'),
    ('RIGHTONLY', 'S', 5, 'VARC', 0, '0'), ('DUP', 'S', 5, 'VARC', 0, '0'),
    ('AAFIRST', 'S', 5, 'VARC', 0, '0');
)sql";

// Keys whose FRDTAI order differs from the comparison's: under a collation that ignores case,
// after trailing blanks are cut (U+00A0), and with a character beyond U+FFFF, which a database
// sorts above U+FF21 and UTF-16 below it.
const char* const kLeftDisorder = R"sql(
INSERT INTO F9210 VALUES ('b', 'S', 5, 'VARC', 0, '0'), ('A' || char(160), 'S', 5, 'VARC', 0, '0'),
    (char(65313), 'S', 5, 'VARC', 0, '0'), (char(128512), 'S', 5, 'VARC', 0, '0');
)sql";
const char* const kRightDisorder = R"sql(
INSERT INTO F9210 VALUES ('a', 'S', 5, 'VARC', 0, '0'), ('B', 'S', 5, 'VARC', 0, '0'),
    ('Z' || char(160), 'S', 5, 'VARC', 0, '0'), (char(128512), 'S', 5, 'VARC', 0, '0');
)sql";

constexpr int kShortItems = 2000;

class DictionaryComparison : public ComparisonTestBase {
protected:
    static void SetUpTestSuite() {
        COdbcTestEnvironment::AddSqliteDataSource(QStringLiteral("DictLeft"),
                                                  QLatin1String(kTable) + QLatin1String(kLeftRows));
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("DictRight"), QLatin1String(kTable) + QLatin1String(kRightRows));
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("DictHugeSizes"),
            QStringLiteral(
                "CREATE TABLE F9210 (FRDTAI VARCHAR(10), FRDTAT VARCHAR(2), FRDTAS "
                "INTEGER, FROWTP VARCHAR(4), FRDTAD SMALLINT, FRCDEC VARCHAR(1));"
                "INSERT INTO F9210 VALUES ('DTAI', 'S', 2147483647, 'VARC', 0, '0'),"
                "('DTAT', 'S', 100000000, 'VARC', 0, '0'), ('AB', 'S', 1, 'X', 0, '0');"));
        // Sizes beyond 32 bits, which wrapped: 4294967296 and 8589934592 both read as 0.
        const QString bigSizes = QStringLiteral(
            "CREATE TABLE F9210 (FRDTAI VARCHAR(10), FRDTAT VARCHAR(2), FRDTAS BIGINT, "
            "FROWTP VARCHAR(4), FRDTAD SMALLINT, FRCDEC VARCHAR(1));"
            "INSERT INTO F9210 VALUES ('DTAI', 'S', 4294967298, 'VARC', 0, '0'),"
            "('EQUAL', 'S', 8589934593, 'X', 0, '0'),");
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("DictBigLeft"),
            bigSizes + QStringLiteral("('BIG', 'S', 4294967296, 'X', 0, '0');"));
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("DictBigRight"),
            bigSizes + QStringLiteral("('BIG', 'S', 8589934592, 'X', 0, '0');"));
        // Two thousand short items and a few long texts under implausible declared sizes: a
        // long key, and item types that differ only past their first forty characters, that
        // are the same, or that are long on one side and forty characters on the other.
        const QString longDictionary = QStringLiteral(
            "CREATE TABLE F9210 (FRDTAI VARCHAR(10), FRDTAT VARCHAR(2), FRDTAS INTEGER, "
            "FROWTP VARCHAR(4), FRDTAD SMALLINT, FRCDEC VARCHAR(1));"
            "INSERT INTO F9210 VALUES ('DTAI', 'S', 100000, 'VARC', 0, '0'),"
            "('DTAT', 'S', 100000, 'VARC', 0, '0');"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
            "INSERT INTO F9210 SELECT printf('K%05d', i), 'S', 1, 'VARC', 0, '0' FROM n;"
            "INSERT INTO F9210 VALUES ('Q' || hex(zeroblob(1500)), 'S', 1, 'VARC', 0, '0'),"
            "('TAIL', 'T' || hex(zeroblob(1500)) || '%2', 1, 'VARC', 0, '0'),"
            "('WHOLE', 'W' || hex(zeroblob(1500)), 1, 'VARC', 0, '0'),"
            "('ONESIDE', %3, 1, 'VARC', 0, '0');");
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("DictLongLeft"),
            longDictionary.arg(kShortItems)
                .arg(QStringLiteral("A"), QStringLiteral("'O' || hex(zeroblob(1500))")));
        COdbcTestEnvironment::AddSqliteDataSource(
            QStringLiteral("DictLongRight"),
            longDictionary.arg(kShortItems)
                .arg(QStringLiteral("B"),
                     QStringLiteral("substr('O' || hex(zeroblob(20)), 1, 40)")));
        // The same rows and more, read in two orders: by code point, and with case ignored.
        for (const bool caseIgnored : {false, true}) {
            QString table = QLatin1String(kTable);
            if (caseIgnored)
                table.replace(QStringLiteral("VARCHAR(12)"),
                              QStringLiteral("VARCHAR(12) COLLATE NOCASE"));
            const QString suffix = caseIgnored ? QStringLiteral("NoCase") : QString();
            COdbcTestEnvironment::AddSqliteDataSource(QStringLiteral("DictDisorderLeft") + suffix,
                                                      table + QLatin1String(kLeftRows) +
                                                          QLatin1String(kLeftDisorder));
            COdbcTestEnvironment::AddSqliteDataSource(QStringLiteral("DictDisorderRight") + suffix,
                                                      table + QLatin1String(kRightRows) +
                                                          QLatin1String(kRightDisorder));
        }
        COdbcTestEnvironment::AddSqliteDataSource(QStringLiteral("DictNoKeySize"),
                                                  QStringLiteral("CREATE TABLE F9210 (FRDTAI "
                                                                 "VARCHAR(10), FRDTAS INTEGER);"));
    }

    void OpenPair() {
        OpenSide(m_left, QStringLiteral("DictLeft"));
        OpenSide(m_right, QStringLiteral("DictRight"));
    }

    qint32 StatusOf(const QString& key) {
        const int entry = m_results.FindDictionaryKey(key);
        EXPECT_GE(entry, 0) << key;
        return m_results.GetDictionaryItemStatus(entry);
    }

    QByteArray FileBytes() const { return ResultFileBytes(QStringLiteral("BFDD")); }
};

} // namespace

TEST_F(DictionaryComparison, ItemsAreMatchedCaseSensitivelyAndJudgedOnTheirValues) {
    OpenPair();
    m_params.SetBit(ParamBit::CaseSensitive, false); // has no say over data-dictionary items
    ASSERT_TRUE(m_results.RunDictionaryComparison(m_progress));
    EXPECT_EQ(m_results.KeyWidth(), 10);
    EXPECT_EQ(StatusOf(QStringLiteral("ABC")), CompareStatus::OnlyLeft);
    EXPECT_EQ(StatusOf(QStringLiteral("abc")), CompareStatus::OnlyRight);
    EXPECT_EQ(StatusOf(QStringLiteral("SAME")), CompareStatus::Same);
    EXPECT_EQ(StatusOf(QStringLiteral("TRAIL")), CompareStatus::Same);
    for (const char* key : {"D19", "D20", "D21", "D22", "D23"})
        EXPECT_EQ(StatusOf(QLatin1String(key)), CompareStatus::Different) << key;
    EXPECT_EQ(StatusOf(QStringLiteral("LEFTONLY")), CompareStatus::OnlyLeft);
    EXPECT_EQ(StatusOf(QStringLiteral("RIGHTONLY")), CompareStatus::OnlyRight);
    EXPECT_EQ(m_results.FindDictionaryKey(QStringLiteral("NOPE")), -1);

    const auto d21 = m_results.ReadDictionaryItem(m_results.FindDictionaryKey("D21"));
    ASSERT_NE(d21, nullptr);
    EXPECT_EQ(d21->key, QStringLiteral("D21"));
    EXPECT_EQ(d21->dataType, (std::array<QString, 2>{"VARC", "CHAR"}));
}

TEST_F(DictionaryComparison, EachValueBitDecidesAlone) {
    OpenPair();
    for (int value = 0; value < 5; ++value) {
        m_params = CParamWord();
        m_params.SetBit(ParamBit::CompareValue0 + value, false);
        ASSERT_TRUE(m_results.RunDictionaryComparison(m_progress));
        for (int other = 0; other < 5; ++other) {
            const QString key = QStringLiteral("D%1").arg(19 + other);
            EXPECT_EQ(StatusOf(key),
                      other == value ? CompareStatus::Same : CompareStatus::Different)
                << "bit " << 19 + value << " off, item " << key;
        }
    }
}

TEST_F(DictionaryComparison, DuplicateKeysMakeOneRecordAndCountersMatchTheRecords) {
    OpenPair();
    ASSERT_TRUE(m_results.RunDictionaryComparison(m_progress));
    const QStringList keys{"AAFIRST", "ABC",       "CDEC", "D19",   "D20", "D21",
                           "D22",     "D23",       "DTAI", "DTAT",  "DUP", "LEFTONLY",
                           "OWTP",    "RIGHTONLY", "SAME", "TRAIL", "abc"};
    ASSERT_EQ(m_results.KeyCount(), keys.size());
    CComparisonResults::Counters counted{};
    for (int i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(m_results.ReadDictionaryKey(i), keys[i]);
        const qint32 status = m_results.GetDictionaryItemStatus(i);
        ASSERT_GE(status, 0) << keys[i]; // every entry has its record
        ++counted[status];
    }
    EXPECT_EQ(m_results.DictionaryCounters(), counted);
    EXPECT_EQ(m_results.DictionaryCounters(), (CComparisonResults::Counters{7, 2, 3, 5}));
    // The first left row of a duplicated key is the one compared.
    EXPECT_EQ(StatusOf(QStringLiteral("DUP")), CompareStatus::Same);
    // Progress: the range is every row of both sides, then one step per row.
    EXPECT_EQ(m_results.RowCount(), 30);
    EXPECT_EQ(m_progress.progress.front(), 30);
    EXPECT_EQ(m_progress.progress.size(), 31u);
    EXPECT_TRUE(m_progress.items.isEmpty());
}

// The keys are merged in the order the sides give them; a side whose order is not the
// comparison's makes the same list, each key once, whichever side it is.
TEST_F(DictionaryComparison, KeysInAnotherOrderThanTheComparisonsMakeTheSameList) {
    const QString emoji = QString::fromUcs4(U"\U0001F600");
    const QString fullWidthA = QString(QChar(0xFF21));
    const QList<std::pair<QString, qint32>> expected{
        {"A", CompareStatus::OnlyLeft},    {"AAFIRST", CompareStatus::OnlyRight},
        {"ABC", CompareStatus::OnlyLeft},  {"B", CompareStatus::OnlyRight},
        {"CDEC", CompareStatus::Same},     {"D19", CompareStatus::Different},
        {"D20", CompareStatus::Different}, {"D21", CompareStatus::Different},
        {"D22", CompareStatus::Different}, {"D23", CompareStatus::Different},
        {"DTAI", CompareStatus::Same},     {"DTAT", CompareStatus::Same},
        {"DUP", CompareStatus::Same},      {"LEFTONLY", CompareStatus::OnlyLeft},
        {"OWTP", CompareStatus::Same},     {"RIGHTONLY", CompareStatus::OnlyRight},
        {"SAME", CompareStatus::Same},     {"TRAIL", CompareStatus::Same},
        {"Z", CompareStatus::OnlyRight},   {"a", CompareStatus::OnlyRight},
        {"abc", CompareStatus::OnlyRight}, {"b", CompareStatus::OnlyLeft},
        {emoji, CompareStatus::Same},      {fullWidthA, CompareStatus::OnlyLeft}};
    for (const auto& [left, right] : {std::pair{"", ""}, std::pair{"NoCase", "NoCase"},
                                      std::pair{"NoCase", ""}, std::pair{"", "NoCase"}}) {
        SCOPED_TRACE(std::string("left ") + left + ", right " + right);
        OpenSide(m_left, QStringLiteral("DictDisorderLeft") + QLatin1String(left));
        OpenSide(m_right, QStringLiteral("DictDisorderRight") + QLatin1String(right));
        ASSERT_TRUE(m_results.RunDictionaryComparison(m_progress));
        QList<std::pair<QString, qint32>> entries;
        for (int entry = 0; entry < m_results.KeyCount(); ++entry)
            entries.append(
                {m_results.ReadDictionaryKey(entry), m_results.GetDictionaryItemStatus(entry)});
        EXPECT_EQ(entries, expected);
        EXPECT_EQ(m_results.DictionaryCounters(), (CComparisonResults::Counters{8, 5, 6, 5}));
        EXPECT_EQ(m_results.FindDictionaryKey(emoji), 22);
    }
}

TEST_F(DictionaryComparison, FileHoldsTheIndexThenLeftRecordsThenRightOnlyOnes) {
    OpenPair();
    ASSERT_TRUE(m_results.RunDictionaryComparison(m_progress));
    const QByteArray bytes = FileBytes();
    const int entrySize = 2 * 10 + 8;
    const qint64 recordSize = CAliasCompareInfo::RecordSize({2, 4, 1});
    EXPECT_EQ(recordSize, 4 * (2 + 4 + 1) + 24);
    const int keys = m_results.KeyCount();
    ASSERT_EQ(bytes.size(), keys * entrySize + keys * recordSize);

    // Left records in the reader's (ascending) order, then right-only ones in right order.
    const QStringList leftOrder{"ABC",  "CDEC", "D19", "D20",      "D21",  "D22",  "D23",
                                "DTAI", "DTAT", "DUP", "LEFTONLY", "OWTP", "SAME", "TRAIL"};
    const QStringList rightOnlyOrder{"AAFIRST", "RIGHTONLY", "abc"};
    const QStringList recordOrder = leftOrder + rightOnlyOrder;
    for (int i = 0; i < keys; ++i) {
        const QString key = CFixedWidthFields::ReadText(bytes.constData() + i * entrySize, 10);
        const qint64 position =
            CFixedWidthFields::ReadInt64(bytes.constData() + i * entrySize + 20);
        EXPECT_EQ(position, keys * entrySize + recordOrder.indexOf(key) * recordSize) << key;
    }
}

TEST_F(DictionaryComparison, CancelInEitherPassLeavesNoFile) {
    OpenPair();
    for (const int cancelAt : {1, 5, 25, 31, 40}) {
        CFakeProgress progress;
        progress.cancelAtQuery = cancelAt;
        EXPECT_FALSE(m_results.RunDictionaryComparison(progress)) << cancelAt;
        EXPECT_FALSE(m_results.HasResult(CResultFile::DictionaryResult)) << cancelAt;
        EXPECT_EQ(LeftoverFiles(QStringLiteral("BFDD")), 0) << cancelAt;
    }
}

TEST_F(DictionaryComparison, NoKeySizeOnEitherSideComparesNothing) {
    OpenSide(m_left, QStringLiteral("DictNoKeySize"));
    OpenSide(m_right, QStringLiteral("DictNoKeySize"));
    ASSERT_EQ(m_left.DataDictionaryTable(), QStringLiteral("F9210")); // but no item DTAI
    EXPECT_FALSE(m_results.RunDictionaryComparison(m_progress));
    EXPECT_EQ(m_progress.queries, 0);
    EXPECT_EQ(LeftoverFiles(QStringLiteral("BFDD")), 0);
}

TEST_F(DictionaryComparison, NoKeySizeOnEitherSideSaysWhatIsMissingWhere) {
    OpenSide(m_left, QStringLiteral("DictNoKeySize"));
    OpenSide(m_right, QStringLiteral("DictNoKeySize"));
    EXPECT_FALSE(m_results.RunDictionaryComparison(m_progress));
    EXPECT_EQ(
        m_results.LastFailure(),
        QStringLiteral("The data dictionaries cannot be compared: neither declares the size "
                       "of data item DTAI, which gives the length of the data item names.\n"
                       "Left: DictNoKeySize, table F9210\nRight: DictNoKeySize, table F9210"));
    ChooseLanguage(QStringLiteral("FRA"), {});
    EXPECT_FALSE(m_results.RunDictionaryComparison(m_progress));
    ChooseLanguage(QStringLiteral("ENG"), {});
    EXPECT_TRUE(m_results.LastFailure().startsWith(
        QStringLiteral("Les dictionnaires de données ne peuvent pas être comparés : aucun des "
                       "deux ne déclare la taille de la donnée DTAI")))
        << m_results.LastFailure().toStdString();
}

TEST_F(DictionaryComparison, ItemSizesBeyond32BitsAreComparedWhole) {
    OpenSide(m_left, QStringLiteral("DictBigLeft"));
    OpenSide(m_right, QStringLiteral("DictBigRight"));
    EXPECT_EQ(m_left.LookupDataItemSize(QStringLiteral("BIG")), Q_INT64_C(4294967296));
    ASSERT_TRUE(m_results.RunDictionaryComparison(m_progress))
        << m_results.LastFailure().toStdString();
    // DTAI's size of 4294967298 is not a size of 2 that would cut "BIG" to "BI".
    EXPECT_EQ(StatusOf(QStringLiteral("BIG")), CompareStatus::Different);
    EXPECT_EQ(StatusOf(QStringLiteral("EQUAL")), CompareStatus::Same);
    EXPECT_EQ(StatusOf(QStringLiteral("DTAI")), CompareStatus::Same);
    const auto big = m_results.ReadDictionaryItem(m_results.FindDictionaryKey("BIG"));
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->itemSize, (std::array<qint64, 2>{Q_INT64_C(4294967296), Q_INT64_C(8589934592)}));
    EXPECT_EQ(big->GetText(2, m_params), QStringLiteral("4294967296 | 8589934592"));
}

TEST_F(DictionaryComparison, FewLongTextsKeepTheFileAsSmallAsTheDataAndReadBackWhole) {
    OpenSide(m_left, QStringLiteral("DictLongLeft"));
    OpenSide(m_right, QStringLiteral("DictLongRight"));
    ASSERT_TRUE(m_results.RunDictionaryComparison(m_progress))
        << m_results.LastFailure().toStdString();
    const QString zeros(3000, QLatin1Char('0'));
    const QString longKey = QLatin1Char('Q') + zeros;
    const QString whole = QLatin1Char('W') + zeros;
    // Each item costs a few hundred bytes and each long text about its own size, where every
    // record as wide as the longest text made this file some 40 MB.
    const qint64 items = kShortItems + 6;
    const qint64 longTexts = 7 * 3001;
    EXPECT_LT(FileBytes().size(), items * 400 + longTexts * 2 * 2);

    EXPECT_EQ(StatusOf(QStringLiteral("K00001")), CompareStatus::Same);
    EXPECT_EQ(StatusOf(longKey), CompareStatus::Same);
    EXPECT_EQ(m_results.ReadDictionaryKey(m_results.FindDictionaryKey(longKey)), longKey);
    EXPECT_EQ(StatusOf(QStringLiteral("TAIL")), CompareStatus::Different);
    EXPECT_EQ(StatusOf(QStringLiteral("WHOLE")), CompareStatus::Same);
    EXPECT_EQ(StatusOf(QStringLiteral("ONESIDE")), CompareStatus::Different);
    EXPECT_EQ(m_results.DictionaryCounters(),
              (CComparisonResults::Counters{kShortItems + 4, 0, 0, 2}));

    const auto tail = m_results.ReadDictionaryItem(m_results.FindDictionaryKey("TAIL"));
    ASSERT_NE(tail, nullptr);
    EXPECT_EQ(tail->itemType,
              (std::array<QString, 2>{QLatin1Char('T') + zeros + QLatin1Char('A'),
                                      QLatin1Char('T') + zeros + QLatin1Char('B')}));
    const auto same = m_results.ReadDictionaryItem(m_results.FindDictionaryKey("WHOLE"));
    ASSERT_NE(same, nullptr);
    EXPECT_EQ(same->GetText(1, m_params), whole);
    const auto oneSide = m_results.ReadDictionaryItem(m_results.FindDictionaryKey("ONESIDE"));
    ASSERT_NE(oneSide, nullptr);
    EXPECT_EQ(oneSide->itemType, (std::array<QString, 2>{QLatin1Char('O') + zeros,
                                                         QLatin1Char('O') + zeros.left(39)}));
    const auto shortItem = m_results.ReadDictionaryItem(m_results.FindDictionaryKey("K02000"));
    ASSERT_NE(shortItem, nullptr);
    EXPECT_EQ(shortItem->itemType, (std::array<QString, 2>{"S", "S"}));
}

TEST_F(DictionaryComparison, FindingAKeyInAnEmptyResultReadsNothing) {
    EXPECT_EQ(m_results.FindDictionaryKey(QStringLiteral("ANY")), -1);
    EXPECT_EQ(m_results.ReadDictionaryItem(0), nullptr);
    EXPECT_EQ(m_results.GetDictionaryItemStatus(0), -1);
}

TEST_F(DictionaryComparison, PostgresDictionaryAgainstAnF9201) {
    QUORVIX_REQUIRE_DATA_SOURCE(QStringLiteral("QuorvixPostgres"));
    OpenSide(m_left, QStringLiteral("QuorvixPostgres"), QStringLiteral("quorvix.s1"));
    OpenSide(m_right, QStringLiteral("QuorvixPostgres"), QStringLiteral("quorvix.s2"));
    ASSERT_EQ(m_right.DataDictionaryTable(), QStringLiteral("f9201"));
    ASSERT_TRUE(m_results.RunDictionaryComparison(m_progress));
    // Widths come from the larger declared size of either side.
    EXPECT_EQ(m_results.ItemTypeWidth(), 2);
    EXPECT_EQ(m_results.DataTypeWidth(), 4);
    EXPECT_EQ(m_results.DisplayDecimalsWidth(), 1);
    EXPECT_EQ(m_results.DictionaryCounters(), (CComparisonResults::Counters{2, 6, 0, 0}));
    // An item name longer than the DTAI size is cut to it.
    EXPECT_GE(m_results.FindDictionaryKey(QStringLiteral("LONGERTHAN")), 0);
    EXPECT_EQ(StatusOf(QStringLiteral("AN8")), CompareStatus::Same);
    const auto alph = m_results.ReadDictionaryItem(m_results.FindDictionaryKey("ALPH"));
    ASSERT_NE(alph, nullptr);
    EXPECT_EQ(alph->status, CompareStatus::OnlyLeft);
    EXPECT_EQ(alph->itemSize[0], 40);
}

TEST_F(DictionaryComparison, AbsurdDeclaredSizesAreBoundedRatherThanAllocated) {
    OpenSide(m_left, QStringLiteral("DictHugeSizes"));
    OpenSide(m_right, QStringLiteral("DictHugeSizes"));
    ASSERT_TRUE(m_results.RunDictionaryComparison(m_progress));
    // Declared sizes of two thousand million only bound the reading buffers: the file's fields
    // are as wide as the longest texts read ("DTAI", "S"), so the file stays as small as the data.
    EXPECT_EQ(m_results.KeyWidth(), 4);
    EXPECT_EQ(m_results.ItemTypeWidth(), 1);
    EXPECT_EQ(m_results.DictionaryCounters(), (CComparisonResults::Counters{3, 0, 0, 0}));
    EXPECT_EQ(m_results.ReadDictionaryKey(0), QStringLiteral("AB"));
    EXPECT_LT(FileBytes().size(), 1000);
}
