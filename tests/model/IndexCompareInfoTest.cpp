#include "model/IndexCompareInfo.h"
#include "model/CompareStatus.h"

#include <gtest/gtest.h>

namespace {

// An index from "name:U" (unique) or "name", and its columns, a leading '-' for descending.
std::unique_ptr<CIndexInfo> Index(const QString& nameAndKind, const QStringList& columns) {
    const QStringList parts = nameAndKind.split(QLatin1Char(':'));
    auto index = std::make_unique<CIndexInfo>(parts[0], parts.size() > 1);
    for (const QString& column : columns)
        index->AddColumn(column.startsWith(QLatin1Char('-')) ? column.mid(1) : column,
                         !column.startsWith(QLatin1Char('-')));
    return index;
}

struct Compared {
    CIndexCompareRows rows;
    qint16 nameWidth = 0;
    qint16 definitionWidth = 0;
};

Compared Compare(const CIndexInfoArray& left, const CIndexInfoArray& right,
                 bool caseSensitive = false) {
    Compared compared;
    compared.rows =
        CompareIndexLists(left, right, caseSensitive, compared.nameWidth, compared.definitionWidth);
    return compared;
}

QStringList Lines(const CIndexCompareRows& rows) {
    QStringList lines;
    for (const auto& row : rows)
        lines.append(QString::number(row->status) + QLatin1Char(' ') + row->GetText(0) +
                     QStringLiteral(" [") + row->GetText(1) + QStringLiteral("] ") +
                     row->GetText(2));
    return lines;
}

CIndexInfoArray List(std::initializer_list<std::pair<QString, QStringList>> indexes) {
    CIndexInfoArray list;
    for (const auto& [name, columns] : indexes)
        list.push_back(Index(name, columns));
    return list;
}

} // namespace

// Matched by name under the name rule; a pair differs in uniqueness, columns, their order or a
// direction; a one-sided index follows the row of the right index before it.
TEST(IndexCompareInfo, MatchedByNameAndJudgedByTheirDefinitions) {
    const CIndexInfoArray left = List({{"pk:U", {"id"}},
                                       {"by_name", {"name"}},
                                       {"by_two", {"a", "b"}},
                                       {"by_date", {"-created"}},
                                       {"codes", {"code"}},
                                       {"left_only", {"x"}}});
    const CIndexInfoArray right = List({{"PK:U", {"ID"}},
                                        {"right_first", {"z"}},
                                        {"by_name", {"name", "code"}},
                                        {"by_two", {"b", "a"}},
                                        {"by_date", {"created"}},
                                        {"codes:U", {"code"}},
                                        {"right_only", {"y"}}});
    const Compared compared = Compare(left, right);
    EXPECT_EQ(Lines(compared.rows),
              (QStringList{"0 pk [unique] id", "2 right_first [not unique] z",
                           "3 by_name [not unique] name | name, code",
                           "3 by_two [not unique] a, b | b, a",
                           "3 by_date [not unique] created DESC | created",
                           "3 codes [not unique | unique] code", "2 right_only [not unique] y",
                           "1 left_only [not unique] x"}));
    EXPECT_EQ(compared.nameWidth, qint16(11));
    EXPECT_EQ(compared.definitionWidth, qint16(12));

    // Under the case-sensitive rule "PK" is another index, and "ID" another column.
    EXPECT_EQ(Lines(Compare(List({{"pk:U", {"id"}}}), List({{"PK:U", {"ID"}}}), true).rows),
              (QStringList{"2 PK [unique] ID", "1 pk [unique] id"}));
    EXPECT_EQ(Lines(Compare(List({{"pk:U", {"id"}}}), List({{"pk:U", {"ID"}}}), true).rows),
              (QStringList{"3 pk [unique] id | ID"}));
}

// An index without a name is matched by its definition, once, among the other side's nameless
// indexes; a right-only index follows the row of the right index before it.
TEST(IndexCompareInfo, NamelessIndexesAreMatchedByTheirDefinition) {
    const Compared compared = Compare(List({{"", {"a"}}, {"", {"b"}}, {"", {"a"}}}),
                                      List({{"", {"b"}}, {"", {"a"}}, {"named", {"a"}}}));
    EXPECT_EQ(Lines(compared.rows), (QStringList{"0  [not unique] a", "2 named [not unique] a",
                                                 "0  [not unique] b", "1  [not unique] a"}));
}

TEST(IndexCompareInfo, RecordsReadBackWhatWasWritten) {
    const Compared compared =
        Compare(List({{"by_name", {"name", "-code"}}}), List({{"by_name:U", {"name"}}}));
    ASSERT_EQ(compared.rows.size(), 1u);
    QByteArray record;
    compared.rows[0]->AppendRecord(record, compared.nameWidth, compared.definitionWidth);
    ASSERT_EQ(record.size(),
              CIndexCompareInfo::RecordSize(compared.nameWidth, compared.definitionWidth));
    CIndexCompareInfo read;
    read.ParseRecord(record.constData(), compared.nameWidth, compared.definitionWidth);
    EXPECT_EQ(read.name, QStringLiteral("by_name"));
    EXPECT_EQ(read.status, CompareStatus::Different);
    EXPECT_EQ(read.unique, (std::array<qint32, 2>{0, 1}));
    EXPECT_EQ(read.definition[0], QStringLiteral("name, code DESC"));
    EXPECT_EQ(read.definition[1], QStringLiteral("name"));
    EXPECT_TRUE(read.Contains(QStringLiteral("code desc")));
}
