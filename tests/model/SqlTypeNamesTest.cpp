#include "model/SqlTypeNames.h"

#include <gtest/gtest.h>

TEST(SqlTypeName, NamesTheOdbcTypes) {
    EXPECT_EQ(SqlTypeName(-11), QStringLiteral("GUID"));
    EXPECT_EQ(SqlTypeName(-10), QStringLiteral("LONG WVARCHAR"));
    EXPECT_EQ(SqlTypeName(-9), QStringLiteral("VARWCHAR"));
    EXPECT_EQ(SqlTypeName(-8), QStringLiteral("WCHAR"));
    EXPECT_EQ(SqlTypeName(-1), QStringLiteral("LONG VARCHAR"));
    EXPECT_EQ(SqlTypeName(1), QStringLiteral("CHAR"));
    EXPECT_EQ(SqlTypeName(4), QStringLiteral("INTEGER"));
    EXPECT_EQ(SqlTypeName(8), QStringLiteral("DOUBLE"));
    EXPECT_EQ(SqlTypeName(12), QStringLiteral("VARCHAR"));
    EXPECT_EQ(SqlTypeName(101), QStringLiteral("INTERVAL YEAR"));
    EXPECT_EQ(SqlTypeName(113), QStringLiteral("INTERVAL MINUTE TO SECOND"));
}

TEST(SqlTypeName, Odbc2AndOdbc3DateCodesShareTheirNames) {
    EXPECT_EQ(SqlTypeName(9), QStringLiteral("DATE"));
    EXPECT_EQ(SqlTypeName(91), QStringLiteral("DATE"));
    EXPECT_EQ(SqlTypeName(10), QStringLiteral("TIME"));
    EXPECT_EQ(SqlTypeName(92), QStringLiteral("TIME"));
    EXPECT_EQ(SqlTypeName(11), QStringLiteral("TIMESTAMP"));
    EXPECT_EQ(SqlTypeName(93), QStringLiteral("TIMESTAMP"));
}

TEST(SqlTypeName, UnknownCodesGiveTheirDecimalValue) {
    for (const int code : {0, 13, 14, 90, 94, 100, 114, 1000})
        EXPECT_EQ(SqlTypeName(code), QString::number(code));
    EXPECT_EQ(SqlTypeName(-12), QStringLiteral("-12"));
    EXPECT_EQ(SqlTypeName(0), QStringLiteral("0"));
}

TEST(SqlTypeClasses, CharacterAndSizedTypes) {
    for (const int code : {1, 12, -8, -9}) {
        EXPECT_TRUE(IsCharacterType(code)) << code;
        EXPECT_TRUE(IsSizedType(code)) << code;
    }
    for (const int code : {-2, -3}) {
        EXPECT_FALSE(IsCharacterType(code)) << code;
        EXPECT_TRUE(IsSizedType(code)) << code;
    }
    for (const int code : {-1, -10, -4, 0, 2, 3, 4, 91}) {
        EXPECT_FALSE(IsCharacterType(code)) << code;
        EXPECT_FALSE(IsSizedType(code)) << code;
    }
}
