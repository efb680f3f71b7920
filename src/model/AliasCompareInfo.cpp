#include "model/AliasCompareInfo.h"

#include "model/CompareStatus.h"
#include "model/FixedWidthFields.h"
#include "model/NameOrdering.h"
#include "model/ParamWord.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace {

QString ValueText(const QString& value) {
    return value;
}

QString ValueText(qint64 value) {
    return QString::number(value);
}

QString ValueText(qint16 value) {
    return QString::number(value);
}

template <typename T>
QString SideTexts(qint32 status, const std::array<T, 2>& values) {
    return SideText(status, ValueText(values[0]), ValueText(values[1]), values[0] != values[1]);
}

// A record is the status, then for each side the fields of DTAT, DTAS, OWTP, DTAD and CDEC.
constexpr qint64 kStatusBytes = 4;
constexpr qint64 kItemSizeBytes = 8;

// The sizes of one side's five fields.
std::array<qint64, 5> ValueFieldBytes(CAliasCompareInfo::FieldWidths widths) {
    return {CFixedWidthFields::TextBytes(widths.itemType), kItemSizeBytes,
            CFixedWidthFields::TextBytes(widths.dataType), 2,
            CFixedWidthFields::TextBytes(widths.displayDecimals)};
}

constexpr qint64 kSpillPositionBytes = 8;

qint64 SideBytes(CAliasCompareInfo::FieldWidths widths) {
    const std::array<qint64, 5> fields = ValueFieldBytes(widths);
    return std::accumulate(fields.begin(), fields.end(), qint64(0)) +
           (widths.spilled ? kSpillPositionBytes : 0);
}

} // namespace

CAliasCompareInfo::CAliasCompareInfo(QString key) : key(std::move(key)) {}

CAliasCompareInfo::CAliasCompareInfo(bool isLeft, const QString& itemType, qint64 itemSize,
                                     const QString& dataType, qint16 fileDecimals,
                                     const QString& displayDecimals) {
    const int side = isLeft ? 0 : 1;
    this->itemType[side] = TrimmedRight(itemType);
    this->itemSize[side] = itemSize;
    this->dataType[side] = TrimmedRight(dataType);
    this->fileDecimals[side] = fileDecimals;
    this->displayDecimals[side] = TrimmedRight(displayDecimals);
    status = isLeft ? CompareStatus::OnlyLeft : CompareStatus::OnlyRight;
}

QString CAliasCompareInfo::GetText(int column, const CParamWord& params) const {
    if (column == 0)
        return key;
    if (column < 1 || column > 5 || !params.TestBit(ParamBit::CompareValue0 + column - 1))
        return {};
    switch (column) {
    case 1:
        return SideTexts(status, itemType);
    case 2:
        return SideTexts(status, itemSize);
    case 3:
        return SideTexts(status, dataType);
    case 4:
        return SideTexts(status, fileDecimals);
    default:
        return SideTexts(status, displayDecimals);
    }
}

bool CAliasCompareInfo::Contains(const QString& text, const CParamWord& params) const {
    for (int column = 0; column <= 5; ++column) {
        if (LowerAscii(GetText(column, params)).contains(text))
            return true;
    }
    return false;
}

qint32 CAliasCompareInfo::MergeLeftRecord(QByteArray& record, const char* leftRecord,
                                          FieldWidths widths, const CParamWord& params) {
    // Texts are zero-padded in their fields, so equal fields mean equal values.
    const std::array<qint64, 5> fields = ValueFieldBytes(widths);
    const qint64 side = SideBytes(widths);
    char* data = record.data();
    std::copy(leftRecord + kStatusBytes, leftRecord + kStatusBytes + side, data + kStatusBytes);
    bool different = false;
    qint64 offset = 0;
    for (int value = 0; value < 5 && !different; ++value) {
        const char* left = data + kStatusBytes + offset;
        const char* right = data + kStatusBytes + side + offset;
        different = params.TestBit(ParamBit::CompareValue0 + value) &&
                    !std::equal(left, left + fields[value], right);
        offset += fields[value];
    }
    const qint32 status = different ? CompareStatus::Different : CompareStatus::Same;
    SetRecordStatus(record, status);
    return status;
}

