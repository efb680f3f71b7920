#include "odbc/DataSourceSide.h"

#include "model/NameOrdering.h"
#include "odbc/CatalogueText.h"
#include "odbc/ColumnCatalogue.h"
#include "odbc/DataSourceDefinition.h"
#include "odbc/IndexCatalogue.h"
#include "odbc/OdbcColumnReader.h"
#include "odbc/OdbcConnection.h"
#include "odbc/OdbcDictionaryReader.h"
#include "odbc/OdbcStatement.h"
#include "odbc/OwnerCombo.h"
#include "odbc/TableList.h"
#include "services/Language.h"
#include "services/WaitCursor.h"

#include <sqlext.h>
#include <sqlucode.h>

namespace {

// NON_UNIQUE is read as text, so that a NULL never reads as 0, unique.
constexpr int kFlagUnits = 8;
// A table that gives no column rows is asked again by this many leading code units of its
// name: some drivers cannot find a long name spelt out in full.
constexpr qsizetype kPrefixUnits = 16;

// Texts of the reasons for a failed read that the driver does not give.
constexpr int kTableNotFoundText = 1954;
constexpr int kUnsafeNameText = 1955;
constexpr int kDictionaryUnreadText = 1905;

bool IsPlainIdentifier(const QString& name) {
    if (name.isEmpty())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t unit = name[i].unicode();
        const bool letter = (unit >= 'A' && unit <= 'Z') || (unit >= 'a' && unit <= 'z');
        const bool digit = unit >= '0' && unit <= '9';
        if (!letter && unit != '_' && (i == 0 || !digit))
            return false;
    }
    return true;
}

// The leading code units of a name, never ending inside a surrogate pair.
QString NamePrefix(const QString& name) {
    qsizetype units = std::min(name.size(), kPrefixUnits);
    if (units > 0 && units < name.size() && name[units - 1].isHighSurrogate())
        --units;
    return name.left(units);
}

bool IsUniqueFlag(const QString& nonUnique) {
    return nonUnique == QLatin1String("0");
}

// ASC_OR_DESC: "A", "D", or NULL where the index has no order (a full-text index).
bool IsAscending(const QString& order) {
    return !order.startsWith(QLatin1Char('D'));
}

QString NoConnectionDiagnostic() {
    return QStringLiteral("08003: no open connection");
}

} // namespace

CDataSourceSide::CDataSourceSide() = default;

CDataSourceSide::~CDataSourceSide() = default;

void CDataSourceSide::SetDataSource(const QString& name, SourceKind kind) {
    m_dataSourceName = name;
    m_dataSourceKind = kind;
    m_soleOwner = {};
}

bool CDataSourceSide::Connect() {
    const CWaitCursor waitCursor;
    std::shared_ptr<COdbcConnection> previous;
    auto connection = std::make_shared<COdbcConnection>();
    {
        // In its place while it opens, so that a run given up meanwhile gives it up too.
        const std::lock_guard lock(m_connectionGuard);
        previous = std::exchange(m_connection, connection);
        m_reconnect = false;
    }
    previous.reset();
    m_lastDiagnostic.clear();
    if (!connection->Open(m_dataSourceName)) {
        m_lastDiagnostic = connection->Diagnostic();
        const std::lock_guard lock(m_connectionGuard);
        if (m_connection == connection)
            m_connection.reset();
        return false;
    }
    return true;
}

void CDataSourceSide::Disconnect() {
    std::shared_ptr<COdbcConnection> previous;
    {
        const std::lock_guard lock(m_connectionGuard);
        previous = std::exchange(m_connection, nullptr);
        m_reconnect = false;
    }
}

void CDataSourceSide::TakeConnection(CDataSourceSide& other) {
    std::shared_ptr<COdbcConnection> taken;
    {
        const std::lock_guard lock(other.m_connectionGuard);
        taken = std::exchange(other.m_connection, nullptr);
    }
    std::shared_ptr<COdbcConnection> previous;
    {
        const std::lock_guard lock(m_connectionGuard);
        previous = std::exchange(m_connection, std::move(taken));
        m_reconnect = false;
    }
    m_soleOwner = other.m_soleOwner;
    m_lastDiagnostic.clear();
}

bool CDataSourceSide::IsConnected() const {
    const std::lock_guard lock(m_connectionGuard);
    return HasConnection();
}

