#pragma once

#include "model/AliasCompareInfo.h"
#include "model/ColumnInfo.h"
#include "model/IndexInfo.h"
#include "model/Object.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class COdbcConnection;
class COdbcStatement;
class IOwnerCombo;
class ITableList;

using CIndexInfoArray = std::vector<std::unique_ptr<CIndexInfo>>;

// Receives each data-dictionary row: mode, the FRDTAI text as read, the key list (modes 1 and 2)
// or nullptr, the row's record (modes 3 and 4) or nullptr, and the caller's cancel flag. A
// nonzero result, like a nonzero cancel flag, stops the reading.
using DictionaryRowCallback =
    std::function<int(int mode, const QString& key, QStringList* keyList,
                      std::unique_ptr<CAliasCompareInfo> record, int& cancelFlag)>;

// One side of the comparison: the data source chosen for it, its open connection, and what was
// read from it (owner qualifier, sorted table names, view flags, data-dictionary table). Every
// reader swallows ODBC errors and reports failure by its result only.
class CDataSourceSide : public CObject {
public:
    enum DataSourceKind { UserDataSource = 0, SystemDataSource = 1 };
    enum DictionaryMode { LeftKeys = 1, RightKeys = 2, LeftRows = 3, RightRows = 4 };

    CDataSourceSide();
    ~CDataSourceSide() override;

    // Connection
    void SetDataSource(const QString& name, int kind);
    QString DataSourceName() const { return m_dataSourceName; }
    int DataSourceKind() const { return m_dataSourceKind; }
    // Opens "DSN=<name>;" read-only, closing any previous connection first.
    bool Connect();
    bool IsConnected() const;

    // Owner qualifier: catalog, ".", schema (either part may be empty).
    void SetOwnerQualifier(const QString& qualifier) { m_ownerQualifier = qualifier; }
    QString OwnerQualifier() const { return m_ownerQualifier; }
    void SplitQualifier(QString& catalog, QString& schema) const;
    // The name under which a table is written into SQL: catalog. schema. table, unquoted.
    QString QualifiedName(const QString& table) const;

    void SetReady(bool ready) { m_ready = ready ? 1 : 0; }
    bool IsReady() const { return m_ready != 0; }

    // Catalogue reader
    void ListQualifiers(QStringList& ownerList, IOwnerCombo* ownerCombo);
    bool ListTables(ITableList* tableList);
    int TableCount() const { return int(m_tableNames.size()); }
    const QStringList& TableNames() const { return m_tableNames; }
    QString GetTableName(int index) const;
    int IsView(int index) const;
    bool TableNameContains(int index, const QString& text) const;
    bool ReadColumns(const QString& table, CColumnInfoArray& columns);
    bool ReadIndexes(const QString& table, CIndexInfoArray& indexes);

    // Data-dictionary reader
    QString DataDictionaryTable() const { return m_dataDictionaryTable; }
    void FindDataDictionaryTable();
    qint32 LookupDataItemSize(const QString& item);
    int ReadDataDictionary(int mode, const std::vector<int>& widths, QStringList* keyList,
                           const DictionaryRowCallback& onDictionaryRow, int& cancelFlag);

private:
    bool HasConnection() const;
    int NameBufferUnits() const;
    QString EscapedPattern(const QString& text);
    qint32 CountRows(const QString& table);

    QString m_dataSourceName;
    int m_dataSourceKind = SystemDataSource;
    std::unique_ptr<COdbcConnection> m_connection;
    QString m_ownerQualifier;
    int m_ready = 0;
    QString m_dataDictionaryTable;
    QStringList m_tableNames;
    QHash<int, quint8> m_viewFlags;
};
