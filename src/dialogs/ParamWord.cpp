#include "dialogs/ParamWord.h"

#include "shell/SettingsStore.h"

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
    const std::optional<qint64> value = store.ReadInteger(kSection, kValue);
    std::optional<qint64> maxIndex = store.ReadInteger(kSection, kMaxIndex);
    // A word that cannot be read says nothing about its bits: take every default rather than
    // turn every option off.
    if (!value)
        maxIndex.reset();
    m_value = quint32(value.value_or(0));
    const qint64 firstNew = std::max<qint64>(maxIndex.value_or(-1) + 1, 0);
    for (qint64 bit = firstNew; bit <= MaxIndex; ++bit)
        SetBit(int(bit), DefaultBit(int(bit)));
}

void CParamWord::Save(CSettingsStore& store) const {
    store.WriteInteger(kSection, kValue, m_value);
    store.WriteInteger(kSection, kMaxIndex, MaxIndex);
}