bool CDataSourceSide::HasConnection() const {
    return m_connection && m_connection->IsOpen();
}

bool CDataSourceSide::UsableConnection() {
    bool reconnect = false;
    {
        const std::lock_guard lock(m_connectionGuard);
        reconnect = m_reconnect && !m_connection;
    }
    if (reconnect && !Connect()) {
        // Still out of reach: the next use tries again.
        const std::lock_guard lock(m_connectionGuard);
        m_reconnect = !m_connection;
        return false;
    }
    return HasConnection();
}

void CDataSourceSide::Interrupt() {
    if (const std::function<void()> cancel = BeginInterrupt())
        cancel();
}

std::function<void()> CDataSourceSide::BeginInterrupt() {
    const std::lock_guard lock(m_connectionGuard);
    if (!m_connection)
        return {};
    const quint64 ticket = m_connection->RefuseStatements();
    return [connection = m_connection, ticket] { connection->CancelRunning(ticket); };
}

void CDataSourceSide::ClearInterrupt() {
    const std::lock_guard lock(m_connectionGuard);
    if (m_connection)
        m_connection->ClearInterrupt();
}

bool CDataSourceSide::IsInterrupted() const {
    const std::lock_guard lock(m_connectionGuard);
    return m_connection && m_connection->IsInterrupted();
}

std::shared_ptr<COdbcConnection> CDataSourceSide::AbandonStuckConnection() {
    const std::lock_guard lock(m_connectionGuard);
    if (!m_connection || !m_connection->AbandonIfCalling())
        return nullptr;
    // The run's thread is inside the call and leaves the run as it returns: it never looks
    // at the pointer again.
    m_reconnect = true;
    return std::move(m_connection);
}

void CDataSourceSide::SetOwner(const COwnerName& owner) {
    m_owner = owner;
}

void CDataSourceSide::SetOwnerQualifier(const QString& qualifier) {
    const qsizetype dot = qualifier.indexOf(QLatin1Char('.'));
    if (dot < 0)
        m_owner = {qualifier, QString()};
    else
        m_owner = {qualifier.left(dot), qualifier.mid(dot + 1)};
}

QString CDataSourceSide::DbmsName() const {
    const std::lock_guard lock(m_connectionGuard);
    return m_connection ? m_connection->DbmsName() : QString();
}

QString CDataSourceSide::DbmsVersion() const {
    const std::lock_guard lock(m_connectionGuard);
    return m_connection ? m_connection->DbmsVersion() : QString();
}

QString CDataSourceSide::DatabaseFile() const {
    return CDataSourceDefinition::DatabaseFileOf(m_dataSourceName);
}

QString CDataSourceSide::DisplayName() const {
    QString name = m_dataSourceName;
    if (const QString owner = m_owner.DisplayText(); !owner.isEmpty())
        name += QStringLiteral(" (") + owner + QLatin1Char(')');
    return name;
}

void CDataSourceSide::SplitQualifier(QString& catalog, QString& schema) const {
    catalog = m_owner.catalog;
    schema = m_owner.schema;
}

QString CDataSourceSide::QuoteIdentifier(const QString& name) const {
    const QString quote = HasConnection() ? m_connection->IdentifierQuote() : QString();
    if (quote.isEmpty())
        return IsPlainIdentifier(name) ? name : QString();
    QString quoted = name;
    quoted.replace(quote, quote + quote);
    return quote + quoted + quote;
}

QString CDataSourceSide::QualifiedName(const QString& table) const {
    const COwnerName& owner = m_owner == COwnerName() ? m_soleOwner : m_owner;
    QString name;
    for (const QString& part : {owner.catalog, owner.schema}) {
        if (part.isEmpty())
            continue;
        const QString quoted = QuoteIdentifier(part);
        if (quoted.isEmpty())
            return {};
        name += quoted + QLatin1Char('.');
    }
    const QString quoted = QuoteIdentifier(table);
    return quoted.isEmpty() ? QString() : name + quoted;
}

// The catalog of a table listing. MariaDB reads it as a search pattern there ("a_b" also lists
// the tables of "aXb", and a backslash escapes what follows), though not in the other catalogue
// calls, where it is an identifier; PostgreSQL and SQLite ignore it. It is escaped as a pattern,
// and every catalogue call keeps only the rows of the catalog itself (IsOtherCatalog).
QString CDataSourceSide::CatalogPattern() {
    bool exact = true;
    return CCatalogueText::SearchPattern(*m_connection, m_owner.catalog, exact);
}

