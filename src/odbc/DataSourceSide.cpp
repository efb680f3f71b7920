#include "odbc/DataSourceSide.h"

#include "model/NameOrdering.h"
#include "odbc/OdbcConnection.h"
#include "odbc/OdbcStatement.h"
#include "odbc/OwnerCombo.h"
#include "odbc/TableList.h"
#include "shell/WaitCursor.h"

#include <sqlext.h>
#include <sqlucode.h>

namespace {

// Catalogue texts are read into buffers of this many code units unless the driver declares
// longer identifiers.
constexpr int kNameBufferUnits = 130;
constexpr int kLongestNameBufferUnits = 4096;
// Data-dictionary values are read into buffers of their declared width, within reason.
constexpr int kLongestValueUnits = 4000;

const SQLWCHAR* WideOrNull(const QString& text) {
    return text.isEmpty() ? nullptr : reinterpret_cast<const SQLWCHAR*>(text.utf16());
}

SQLWCHAR* Wide(const QString& text) {
    return const_cast<SQLWCHAR*>(WideOrNull(text));
}

} // namespace

CDataSourceSide::CDataSourceSide() = default;

CDataSourceSide::~CDataSourceSide() = default;

void CDataSourceSide::SetDataSource(const QString& name, int kind) {
    m_dataSourceName = name;
    m_dataSourceKind = kind;
}

bool CDataSourceSide::Connect() {
    const CWaitCursor waitCursor;
    m_connection.reset();
    auto connection = std::make_unique<COdbcConnection>();
    if (!connection->Open(m_dataSourceName))
        return false;
    m_connection = std::move(connection);
    return true;
}

bool CDataSourceSide::IsConnected() const {
    return HasConnection();
}

bool CDataSourceSide::HasConnection() const {
    return m_connection && m_connection->IsOpen();
}

void CDataSourceSide::SplitQualifier(QString& catalog, QString& schema) const {
    const qsizetype dot = m_ownerQualifier.indexOf(QLatin1Char('.'));
    if (dot < 0) {
        catalog = m_ownerQualifier;
        schema.clear();
    } else {
        catalog = m_ownerQualifier.left(dot);
        schema = m_ownerQualifier.mid(dot + 1);
    }
}

QString CDataSourceSide::QualifiedName(const QString& table) const {
    QString catalog;
    QString schema;
    SplitQualifier(catalog, schema);
    QString name;
    if (!catalog.isEmpty())
        name += catalog + QLatin1Char('.');
    if (!schema.isEmpty())
        name += schema + QLatin1Char('.');
    return name + table;
}

int CDataSourceSide::NameBufferUnits() const {
    int longest = 0;
    for (const SQLUSMALLINT info : {SQL_MAX_CATALOG_NAME_LEN, SQL_MAX_SCHEMA_NAME_LEN,
                                    SQL_MAX_TABLE_NAME_LEN, SQL_MAX_COLUMN_NAME_LEN})
        longest = std::max(longest, m_connection->MaxNameLength(info));
    return std::clamp(longest + 1, kNameBufferUnits, kLongestNameBufferUnits);
}

QString CDataSourceSide::EscapedPattern(const QString& text) {
    // Catalogue search patterns read "_" and "%" as wildcards: "A_B" would also find "AXB".
    const QString escape = m_connection->SearchPatternEscape();
    if (escape.isEmpty() || text.isEmpty())
        return text;
    QString escaped;
    escaped.reserve(text.size() + 8);
    for (const QChar unit : text) {
        if (unit == QLatin1Char('_') || unit == QLatin1Char('%') || escape == unit)
            escaped += escape;
        escaped += unit;
    }
    return escaped;
}

