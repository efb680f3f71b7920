#include "model/ColumnCompareInfo.h"

#include "model/CompareStatus.h"
#include "model/FixedWidthFields.h"
#include "model/NameOrdering.h"
#include "model/SqlTypeNames.h"

#include <limits>

namespace {

void RaiseWidth(qint16& width, qsizetype length) {
    const qsizetype capped = std::min<qsizetype>(length, std::numeric_limits<qint16>::max());
    if (capped > width)
        width = qint16(capped);
}

} // namespace

CColumnCompareInfo::CColumnCompareInfo(const CColumnInfo* left, const CColumnInfo* right,
                                       qint16& maxNameLength, qint16& maxTypeNameLength) {
    if (left) {
        name = left->name;
        dataType[0] = left->dataType;
        typeName[0] = left->typeName;
        size[0] = left->size;
    }
    if (right) {
        if (!left)
            name = right->name;
        dataType[1] = right->dataType;
        typeName[1] = right->typeName;
        size[1] = right->size;
    }
    status =
        left ? (right ? CompareStatus::Same : CompareStatus::OnlyLeft) : CompareStatus::OnlyRight;
    RaiseWidth(maxNameLength, name.size());
    RaiseWidth(maxTypeNameLength, typeName[0].size());
    RaiseWidth(maxTypeNameLength, typeName[1].size());
}

QString CColumnCompareInfo::GetText(int column) const {
    switch (column) {
    case 0:
        return name;
    case 1:
        return SideText(status, SqlTypeName(dataType[0]), SqlTypeName(dataType[1]),
                        dataType[0] != dataType[1]);
    case 2:
        return SideText(status, QString::number(size[0]), QString::number(size[1]),
                        size[0] != size[1]);
    case 3:
        return typeName[0];
    case 4:
        return typeName[1];
    default:
        return {};
    }
}

bool CColumnCompareInfo::Contains(const QString& text, bool allColumns) const {
    const int lastColumn = allColumns ? 4 : 0;
    for (int column = 0; column <= lastColumn; ++column) {
        if (LowerAscii(GetText(column)).contains(text))
            return true;
    }
    return false;
}

void CColumnCompareInfo::CheckColumnTypes(bool stringsAlike) {
    if (status != CompareStatus::Same)
        return;
    const bool bothCharacter = IsCharacterType(dataType[0]) && IsCharacterType(dataType[1]);
    if (!(stringsAlike && bothCharacter) && dataType[0] != dataType[1]) {
        status = CompareStatus::Different;
        return;
    }
    if (IsSizedType(dataType[0]) && IsSizedType(dataType[1]) && size[0] != size[1])
        status = CompareStatus::Different;
}

qint64 CColumnCompareInfo::RecordSize(int nameWidth, int typeNameWidth) {
    return CFixedWidthFields::TextBytes(nameWidth) +
           2 * CFixedWidthFields::TextBytes(typeNameWidth) + 20;
}

void CColumnCompareInfo::AppendRecord(QByteArray& record, int nameWidth, int typeNameWidth) const {
    CFixedWidthFields::AppendText(record, name, nameWidth);
    CFixedWidthFields::AppendInt32(record, status);
    for (int side = 0; side < 2; ++side) {
        CFixedWidthFields::AppendInt32(record, dataType[side]);
        CFixedWidthFields::AppendText(record, typeName[side], typeNameWidth);
        CFixedWidthFields::AppendInt32(record, size[side]);
    }
}

void CColumnCompareInfo::ParseRecord(const char* field, int nameWidth, int typeNameWidth) {
    name = CFixedWidthFields::ReadText(field, nameWidth);
    field += CFixedWidthFields::TextBytes(nameWidth);
    status = CFixedWidthFields::ReadInt32(field);
    field += 4;
    for (int side = 0; side < 2; ++side) {
        dataType[side] = CFixedWidthFields::ReadInt32(field);
        field += 4;
        typeName[side] = CFixedWidthFields::ReadText(field, typeNameWidth);
        field += CFixedWidthFields::TextBytes(typeNameWidth);
        size[side] = CFixedWidthFields::ReadInt32(field);
        field += 4;
    }
}
