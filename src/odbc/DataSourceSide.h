#pragma once

#include "odbc/IndexQuery.h"
#include "odbc/OdbcDictionaryReader.h"
#include "odbc/Side.h"

#include <mutex>
#include <optional>

class COdbcStatement;
class IOwnerCombo;

// A side read through ODBC: the data source chosen for it and its open connection. Names are
// only ever passed to the driver as catalogue arguments or written into SQL quoted.

class CDataSourceSide : public CSide {
public:
    enum SourceKind { UserDataSource = 0, SystemDataSource = 1 };

    CDataSourceSide();
    ~CDataSourceSide() override;

    // Connection
    void SetDataSource(const QString& name, SourceKind kind);
    SourceKind DataSourceKind() const { return m_dataSourceKind; }
    // Opens the data source read-only, closing any previous connection first.
    bool Connect();
    // From any thread. False also after the connection was given up, until the side is used
    // again.
    bool IsConnected() const;
    // Closes the connection, if any; the side connects again on Connect.
    void Disconnect();
    // Takes over other's connection, opened on another thread for this side's data source;
    // other is left without one.
    void TakeConnection(CDataSourceSide& other);
    // The open connection, for what only it can tell (read-only modes, quote character).
    COdbcConnection* Connection() const { return m_connection.get(); }

    // The owner: catalog and schema, kept apart. A qualifier text (catalog, ".", schema) is
    // split at its first dot.
    void SetOwner(const COwnerName& owner);
    void SetOwnerQualifier(const QString& qualifier);
    void SplitQualifier(QString& catalog, QString& schema) const;
    // The one owner a data source lists (empty when it lists several or none). The side is then
    // named and read without choosing it, yet its statements are qualified with it, since a
    // server's search path need not lead there. Listing the owners sets it.
    void SetSoleOwner(const COwnerName& owner) { m_soleOwner = owner; }
    const COwnerName& SoleOwner() const { return m_soleOwner; }
    // How the side is named to the user, in titles, headers, messages and exports: the data
    // source, and the owner in brackets when one was chosen among several.
    QString DisplayName() const override;
    QString DbmsName() const override;
    QString DbmsVersion() const override;
    QString DatabaseFile() const override;
    // An identifier as SQL text: between the driver's quote characters, each one inside doubled.
    // Without a quote character only plain identifiers pass; any other name gives an empty text.
    QString QuoteIdentifier(const QString& name) const;
    // The name under which a table is written into SQL: the catalog, the schema and the table,
    // each quoted, joined by "."; empty when a part cannot be written safely.
    QString QualifiedName(const QString& table) const;

    // Interrupting a run from another thread: the running catalogue call or query is cancelled
    // and no other starts until ClearInterrupt.
    void Interrupt() override;
    // The same in two steps: no statement starts from now on, and the returned job (empty
    // without a connection) cancels the running one on whatever thread does it, since the
    // driver's cancel may itself wait for a server that does not answer.
    std::function<void()> BeginInterrupt() override;
    void ClearInterrupt() override;
    bool IsInterrupted() const override;

    // From the user-interface thread when a run is given up: a connection held by a driver call
    // that has not returned is given up (the call's thread leaves the run as the call returns)
    // and handed over, to be closed once that call has returned. The side then has no
    // connection and connects again when it is next used. Null when no call holds it.
    std::shared_ptr<COdbcConnection> AbandonStuckConnection() override;

    // Catalogue reader
    void ListQualifiers(COwnerList& ownerList, IOwnerCombo* ownerCombo);
    bool ReadTableListing(CTableListing& listing) override;
    // With attributes, each column's nullability, decimal digits and default are read too.
    bool ReadColumns(const QString& table, CColumnInfoArray& columns,
                     bool attributes = false) override;
    // Every column of the owner's listed tables in a few catalogue calls, each for a group of
    // at most TablesPerColumnCall tables. onTable hears of each table as its rows begin and stops
    // the reading by returning true. False when a call fails or is stopped; the catalogue is
    // then empty.
    bool ReadAllColumns(CColumnCatalogue& catalogue,
                        const std::function<bool(const QString& table)>& onTable,
                        bool attributes = false) override;
    static int TablesPerColumnCall() { return s_tablesPerColumnCall; }
    static void SetTablesPerColumnCall(int tables) { s_tablesPerColumnCall = tables; }
    // One table's indexes as SQLStatisticsW gives them (the structure view's reading).
    bool ReadIndexes(const QString& table, CIndexInfoArray& indexes) override;
    // Whether ReadAllIndexes reads the owner's indexes with a few SELECTs of the database's own
    // catalogue (PostgreSQL, MariaDB/MySQL, SQLite) rather than one catalogue call per table.
    bool ReadsAllIndexesAtOnce() const override;
    // The indexes of every listed table, exactly as ReadIndexes gives them table by table: in
    // SELECTs of at most TablesPerIndexCall tables each where ReadsAllIndexesAtOnce, otherwise
    // one call per table. onTable hears of each table as its rows begin (of every table when
    // read one by one) and stops the reading by returning true. False when a read fails or is
    // stopped; the catalogue is then empty.
    bool ReadAllIndexes(CIndexCatalogue& catalogue,
                        const std::function<bool(const QString& table)>& onTable) override;
    static int TablesPerIndexCall() { return s_tablesPerIndexCall; }
    static void SetTablesPerIndexCall(int tables) { s_tablesPerIndexCall = tables; }

