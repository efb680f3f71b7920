#pragma once

#include "model/ExportEncoding.h"

#include <QtGlobal>

class CSettingsStore;

// Bit numbers of the parameter word. Bit N is also check box 5016 + N of the parameters dialog.
namespace ParamBit {
enum : int {
    ExportFields = 0,
    ExportIndexes = 1,
    CaseSensitive = 2,
    ExportTableStatus0 = 3,       // 3-6: tables of status 0-3
    ExportTableColumnStatus0 = 7, // 7-10: columns of status 0-3 under a different table
    ExportColumnStatus0 = 11,     // 11-14: column comparison lines of status 0-3
    ExportDictionaryStatus0 = 15, // 15-18: data-dictionary lines of status 0-3
    CompareValue0 = 19,           // 19-23: compare and show DTAT, DTAS, OWTP, DTAD, CDEC
    CompareSqlTypes = 24,
    StringsAlike = 25,
    CompareIndexes = 26,
    CompareAttributes = 27, // nullability, decimal digits and default values of fields
};
} // namespace ParamBit

// All options of the program in one persisted word of 28 flag bits.
class CParamWord {
public:
    // The highest bit this program knows; stored beside the word so that a later program can
    // give the bits it adds their defaults.
    static constexpr int MaxIndex = 27;

    // A word holding the defaults, as on a first start.
    CParamWord();
    explicit CParamWord(quint32 value) : m_value(value) {}

    static bool DefaultBit(int bit);
    static quint32 DefaultValue();

    quint32 Value() const { return m_value; }
    void SetValue(quint32 value) { m_value = value; }

    bool TestBit(int bit) const;
    void SetBit(int bit, bool on);

    // Section "Params": "Value" (0 when missing) and "MaxIndex". Bits above the stored
    // MaxIndex get their defaults; a store with neither, or an unreadable word (text, or a number
    // outside 32 bits), gives the defaults, and a MaxIndex outside 0-31 counts as missing.
    // The export encoding is kept beside the word as "ExportEncoding" ("latin1" when missing or
    // unknown).
    void Load(const CSettingsStore& store);
    void Save(CSettingsStore& store) const;

    ExportEncoding Encoding() const { return m_encoding; }
    void SetEncoding(ExportEncoding encoding) { m_encoding = encoding; }

private:
    quint32 m_value;
    ExportEncoding m_encoding = ExportEncoding::Latin1;
};