void CDataSourceSide::ListQualifiers(QStringList& ownerList, IOwnerCombo* ownerCombo) {
    const CWaitCursor waitCursor;
    ownerList.clear();
    if (ownerCombo)
        ownerCombo->DeleteAllEntries();
    if (!HasConnection())
        return;

    COdbcStatement statement(m_connection->Handle());
    const bool listed = statement.Execute([](SQLHSTMT handle) {
        return SQLTablesW(handle, nullptr, SQL_NTS, nullptr, SQL_NTS, nullptr, SQL_NTS, nullptr,
                          SQL_NTS);
    });
    if (!listed)
        return;
    const int units = NameBufferUnits();
    const int catalogColumn = statement.BindText(1, units);
    const int schemaColumn = statement.BindText(2, units);
    if (catalogColumn < 0 || schemaColumn < 0) {
        if (ownerCombo)
            ownerCombo->DeleteAllEntries();
        return;
    }

    COdbcStatement::FetchResult fetched;
    while ((fetched = statement.Fetch()) == COdbcStatement::FetchResult::Row) {
        const QString catalog = statement.Text(catalogColumn);
        const QString schema = statement.Text(schemaColumn);
        const QString entry = catalog + QLatin1Char('.') + schema;
        if (ownerList.contains(entry))
            continue;
        const int index = int(ownerList.size());
        ownerList.append(entry);
        if (!ownerCombo)
            continue;
        if (catalog.isEmpty())
            ownerCombo->AddEntry(schema, index);
        else if (schema.isEmpty())
            ownerCombo->AddEntry(catalog, index);
        else
            ownerCombo->AddEntry(entry, index);
    }
    if (fetched == COdbcStatement::FetchResult::Error && ownerCombo)
        ownerCombo->DeleteAllEntries();
}

bool CDataSourceSide::ListTables(ITableList* tableList) {
    const CWaitCursor waitCursor;
    m_tableNames.clear();
    m_viewFlags.clear();
    if (tableList)
        tableList->DeleteAllItems();
    if (!HasConnection())
        return false;

    QStringList viewNames;
    bool result = false;
    {
        COdbcStatement statement(m_connection->Handle());
        QString catalog;
        QString schema;
        SplitQualifier(catalog, schema);
        const QString schemaPattern = EscapedPattern(schema);
        // No blank after the comma: the SQLite driver reads "'TABLE', 'VIEW'" as tables only.
        const QString tableTypes = QStringLiteral("'TABLE','VIEW'");
        const bool listed = statement.Execute([&](SQLHSTMT handle) {
            return SQLTablesW(handle, Wide(catalog), SQL_NTS, Wide(schemaPattern), SQL_NTS, nullptr,
                              SQL_NTS, Wide(tableTypes), SQL_NTS);
        });
        if (!listed)
            return false;

        const int units = NameBufferUnits();
        statement.BindText(1, units);
        statement.BindText(2, units);
        const int nameColumn = statement.BindText(3, units);
        const int typeColumn = statement.BindText(4, units);
        result = nameColumn >= 0 && typeColumn >= 0;

        COdbcStatement::FetchResult fetched = COdbcStatement::FetchResult::Error;
        while (result && (fetched = statement.Fetch()) == COdbcStatement::FetchResult::Row) {
            const QString name = statement.Text(nameColumn);
            InsertSorted(true, m_tableNames, name);
            if (statement.Text(typeColumn).compare(QLatin1String("VIEW"), Qt::CaseInsensitive) == 0)
                viewNames.append(name);
        }
        if (!result || fetched == COdbcStatement::FetchResult::Error) {
            m_tableNames.clear();
            m_viewFlags.clear();
            return false;
        }
    }

    // Indexes are taken only now: every insertion shifts the names that follow it.
    for (const QString& view : std::as_const(viewNames)) {
        const qsizetype index = FindSorted(true, m_tableNames, view);
        if (index >= 0)
            m_viewFlags.insert(int(index), 1);
    }
    if (tableList) {
        for (int index = 0; index < m_tableNames.size(); ++index)
            tableList->AppendItem(index);
    }
    FindDataDictionaryTable();
    return result;
}

QString CDataSourceSide::GetTableName(int index) const {
    if (index < 0 || index >= m_tableNames.size())
        return {};
    return m_tableNames[index];
}

int CDataSourceSide::IsView(int index) const {
    return m_viewFlags.value(index, 0);
}

bool CDataSourceSide::TableNameContains(int index, const QString& text) const {
    if (index < 0 || index >= m_tableNames.size())
        return false;
    return LowerAscii(m_tableNames[index]).contains(text);
}

