#pragma once

#include "model/Object.h"

#include <QByteArray>
#include <QString>

#include <array>

class CParamWord;
class QIODevice;

// One data item (alias) of the data-dictionary comparison. The five compared values are
// numbered 1-5 as list columns: DTAT, DTAS, OWTP, DTAD, CDEC. Which of them are compared and
// shown is told by bits 19-23 of the parameter word.
class CAliasCompareInfo : public CObject {
public:
    CAliasCompareInfo() = default;
    explicit CAliasCompareInfo(QString key);
    // One side's values, trimmed of trailing white space: status 1 for the left side, 2 for the
    // right. The key is set by the caller.
    CAliasCompareInfo(bool isLeft, const QString& itemType, qint32 itemSize,
                      const QString& dataType, qint16 fileDecimals, const QString& displayDecimals);

    // Column 0: the key, always; columns 1-5: the value, empty unless its bit is set.
    QString GetText(int column, const CParamWord& params) const;
    // text must already be lower-cased; a hidden value column never matches.
    bool Contains(const QString& text, const CParamWord& params) const;

    // Takes other's left values and judges the item: different when a compared value differs.
    void MergeLeft(const CAliasCompareInfo& other, const CParamWord& params);
    // The same on the binary forms: record holds a right record, leftRecord the stored left one
    // (values that fit their fields, as the reader delivers them). Copies the left values into
    // record, writes the judged status into it and returns that status.
    static qint32 MergeLeftRecord(QByteArray& record, const char* leftRecord, int itemTypeWidth,
                                  int dataTypeWidth, int displayDecimalsWidth,
                                  const CParamWord& params);

    static qint64 RecordSize(int itemTypeWidth, int dataTypeWidth, int displayDecimalsWidth);
    // The fixed-width binary form (the key is not part of it) at the device's current position;
    // false on a short write or read. Texts longer than their field are cut to it.
    bool WriteRecord(QIODevice& file, int itemTypeWidth, int dataTypeWidth,
                     int displayDecimalsWidth) const;
    bool ReadRecord(QIODevice& file, int itemTypeWidth, int dataTypeWidth,
                    int displayDecimalsWidth);
    // The same binary form in memory; data holds RecordSize bytes.
    void AppendRecord(QByteArray& buffer, int itemTypeWidth, int dataTypeWidth,
                      int displayDecimalsWidth) const;
    void ParseRecord(const char* data, int itemTypeWidth, int dataTypeWidth,
                     int displayDecimalsWidth);

    QString key;
    qint32 status = 0;
    std::array<QString, 2> itemType;        // FRDTAT
    std::array<qint32, 2> itemSize{};       // FRDTAS
    std::array<QString, 2> dataType;        // FROWTP
    std::array<qint16, 2> fileDecimals{};   // FRDTAD
    std::array<QString, 2> displayDecimals; // FRCDEC
};
