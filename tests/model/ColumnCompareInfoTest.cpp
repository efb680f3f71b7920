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

using Attributes = CColumnInfo::Attributes;

// A column on both sides, alike but for its attributes.
CColumnCompareInfo WithAttributes(const Attributes& left, const Attributes& right) {
    const CColumnInfo leftColumn(QStringLiteral("C"), 4, QStringLiteral("int"), 10, left);
    const CColumnInfo rightColumn(QStringLiteral("C"), 4, QStringLiteral("int"), 10, right);
    return Row(&leftColumn, &rightColumn);
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
    EXPECT_EQ(types.GetText(CColumnCompareInfo::TextCount), QString());

    types.status = 7;
    EXPECT_EQ(types.GetText(0), QStringLiteral("C"));
    EXPECT_EQ(types.GetText(1), QString());
    EXPECT_EQ(types.GetText(2), QString());
}

TEST(ColumnCompareInfoText, SearchLooksAtTheNameOrAtEveryColumn) {
    CColumnCompareInfo row = BothSides(12, 10, 1, 10);
    EXPECT_TRUE(row.Contains(QStringLiteral("c"), false, false));
    EXPECT_FALSE(row.Contains(QStringLiteral("varchar"), false, false));
    EXPECT_TRUE(row.Contains(QStringLiteral("varchar"), true, false));
    EXPECT_TRUE(row.Contains(QStringLiteral("r"), true, false));
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

TEST(CheckColumnAttributes, EachAttributeCountsAndNullEqualsOnlyNull) {
    const Attributes plain{CColumnInfo::Nullable, std::nullopt, std::nullopt};
    const struct {
        Attributes right;
        qint32 status;
    } cases[] = {
        {plain, CompareStatus::Same},
        {{CColumnInfo::NoNulls, std::nullopt, std::nullopt}, CompareStatus::Different},
        {{CColumnInfo::NullableUnknown, std::nullopt, std::nullopt}, CompareStatus::Different},
        {{CColumnInfo::Nullable, qint16(0), std::nullopt}, CompareStatus::Different},
        {{CColumnInfo::Nullable, std::nullopt, QString()}, CompareStatus::Different},
        {{CColumnInfo::Nullable, std::nullopt, QStringLiteral("NULL")}, CompareStatus::Different},
    };
    for (const auto& c : cases) {
        CColumnCompareInfo row = WithAttributes(plain, c.right);
        row.CheckColumnAttributes();
        EXPECT_EQ(row.status, c.status)
            << row.GetText(CColumnCompareInfo::NullableText).toStdString()
            << row.GetText(CColumnCompareInfo::DefaultText).toStdString();
    }
    CColumnCompareInfo digits =
        WithAttributes({1, qint16(2), QStringLiteral("0")}, {1, qint16(4), QStringLiteral("0")});
    digits.CheckColumnAttributes();
    EXPECT_EQ(digits.status, CompareStatus::Different);
    CColumnCompareInfo defaults = WithAttributes({1, qint16(2), QStringLiteral("'a'")},
                                                 {1, qint16(2), QStringLiteral("'a'")});
    defaults.CheckColumnAttributes();
    EXPECT_EQ(defaults.status, CompareStatus::Same);

    const CColumnInfo left(QStringLiteral("C"), 4, QStringLiteral("int"), 10, plain);
    CColumnCompareInfo oneSided = Row(&left, nullptr);
    oneSided.CheckColumnAttributes();
    EXPECT_EQ(oneSided.status, CompareStatus::OnlyLeft);
}

// NULL reads empty, an empty default as its quotes; a different row pairs what differs.
TEST(ColumnCompareInfoText, AttributesShowAsTheyWereRead) {
    CColumnCompareInfo row = WithAttributes({CColumnInfo::NoNulls, qint16(2), QString()},
                                            {CColumnInfo::Nullable, std::nullopt, std::nullopt});
    EXPECT_EQ(row.AttributeTexts(), (QStringList{"NOT NULL", "2", "''"}));
    row.CheckColumnAttributes();
    EXPECT_EQ(row.AttributeTexts(), (QStringList{"NOT NULL | NULL", "2 | ", "'' | "}));
    row.attributes[1] = {CColumnInfo::NullableUnknown, qint16(2), QStringLiteral("x | y")};
    EXPECT_EQ(row.AttributeTexts(), (QStringList{"NOT NULL | ?", "2", "'' | x | y"}));

    const CColumnInfo right(QStringLiteral("C"), 4, QStringLiteral("int"), 10,
                            {CColumnInfo::Nullable, qint16(4), QStringLiteral("nextval('s')")});
    EXPECT_EQ(Row(nullptr, &right).AttributeTexts(), (QStringList{"NULL", "4", "nextval('s')"}));

    // Searched only where they are shown.
    EXPECT_FALSE(row.Contains(QStringLiteral("not null"), true, false));
    EXPECT_TRUE(row.Contains(QStringLiteral("not null"), false, true));
    EXPECT_FALSE(row.Contains(QStringLiteral("int"), false, true));
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

// The attributes follow the record; the defaults go to a block of their own, whole however long,
// each row saying where its pair begins.
TEST(ColumnCompareInfoRecord, AttributesFollowTheRecordAndDefaultsTheirBlock) {
    const QString longDefault = QString(5000, QLatin1Char('d'));
    std::vector<CColumnCompareInfo> rows;
    rows.push_back(WithAttributes({CColumnInfo::NoNulls, qint16(2), QStringLiteral("'a'")},
                                  {CColumnInfo::Nullable, std::nullopt, std::nullopt}));
    rows.push_back(WithAttributes({CColumnInfo::NullableUnknown, qint16(-3), QString()},
                                  {CColumnInfo::Nullable, qint16(0), longDefault}));
    QByteArray record;
    QByteArray defaults;
    for (const CColumnCompareInfo& row : rows)
        row.AppendAttributes(record, defaults);
    ASSERT_EQ(record.size(), 2 * CColumnCompareInfo::AttributeBytes);
    EXPECT_EQ(Int64At(record, 0), 0);
    EXPECT_EQ(Int16At(record, 8), 0);  // NOT NULL
    EXPECT_EQ(Int16At(record, 10), 2); // decimal digits, there
    EXPECT_EQ(Int16At(record, 12), 1);
    EXPECT_EQ(Int32At(record, 14), 3); // 'a'
    EXPECT_EQ(Int16At(record, 22), 0); // the right has no decimal digits
    EXPECT_EQ(Int32At(record, 24), -1);
    EXPECT_EQ(Int64At(record, 28), 6); // after 'a'
    EXPECT_EQ(defaults, TextField(QStringLiteral("'a'"), 3) + TextField(longDefault, 5000));

    for (int index = 0; index < 2; ++index) {
        CColumnCompareInfo back;
        const CColumnCompareInfo::DefaultsPlace place =
            back.ParseAttributes(record.constData() + index * CColumnCompareInfo::AttributeBytes);
        back.ParseDefaults(defaults.constData() + place.offset, place);
        EXPECT_EQ(back.attributes, rows[size_t(index)].attributes) << index;
    }
}
