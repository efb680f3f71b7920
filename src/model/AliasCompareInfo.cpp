#include "model/AliasCompareInfo.h"

#include "model/CompareStatus.h"
#include "model/FixedWidthFields.h"
#include "model/NameOrdering.h"
#include "model/ParamWord.h"

#include <QIODevice>

#include <utility>

namespace {

QString ValueText(const QString& value) {
    return value;
}

QString ValueText(qint32 value) {
    return QString::number(value);
}

template <typename T>
QString SideTexts(qint32 status, const std::array<T, 2>& values) {
    return SideText(status, ValueText(values[0]), ValueText(values[1]), values[0] != values[1]);
}

} // namespace

CAliasCompareInfo::CAliasCompareInfo(QString key) : key(std::move(key)) {}

CAliasCompareInfo::CAliasCompareInfo(bool isLeft, const QString& itemType, qint32 itemSize,
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

void CAliasCompareInfo::MergeLeft(const CAliasCompareInfo& other, const CParamWord& params) {
    itemType[0] = other.itemType[0];
    itemSize[0] = other.itemSize[0];
    dataType[0] = other.dataType[0];
    fileDecimals[0] = other.fileDecimals[0];
    displayDecimals[0] = other.displayDecimals[0];

    const bool different =
        (params.TestBit(ParamBit::CompareValue0 + 0) && itemType[0] != itemType[1]) ||
        (params.TestBit(ParamBit::CompareValue0 + 1) && itemSize[0] != itemSize[1]) ||
        (params.TestBit(ParamBit::CompareValue0 + 2) && dataType[0] != dataType[1]) ||
        (params.TestBit(ParamBit::CompareValue0 + 3) && fileDecimals[0] != fileDecimals[1]) ||
        (params.TestBit(ParamBit::CompareValue0 + 4) && displayDecimals[0] != displayDecimals[1]);
    status = different ? CompareStatus::Different : CompareStatus::Same;
}

qint32 CAliasCompareInfo::MergeLeftRecord(QByteArray& record, const char* leftRecord,
                                          int itemTypeWidth, int dataTypeWidth,
                                          int displayDecimalsWidth, const CParamWord& params) {
    // Each side: DTAT, DTAS, OWTP, DTAD, CDEC. Texts are zero-padded in their fields, so equal
    // fields mean equal values.
    const qint64 fields[5] = {CFixedWidthFields::TextBytes(itemTypeWidth), 4,
                              CFixedWidthFields::TextBytes(dataTypeWidth), 2,
                              CFixedWidthFields::TextBytes(displayDecimalsWidth)};
    const qint64 side = fields[0] + fields[1] + fields[2] + fields[3] + fields[4];
    char* data = record.data();
    std::copy(leftRecord + 4, leftRecord + 4 + side, data + 4);
    bool different = false;
    qint64 offset = 0;
    for (int value = 0; value < 5 && !different; ++value) {
        const char* left = data + 4 + offset;
        const char* right = data + 4 + side + offset;
        different = params.TestBit(ParamBit::CompareValue0 + value) &&
                    !std::equal(left, left + fields[value], right);
        offset += fields[value];
    }
    const qint32 status = different ? CompareStatus::Different : CompareStatus::Same;
    QByteArray statusBytes;
    CFixedWidthFields::AppendInt32(statusBytes, status);
    std::copy(statusBytes.begin(), statusBytes.end(), data);
    return status;
}

qint64 CAliasCompareInfo::RecordSize(int itemTypeWidth, int dataTypeWidth,
                                     int displayDecimalsWidth) {
    const qint64 side = CFixedWidthFields::TextBytes(itemTypeWidth) + 4 +
                        CFixedWidthFields::TextBytes(dataTypeWidth) + 2 +
                        CFixedWidthFields::TextBytes(displayDecimalsWidth);
    return 4 + 2 * side;
}

void CAliasCompareInfo::AppendRecord(QByteArray& record, int itemTypeWidth, int dataTypeWidth,
                                     int displayDecimalsWidth) const {
    CFixedWidthFields::AppendInt32(record, status);
    for (int side = 0; side < 2; ++side) {
        CFixedWidthFields::AppendText(record, itemType[side], itemTypeWidth);
        CFixedWidthFields::AppendInt32(record, itemSize[side]);
        CFixedWidthFields::AppendText(record, dataType[side], dataTypeWidth);
        CFixedWidthFields::AppendInt16(record, fileDecimals[side]);
        CFixedWidthFields::AppendText(record, displayDecimals[side], displayDecimalsWidth);
    }
}

void CAliasCompareInfo::ParseRecord(const char* field, int itemTypeWidth, int dataTypeWidth,
                                    int displayDecimalsWidth) {
    status = CFixedWidthFields::ReadInt32(field);
    field += 4;
    for (int side = 0; side < 2; ++side) {
        itemType[side] = CFixedWidthFields::ReadText(field, itemTypeWidth);
        field += CFixedWidthFields::TextBytes(itemTypeWidth);
        itemSize[side] = CFixedWidthFields::ReadInt32(field);
        field += 4;
        dataType[side] = CFixedWidthFields::ReadText(field, dataTypeWidth);
        field += CFixedWidthFields::TextBytes(dataTypeWidth);
        fileDecimals[side] = CFixedWidthFields::ReadInt16(field);
        field += 2;
        displayDecimals[side] = CFixedWidthFields::ReadText(field, displayDecimalsWidth);
        field += CFixedWidthFields::TextBytes(displayDecimalsWidth);
    }
}

bool CAliasCompareInfo::WriteRecord(QIODevice& file, int itemTypeWidth, int dataTypeWidth,
                                    int displayDecimalsWidth) const {
    QByteArray record;
    record.reserve(RecordSize(itemTypeWidth, dataTypeWidth, displayDecimalsWidth));
    AppendRecord(record, itemTypeWidth, dataTypeWidth, displayDecimalsWidth);
    return file.write(record) == record.size();
}

bool CAliasCompareInfo::ReadRecord(QIODevice& file, int itemTypeWidth, int dataTypeWidth,
                                   int displayDecimalsWidth) {
    const qint64 recordSize = RecordSize(itemTypeWidth, dataTypeWidth, displayDecimalsWidth);
    const QByteArray record = file.read(recordSize);
    if (record.size() != recordSize)
        return false;
    ParseRecord(record.constData(), itemTypeWidth, dataTypeWidth, displayDecimalsWidth);
    return true;
}
