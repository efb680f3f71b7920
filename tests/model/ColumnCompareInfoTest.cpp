#include "model/ColumnCompareInfo.h"
#include "model/CompareStatus.h"

#include "model/RecordBytes.h"

#include <gtest/gtest.h>

namespace {

CColumnCompareInfo Row(const CColumnInfo* left, const CColumnInfo* right) {
    qint16 nameWidth = 0;
    qint16 typeNameWidth = 0;
    return CColumnCompareInfo(left, right, nameWidth, typeNameWidth);
}

CColumnCompareInfo BothSides(qint32 leftType, qint32 leftSize, qint32 rightType, qint32 rightSize) {
    const CColumnInfo left(QStringLiteral("C"), leftType, QStringLiteral("l"), leftSize);
    const CColumnInfo right(QStringLiteral("C"), rightType, QStringLiteral("r"), rightSize);
    return Row(&left, &right);
}

} // namespace

TEST(ColumnCompareInfoBuild, StatusAndNameFollowTheSidesPresent) {
    const CColumnInfo left(QStringLiteral("Amount"), 3, QStringLiteral("decimal"), 10);
    const CColumnInfo right(QStringLiteral("AMOUNT"), 2, QStringLiteral("numeric"), 12);

    const CColumnCompareInfo both = Row(&left, &right);
    EXPECT_EQ(both.status, CompareStatus::Same);
    EXPECT_EQ(both.name, QStringLiteral("Amount"));
    EXPECT_EQ(both.typeName[1], QStringLiteral("numeric"));

    EXPECT_EQ(Row(&left, nullptr).status, CompareStatus::OnlyLeft);

    const CColumnCompareInfo rightOnly = Row(nullptr, &right);
    EXPECT_EQ(rightOnly.status, CompareStatus::OnlyRight);
    EXPECT_EQ(rightOnly.name, QStringLiteral("AMOUNT"));
    EXPECT_EQ(rightOnly.GetText(1), QStringLiteral("NUMERIC"));
    EXPECT_EQ(rightOnly.GetText(2), QStringLiteral("12"));
    EXPECT_EQ(rightOnly.GetText(4), QStringLiteral("numeric"));
}

TEST(ColumnCompareInfoBuild, WidthCountersGrowToTheLongestTextsAndSaturate) {
    qint16 nameWidth = 3;
    qint16 typeNameWidth = 0;
    const CColumnInfo left(QStringLiteral("ID"), 4, QStringLiteral("int"), 10);
    const CColumnInfo right(QStringLiteral("ID"), 4, QStringLiteral("integer"), 10);
    CColumnCompareInfo(&left, &right, nameWidth, typeNameWidth);
    EXPECT_EQ(nameWidth, 3);
    EXPECT_EQ(typeNameWidth, 7);

    const CColumnInfo huge(QString(40000, QLatin1Char('x')), 4, QStringLiteral("int"), 10);
    CColumnCompareInfo(&huge, nullptr, nameWidth, typeNameWidth);
    EXPECT_EQ(nameWidth, 32767);
}

TEST(ColumnCompareInfoText, DifferentRowJoinsOnlyTheValuesThatDiffer) {
    CColumnCompareInfo sizes = BothSides(12, 10, 12, 20);
    sizes.status = CompareStatus::Different;
    EXPECT_EQ(sizes.GetText(1), QStringLiteral("VARCHAR"));
    EXPECT_EQ(sizes.GetText(2), QStringLiteral("10 | 20"));

    CColumnCompareInfo types = BothSides(9, 10, 91, 10);
    types.status = CompareStatus::Different;
    EXPECT_EQ(types.GetText(1), QStringLiteral("DATE | DATE"));
    EXPECT_EQ(types.GetText(2), QStringLiteral("10"));
    EXPECT_EQ(types.GetText(3), QStringLiteral("l"));
    EXPECT_EQ(types.GetText(4), QStringLiteral("r"));
    EXPECT_EQ(types.GetText(5), QString());

    types.status = 7;
    EXPECT_EQ(types.GetText(0), QStringLiteral("C"));
    EXPECT_EQ(types.GetText(1), QString());
    EXPECT_EQ(types.GetText(2), QString());
}

TEST(ColumnCompareInfoText, SearchLooksAtTheNameOrAtEveryColumn) {
    CColumnCompareInfo row = BothSides(12, 10, 1, 10);
    EXPECT_TRUE(row.Contains(QStringLiteral("c"), false));
    EXPECT_FALSE(row.Contains(QStringLiteral("varchar"), false));
    EXPECT_TRUE(row.Contains(QStringLiteral("varchar"), true));
    EXPECT_TRUE(row.Contains(QStringLiteral("r"), true));
}

TEST(CheckColumnTypes, CharacterTypesOfOneSizeAreAlikeOnlyWhenAsked) {
    CColumnCompareInfo alike = BothSides(12, 10, 1, 10);
    alike.CheckColumnTypes(true);
    EXPECT_EQ(alike.status, CompareStatus::Same);

    CColumnCompareInfo strict = BothSides(12, 10, 1, 10);
    strict.CheckColumnTypes(false);
    EXPECT_EQ(strict.status, CompareStatus::Different);

    CColumnCompareInfo resized = BothSides(-9, 10, 12, 20);
    resized.CheckColumnTypes(true);
    EXPECT_EQ(resized.status, CompareStatus::Different);
}