bool CDataSourceSide::IsOtherCatalog(const QString& rowCatalog) const {
    return m_owner.IsOtherCatalog(rowCatalog);
}

void CDataSourceSide::ListQualifiers(COwnerList& ownerList, IOwnerCombo* ownerCombo) {
    const CWaitCursor waitCursor;
    ownerList.clear();
    m_soleOwner = {};
    m_lastDiagnostic.clear();
    if (ownerCombo)
        ownerCombo->DeleteAllEntries();
    if (!UsableConnection())
        return;

    COdbcStatement statement(*m_connection);
    const bool listed = statement.Execute([](SQLHSTMT handle) {
        return SQLTablesW(handle, nullptr, SQL_NTS, nullptr, SQL_NTS, nullptr, SQL_NTS, nullptr,
                          SQL_NTS);
    });
    if (!listed) {
        Fail(statement.Diagnostic());
        return;
    }
    const int catalogColumn = statement.BindText(1, CCatalogueText::NameBufferUnits);
    const int schemaColumn = statement.BindText(2, CCatalogueText::NameBufferUnits);
    if (catalogColumn < 0 || schemaColumn < 0) {
        Fail(statement.Diagnostic());
        if (ownerCombo)
            ownerCombo->DeleteAllEntries();
        return;
    }

    COdbcStatement::FetchResult fetched;
    while ((fetched = statement.Fetch()) == COdbcStatement::FetchResult::Row) {
        if (statement.IsTextCut(catalogColumn) || statement.IsTextCut(schemaColumn)) {
            fetched = COdbcStatement::FetchResult::Error;
            Fail(CCatalogueText::LongNameDiagnostic());
            break;
        }
        const COwnerName owner{statement.Text(catalogColumn), statement.Text(schemaColumn)};
        if (std::find(ownerList.begin(), ownerList.end(), owner) != ownerList.end())
            continue;
        const int index = int(ownerList.size());
        ownerList.push_back(owner);
        if (ownerCombo)
            ownerCombo->AddEntry(owner.DisplayText(), index);
    }
    if (fetched == COdbcStatement::FetchResult::Error) {
        if (m_lastDiagnostic.isEmpty())
            Fail(statement.Diagnostic());
        if (ownerCombo)
            ownerCombo->DeleteAllEntries();
        return;
    }
    if (ownerList.size() == 1)
        m_soleOwner = ownerList.front();
}

bool CDataSourceSide::ReadTableListing(CTableListing& listing) {
    const CWaitCursor waitCursor;
    listing = CTableListing();
    m_lastDiagnostic.clear();
    if (!UsableConnection())
        return Fail(NoConnectionDiagnostic());

    QStringList viewNames;
    {
        COdbcStatement statement(*m_connection);
        bool exactSchema = true;
        const QString schemaPattern =
            CCatalogueText::SearchPattern(*m_connection, m_owner.schema, exactSchema);
        const QString catalogPattern = CatalogPattern();
        // No blank after the comma: the SQLite driver reads "'TABLE', 'VIEW'" as tables only.
        const QString tableTypes = QStringLiteral("'TABLE','VIEW'");
        const bool listed = statement.Execute([&](SQLHSTMT handle) {
            return SQLTablesW(handle, CCatalogueText::Wide(catalogPattern), SQL_NTS,
                              CCatalogueText::Wide(schemaPattern), SQL_NTS, nullptr, SQL_NTS,
                              CCatalogueText::Wide(tableTypes), SQL_NTS);
        });
        if (!listed)
            return Fail(statement.Diagnostic());

        const int catalogColumn = statement.BindText(1, CCatalogueText::NameBufferUnits);
        const int schemaColumn = statement.BindText(2, CCatalogueText::NameBufferUnits);
        const int nameColumn = statement.BindText(3, CCatalogueText::NameBufferUnits);
        const int typeColumn = statement.BindText(4, CCatalogueText::NameBufferUnits);
        bool result = catalogColumn >= 0 && schemaColumn >= 0 && nameColumn >= 0 && typeColumn >= 0;

        COdbcStatement::FetchResult fetched = COdbcStatement::FetchResult::Error;
        while (result && (fetched = statement.Fetch()) == COdbcStatement::FetchResult::Row) {
            if (statement.IsTextCut(nameColumn) || statement.IsTextCut(schemaColumn) ||
                statement.IsTextCut(catalogColumn)) {
                listing = CTableListing();
                return Fail(CCatalogueText::LongNameDiagnostic());
            }
            if ((!exactSchema && statement.Text(schemaColumn) != m_owner.schema) ||
                IsOtherCatalog(statement.Text(catalogColumn)))
                continue;
            const QString name = statement.Text(nameColumn);
            InsertSorted(true, listing.names, name);
            if (statement.Text(typeColumn).compare(QLatin1String("VIEW"), Qt::CaseInsensitive) == 0)
                viewNames.append(name);
        }
        if (!result || fetched == COdbcStatement::FetchResult::Error) {
            listing = CTableListing();
            return Fail(statement.Diagnostic());
        }
    }

    // Indexes are taken only now: every insertion shifts the names that follow it.
    for (const QString& view : std::as_const(viewNames)) {
        const qsizetype index = FindSorted(true, listing.names, view);
        if (index >= 0)
            listing.viewFlags.insert(int(index), 1);
    }
    listing.dataDictionaryTable =
        DataDictionaryTableOf(listing.names, listing.dataDictionaryProblem);
    return true;
}

