#include "model/ParamWord.h"

#include "services/SettingsStore.h"

#include <limits>

namespace {
const QString kSection = QStringLiteral("Params");
const QString kValue = QStringLiteral("Value");
const QString kMaxIndex = QStringLiteral("MaxIndex");
const QString kEncoding = QStringLiteral("ExportEncoding");
} // namespace

CParamWord::CParamWord() : m_value(DefaultValue()) {}

bool CParamWord::DefaultBit(int bit) {
    // The comparisons of indexes and of the fields' other attributes are asked for, never
    // assumed: without them every export is as before.
    return bit >= 0 && bit <= MaxIndex && bit != ParamBit::CaseSensitive &&
           bit != ParamBit::CompareSqlTypes && bit != ParamBit::CompareIndexes &&
           bit != ParamBit::CompareAttributes;
}

quint32 CParamWord::DefaultValue() {
    quint32 value = 0;
    for (int bit = 0; bit <= MaxIndex; ++bit) {
        if (DefaultBit(bit))
            value |= quint32(1) << bit;
    }
    return value;
}

bool CParamWord::TestBit(int bit) const {
    return bit >= 0 && bit < 32 && (m_value >> bit) & 1u;
}

void CParamWord::SetBit(int bit, bool on) {
    if (bit < 0 || bit >= 32)
        return;
    const quint32 mask = quint32(1) << bit;
    m_value = on ? (m_value | mask) : (m_value & ~mask);
}

void CParamWord::Load(const CSettingsStore& store) {
    // -1 stands for a value that is missing or not a number.
    const qint64 value = store.ReadInteger(kSection, kValue).value_or(-1);
    qint64 maxIndex = store.ReadInteger(kSection, kMaxIndex).value_or(-1);
    // A word wider than 32 bits was not written by any version of this program: it is as
    // unreadable as text, not a word to cut down to its low bits.
    const bool readable = value >= 0 && value <= qint64(std::numeric_limits<quint32>::max());
    // A MaxIndex beyond the word's bits tells nothing about which bits were known.
    if (maxIndex < 0 || maxIndex >= 32)
        maxIndex = -1;
    // A word that is there but cannot be read says nothing about its bits: take every default
    // rather than turn every option off. A missing word reads as 0.
    if (!readable && store.ValueNames(kSection).contains(kValue))
        maxIndex = -1;
    m_value = readable ? quint32(value) : 0;
    for (int bit = int(maxIndex) + 1; bit <= MaxIndex; ++bit)
        SetBit(bit, DefaultBit(bit));
    m_encoding = ExportEncodingFromWord(store.ReadText(kSection, kEncoding))
                     .value_or(ExportEncoding::Latin1);
}

void CParamWord::Save(CSettingsStore& store) const {
    store.WriteInteger(kSection, kValue, m_value);
    store.WriteInteger(kSection, kMaxIndex, MaxIndex);
    store.WriteText(kSection, kEncoding, ExportEncodingWord(m_encoding));
}
