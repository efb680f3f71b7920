#pragma once

#include "model/IndexInfo.h"
#include "model/Object.h"

#include <QString>

#include <array>
#include <memory>
#include <vector>

// One row of an index comparison: an index of the left table, the right table or both. Element
// 0 of the per-side fields is the left side, element 1 the right side. An index's definition is
// kept as the text it is shown and written with: its columns in key order, separated by ", ",
// each descending one followed by " DESC".
class CIndexCompareInfo : public CObject {
public:
    // An empty row, to be filled by ParseRecord.
    CIndexCompareInfo() = default;
    // A row from one or both indexes, judged; the caller's width counters are raised to the
    // longest name and definition seen (they saturate at the largest 16-bit width).
    CIndexCompareInfo(const CIndexInfo* left, const CIndexInfo* right, bool caseSensitive,
                      qint16& maxNameLength, qint16& maxDefinitionLength);

    // 0 name, 1 unique (pair text), 2 columns (pair text).
    static constexpr int TextCount = 3;
    QString GetText(int column) const;
    // text must already be lower-cased.
    bool Contains(const QString& text) const;

    static QString DefinitionText(const CIndexInfo& index);
    // Whether two indexes have the same definition: uniqueness, and the same columns in the same
    // order with the same directions, the names compared under the name rule.
    static bool SameDefinition(const CIndexInfo& left, const CIndexInfo& right, bool caseSensitive);

    static qint64 RecordSize(int nameWidth, int definitionWidth);
    void AppendRecord(QByteArray& buffer, int nameWidth, int definitionWidth) const;
    void ParseRecord(const char* data, int nameWidth, int definitionWidth);

    QString name;
    qint32 status = 0;
    std::array<qint32, 2> unique{};
    std::array<QString, 2> definition;
};

using CIndexCompareRows = std::vector<std::unique_ptr<CIndexCompareInfo>>;

// The rows of a table's two index lists: indexes are matched by name under the name rule, an
// index without a name by its definition among the other side's nameless ones. The left's
// indexes come in their order; a right-only index goes after the row of the right index before
// it, or on top. The widths are raised as by the rows' constructor.
CIndexCompareRows CompareIndexLists(const CIndexInfoArray& left, const CIndexInfoArray& right,
                                    bool caseSensitive, qint16& maxNameLength,
                                    qint16& maxDefinitionLength);
