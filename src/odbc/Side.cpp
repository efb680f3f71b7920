#include "odbc/Side.h"

#include "model/NameOrdering.h"
#include "odbc/TableList.h"

namespace {

// The length of a text without its trailing white space, as records keep it.
int TrimmedLength(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    return int(end);
}

} // namespace

CSide::~CSide() = default;

bool CSide::PlanDictionaryPass(DictionaryMode mode, const std::vector<int>& widths,
                               const std::vector<int>* longest, DictionaryPass& pass) {
    pass.wholeRows = mode == DictionaryMode::LeftRows || mode == DictionaryMode::RightRows;
    if (!pass.wholeRows && mode != DictionaryMode::LeftKeys && mode != DictionaryMode::RightKeys)
        return false;
    pass.measure = !pass.wholeRows && longest && widths.size() >= 4;
    return widths.size() >= (pass.wholeRows ? 4u : 1u);
}

bool CSide::DeliverDictionaryRow(DictionaryMode mode, const QString& key, const QString& itemType,
                                 qint64 itemSize, const QString& dataType, qint16 fileDecimals,
                                 const QString& displayDecimals, QStringList* keyList,
                                 const DictionaryRowCallback& onDictionaryRow, bool& cancelFlag,
                                 std::vector<int>* longest) {
    if (mode == DictionaryMode::LeftRows || mode == DictionaryMode::RightRows) {
        auto record =
            std::make_unique<CAliasCompareInfo>(mode == DictionaryMode::LeftRows, itemType,
                                                itemSize, dataType, fileDecimals, displayDecimals);
        return onDictionaryRow(mode, key, nullptr, std::move(record), cancelFlag);
    }
    if (longest) {
        int* lengths = longest->data();
        const int measured[] = {TrimmedLength(key), TrimmedLength(itemType),
                                TrimmedLength(dataType), TrimmedLength(displayDecimals)};
        for (int i = 0; i < 4; ++i)
            lengths[i] = std::max(lengths[i], measured[i]);
    }
    return onDictionaryRow(mode, key, keyList, nullptr, cancelFlag);
}

bool CSide::Fail(const QString& diagnostic) {
    m_lastDiagnostic = diagnostic;
    return false;
}

bool CSide::ListTables(ITableList* tableList) {
    CTableListing listing;
    const bool listed = ReadTableListing(listing);
    ApplyTableListing(std::move(listing), tableList);
    return listed;
}

void CSide::ApplyTableListing(CTableListing listing, ITableList* tableList) {
    m_tableNames = std::move(listing.names);
    m_caseFamilies.clear();
    m_viewFlags = std::move(listing.viewFlags);
    m_dataDictionaryTable = std::move(listing.dataDictionaryTable);
    m_dataDictionaryProblem = std::move(listing.dataDictionaryProblem);
    if (!tableList)
        return;
    tableList->DeleteAllItems();
    for (int index = 0; index < m_tableNames.size(); ++index)
        tableList->AppendItem(index);
}

QString CSide::GetTableName(int index) const {
    if (index < 0 || index >= m_tableNames.size())
        return {};
    return m_tableNames[index];
}

int CSide::IsView(int index) const {
    return m_viewFlags.value(index, 0);
}

bool CSide::TableNameContains(int index, const QString& text) const {
    if (index < 0 || index >= m_tableNames.size())
        return false;
    return LowerAscii(m_tableNames[index]).contains(text);
}

bool CSide::HasCaseSibling(const QString& table) const {
    if (m_caseFamilies.isEmpty()) {
        for (const QString& name : m_tableNames)
            ++m_caseFamilies[LowerAscii(name)];
    }
    return m_caseFamilies.value(LowerAscii(table)) > 1;
}
