#include "odbc/Side.h"

#include "model/NameOrdering.h"
#include "odbc/TableList.h"

CSide::~CSide() = default;

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
