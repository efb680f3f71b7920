#include "model/ParamWord.h"

#include "services/SettingsStore.h"

#include <limits>

namespace {
const QString kSection = QStringLiteral("Params");
const QString kValue = QStringLiteral("Value");
const QString kMaxIndex = QStringLiteral("MaxIndex");
} // namespace

CParamWord::CParamWord() : m_value(DefaultValue()) {}

bool CParamWord::DefaultBit(int bit) {
    return bit >= 0 && bit <= MaxIndex && bit != ParamBit::CaseSensitive &&
           bit != ParamBit::CompareSqlTypes;
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
    std::optional<qint64> value = store.ReadInteger(kSection, kValue);
    std::optional<qint64> maxIndex = store.ReadInteger(kSection, kMaxIndex);
    // A word wider than 32 bits was not written by any version of this program: it is as
    // unreadable as text, not a word to cut down to its low bits.
    if (value && (*value < 0 || *value > qint64(std::numeric_limits<quint32>::max())))
        value.reset();
    // A MaxIndex beyond the word's bits tells nothing about which bits were known.
    if (maxIndex && (*maxIndex < 0 || *maxIndex >= 32))
        maxIndex.reset();
    // A word that cannot be read says nothing about its bits: take every default rather than
    // turn every option off.
    if (!value)
        maxIndex.reset();
    m_value = quint32(value.value_or(0));
    const int firstNew = maxIndex ? int(*maxIndex) + 1 : 0;
    for (int bit = firstNew; bit <= MaxIndex; ++bit)
        SetBit(bit, DefaultBit(bit));
}

void CParamWord::Save(CSettingsStore& store) const {
    store.WriteInteger(kSection, kValue, m_value);
    store.WriteInteger(kSection, kMaxIndex, MaxIndex);
}
