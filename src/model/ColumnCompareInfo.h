#pragma once

#include "model/ColumnInfo.h"
#include "model/Object.h"

#include <QString>

#include <array>

// One row of a column comparison: a column name found in the left table, the right table or
// both. Element 0 of the per-side fields is the left side, element 1 the right side.
class CColumnCompareInfo : public CObject {
public:
    // An empty row, to be filled by ParseRecord.
    CColumnCompareInfo() = default;
    // A row from one or both columns. The caller's width counters are raised to the longest name
    // and driver type name seen (they saturate at the largest 16-bit width).
    CColumnCompareInfo(const CColumnInfo* left, const CColumnInfo* right, qint16& maxNameLength,
                       qint16& maxTypeNameLength);

    // 0 name, 1 SQL type name(s), 2 size(s), 3 left driver type name, 4 right driver type name.
    QString GetText(int column) const;
    // text must already be lower-cased.
    bool Contains(const QString& text, bool allColumns) const;

    // Marks a row present on both sides different when the SQL types, or the sizes of two sized
    // types, differ. With stringsAlike two character types count as the same type.
    void CheckColumnTypes(bool stringsAlike);

    // The fixed-width binary form; texts longer than their field are cut to it. ParseRecord's
    // data holds RecordSize bytes.
    static qint64 RecordSize(int nameWidth, int typeNameWidth);
    void AppendRecord(QByteArray& buffer, int nameWidth, int typeNameWidth) const;
    void ParseRecord(const char* data, int nameWidth, int typeNameWidth);

    QString name;
    qint32 status = 0;
    std::array<qint32, 2> dataType{};
    std::array<QString, 2> typeName;
    std::array<qint32, 2> size{};
};
