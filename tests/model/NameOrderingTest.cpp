#include "model/NameOrdering.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <algorithm>

namespace {

bool IsSorted(const QStringList& array, bool caseSensitive) {
    for (qsizetype i = 1; i < array.size(); ++i) {
        if (CompareNames(array[i - 1], array[i], caseSensitive) > 0)
            return false;
    }
    return true;
}

QString RandomName(QRandomGenerator& random) {
    // A small alphabet with both cases, so that equal and case-equal names are frequent.
    static const QString alphabet = QStringLiteral("aAbBcC_é");
    QString name;
    const int length = random.bounded(1, 4);
    for (int i = 0; i < length; ++i)
        name += alphabet[random.bounded(int(alphabet.size()))];
    return name;
}

} // namespace

TEST(CompareNames, CaseSensitiveOrderPutsCapitalsBeforeSmallLetters) {
    EXPECT_LT(CompareNames(QStringLiteral("Zebra"), QStringLiteral("apple"), true), 0);
    EXPECT_GT(CompareNames(QStringLiteral("orders"), QStringLiteral("Orders"), true), 0);
    EXPECT_EQ(CompareNames(QStringLiteral("Orders"), QStringLiteral("Orders"), true), 0);
}

TEST(CompareNames, IgnoringCaseFoldsOnlyAsciiLetters) {
    EXPECT_EQ(CompareNames(QStringLiteral("Orders"), QStringLiteral("ORDERS"), false), 0);
    EXPECT_NE(CompareNames(QStringLiteral("\u00C9T\u00C9"), QStringLiteral("\u00E9t\u00E9"), false),
              0);
    // '_' (0x5F) lies between the capitals and the small letters: folding must not move it.
    EXPECT_GT(CompareNames(QStringLiteral("A_"), QStringLiteral("AB"), true), 0);
    EXPECT_LT(CompareNames(QStringLiteral("A_"), QStringLiteral("AB"), false), 0);
}

TEST(CompareNames, ComparesCodeUnitsAsUnsignedAndShorterPrefixFirst) {
    EXPECT_GT(CompareNames(QStringLiteral("\uFFFF"), QStringLiteral("z"), true), 0);
    EXPECT_GT(CompareNames(QString(QChar(0xD800)), QStringLiteral("\u00FF"), false), 0);
    EXPECT_LT(CompareNames(QStringLiteral("ORD"), QStringLiteral("orders"), false), 0);
    EXPECT_LT(CompareNames(QString(), QStringLiteral("a"), true), 0);
}

TEST(InsertSorted, EqualNameLandsWhereTheProbingPutsIt) {
    // A lower bound would give 0 and an upper bound 2: the probe at index 1 decides.
    QStringList array{QStringLiteral("a"), QStringLiteral("A"), QStringLiteral("b"),
                      QStringLiteral("B")};
    EXPECT_EQ(InsertSorted(false, array, QStringLiteral("a")), 1);
    EXPECT_EQ(array, (QStringList{"a", "a", "A", "b", "B"}));
}

TEST(InsertSorted, NameEqualToLastElementIsAppended) {
    QStringList array{QStringLiteral("a"), QStringLiteral("B")};
    EXPECT_EQ(InsertSorted(false, array, QStringLiteral("b")), 2);
    EXPECT_EQ(array, (QStringList{"a", "B", "b"}));

    QStringList empty;
    EXPECT_EQ(InsertSorted(true, empty, QStringLiteral("x")), 0);
    EXPECT_EQ(empty, QStringList{"x"});
}

TEST(InsertSorted, KeepsEveryNameInOrderUnderRandomInsertions) {
    for (const bool caseSensitive : {true, false}) {
        QRandomGenerator random(caseSensitive ? 7 : 11);
        QStringList array;
        QStringList inserted;
        for (int i = 0; i < 5000; ++i) {
            const QString name = RandomName(random);
            const qsizetype index = InsertSorted(caseSensitive, array, name);
            ASSERT_EQ(array[index], name);
            inserted.append(name);
        }
        EXPECT_TRUE(IsSorted(array, caseSensitive)) << "caseSensitive=" << caseSensitive;
        QStringList expected = inserted;
        QStringList actual = array;
        std::sort(expected.begin(), expected.end());
        std::sort(actual.begin(), actual.end());
        EXPECT_EQ(actual, expected);
    }
}

TEST(FindSorted, EmptyAndOneElementArrays) {
    EXPECT_EQ(FindSorted(true, {}, QStringLiteral("a")), -1);
    const QStringList one{QStringLiteral("Orders")};
    EXPECT_EQ(FindSorted(true, one, QStringLiteral("Orders")), 0);
    EXPECT_EQ(FindSorted(true, one, QStringLiteral("ORDERS")), -1);
    EXPECT_EQ(FindSorted(false, one, QStringLiteral("ORDERS")), 0);
    EXPECT_EQ(FindSorted(true, one, QStringLiteral("A")), -1);
    EXPECT_EQ(FindSorted(true, one, QStringLiteral("z")), -1);
}

TEST(FindSorted, FindsEveryPresentNameAndNoAbsentOne) {
    for (const bool caseSensitive : {true, false}) {
        QRandomGenerator random(caseSensitive ? 3 : 5);
        QStringList array;
        for (int i = 0; i < 2000; ++i)
            InsertSorted(caseSensitive, array, RandomName(random));
        for (const QString& name : std::as_const(array)) {
            const qsizetype found = FindSorted(caseSensitive, array, name);
            ASSERT_GE(found, 0) << name.toStdString();
            EXPECT_EQ(CompareNames(array[found], name, caseSensitive), 0);
        }
        EXPECT_EQ(FindSorted(caseSensitive, array, QStringLiteral("zzzz")), -1);
        EXPECT_EQ(FindSorted(caseSensitive, array, QStringLiteral("0")), -1);
        EXPECT_EQ(FindSorted(caseSensitive, array, QStringLiteral("aAbBx")), -1);
    }
}

TEST(LowerAscii, LowersOnlyAsciiCapitals) {
    EXPECT_EQ(LowerAscii(QStringLiteral("ABC_\u00C9z")), QStringLiteral("abc_\u00C9z"));
}
