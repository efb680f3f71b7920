#include "model/AliasCompareInfo.h"
#include "model/CompareStatus.h"
#include "model/ParamWord.h"

#include "model/RecordBytes.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

namespace {

CAliasCompareInfo Side(bool isLeft, const QString& itemType, qint64 itemSize,
                       const QString& dataType, qint16 fileDecimals,
                       const QString& displayDecimals) {
    CAliasCompareInfo record(isLeft, itemType, itemSize, dataType, fileDecimals, displayDecimals);
    record.key = QStringLiteral("AN8");
    return record;
}

// Wide enough for every value of the tests below.
constexpr CAliasCompareInfo::FieldWidths kWide{4, 4, 4};

// The right record merged with the left one in their binary forms, as the dictionary run judges
// an item.
CAliasCompareInfo Merged(const CAliasCompareInfo& left, const CAliasCompareInfo& right,
                         const CParamWord& params) {
    QByteArray leftBytes;
    left.AppendRecord(leftBytes, kWide);
    QByteArray bytes;
    right.AppendRecord(bytes, kWide);
    CAliasCompareInfo::MergeLeftRecord(bytes, leftBytes.constData(), kWide, params);
    CAliasCompareInfo merged(right.key);
    merged.ParseRecord(bytes.constData(), kWide);
    return merged;
}

// What the merge means for values: the right record takes the left values, and is different
// when a value that the parameter word compares differs.
CAliasCompareInfo MergedByValue(const CAliasCompareInfo& left, const CAliasCompareInfo& right,
                                const CParamWord& params) {
    CAliasCompareInfo merged = right;
    merged.itemType[0] = left.itemType[0];
    merged.itemSize[0] = left.itemSize[0];
    merged.dataType[0] = left.dataType[0];
    merged.fileDecimals[0] = left.fileDecimals[0];
    merged.displayDecimals[0] = left.displayDecimals[0];
    const auto differs = [&params, &merged](int value, const auto& values) {
        return params.TestBit(ParamBit::CompareValue0 + value) && values[0] != values[1];
    };
    const bool different = differs(0, merged.itemType) || differs(1, merged.itemSize) ||
                           differs(2, merged.dataType) || differs(3, merged.fileDecimals) ||
                           differs(4, merged.displayDecimals);
    merged.status = different ? CompareStatus::Different : CompareStatus::Same;
    return merged;
}

CParamWord WithoutValueBit(int value) {
    CParamWord params;
    params.SetBit(ParamBit::CompareValue0 + value, false);
    return params;
}

} // namespace

TEST(AliasCompareInfoBuild, OneSideValuesAreTrimmedOnTheRightOnly) {
    const CAliasCompareInfo left =
        Side(true, QStringLiteral(" S  \t"), 8, QStringLiteral("N "), 2, QStringLiteral("0   "));
    EXPECT_EQ(left.status, CompareStatus::OnlyLeft);
    EXPECT_EQ(left.itemType[0], QStringLiteral(" S"));
    EXPECT_EQ(left.dataType[0], QStringLiteral("N"));
    EXPECT_EQ(left.displayDecimals[0], QStringLiteral("0"));
    EXPECT_EQ(left.itemSize[0], 8);
    EXPECT_EQ(left.fileDecimals[0], 2);

    const CAliasCompareInfo right = Side(false, QStringLiteral("A"), 30, {}, 0, {});
    EXPECT_EQ(right.status, CompareStatus::OnlyRight);
    EXPECT_EQ(right.itemType[1], QStringLiteral("A"));
    EXPECT_EQ(right.itemType[0], QString());
}

