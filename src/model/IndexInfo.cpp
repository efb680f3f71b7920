#include "model/IndexInfo.h"

#include "model/NameOrdering.h"
#include "services/Language.h"

#include <utility>

namespace {
constexpr int kAscendingText = 1160;
constexpr int kDescendingText = 1161;
} // namespace

CIndexInfo::CIndexInfo(QString name, bool unique) : name(std::move(name)), unique(unique) {}

void CIndexInfo::AddColumn(const QString& columnName, bool isAscending) {
    columns.append(columnName);
    ascending.push_back(isAscending ? 1 : 0);
}

QString CIndexInfo::GetText(int row, int column) const {
    if (row < 0 || row >= columns.size())
        return {};
    switch (column) {
    case 0:
        return row == 0 ? name : QString();
    case 1:
        return columns[row];
    case 2:
        return LoadLocalizedString(ascending[row] == 1 ? kAscendingText : kDescendingText);
    default:
        return {};
    }
}

bool CIndexInfo::Contains(int row, const QString& text) const {
    return LowerAscii(name).contains(text) || LowerAscii(GetText(row, 1)).contains(text) ||
           LowerAscii(GetText(row, 2)).contains(text);
}
