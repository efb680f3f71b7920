#pragma once

#include "model/Object.h"

#include <QByteArray>
#include <QString>

#include <array>

class CParamWord;

// One data item (alias) of the data-dictionary comparison. The five compared values are
// numbered 1-5 as list columns: DTAT, DTAS, OWTP, DTAD, CDEC. Which of them are compared and
// shown is told by bits 19-23 of the parameter word.
class CAliasCompareInfo : public CObject {
public:
    // The widths in code units of the record's three text fields, the same on both sides, and
    // whether each side's fields end with the position of its texts that are longer than their
    // fields (spilled texts), kept elsewhere so that one long text does not widen every record.
    struct FieldWidths {
        int itemType = 0;
        int dataType = 0;
        int displayDecimals = 0;
        bool spilled = false;
    };

    CAliasCompareInfo() = default;
    explicit CAliasCompareInfo(QString key);
    // One side's values, trimmed of trailing white space: status 1 for the left side, 2 for the
    // right. The key is set by the caller.
    CAliasCompareInfo(bool isLeft, const QString& itemType, qint64 itemSize,
                      const QString& dataType, qint16 fileDecimals, const QString& displayDecimals);

    // Column 0: the key, always; columns 1-5: the value, empty unless its bit is set.
    QString GetText(int column, const CParamWord& params) const;
    // text must already be lower-cased; a hidden value column never matches.
    bool Contains(const QString& text, const CParamWord& params) const;

    // Merges and judges an item in its binary form: record holds a right record, leftRecord the
    // stored left one. Copies the left values into record, writes the judged status into it and
    // returns that status: different when a compared value differs. Only the texts in the fields
    // are compared: when either side has spilled texts, same must be judged again on the whole
    // values (Judge).
    static qint32 MergeLeftRecord(QByteArray& record, const char* leftRecord, FieldWidths widths,
                                  const CParamWord& params);
    // The status of an item holding both sides' whole values: different when a value that the
    // parameter word compares differs.
    qint32 Judge(const CParamWord& params) const;
    static void SetRecordStatus(QByteArray& record, qint32 status);

    // The fixed-width binary form (the key is not part of it); texts longer than their field are
    // cut to it. With widths.spilled, each side's fields end with spillPositions[side], the
    // position of its SpilledTexts (0 for none). ParseRecord's data holds RecordSize bytes.
    static qint64 RecordSize(FieldWidths widths);
    void AppendRecord(QByteArray& buffer, FieldWidths widths,
                      std::array<qint64, 2> spillPositions = {}) const;
    void ParseRecord(const char* data, FieldWidths widths);
    static qint64 SpillPosition(const char* record, FieldWidths widths, int side);

    // Whether a text of side is longer than its field.
    bool Overflows(int side, FieldWidths widths) const;
    // The three texts of side whole, and back: false when data is not such a form.
    QByteArray SpilledTexts(int side) const;
    bool ParseSpilledTexts(int side, const QByteArray& data);

    QString key;
    qint32 status = 0;
    std::array<QString, 2> itemType;        // FRDTAT
    std::array<qint64, 2> itemSize{};       // FRDTAS, whole: no declared size wraps
    std::array<QString, 2> dataType;        // FROWTP
    std::array<qint16, 2> fileDecimals{};   // FRDTAD
    std::array<QString, 2> displayDecimals; // FRCDEC
};