TEST(AliasCompareInfoJudge, DifferentWhenACompareValueDiffers) {
    const CParamWord all;
    const CAliasCompareInfo left =
        Side(true, QStringLiteral("S"), 8, QStringLiteral("N"), 2, QStringLiteral("2"));
    EXPECT_EQ(
        Merged(left,
               Side(false, QStringLiteral("S  "), 8, QStringLiteral("N"), 2, QStringLiteral("2")),
               all)
            .status,
        CompareStatus::Same);

    const CAliasCompareInfo sizeDiffers =
        Side(false, QStringLiteral("S"), 9, QStringLiteral("N"), 2, QStringLiteral("2"));
    EXPECT_EQ(Merged(left, sizeDiffers, all).status, CompareStatus::Different);
    EXPECT_EQ(Merged(left, sizeDiffers, WithoutValueBit(1)).status, CompareStatus::Same);

    const CAliasCompareInfo caseDiffers =
        Side(false, QStringLiteral("s"), 8, QStringLiteral("N"), 2, QStringLiteral("2"));
    EXPECT_EQ(Merged(left, caseDiffers, all).status, CompareStatus::Different);

    const CAliasCompareInfo decimalsDiffer =
        Side(false, QStringLiteral("S"), 8, QStringLiteral("N"), 3, QStringLiteral("0"));
    EXPECT_EQ(Merged(left, decimalsDiffer, all).status, CompareStatus::Different);
    CParamWord noDecimals = WithoutValueBit(3);
    noDecimals.SetBit(ParamBit::CompareValue0 + 4, false);
    EXPECT_EQ(Merged(left, decimalsDiffer, noDecimals).status, CompareStatus::Same);
}

TEST(AliasCompareInfoJudge, MergeTakesTheLeftValuesAndKeepsTheRightOnes) {
    const CAliasCompareInfo left =
        Side(true, QStringLiteral("S"), 8, QStringLiteral("N"), 2, QStringLiteral("2"));
    const CAliasCompareInfo right = Side(false, QStringLiteral("A"), 9, QStringLiteral("C"), 0, {});
    const CAliasCompareInfo merged = Merged(left, right, CParamWord());
    EXPECT_EQ(merged.itemType, (std::array<QString, 2>{"S", "A"}));
    EXPECT_EQ(merged.itemSize, (std::array<qint64, 2>{8, 9}));
    EXPECT_EQ(merged.dataType, (std::array<QString, 2>{"N", "C"}));
    EXPECT_EQ(merged.fileDecimals, (std::array<qint16, 2>{2, 0}));
    EXPECT_EQ(merged.displayDecimals, (std::array<QString, 2>{"2", ""}));
}

TEST(AliasCompareInfoText, ValueColumnsShowOnlyWhenTheirBitIsSet) {
    const CAliasCompareInfo left =
        Side(true, QStringLiteral("S"), 8, QStringLiteral("N"), 2, QStringLiteral("2"));
    const CAliasCompareInfo merged =
        Merged(left, Side(false, QStringLiteral("A"), 9, QStringLiteral("N"), 2, {}), CParamWord());
    ASSERT_EQ(merged.status, CompareStatus::Different);

    const CParamWord all;
    EXPECT_EQ(merged.GetText(0, all), QStringLiteral("AN8"));
    EXPECT_EQ(merged.GetText(1, all), QStringLiteral("S | A"));
    EXPECT_EQ(merged.GetText(2, all), QStringLiteral("8 | 9"));
    EXPECT_EQ(merged.GetText(3, all), QStringLiteral("N"));
    EXPECT_EQ(merged.GetText(4, all), QStringLiteral("2"));
    EXPECT_EQ(merged.GetText(5, all), QStringLiteral("2 | "));
    EXPECT_EQ(merged.GetText(6, all), QString());

    const CParamWord none(0);
    EXPECT_EQ(merged.GetText(0, none), QStringLiteral("AN8"));
    EXPECT_EQ(merged.GetText(2, WithoutValueBit(1)), QString());
    EXPECT_TRUE(merged.Contains(QStringLiteral("8 | 9"), all));
    EXPECT_FALSE(merged.Contains(QStringLiteral("8 | 9"), WithoutValueBit(1)));
    EXPECT_TRUE(merged.Contains(QStringLiteral("an"), none));

    const CAliasCompareInfo rightOnly =
        Side(false, QStringLiteral("A"), 9, QStringLiteral("C"), 1, QStringLiteral("1"));
    EXPECT_EQ(rightOnly.GetText(1, all), QStringLiteral("A"));
    EXPECT_EQ(rightOnly.GetText(4, all), QStringLiteral("1"));
}