TEST(CheckColumnTypes, SizesCountOnlyForSizedTypes) {
    CColumnCompareInfo integers = BothSides(4, 10, 4, 11);
    integers.CheckColumnTypes(false);
    EXPECT_EQ(integers.status, CompareStatus::Same);

    CColumnCompareInfo binaries = BothSides(-2, 8, -2, 16);
    binaries.CheckColumnTypes(false);
    EXPECT_EQ(binaries.status, CompareStatus::Different);

    CColumnCompareInfo longText = BothSides(-1, 0, 12, 10);
    longText.CheckColumnTypes(true);
    EXPECT_EQ(longText.status, CompareStatus::Different);

    CColumnCompareInfo longTexts = BothSides(-1, 100, -1, 200);
    longTexts.CheckColumnTypes(false);
    EXPECT_EQ(longTexts.status, CompareStatus::Same);
}

TEST(CheckColumnTypes, OneSidedRowsAreNeverJudgedAgain) {
    const CColumnInfo left(QStringLiteral("C"), 12, QStringLiteral("varchar"), 10);
    CColumnCompareInfo row = Row(&left, nullptr);
    row.CheckColumnTypes(false);
    EXPECT_EQ(row.status, CompareStatus::OnlyLeft);
}

TEST(ColumnCompareInfoRecord, FieldsStandAtTheirOffsets) {
    CColumnCompareInfo row = BothSides(12, 10, -9, 20);
    row.name = QStringLiteral("CUSTOMER_NAME");
    row.typeName = {QStringLiteral("VARCHAR"), QStringLiteral("nvarchar")};
    row.status = CompareStatus::Different;
    constexpr int N = 30;
    constexpr int T = 9;

    const QByteArray bytes = WrittenBytes(row, N, T);
    ASSERT_EQ(bytes.size(), 2 * (N + 2 * T + 10));
    EXPECT_EQ(bytes.size(), 116);
    EXPECT_EQ(bytes.mid(0, 2 * N), TextField(row.name, N));
    EXPECT_EQ(Int32At(bytes, 2 * N), 3);
    EXPECT_EQ(Int32At(bytes, 2 * N + 4), 12);
    EXPECT_EQ(bytes.mid(2 * N + 8, 2 * T), TextField(QStringLiteral("VARCHAR"), T));
    EXPECT_EQ(Int32At(bytes, 2 * N + 2 * T + 8), 10);
    EXPECT_EQ(Int32At(bytes, 2 * N + 2 * T + 12), -9);
    EXPECT_EQ(bytes.mid(2 * N + 2 * T + 16, 2 * T), TextField(QStringLiteral("nvarchar"), T));
    EXPECT_EQ(Int32At(bytes, 2 * N + 4 * T + 16), 20);

    const CColumnCompareInfo back = ReadBack<CColumnCompareInfo>(bytes, N, T);
    EXPECT_EQ(back.name, row.name);
    EXPECT_EQ(back.status, row.status);
    EXPECT_EQ(back.dataType, row.dataType);
    EXPECT_EQ(back.typeName, row.typeName);
    EXPECT_EQ(back.size, row.size);
}

TEST(ColumnCompareInfoRecord, TextOfExactlyTheWidthHasNoTerminatorAndReadsBackWhole) {
    CColumnCompareInfo row = BothSides(4, 10, 4, 10);
    row.name = QStringLiteral("ABCDE");
    row.typeName = {QStringLiteral("int"), QString()};
    const QByteArray bytes = WrittenBytes(row, 5, 3);
    EXPECT_EQ(bytes.mid(0, 10), TextField(QStringLiteral("ABCDE"), 5));
    const CColumnCompareInfo back = ReadBack<CColumnCompareInfo>(bytes, 5, 3);
    EXPECT_EQ(back.name, QStringLiteral("ABCDE"));
    EXPECT_EQ(back.typeName[0], QStringLiteral("int"));
    EXPECT_EQ(back.typeName[1], QString());
}

TEST(ColumnCompareInfoRecord, LeadingByteOrderMarksSurviveTheFile) {
    // Names are code units, not encoded text: U+FEFF and U+FFFE at the start stay as they are.
    for (const QChar first : {QChar(0xFEFF), QChar(0xFFFE)}) {
        CColumnCompareInfo row = BothSides(4, 10, 4, 10);
        row.name = first + QStringLiteral("name");
        const CColumnCompareInfo back = ReadBack<CColumnCompareInfo>(WrittenBytes(row, 8, 4), 8, 4);
        EXPECT_EQ(back.name, row.name) << int(first.unicode());
    }
}

TEST(ColumnCompareInfoRecord, OverLongTextIsCutToItsField) {
    CColumnCompareInfo row = BothSides(4, 10, 4, 10);
    row.name = QStringLiteral("LONGER_THAN_FIELD");
    row.typeName = {QStringLiteral("integer"), QStringLiteral("int")};
    const QByteArray bytes = WrittenBytes(row, 6, 1);
    EXPECT_EQ(bytes.size(), 2 * (6 + 2 * 1 + 10));
    const CColumnCompareInfo back = ReadBack<CColumnCompareInfo>(bytes, 6, 1);
    EXPECT_EQ(back.name, QStringLiteral("LONGER"));
    EXPECT_EQ(back.typeName, (std::array<QString, 2>{"i", "i"}));
    EXPECT_EQ(back.size[1], 10); // the cut fields leave the ones after them in place
}