bool CDataSourceSide::ReadColumns(const QString& table, CColumnInfoArray& columns,
                                  bool attributes) {
    const CWaitCursor waitCursor;
    columns.clear();
    m_lastDiagnostic.clear();
    if (!UsableConnection())
        return Fail(NoConnectionDiagnostic());

    bool exact = true;
    if (!ReadColumnRows(CCatalogueText::SearchPattern(*m_connection, table, exact), table, columns,
                        attributes))
        return false;
    if (!columns.empty())
        return true;

    // No row for a table that the listing gave: ask again by the start of its name, then ask
    // whether the catalogue still lists it. Only a listed table truly has no columns; one that
    // cannot be found again is a failed read, never a table without columns.
    if (table.size() > kPrefixUnits) {
        const QString prefix =
            CCatalogueText::SearchPattern(*m_connection, NamePrefix(table), exact) +
            QLatin1Char('%');
        if (!ReadColumnRows(prefix, table, columns, attributes))
            return false;
        if (!columns.empty())
            return true;
    }
    bool listed = false;
    if (!IsTableListed(table, listed))
        return false;
    return listed || Fail(LoadLocalizedString(kTableNotFoundText).arg(table));
}

bool CDataSourceSide::ReadColumnRows(const QString& tablePattern, const QString& table,
                                     CColumnInfoArray& columns, bool attributes) {
    // A driver may still answer for other tables (a pattern, or a case-insensitive match); the
    // catalogue keeps the rows of this table by the same rule as a whole side's reading.
    // A driver that reports the table under another spelling is understood only where no
    // other table of the side has that spelling: their rows are never this table's.
    CColumnCatalogue rows;
    if (!ReadColumnGroup(&tablePattern, rows, {}, attributes))
        return false;
    rows.Columns(table, columns, !HasCaseSibling(table));
    return true;
}

int CDataSourceSide::s_tablesPerColumnCall = 250;

bool CDataSourceSide::ReadAllColumns(CColumnCatalogue& catalogue,
                                     const std::function<bool(const QString&)>& onTable,
                                     bool attributes) {
    const CWaitCursor waitCursor;
    catalogue.Clear();
    m_lastDiagnostic.clear();
    if (!UsableConnection())
        return Fail(NoConnectionDiagnostic());

    // Without a table name a call answers for every table of the owner, and drivers that build
    // the whole answer in memory then hold every column at once; groups of tables sharing the
    // start of their name keep that bounded, at a few calls per thousand tables.
    const std::vector<CColumnCatalogue::NameGroup> groups =
        CColumnCatalogue::GroupNames(m_tableNames, s_tablesPerColumnCall);
    for (size_t index = 0; index < groups.size(); ++index) {
        const CColumnCatalogue::NameGroup& group = groups[index];
        if (index == 1)
            catalogue.ReserveForTables(m_tableNames.size());
        catalogue.BeginCall();
        bool exact = true;
        QString pattern = CCatalogueText::SearchPattern(*m_connection, group.prefix, exact);
        if (!group.wholeName)
            pattern += QLatin1Char('%');
        if (!ReadColumnGroup(group.prefix.isEmpty() && !group.wholeName ? nullptr : &pattern,
                             catalogue, onTable, attributes)) {
            catalogue.Clear();
            return false;
        }
    }
    return true;
}

