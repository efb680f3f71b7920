#pragma once

#include "model/ColumnInfo.h"
#include "model/Object.h"

#include <QString>
#include <QStringList>

#include <array>

// One row of a column comparison: a column name found in the left table, the right table or
// both. Element 0 of the per-side fields is the left side, element 1 the right side.
class CColumnCompareInfo : public CObject {
public:
    // The texts of a row, by GetText's column.
    enum Text : int {
        NameText = 0,
        SqlTypeText = 1,
        SizeText = 2,
        LeftTypeNameText = 3,
        RightTypeNameText = 4,
        NullableText = 5,
        DecimalDigitsText = 6,
        DefaultText = 7,
        TextCount = 8,
    };

    // An empty row, to be filled by ParseRecord.
    CColumnCompareInfo() = default;
    // A row from one or both columns. The caller's width counters are raised to the longest name
    // and driver type name seen (they saturate at the largest 16-bit width).
    CColumnCompareInfo(const CColumnInfo* left, const CColumnInfo* right, qint16& maxNameLength,
                       qint16& maxTypeNameLength);

    // A Text: the name, the type details, then the attributes: "NOT NULL", "NULL" or "?", the
    // decimal digits, and the default as read ('' when empty); NULL reads empty.
    QString GetText(int column) const;
    // The texts of the attributes, nullability first.
    QStringList AttributeTexts() const;
    // Whether a list shows a Text: the name always, the type details and the attributes when
    // it shows them.
    static bool IsTextShown(int text, bool typeDetails, bool attributes);
    // text must already be lower-cased; the texts shown are searched.
    bool Contains(const QString& text, bool typeDetails, bool attributes) const;

    // Marks a row present on both sides different when the SQL types, or the sizes of two sized
    // types, differ. With stringsAlike two character types count as the same type.
    void CheckColumnTypes(bool stringsAlike);
    // Marks a row present on both sides different when its attributes differ.
    void CheckColumnAttributes();

    // The fixed-width binary form; texts longer than their field are cut to it. ParseRecord's
    // data holds RecordSize bytes.
    static qint64 RecordSize(int nameWidth, int typeNameWidth);
    void AppendRecord(QByteArray& buffer, int nameWidth, int typeNameWidth) const;
    void ParseRecord(const char* data, int nameWidth, int typeNameWidth);

    // Where a comparison keeps the attributes, AttributeBytes follow each record: where the
    // row's defaults begin in a block of texts that the caller keeps after its rows, then each
    // side's nullability, decimal digits (a value and whether there is one) and default length
    // (-1: NULL). A long default so takes its own length only, not every row's.
    static constexpr qint64 AttributeBytes = 28;
    void AppendAttributes(QByteArray& buffer, QByteArray& defaults) const;
    struct DefaultsPlace {
        qint64 offset = 0;
        std::array<qint32, 2> length{-1, -1};
        qint64 Bytes() const;
    };
    // Reads the attributes but the defaults, and says where those are; ParseDefaults then takes
    // the place's bytes.
    DefaultsPlace ParseAttributes(const char* data);
    void ParseDefaults(const char* data, const DefaultsPlace& place);

    QString name;
    qint32 status = 0;
    std::array<qint32, 2> dataType{};
    std::array<QString, 2> typeName;
    std::array<qint32, 2> size{};
    std::array<CColumnInfo::Attributes, 2> attributes;
};
