#include "model/ColumnInfo.h"

#include <gtest/gtest.h>

TEST(ColumnInfoText, SizedTypesShowTheirSize) {
    const CColumnInfo integer(QStringLiteral("ID"), 4, QStringLiteral("INTEGER"), 10);
    EXPECT_EQ(integer.GetText(0), QStringLiteral("ID"));
    EXPECT_EQ(integer.GetText(1), QStringLiteral("INTEGER"));

    const CColumnInfo wchar(QStringLiteral("CODE"), -8, QStringLiteral("nchar"), 5);
    EXPECT_EQ(wchar.GetText(1), QStringLiteral("nchar (5)"));
    const CColumnInfo varbinary(QStringLiteral("BLOB"), -3, QStringLiteral("varbinary"), 255);
    EXPECT_EQ(varbinary.GetText(1), QStringLiteral("varbinary (255)"));
    const CColumnInfo text(QStringLiteral("NOTE"), -1, QStringLiteral("text"), 0);
    EXPECT_EQ(text.GetText(1), QStringLiteral("text"));

    EXPECT_EQ(integer.GetText(2), QString());
    EXPECT_EQ(integer.GetText(-1), QString());
}

TEST(ColumnInfoSearch, MatchesLowerCasedNameOrTypeText) {
    const CColumnInfo column(QStringLiteral("CustomerName"), 12, QStringLiteral("VARCHAR"), 40);
    EXPECT_TRUE(column.Contains(QStringLiteral("customer")));
    EXPECT_TRUE(column.Contains(QStringLiteral("varchar (40)")));
    EXPECT_FALSE(column.Contains(QStringLiteral("Customer"))); // the caller lower-cases
    EXPECT_FALSE(column.Contains(QStringLiteral("(41)")));
}

TEST(FindByName, ReturnsFirstRecordWithEqualNameUnderTheCaseRule) {
    CColumnInfoArray columns;
    columns.push_back(std::make_unique<CColumnInfo>(QStringLiteral("ID"), 4, "INTEGER", 10));
    columns.push_back(std::make_unique<CColumnInfo>(QStringLiteral("name"), 12, "VARCHAR", 20));
    columns.push_back(std::make_unique<CColumnInfo>(QStringLiteral("NAME"), 12, "VARCHAR", 30));
    const CColumnInfo probe(QStringLiteral("NAME"), 0, {}, 0);

    EXPECT_EQ(FindByName(true, columns, probe), columns[2].get());
    EXPECT_EQ(FindByName(false, columns, probe), columns[1].get());
    EXPECT_EQ(FindByName(false, columns, CColumnInfo(QStringLiteral("other"), 0, {}, 0)), nullptr);
    EXPECT_EQ(FindByName(false, {}, probe), nullptr);
}