bool CDataSourceSide::ReadColumnGroup(const QString* tablePattern, CColumnCatalogue& catalogue,
                                      const std::function<bool(const QString&)>& onTable,
                                      bool attributes) {
    COdbcColumnReader reader(*m_connection, m_owner);
    return reader.ReadGroup(tablePattern, catalogue, onTable, attributes) ||
           Fail(reader.Diagnostic());
}

bool CDataSourceSide::IsTableListed(const QString& table, bool& listed) {
    listed = false;
    COdbcStatement statement(*m_connection);
    bool exact = true;
    const QString schemaPattern =
        CCatalogueText::SearchPattern(*m_connection, m_owner.schema, exact);
    const QString tablePattern =
        CCatalogueText::SearchPattern(*m_connection, NamePrefix(table), exact) + QLatin1Char('%');
    const QString catalogPattern = CatalogPattern();
    const QString tableTypes = QStringLiteral("'TABLE','VIEW'");
    const bool called = statement.Execute([&](SQLHSTMT handle) {
        return SQLTablesW(handle, CCatalogueText::Wide(catalogPattern), SQL_NTS,
                          CCatalogueText::Wide(schemaPattern), SQL_NTS,
                          CCatalogueText::Wide(tablePattern), SQL_NTS,
                          CCatalogueText::Wide(tableTypes), SQL_NTS);
    });
    if (!called)
        return Fail(statement.Diagnostic());
    const int catalogColumn = statement.BindText(1, CCatalogueText::NameBufferUnits);
    const int schemaColumn = statement.BindText(2, CCatalogueText::NameBufferUnits);
    const int nameColumn = statement.BindText(3, CCatalogueText::NameBufferUnits);
    if (catalogColumn < 0 || schemaColumn < 0 || nameColumn < 0)
        return Fail(statement.Diagnostic());
    COdbcStatement::FetchResult fetched;
    while ((fetched = statement.Fetch()) == COdbcStatement::FetchResult::Row) {
        if (statement.Text(nameColumn) == table &&
            (m_owner.schema.isEmpty() || statement.Text(schemaColumn) == m_owner.schema) &&
            !IsOtherCatalog(statement.Text(catalogColumn)))
            listed = true;
    }
    return fetched == COdbcStatement::FetchResult::End || Fail(statement.Diagnostic());
}

bool CDataSourceSide::ReadIndexes(const QString& table, CIndexInfoArray& indexes) {
    const CWaitCursor waitCursor;
    indexes.clear();
    m_lastDiagnostic.clear();
    if (!UsableConnection())
        return Fail(NoConnectionDiagnostic());
    CIndexCatalogue rows;
    if (!ReadStatisticsRows(table, rows))
        return false;
    rows.Indexes(table, indexes);
    return true;
}

bool CDataSourceSide::ReadStatisticsRows(const QString& table, CIndexCatalogue& catalogue) {
    // The names of SQLStatisticsW are identifiers, not patterns: passed as they are.
    COdbcStatement statement(*m_connection);
    const bool listed = statement.Execute([&](SQLHSTMT handle) {
        return SQLStatisticsW(handle, CCatalogueText::Wide(m_owner.catalog), SQL_NTS,
                              CCatalogueText::Wide(m_owner.schema), SQL_NTS,
                              CCatalogueText::Wide(table), SQL_NTS, SQL_INDEX_ALL, SQL_QUICK);
    });
    if (!listed)
        return Fail(statement.Diagnostic());
    catalogue.AddTable(table);
    return ReadIndexRows(
        statement, {.catalog = 1, .table = 3, .nonUnique = 4, .index = 6, .column = 9, .order = 10},
        &table, catalogue, {});
}

