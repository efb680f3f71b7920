#include "model/IndexInfo.h"
#include "services/Language.h"

#include <gtest/gtest.h>

namespace {

class IndexInfoText : public ::testing::Test {
protected:
    void SetUp() override {
        m_index.AddColumn(QStringLiteral("CUSTOMER"), true);
        m_index.AddColumn(QStringLiteral("ORDER_DATE"), false);
        m_index.AddColumn(QStringLiteral("LINE"), true);
    }
    void TearDown() override { ChooseLanguage(QStringLiteral("ENG"), {}); }

    CIndexInfo m_index{QStringLiteral("IX_Orders")};
};

} // namespace

TEST_F(IndexInfoText, OneRowPerColumnWithTheNameOnTheFirstOnly) {
    ChooseLanguage(QStringLiteral("ENG"), {});
    EXPECT_EQ(m_index.GetText(0, 0), QStringLiteral("IX_Orders"));
    EXPECT_EQ(m_index.GetText(1, 0), QString());
    EXPECT_EQ(m_index.GetText(2, 0), QString());
    EXPECT_EQ(m_index.GetText(1, 1), QStringLiteral("ORDER_DATE"));
    EXPECT_EQ(m_index.GetText(0, 2), QStringLiteral("Ascending"));
    EXPECT_EQ(m_index.GetText(1, 2), QStringLiteral("Descending"));
    EXPECT_EQ(m_index.GetText(3, 1), QString());
    EXPECT_EQ(m_index.GetText(-1, 0), QString());
    EXPECT_EQ(m_index.GetText(0, 3), QString());
}

TEST_F(IndexInfoText, SortOrderFollowsTheChosenLanguage) {
    ChooseLanguage(QStringLiteral("FRA"), {});
    EXPECT_EQ(m_index.GetText(0, 2), QStringLiteral("Croissant"));
    EXPECT_EQ(m_index.GetText(1, 2), QStringLiteral("D\u00E9croissant"));
}

TEST_F(IndexInfoText, SearchForTheIndexNameMatchesEveryRow) {
    ChooseLanguage(QStringLiteral("ENG"), {});
    for (int row = 0; row < 3; ++row)
        EXPECT_TRUE(m_index.Contains(row, QStringLiteral("ix_orders"))) << row;
    EXPECT_TRUE(m_index.Contains(1, QStringLiteral("descending")));
    EXPECT_FALSE(m_index.Contains(0, QStringLiteral("descending")));
    EXPECT_TRUE(m_index.Contains(2, QStringLiteral("line")));
    EXPECT_FALSE(m_index.Contains(0, QStringLiteral("line")));
}