bool CDataSourceSide::ReadColumns(const QString& table, CColumnInfoArray& columns) {
    const CWaitCursor waitCursor;
    columns.clear();
    if (!HasConnection())
        return false;

    COdbcStatement statement(m_connection->Handle());
    QString catalog;
    QString schema;
    SplitQualifier(catalog, schema);
    const QString schemaPattern = EscapedPattern(schema);
    const QString tablePattern = EscapedPattern(table);
    const bool listed = statement.Execute([&](SQLHSTMT handle) {
        return SQLColumnsW(handle, Wide(catalog), SQL_NTS, Wide(schemaPattern), SQL_NTS,
                           Wide(tablePattern), SQL_NTS, nullptr, SQL_NTS);
    });
    if (!listed)
        return false;

    const int units = NameBufferUnits();
    statement.BindText(1, units);
    statement.BindText(2, units);
    const int tableColumn = statement.BindText(3, units);
    const int nameColumn = statement.BindText(4, units);
    const int typeColumn = statement.BindInt16(5);
    const int typeNameColumn = statement.BindText(6, units);
    const int sizeColumn = statement.BindInt32(7);
    bool result = tableColumn >= 0 && nameColumn >= 0 && typeColumn >= 0 && typeNameColumn >= 0 &&
                  sizeColumn >= 0;

    // A driver may still answer for other tables (no escape character, or a case-insensitive
    // match): keep the rows of this table, exactly spelt when there are any, else those equal to
    // it ignoring the case of A-Z, which is how the right side is asked under the left's spelling.
    std::vector<std::pair<QString, std::unique_ptr<CColumnInfo>>> rows;
    COdbcStatement::FetchResult fetched = COdbcStatement::FetchResult::Error;
    while (result && (fetched = statement.Fetch()) == COdbcStatement::FetchResult::Row) {
        rows.emplace_back(statement.Text(tableColumn),
                          std::make_unique<CColumnInfo>(
                              statement.Text(nameColumn), statement.Number(typeColumn),
                              statement.Text(typeNameColumn), statement.Number(sizeColumn)));
    }
    if (fetched == COdbcStatement::FetchResult::Error)
        result = false;

    const bool anyExact = std::any_of(rows.begin(), rows.end(),
                                      [&table](const auto& row) { return row.first == table; });
    for (auto& [tableName, column] : rows) {
        const bool keep =
            anyExact ? tableName == table : CompareNames(tableName, table, false) == 0;
        if (keep)
            columns.push_back(std::move(column));
    }
    return result;
}

bool CDataSourceSide::ReadIndexes(const QString& table, CIndexInfoArray& indexes) {
    const CWaitCursor waitCursor;
    indexes.clear();
    if (!HasConnection())
        return false;

    COdbcStatement statement(m_connection->Handle());
    QString catalog;
    QString schema;
    SplitQualifier(catalog, schema);
    const bool listed = statement.Execute([&](SQLHSTMT handle) {
        return SQLStatisticsW(handle, Wide(catalog), SQL_NTS, Wide(schema), SQL_NTS, Wide(table),
                              SQL_NTS, SQL_INDEX_ALL, SQL_QUICK);
    });
    if (!listed)
        return false;

    const int units = NameBufferUnits();
    const int indexColumn = statement.BindText(6, units);
    const int columnColumn = statement.BindText(9, units);
    const int orderColumn = statement.BindText(10, units);
    bool result = indexColumn >= 0 && columnColumn >= 0 && orderColumn >= 0;

    std::unique_ptr<CIndexInfo> current;
    COdbcStatement::FetchResult fetched = COdbcStatement::FetchResult::Error;
    while (result && (fetched = statement.Fetch()) == COdbcStatement::FetchResult::Row) {
        const QString indexName = statement.Text(indexColumn);
        if (indexName.isEmpty())
            continue; // the table's statistics row
        if (current && current->name != indexName)
            indexes.push_back(std::move(current));
        if (!current)
            current = std::make_unique<CIndexInfo>(indexName);
        const bool ascending = !statement.Text(orderColumn).startsWith(QLatin1Char('D'));
        current->AddColumn(statement.Text(columnColumn), ascending);
    }
    // An index whose rows were cut short by an error is not kept half read.
    if (current && fetched == COdbcStatement::FetchResult::End)
        indexes.push_back(std::move(current));
    if (fetched == COdbcStatement::FetchResult::Error)
        result = false;
    return result;
}

void CDataSourceSide::FindDataDictionaryTable() {
    m_dataDictionaryTable.clear();
    if (m_tableNames.isEmpty())
        return;
    for (const char* name : {"F9210", "f9210"}) {
        if (FindSorted(true, m_tableNames, QLatin1String(name)) >= 0) {
            m_dataDictionaryTable = QLatin1String(name);
            return;
        }
    }
    // An F9201 stands in only when it holds rows.
    for (const char* name : {"F9201", "f9201"}) {
        if (FindSorted(true, m_tableNames, QLatin1String(name)) >= 0) {
            if (CountRows(QLatin1String(name)) > 0)
                m_dataDictionaryTable = QLatin1String(name);
            return;
        }
    }
}