bool CDataSourceSide::ReadIndexRows(COdbcStatement& statement, const IndexColumns& at,
                                    const QString* table, CIndexCatalogue& catalogue,
                                    const std::function<bool(const QString&)>& onTable) {
    const int catalogColumn = statement.BindText(at.catalog, CCatalogueText::NameBufferUnits);
    const int tableColumn = statement.BindText(at.table, CCatalogueText::NameBufferUnits);
    const int nonUniqueColumn = statement.BindText(at.nonUnique, kFlagUnits);
    const int indexColumn = statement.BindText(at.index, CCatalogueText::NameBufferUnits);
    const int columnColumn = statement.BindText(at.column, CCatalogueText::NameBufferUnits);
    const int orderColumn = statement.BindText(at.order, CCatalogueText::NameBufferUnits);
    if (catalogColumn < 0 || tableColumn < 0 || nonUniqueColumn < 0 || indexColumn < 0 ||
        columnColumn < 0 || orderColumn < 0)
        return Fail(statement.Diagnostic());

    QString rowsTable;
    COdbcStatement::FetchResult fetched;
    while ((fetched = statement.Fetch()) == COdbcStatement::FetchResult::Row) {
        if (statement.IsTextCut(indexColumn) || statement.IsTextCut(columnColumn) ||
            statement.IsTextCut(catalogColumn) || statement.IsTextCut(tableColumn))
            return Fail(CCatalogueText::LongNameDiagnostic());
        const QString indexName = statement.Text(indexColumn);
        if (indexName.isEmpty() || IsOtherCatalog(statement.Text(catalogColumn)))
            continue; // the table's statistics row, or another database's table
        if (!table && statement.Text(tableColumn) != rowsTable) {
            rowsTable = statement.Text(tableColumn);
            if (onTable && onTable(rowsTable))
                return false;
        }
        catalogue.AddRow(table ? *table : rowsTable, indexName,
                         IsUniqueFlag(statement.Text(nonUniqueColumn)),
                         statement.Text(columnColumn), IsAscending(statement.Text(orderColumn)));
    }
    // An index whose rows were cut short by an error is not kept half read.
    return fetched == COdbcStatement::FetchResult::End || Fail(statement.Diagnostic());
}

int CDataSourceSide::s_tablesPerIndexCall = 250;

CIndexQuery::Dialect CDataSourceSide::IndexDialect() const {
    const CIndexQuery::Dialect dialect = HasConnection()
                                             ? CIndexQuery::DialectOf(m_connection->DbmsName())
                                             : CIndexQuery::Dialect::None;
    if ((CIndexQuery::TakesSchema(dialect) && m_owner.schema.isEmpty()) ||
        (CIndexQuery::TakesCatalog(dialect) && m_owner.catalog.isEmpty()))
        return CIndexQuery::Dialect::None;
    return dialect;
}

bool CDataSourceSide::ReadsAllIndexesAtOnce() const {
    return IndexDialect() != CIndexQuery::Dialect::None;
}

bool CDataSourceSide::ReadAllIndexes(CIndexCatalogue& catalogue,
                                     const std::function<bool(const QString&)>& onTable) {
    const CWaitCursor waitCursor;
    catalogue.Clear();
    m_lastDiagnostic.clear();
    if (!UsableConnection())
        return Fail(NoConnectionDiagnostic());

    // Over a slow link each call costs a round trip or more: a side of thousands of tables
    // reads in a few SELECTs, in groups so that no driver holds a whole side's rows at once.
    if (ReadIndexesInGroups(IndexDialect(), catalogue, onTable))
        return true;
    catalogue.Clear();
    return false;
}

bool CDataSourceSide::ReadIndexesInGroups(CIndexQuery::Dialect dialect, CIndexCatalogue& catalogue,
                                          const std::function<bool(const QString&)>& onTable) {
    QStringList group;
    for (const QString& table : std::as_const(m_tableNames)) {
        if (dialect == CIndexQuery::Dialect::None ||
            !CIndexQuery::DriverTakesNameAsSpelt(dialect, table)) {
            if ((onTable && onTable(table)) || !ReadStatisticsRows(table, catalogue))
                return false;
            continue;
        }
        group.append(table);
        if (group.size() >= s_tablesPerIndexCall) {
            if (!ReadIndexGroup(dialect, group, catalogue, onTable))
                return false;
            group.clear();
        }
    }
    return group.isEmpty() || ReadIndexGroup(dialect, group, catalogue, onTable);
}

