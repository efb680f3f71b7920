#pragma once

#include "model/AliasCompareInfo.h"
#include "model/ColumnInfo.h"
#include "model/IndexInfo.h"
#include "model/Object.h"
#include "odbc/OwnerName.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class CColumnCatalogue;
class CIndexCatalogue;
class COdbcConnection;
class ITableList;

// One reading of a side's tables, taken apart from the side so that a list can be read again
// while the one shown stays as it is: the names in the side's order, which of them are views,
// and the data-dictionary table they lead to (with why it could not be judged, if so).
struct CTableListing {
    QStringList names;
    QHash<int, quint8> viewFlags;
    QString dataDictionaryTable;
    QString dataDictionaryProblem;
};

// One side of a comparison as the runs, the exports and the views read it, whatever holds it:
// a data source read through its driver, or a snapshot file of one. What it read is kept here
// (owner, sorted table names, view flags, data-dictionary table); a reader reports failure by
// its result and keeps the reason for the caller (LastDiagnostic), never showing a message.
class CSide : public CObject {
public:
    // What a data-dictionary pass reads: one side's keys, or one side's whole rows.
    enum class DictionaryMode { LeftKeys = 1, RightKeys = 2, LeftRows = 3, RightRows = 4 };
    // Receives each data-dictionary row: the mode, the FRDTAI text as read, the key list (key
    // modes) or nullptr, the row's record (row modes) or nullptr, and the caller's cancel flag.
    // True, like a set cancel flag, stops the reading.
    using DictionaryRowCallback =
        std::function<bool(DictionaryMode mode, const QString& key, QStringList* keyList,
                           std::unique_ptr<CAliasCompareInfo> record, bool& cancelFlag)>;

    ~CSide() override;

    // The data source the side reads, or was read from.
    QString DataSourceName() const { return m_dataSourceName; }
    QString OwnerQualifier() const { return m_owner.Qualifier(); }
    const COwnerName& Owner() const { return m_owner; }
    // How the side is named to the user, in titles, headers, messages and exports.
    virtual QString DisplayName() const = 0;
    // The database's SQL_DBMS_NAME and SQL_DBMS_VER; empty when it tells none.
    virtual QString DbmsName() const = 0;
    virtual QString DbmsVersion() const = 0;
    // The file the side's database is read from (an SQLite data source's database, a snapshot
    // file); empty for a server. Whatever the program writes is never one of these.
    virtual QString DatabaseFile() const { return {}; }
    virtual bool IsSnapshot() const { return false; }
    // Why the last read failed: the driver's "SQLSTATE: text" or the program's own reason.
    QString LastDiagnostic() const { return m_lastDiagnostic; }
    // Whether the side's table list is shown, and so the side can be compared.
    void SetReady(bool ready) { m_ready = ready; }
    bool IsReady() const { return m_ready; }

    // The table list: read whole into a listing, then put in place (the list emptied when the
    // listing is).
    bool ListTables(ITableList* tableList);
    virtual bool ReadTableListing(CTableListing& listing) = 0;
    void ApplyTableListing(CTableListing listing, ITableList* tableList);
    int TableCount() const { return int(m_tableNames.size()); }
    const QStringList& TableNames() const { return m_tableNames; }
    QString GetTableName(int index) const;
    int IsView(int index) const;
    bool TableNameContains(int index, const QString& text) const;

    // With attributes, each column's nullability, decimal digits and default are read too.
    virtual bool ReadColumns(const QString& table, CColumnInfoArray& columns,
                             bool attributes = false) = 0;
    // Every column of the listed tables. onTable hears of each table as its rows begin and stops
    // the reading by returning true. False when a read fails or is stopped; the catalogue is
    // then empty.
    virtual bool ReadAllColumns(CColumnCatalogue& catalogue,
                                const std::function<bool(const QString& table)>& onTable,
                                bool attributes = false) = 0;
    // One table's indexes, unique and not, columns in key order with their direction.
    virtual bool ReadIndexes(const QString& table, CIndexInfoArray& indexes) = 0;
    // Whether ReadAllIndexes reads the side at once rather than table by table.
    virtual bool ReadsAllIndexesAtOnce() const = 0;
    // The indexes of every listed table, exactly as ReadIndexes gives them table by table;
    // onTable as for ReadAllColumns. False when a read fails or is stopped; the catalogue is
    // then empty.
    virtual bool ReadAllIndexes(CIndexCatalogue& catalogue,
                                const std::function<bool(const QString& table)>& onTable) = 0;