qint32 CDataSourceSide::CountRows(const QString& table) {
    if (!HasConnection())
        return -1;
    COdbcStatement statement(m_connection->Handle());
    if (!statement.ExecuteDirect(QStringLiteral("SELECT COUNT(*) FROM ") + QualifiedName(table)))
        return -1;
    const int count = statement.BindUInt32(1);
    if (count < 0 || statement.Fetch() != COdbcStatement::FetchResult::Row)
        return -1;
    return statement.Number(count);
}

qint32 CDataSourceSide::LookupDataItemSize(const QString& item) {
    if (!HasConnection() || m_dataDictionaryTable.isEmpty())
        return -1;
    COdbcStatement statement(m_connection->Handle());
    // The callers pass fixed item names; a quote is still doubled so that no item name can
    // change the statement.
    QString literal = item;
    literal.replace(QLatin1Char('\''), QStringLiteral("''"));
    const QString sql = QStringLiteral("SELECT FRDTAS FROM ") +
                        QualifiedName(m_dataDictionaryTable) + QStringLiteral(" WHERE FRDTAI='") +
                        literal + QLatin1Char('\'');
    if (!statement.ExecuteDirect(sql))
        return -1;
    const int size = statement.BindUInt32(1);
    if (size < 0 || statement.Fetch() != COdbcStatement::FetchResult::Row)
        return -1;
    return statement.Number(size);
}

int CDataSourceSide::ReadDataDictionary(int mode, const std::vector<int>& widths,
                                        QStringList* keyList,
                                        const DictionaryRowCallback& onDictionaryRow,
                                        int& cancelFlag) {
    if (!HasConnection() || m_dataDictionaryTable.isEmpty())
        return 0;
    const bool wholeRows = mode == LeftRows || mode == RightRows;
    if (!wholeRows && mode != LeftKeys && mode != RightKeys)
        return 0;
    if (widths.size() < (wholeRows ? 4u : 1u))
        return 0;

    COdbcStatement statement(m_connection->Handle());
    QString sql = QStringLiteral("SELECT FRDTAI");
    if (wholeRows)
        sql += QStringLiteral(", FRDTAT, FRDTAS, FROWTP, FRDTAD, FRCDEC");
    sql += QStringLiteral(" FROM ") + QualifiedName(m_dataDictionaryTable) +
           QStringLiteral(" ORDER BY FRDTAI");
    if (!statement.ExecuteDirect(sql))
        return 0;

    // Each text buffer holds its declared width and the terminator: a longer value is cut.
    const auto units = [](int width) { return std::clamp(width, 0, kLongestValueUnits) + 1; };
    const int keyColumn = statement.BindText(1, units(widths[0]));
    int itemType = 0, itemSize = 0, dataType = 0, fileDecimals = 0, displayDecimals = 0;
    bool bound = keyColumn >= 0;
    if (wholeRows) {
        itemType = statement.BindText(2, units(widths[1]));
        itemSize = statement.BindInt32(3);
        dataType = statement.BindText(4, units(widths[2]));
        fileDecimals = statement.BindInt16(5);
        displayDecimals = statement.BindText(6, units(widths[3]));
        bound = bound && itemType >= 0 && itemSize >= 0 && dataType >= 0 && fileDecimals >= 0 &&
                displayDecimals >= 0;
    }
    if (!bound)
        return 0;

    while (cancelFlag == 0) {
        const COdbcStatement::FetchResult fetched = statement.Fetch();
        if (fetched == COdbcStatement::FetchResult::End)
            break;
        if (fetched == COdbcStatement::FetchResult::Error)
            return 0;
        const QString key = statement.Text(keyColumn);
        int stop = 0;
        if (wholeRows) {
            auto record = std::make_unique<CAliasCompareInfo>(
                mode == LeftRows, statement.Text(itemType), statement.Number(itemSize),
                statement.Text(dataType), qint16(statement.Number(fileDecimals)),
                statement.Text(displayDecimals));
            stop = onDictionaryRow(mode, key, nullptr, std::move(record), cancelFlag);
        } else {
            stop = onDictionaryRow(mode, key, keyList, nullptr, cancelFlag);
        }
        if (stop != 0)
            break;
    }
    return 1;
}
