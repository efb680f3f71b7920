#include "model/ColumnCompareInfo.h"

#include "model/CompareStatus.h"
#include "model/FixedWidthFields.h"
#include "model/NameOrdering.h"
#include "model/SqlTypeNames.h"

#include <algorithm>

namespace {

QString NullableName(qint16 nullable) {
    switch (nullable) {
    case CColumnInfo::NoNulls:
        return QStringLiteral("NOT NULL");
    case CColumnInfo::Nullable:
        return QStringLiteral("NULL");
    default:
        return QStringLiteral("?");
    }
}

QString DecimalDigitsName(const std::optional<qint16>& digits) {
    return digits ? QString::number(*digits) : QString();
}

// An empty default is told from none by its quotes.
QString DefaultName(const std::optional<QString>& value) {
    if (!value)
        return {};
    return value->isEmpty() ? QStringLiteral("''") : *value;
}

} // namespace

CColumnCompareInfo::CColumnCompareInfo(const CColumnInfo* left, const CColumnInfo* right,
                                       qint16& maxNameLength, qint16& maxTypeNameLength) {
    if (left) {
        name = left->name;
        dataType[0] = left->dataType;
        typeName[0] = left->typeName;
        size[0] = left->size;
        attributes[0] = left->attributes;
    }
    if (right) {
        if (!left)
            name = right->name;
        dataType[1] = right->dataType;
        typeName[1] = right->typeName;
        size[1] = right->size;
        attributes[1] = right->attributes;
    }
    status =
        left ? (right ? CompareStatus::Same : CompareStatus::OnlyLeft) : CompareStatus::OnlyRight;
    CFixedWidthFields::RaiseWidth(maxNameLength, name.size());
    CFixedWidthFields::RaiseWidth(maxTypeNameLength, typeName[0].size());
    CFixedWidthFields::RaiseWidth(maxTypeNameLength, typeName[1].size());
}

QString CColumnCompareInfo::GetText(int column) const {
    const auto& [left, right] = attributes;
    switch (column) {
    case NameText:
        return name;
    case SqlTypeText:
        return SideText(status, SqlTypeName(dataType[0]), SqlTypeName(dataType[1]),
                        dataType[0] != dataType[1]);
    case SizeText:
        return SideText(status, QString::number(size[0]), QString::number(size[1]),
                        size[0] != size[1]);
    case LeftTypeNameText:
        return typeName[0];
    case RightTypeNameText:
        return typeName[1];
    case NullableText:
        return SideText(status, NullableName(left.nullable), NullableName(right.nullable),
                        left.nullable != right.nullable);
    case DecimalDigitsText:
        return SideText(status, DecimalDigitsName(left.decimalDigits),
                        DecimalDigitsName(right.decimalDigits),
                        left.decimalDigits != right.decimalDigits);
    case DefaultText:
        return SideText(status, DefaultName(left.defaultValue), DefaultName(right.defaultValue),
                        left.defaultValue != right.defaultValue);
    default:
        return {};
    }
}

QStringList CColumnCompareInfo::AttributeTexts() const {
    return {GetText(NullableText), GetText(DecimalDigitsText), GetText(DefaultText)};
}

bool CColumnCompareInfo::IsTextShown(int text, bool typeDetails, bool attributes) {
    return text == NameText || (text < NullableText ? typeDetails : attributes);
}

bool CColumnCompareInfo::Contains(const QString& text, bool typeDetails, bool attributes) const {
    for (int column = NameText; column < TextCount; ++column) {
        if (IsTextShown(column, typeDetails, attributes) &&
            LowerAscii(GetText(column)).contains(text))
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

void CColumnCompareInfo::CheckColumnAttributes() {
    if (status == CompareStatus::Same && attributes[0] != attributes[1])
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

void CColumnCompareInfo::AppendAttributes(QByteArray& record, QByteArray& defaults) const {
    CFixedWidthFields::AppendInt64(record, defaults.size());
    for (const CColumnInfo::Attributes& side : attributes) {
        CFixedWidthFields::AppendInt16(record, side.nullable);
        CFixedWidthFields::AppendInt16(record, side.decimalDigits.value_or(0));
        CFixedWidthFields::AppendInt16(record, side.decimalDigits ? 1 : 0);
        const std::optional<QString>& value = side.defaultValue;
        CFixedWidthFields::AppendInt32(record, value ? qint32(value->size()) : -1);
        if (value)
            CFixedWidthFields::AppendText(defaults, *value, int(value->size()));
    }
}

qint64 CColumnCompareInfo::DefaultsPlace::Bytes() const {
    return CFixedWidthFields::TextBytes(std::max(length[0], 0)) +
           CFixedWidthFields::TextBytes(std::max(length[1], 0));
}

CColumnCompareInfo::DefaultsPlace CColumnCompareInfo::ParseAttributes(const char* field) {
    DefaultsPlace place;
    place.offset = CFixedWidthFields::ReadInt64(field);
    field += 8;
    for (int side = 0; side < 2; ++side) {
        CColumnInfo::Attributes& read = attributes[side];
        read = CColumnInfo::Attributes();
        read.nullable = CFixedWidthFields::ReadInt16(field);
        if (CFixedWidthFields::ReadInt16(field + 4) != 0)
            read.decimalDigits = CFixedWidthFields::ReadInt16(field + 2);
        place.length[side] = CFixedWidthFields::ReadInt32(field + 6);
        field += 10;
    }
    return place;
}

void CColumnCompareInfo::ParseDefaults(const char* data, const DefaultsPlace& place) {
    for (int side = 0; side < 2; ++side) {
        const qint32 length = place.length[side];
        if (length < 0)
            continue;
        attributes[side].defaultValue = CFixedWidthFields::ReadUnits(data, length);
        data += CFixedWidthFields::TextBytes(length);
    }
}