qint32 CAliasCompareInfo::Judge(const CParamWord& params) const {
    const auto differs = [&params](int value, const auto& values) {
        return params.TestBit(ParamBit::CompareValue0 + value) && values[0] != values[1];
    };
    const bool different = differs(0, itemType) || differs(1, itemSize) || differs(2, dataType) ||
                           differs(3, fileDecimals) || differs(4, displayDecimals);
    return different ? CompareStatus::Different : CompareStatus::Same;
}

void CAliasCompareInfo::SetRecordStatus(QByteArray& record, qint32 status) {
    QByteArray statusBytes;
    CFixedWidthFields::AppendInt32(statusBytes, status);
    std::copy(statusBytes.begin(), statusBytes.end(), record.data());
}

qint64 CAliasCompareInfo::RecordSize(FieldWidths widths) {
    return kStatusBytes + 2 * SideBytes(widths);
}

void CAliasCompareInfo::AppendRecord(QByteArray& record, FieldWidths widths,
                                     std::array<qint64, 2> spillPositions) const {
    CFixedWidthFields::AppendInt32(record, status);
    for (int side = 0; side < 2; ++side) {
        CFixedWidthFields::AppendText(record, itemType[side], widths.itemType);
        CFixedWidthFields::AppendInt64(record, itemSize[side]);
        CFixedWidthFields::AppendText(record, dataType[side], widths.dataType);
        CFixedWidthFields::AppendInt16(record, fileDecimals[side]);
        CFixedWidthFields::AppendText(record, displayDecimals[side], widths.displayDecimals);
        if (widths.spilled)
            CFixedWidthFields::AppendInt64(record, spillPositions[side]);
    }
}

qint64 CAliasCompareInfo::SpillPosition(const char* record, FieldWidths widths, int side) {
    if (!widths.spilled)
        return 0;
    const qint64 end = kStatusBytes + (side + 1) * SideBytes(widths);
    return CFixedWidthFields::ReadInt64(record + end - kSpillPositionBytes);
}

bool CAliasCompareInfo::Overflows(int side, FieldWidths widths) const {
    return itemType[side].size() > widths.itemType || dataType[side].size() > widths.dataType ||
           displayDecimals[side].size() > widths.displayDecimals;
}

QByteArray CAliasCompareInfo::SpilledTexts(int side) const {
    QByteArray data;
    for (const QString* text : {&itemType[side], &dataType[side], &displayDecimals[side]})
        CFixedWidthFields::AppendSizedText(data, *text);
    return data;
}

bool CAliasCompareInfo::ParseSpilledTexts(int side, const QByteArray& data) {
    qint64 offset = 0;
    for (QString* text : {&itemType[side], &dataType[side], &displayDecimals[side]}) {
        if (!CFixedWidthFields::ReadSizedText(data.constData(), data.size(), offset, *text))
            return false;
    }
    return offset == data.size();
}

void CAliasCompareInfo::ParseRecord(const char* field, FieldWidths widths) {
    status = CFixedWidthFields::ReadInt32(field);
    field += kStatusBytes;
    for (int side = 0; side < 2; ++side) {
        itemType[side] = CFixedWidthFields::ReadText(field, widths.itemType);
        field += CFixedWidthFields::TextBytes(widths.itemType);
        itemSize[side] = CFixedWidthFields::ReadInt64(field);
        field += kItemSizeBytes;
        dataType[side] = CFixedWidthFields::ReadText(field, widths.dataType);
        field += CFixedWidthFields::TextBytes(widths.dataType);
        fileDecimals[side] = CFixedWidthFields::ReadInt16(field);
        field += 2;
        displayDecimals[side] = CFixedWidthFields::ReadText(field, widths.displayDecimals);
        field += CFixedWidthFields::TextBytes(widths.displayDecimals);
        if (widths.spilled)
            field += kSpillPositionBytes;
    }
}
