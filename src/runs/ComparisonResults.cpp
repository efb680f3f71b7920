#include "runs/ComparisonResults.h"

#include "runs/ComparisonProgress.h"
#include "services/SettingsStore.h"

CComparisonResults::CComparisonResults(CSide& left, CSide& right, const CParamWord& params)
    : m_table(left, right, params), m_dictionary(left, right, params) {}

bool CComparisonResults::RunTableComparison(IComparisonProgress& waitDialog) {
    m_lastRun = &m_table;
    return m_table.Run(waitDialog);
}

bool CComparisonResults::RunDictionaryComparison(IComparisonProgress& waitDialog) {
    m_lastRun = &m_dictionary;
    return m_dictionary.Run(waitDialog);
}

void CComparisonResults::Interrupt() {
    // Both runs read the same two sides: this stops whichever is running.
    m_table.Interrupt();
}

std::function<void()> CComparisonResults::BeginInterrupt() {
    return m_table.BeginInterrupt();
}

std::vector<CAbandonedConnection> CComparisonResults::AbandonStuckConnections() {
    return m_table.AbandonStuckConnections();
}

bool CComparisonResults::OnDictionaryRow(CSide::DictionaryMode mode, const QString& key,
                                         QStringList* keyList,
                                         std::unique_ptr<CAliasCompareInfo> record,
                                         IComparisonProgress& waitDialog, bool& cancelFlag) {
    return m_dictionary.OnDictionaryRow(mode, key, keyList, std::move(record), waitDialog,
                                        cancelFlag);
}

void CComparisonResults::LoadReadingOption(const CSettingsStore& store) {
    SetReadAllColumns(store.ReadInteger(QStringLiteral("Params"), QStringLiteral("PerTableColumns"))
                          .value_or(0) == 0);
}

void CComparisonResults::SetCreateTimeout(int milliseconds) {
    m_table.SetCreateTimeout(milliseconds);
    m_dictionary.SetCreateTimeout(milliseconds);
}

CComparisonRun& CComparisonResults::Run(CResultFile::Kind kind) {
    return kind == CResultFile::DictionaryResult ? static_cast<CComparisonRun&>(m_dictionary)
                                                 : m_table;
}

const CComparisonRun& CComparisonResults::Run(CResultFile::Kind kind) const {
    return kind == CResultFile::DictionaryResult ? static_cast<const CComparisonRun&>(m_dictionary)
                                                 : m_table;
}
