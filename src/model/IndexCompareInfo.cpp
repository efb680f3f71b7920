#include "model/IndexCompareInfo.h"

#include "model/CompareStatus.h"
#include "model/FixedWidthFields.h"
#include "model/NameOrdering.h"
#include "services/Language.h"

#include <algorithm>

namespace {

constexpr int kUniqueText = 1850;
constexpr int kNotUniqueText = 1851;

QString UniqueText(qint32 unique) {
    return LoadLocalizedString(unique != 0 ? kUniqueText : kNotUniqueText);
}

} // namespace

CIndexCompareInfo::CIndexCompareInfo(const CIndexInfo* left, const CIndexInfo* right,
                                     bool caseSensitive, qint16& maxNameLength,
                                     qint16& maxDefinitionLength) {
    for (const int side : {0, 1}) {
        const CIndexInfo* index = side == 0 ? left : right;
        if (!index)
            continue;
        if (name.isEmpty())
            name = index->name;
        unique[size_t(side)] = index->unique ? 1 : 0;
        definition[size_t(side)] = DefinitionText(*index);
        CFixedWidthFields::RaiseWidth(maxDefinitionLength, definition[size_t(side)].size());
    }
    if (left && right)
        status = SameDefinition(*left, *right, caseSensitive) ? CompareStatus::Same
                                                              : CompareStatus::Different;
    else
        status = left ? CompareStatus::OnlyLeft : CompareStatus::OnlyRight;
    CFixedWidthFields::RaiseWidth(maxNameLength, name.size());
}

QString CIndexCompareInfo::DefinitionText(const CIndexInfo& index) {
    QString text;
    for (qsizetype column = 0; column < index.columns.size(); ++column) {
        if (column > 0)
            text += QStringLiteral(", ");
        text += index.columns[column];
        if (size_t(column) < index.ascending.size() && index.ascending[size_t(column)] == 0)
            text += QStringLiteral(" DESC");
    }
    return text;
}

bool CIndexCompareInfo::SameDefinition(const CIndexInfo& left, const CIndexInfo& right,
                                       bool caseSensitive) {
    if (left.unique != right.unique || left.columns.size() != right.columns.size() ||
        left.ascending != right.ascending)
        return false;
    for (qsizetype column = 0; column < left.columns.size(); ++column) {
        if (CompareNames(left.columns[column], right.columns[column], caseSensitive) != 0)
            return false;
    }
    return true;
}

QString CIndexCompareInfo::GetText(int column) const {
    switch (column) {
    case 0:
        return name;
    case 1:
        return SideText(status, UniqueText(unique[0]), UniqueText(unique[1]),
                        unique[0] != unique[1]);
    case 2:
        return SideText(status, definition[0], definition[1], definition[0] != definition[1]);
    default:
        return {};
    }
}

bool CIndexCompareInfo::Contains(const QString& text) const {
    for (int column = 0; column < TextCount; ++column) {
        if (LowerAscii(GetText(column)).contains(text))
            return true;
    }
    return false;
}

qint64 CIndexCompareInfo::RecordSize(int nameWidth, int definitionWidth) {
    return CFixedWidthFields::TextBytes(nameWidth) +
           2 * CFixedWidthFields::TextBytes(definitionWidth) + 12;
}

void CIndexCompareInfo::AppendRecord(QByteArray& record, int nameWidth, int definitionWidth) const {
    CFixedWidthFields::AppendText(record, name, nameWidth);
    CFixedWidthFields::AppendInt32(record, status);
    for (const int side : {0, 1}) {
        CFixedWidthFields::AppendInt32(record, unique[size_t(side)]);
        CFixedWidthFields::AppendText(record, definition[size_t(side)], definitionWidth);
    }
}

void CIndexCompareInfo::ParseRecord(const char* field, int nameWidth, int definitionWidth) {
    name = CFixedWidthFields::ReadText(field, nameWidth);
    field += CFixedWidthFields::TextBytes(nameWidth);
    status = CFixedWidthFields::ReadInt32(field);
    field += 4;
    for (const int side : {0, 1}) {
        unique[size_t(side)] = CFixedWidthFields::ReadInt32(field);
        field += 4;
        definition[size_t(side)] = CFixedWidthFields::ReadText(field, definitionWidth);
        field += CFixedWidthFields::TextBytes(definitionWidth);
    }
}

namespace {

// The other side's index that a named index is matched with, or the nameless one of the same
// definition not matched yet.
const CIndexInfo* Partner(const CIndexInfo& index, const CIndexInfoArray& others,
                          std::vector<bool>& taken, bool caseSensitive) {
    for (size_t other = 0; other < others.size(); ++other) {
        const CIndexInfo& candidate = *others[other];
        const bool matches =
            index.name.isEmpty()
                ? candidate.name.isEmpty() && !taken[other] &&
                      CIndexCompareInfo::SameDefinition(index, candidate, caseSensitive)
                : CompareNames(candidate.name, index.name, caseSensitive) == 0;
        if (matches && !taken[other]) {
            taken[other] = true;
            return &candidate;
        }
    }
    return nullptr;
}

} // namespace

CIndexCompareRows CompareIndexLists(const CIndexInfoArray& left, const CIndexInfoArray& right,
                                    bool caseSensitive, qint16& maxNameLength,
                                    qint16& maxDefinitionLength) {
    CIndexCompareRows rows;
    std::vector<bool> rightTaken(right.size(), false);
    // Which row each right index ended in, for the right-only ones to follow their predecessor.
    std::vector<const CIndexCompareInfo*> rightRow(right.size(), nullptr);
    for (const auto& index : left) {
        const CIndexInfo* partner = Partner(*index, right, rightTaken, caseSensitive);
        rows.push_back(std::make_unique<CIndexCompareInfo>(index.get(), partner, caseSensitive,
                                                           maxNameLength, maxDefinitionLength));
        for (size_t other = 0; partner && other < right.size(); ++other) {
            if (right[other].get() == partner)
                rightRow[other] = rows.back().get();
        }
    }
    const CIndexCompareInfo* previous = nullptr;
    for (size_t other = 0; other < right.size(); ++other) {
        if (rightTaken[other]) {
            previous = rightRow[other];
            continue;
        }
        auto row = std::make_unique<CIndexCompareInfo>(nullptr, right[other].get(), caseSensitive,
                                                       maxNameLength, maxDefinitionLength);
        auto place = rows.begin();
        if (previous) {
            place = std::find_if(rows.begin(), rows.end(), [previous](const auto& existing) {
                return existing.get() == previous;
            });
            if (place != rows.end())
                ++place;
        }
        previous = row.get();
        rows.insert(place, std::move(row));
    }
    return rows;
}