bool CDataSourceSide::ReadIndexGroup(CIndexQuery::Dialect dialect, const QStringList& tables,
                                     CIndexCatalogue& catalogue,
                                     const std::function<bool(const QString&)>& onTable) {
    COdbcStatement statement(*m_connection);
    SQLUSMALLINT parameter = 0;
    bool bound = true;
    if (CIndexQuery::TakesSchema(dialect))
        bound = statement.BindTextParameter(++parameter, m_owner.schema);
    else if (CIndexQuery::TakesCatalog(dialect))
        bound = statement.BindTextParameter(++parameter, m_owner.catalog);
    for (const QString& table : tables)
        bound = bound && statement.BindTextParameter(++parameter, table);
    if (!bound || !statement.ExecuteDirect(CIndexQuery::Sql(dialect, int(tables.size()))))
        return Fail(statement.Diagnostic());

    for (const QString& table : tables)
        catalogue.AddTable(table);
    return ReadIndexRows(
        statement, {.catalog = 6, .table = 1, .nonUnique = 3, .index = 2, .column = 4, .order = 5},
        nullptr, catalogue, onTable);
}

void CDataSourceSide::FindDataDictionaryTable() {
    m_dataDictionaryTable = DataDictionaryTableOf(m_tableNames, m_dataDictionaryProblem);
}

QString CDataSourceSide::DataDictionaryTableOf(const QStringList& names, QString& problem) {
    problem.clear();
    if (names.isEmpty())
        return {};
    for (const char* name : {"F9210", "f9210"}) {
        if (FindSorted(true, names, QLatin1String(name)) >= 0)
            return QLatin1String(name);
    }
    // An F9201 stands in only when it holds rows; one that cannot be counted is said so, rather
    // than taken for an empty one in silence.
    for (const char* name : {"F9201", "f9201"}) {
        if (FindSorted(true, names, QLatin1String(name)) < 0)
            continue;
        const qint32 rows = CountRows(QLatin1String(name));
        if (rows < 0) {
            problem =
                LoadLocalizedString(kDictionaryUnreadText)
                    .arg(m_dataSourceName, QLatin1String(name),
                         m_lastDiagnostic.isEmpty() ? NoConnectionDiagnostic() : m_lastDiagnostic);
            m_lastDiagnostic.clear();
        }
        return rows > 0 ? QLatin1String(name) : QString();
    }
    return {};
}

qint32 CDataSourceSide::CountRows(const QString& table) {
    if (!UsableConnection())
        return -1;
    const QString qualified = QualifiedName(table);
    if (qualified.isEmpty())
        return -1;
    COdbcStatement statement(*m_connection);
    if (!statement.ExecuteDirect(QStringLiteral("SELECT COUNT(*) FROM ") + qualified)) {
        Fail(statement.Diagnostic());
        return -1;
    }
    const int count = statement.BindUInt32(1);
    if (count < 0 || statement.Fetch() != COdbcStatement::FetchResult::Row) {
        Fail(statement.Diagnostic());
        return -1;
    }
    return statement.Number(count);
}

qint64 CDataSourceSide::LookupDataItemSize(const QString& item, bool* readFailed) {
    qint64 size = -1;
    m_lastDiagnostic.clear();
    std::optional<COdbcDictionaryReader> reader = DictionaryReader();
    const bool failed = !reader || !reader->LookupItemSize(item, size);
    if (reader && failed)
        Fail(reader->Diagnostic());
    if (readFailed)
        *readFailed = failed;
    return failed ? -1 : size;
}

bool CDataSourceSide::ReadDataDictionary(DictionaryMode mode, const std::vector<int>& widths,
                                         QStringList* keyList,
                                         const DictionaryRowCallback& onDictionaryRow,
                                         bool& cancelFlag, std::vector<int>* longest) {
    m_lastDiagnostic.clear();
    std::optional<COdbcDictionaryReader> reader = DictionaryReader();
    if (!reader)
        return false;
    if (reader->Read(mode, widths, keyList, onDictionaryRow, cancelFlag, longest))
        return true;
    return Fail(reader->Diagnostic());
}

std::optional<COdbcDictionaryReader> CDataSourceSide::DictionaryReader() {
    if (!UsableConnection() || m_dataDictionaryTable.isEmpty()) {
        Fail(NoConnectionDiagnostic());
        return std::nullopt;
    }
    const QString qualified = QualifiedName(m_dataDictionaryTable);
    if (qualified.isEmpty()) {
        Fail(LoadLocalizedString(kUnsafeNameText).arg(OwnerQualifier() + m_dataDictionaryTable));
        return std::nullopt;
    }
    return COdbcDictionaryReader(*m_connection, qualified);
}