TEST(AliasCompareInfoRecord, FieldsStandAtTheirOffsets) {
    CAliasCompareInfo record = Merged(
        Side(true, QStringLiteral("S"), 8, QStringLiteral("N"), -2, QStringLiteral("2")),
        Side(false, QStringLiteral("AB"), 8589934592, QStringLiteral("C"), 3, QStringLiteral("9")),
        CParamWord());
    constexpr int A = 2;
    constexpr int B = 3;
    constexpr int C = 1;
    constexpr CAliasCompareInfo::FieldWidths widths{A, B, C};

    const QByteArray bytes = WrittenBytes(record, widths);
    ASSERT_EQ(bytes.size(), 4 * (A + B + C) + 24);
    EXPECT_EQ(Int32At(bytes, 0), CompareStatus::Different);
    EXPECT_EQ(bytes.mid(4, 2 * A), TextField(QStringLiteral("S"), A));
    EXPECT_EQ(Int64At(bytes, 4 + 2 * A), 8);
    EXPECT_EQ(bytes.mid(12 + 2 * A, 2 * B), TextField(QStringLiteral("N"), B));
    EXPECT_EQ(Int16At(bytes, 12 + 2 * A + 2 * B), -2);
    EXPECT_EQ(bytes.mid(14 + 2 * A + 2 * B, 2 * C), TextField(QStringLiteral("2"), C));
    const int right = 14 + 2 * (A + B + C);
    EXPECT_EQ(bytes.mid(right, 2 * A), TextField(QStringLiteral("AB"), A));
    EXPECT_EQ(Int64At(bytes, right + 2 * A), 8589934592); // a size beyond 32 bits, whole
    EXPECT_EQ(bytes.mid(right + 8 + 2 * A, 2 * B), TextField(QStringLiteral("C"), B));
    EXPECT_EQ(Int16At(bytes, right + 8 + 2 * A + 2 * B), 3);
    EXPECT_EQ(bytes.mid(right + 10 + 2 * A + 2 * B, 2 * C), TextField(QStringLiteral("9"), C));

    const CAliasCompareInfo back = ReadBack<CAliasCompareInfo>(bytes, widths);
    EXPECT_EQ(back.status, record.status);
    EXPECT_EQ(back.itemType, record.itemType); // "AB" fills its field and reads back whole
    EXPECT_EQ(back.itemSize, record.itemSize);
    EXPECT_EQ(back.dataType, record.dataType);
    EXPECT_EQ(back.fileDecimals, record.fileDecimals);
    EXPECT_EQ(back.displayDecimals, record.displayDecimals);
    EXPECT_TRUE(back.key.isEmpty()); // the key lives in the result file's index
}

TEST(AliasCompareInfoRecord, ValueLongerThanItsFieldIsCut) {
    const CAliasCompareInfo record =
        Side(true, QStringLiteral("ABCDEF"), 1, QStringLiteral("XYZ"), 0, QStringLiteral("12"));
    constexpr CAliasCompareInfo::FieldWidths widths{2, 1, 1};
    const QByteArray bytes = WrittenBytes(record, widths);
    EXPECT_EQ(bytes.size(), 4 * (2 + 1 + 1) + 24);
    const CAliasCompareInfo back = ReadBack<CAliasCompareInfo>(bytes, widths);
    EXPECT_EQ(back.itemType[0], QStringLiteral("AB"));
    EXPECT_EQ(back.dataType[0], QStringLiteral("X"));
    EXPECT_EQ(back.displayDecimals[0], QStringLiteral("1"));
}

TEST(AliasCompareInfoRecord, BinaryMergeJudgesAsTheValuesDo) {
    QRandomGenerator random(23);
    const auto text = [&random](int width) {
        QString value;
        const int length = random.bounded(width + 1);
        for (int i = 0; i < length; ++i)
            value += QChar(u'A' + random.bounded(3));
        return value;
    };
    constexpr CAliasCompareInfo::FieldWidths widths{2, 4, 1};
    for (int round = 0; round < 300; ++round) {
        const CAliasCompareInfo left(true, text(2), random.bounded(3), text(4),
                                     qint16(random.bounded(3)), text(1));
        const CAliasCompareInfo right(false, text(2), random.bounded(3), text(4),
                                      qint16(random.bounded(3)), text(1));
        CParamWord params(quint32(random.generate()));

        const CAliasCompareInfo merged = MergedByValue(left, right, params);
        QByteArray expected;
        merged.AppendRecord(expected, widths);

        QByteArray leftBytes;
        left.AppendRecord(leftBytes, widths);
        QByteArray bytes;
        right.AppendRecord(bytes, widths);
        EXPECT_EQ(CAliasCompareInfo::MergeLeftRecord(bytes, leftBytes.constData(), widths, params),
                  merged.status);
        ASSERT_EQ(bytes, expected) << round;
    }
}