    // Data-dictionary reader
    void FindDataDictionaryTable();
    qint64 LookupDataItemSize(const QString& item, bool* readFailed = nullptr) override;
    // Values are read into buffers of their width, within reason: a longer one is cut.
    bool ReadDataDictionary(DictionaryMode mode, const std::vector<int>& widths,
                            QStringList* keyList, const DictionaryRowCallback& onDictionaryRow,
                            bool& cancelFlag, std::vector<int>* longest = nullptr) override;
    // The longest value a data-dictionary reading keeps, in code units.
    static constexpr int LongestValueUnits = 4000;

private:
    bool HasConnection() const;
    // HasConnection, after connecting again if the connection was given up.
    bool UsableConnection();
    QString CatalogPattern();
    // Whether a catalogue row belongs to another catalog than the owner's.
    bool IsOtherCatalog(const QString& rowCatalog) const;
    bool ReadColumnGroup(const QString* tablePattern, CColumnCatalogue& catalogue,
                         const std::function<bool(const QString&)>& onTable, bool attributes);
    bool ReadColumnRows(const QString& tablePattern, const QString& table,
                        CColumnInfoArray& columns, bool attributes);
    bool IsTableListed(const QString& table, bool& listed);
    // The dialect of ReadAllIndexes' SELECTs; None when the owner lacks the part it takes.
    CIndexQuery::Dialect IndexDialect() const;
    // One SQLStatisticsW call's rows for table.
    bool ReadStatisticsRows(const QString& table, CIndexCatalogue& catalogue);
    // Where an index reading's result has each value: SQLStatisticsW's columns, or those of
    // CIndexQuery's SELECT.
    struct IndexColumns {
        quint16 catalog;
        quint16 table;
        quint16 nonUnique;
        quint16 index;
        quint16 column;
        quint16 order;
    };
    // The rows of an executed index reading, kept under table when given, otherwise under each
    // row's table, of which onTable hears as its rows begin.
    bool ReadIndexRows(COdbcStatement& statement, const IndexColumns& at, const QString* table,
                       CIndexCatalogue& catalogue,
                       const std::function<bool(const QString&)>& onTable);
    // Tables the dialect reads in groups, the others through SQLStatisticsW one by one.
    bool ReadIndexesInGroups(CIndexQuery::Dialect dialect, CIndexCatalogue& catalogue,
                             const std::function<bool(const QString&)>& onTable);
    bool ReadIndexGroup(CIndexQuery::Dialect dialect, const QStringList& tables,
                        CIndexCatalogue& catalogue,
                        const std::function<bool(const QString&)>& onTable);
    qint32 CountRows(const QString& table);
    // The reader of the side's data dictionary; none, with the reason kept, when there is no
    // connection, no dictionary or its name cannot be written safely.
    std::optional<COdbcDictionaryReader> DictionaryReader();
    QString DataDictionaryTableOf(const QStringList& names, QString& problem);

    SourceKind m_dataSourceKind = SystemDataSource;
    COwnerName m_soleOwner;
    // Shared: a connection given up, or one being cancelled, outlives its place here. The guard
    // orders the changes of the pointer with the user-interface thread's looks at it during a
    // run; it is never held across a driver call.
    std::shared_ptr<COdbcConnection> m_connection;
    mutable std::mutex m_connectionGuard;
    bool m_reconnect = false;
    static int s_tablesPerColumnCall;
    static int s_tablesPerIndexCall;
};