    // Data-dictionary reader
    QString DataDictionaryTable() const { return m_dataDictionaryTable; }
    // Why the last listing could not tell whether the side has a data dictionary; empty when
    // it could.
    QString DataDictionaryProblem() const { return m_dataDictionaryProblem; }
    // The FRDTAS of an item: -1 when the item is not in the dictionary; readFailed, when given,
    // tells a failed read from a missing item. Sizes are whole: one beyond 32 bits must not wrap
    // to a small one.
    virtual qint64 LookupDataItemSize(const QString& item, bool* readFailed = nullptr) = 0;
    // The dictionary's rows in FRDTAI order, each text cut to its width. False when the read
    // failed or too few widths were given. In the key modes with longest given and four widths,
    // the value columns FRDTAT, FROWTP and FRCDEC are read as well, and longest receives the
    // longest right-trimmed length of each of the four texts seen, so that the caller sizes its
    // records by the data.
    virtual bool ReadDataDictionary(DictionaryMode mode, const std::vector<int>& widths,
                                    QStringList* keyList,
                                    const DictionaryRowCallback& onDictionaryRow, bool& cancelFlag,
                                    std::vector<int>* longest = nullptr) = 0;

    // Interrupting a run from another thread: the running read is cancelled and no other starts
    // until ClearInterrupt.
    virtual void Interrupt() = 0;
    // The same in two steps: no read starts from now on, and the returned job (possibly empty)
    // cancels the running one on whatever thread does it, since a driver's cancel may itself
    // wait for a server that does not answer.
    virtual std::function<void()> BeginInterrupt() = 0;
    virtual void ClearInterrupt() = 0;
    virtual bool IsInterrupted() const = 0;
    // From the user-interface thread when a run is given up: a connection that a driver call
    // still holds, handed over to be closed once that call has returned; null when none does.
    virtual std::shared_ptr<COdbcConnection> AbandonStuckConnection() { return nullptr; }

    // The pieces every data-dictionary reader shares, so that all give their rows alike.
    // What a data-dictionary pass reads: whole rows, or keys with their values measured too.
    struct DictionaryPass {
        bool wholeRows = false;
        bool measure = false;
    };
    // False for a mode or widths that no pass takes.
    static bool PlanDictionaryPass(DictionaryMode mode, const std::vector<int>& widths,
                                   const std::vector<int>* longest, DictionaryPass& pass);
    // Hands one data-dictionary row, its texts already cut to their widths, to the caller as
    // every reader does: its record in the row modes, its key in the key modes, measured into
    // longest when given. True stops the reading.
    static bool DeliverDictionaryRow(DictionaryMode mode, const QString& key,
                                     const QString& itemType, qint64 itemSize,
                                     const QString& dataType, qint16 fileDecimals,
                                     const QString& displayDecimals, QStringList* keyList,
                                     const DictionaryRowCallback& onDictionaryRow, bool& cancelFlag,
                                     std::vector<int>* longest);

protected:
    bool Fail(const QString& diagnostic);
    // Whether another listed table has the name of table with the case of A-Z ignored.
    bool HasCaseSibling(const QString& table) const;

    QString m_dataSourceName;
    COwnerName m_owner;
    QString m_lastDiagnostic;
    QString m_dataDictionaryTable;
    QString m_dataDictionaryProblem;
    QStringList m_tableNames;
    QHash<int, quint8> m_viewFlags;

private:
    bool m_ready = false;
    // How many listed tables share each A-Z lower-cased name; made when first asked.
    mutable QHash<QString, int> m_caseFamilies;
};
