#include "odbc/OdbcColumnReader.h"

#include "odbc/CatalogueDefaults.h"
#include "odbc/CatalogueText.h"
#include "odbc/ColumnCatalogue.h"
#include "odbc/OdbcConnection.h"
#include "odbc/OdbcStatement.h"

#include <sqlext.h>
#include <sqlucode.h>

COdbcColumnReader::COdbcColumnReader(COdbcConnection& connection, COwnerName owner)
    : m_connection(connection), m_owner(std::move(owner)) {}

bool COdbcColumnReader::Fail(const QString& diagnostic) {
    m_diagnostic = diagnostic;
    return false;
}

bool COdbcColumnReader::OpenColumnRows(COdbcStatement& statement, const QString* tablePattern,
                                       bool& exactSchema, ColumnBindings& bindings,
                                       bool attributes) {
    exactSchema = true;
    const QString schemaPattern =
        CCatalogueText::SearchPattern(m_connection, m_owner.schema, exactSchema);
    const bool listed = statement.Execute([&](SQLHSTMT handle) {
        return SQLColumnsW(handle, CCatalogueText::Wide(m_owner.catalog), SQL_NTS,
                           CCatalogueText::Wide(schemaPattern), SQL_NTS,
                           tablePattern ? CCatalogueText::Wide(*tablePattern) : nullptr, SQL_NTS,
                           nullptr, SQL_NTS);
    });
    if (!listed)
        return Fail(statement.Diagnostic());

    bindings.catalog = statement.BindText(1, CCatalogueText::NameBufferUnits);
    bindings.schema = statement.BindText(2, CCatalogueText::NameBufferUnits);
    bindings.table = statement.BindText(3, CCatalogueText::NameBufferUnits);
    bindings.name = statement.BindText(4, CCatalogueText::NameBufferUnits);
    bindings.type = statement.BindInt16(5);
    bindings.typeName = statement.BindText(6, CCatalogueText::NameBufferUnits);
    bindings.size = statement.BindInt32(7);
    if (bindings.catalog < 0 || bindings.schema < 0 || bindings.table < 0 || bindings.name < 0 ||
        bindings.type < 0 || bindings.typeName < 0 || bindings.size < 0)
        return Fail(statement.Diagnostic());
    if (!attributes)
        return true;
    // COLUMN_DEF is read after these, in pieces: no bound column may follow it.
    bindings.decimalDigits = statement.BindInt16(9);
    bindings.nullable = statement.BindInt16(11);
    return (bindings.decimalDigits >= 0 && bindings.nullable >= 0) || Fail(statement.Diagnostic());
}

bool COdbcColumnReader::IsColumnRowCut(const COdbcStatement& statement,
                                       const ColumnBindings& bindings) {
    return statement.IsTextCut(bindings.table) || statement.IsTextCut(bindings.name) ||
           statement.IsTextCut(bindings.schema) || statement.IsTextCut(bindings.typeName) ||
           statement.IsTextCut(bindings.catalog);
}

bool COdbcColumnReader::ReadColumnAttributes(COdbcStatement& statement,
                                             const ColumnBindings& bindings,
                                             CColumnInfo::Attributes& attributes) {
    constexpr SQLUSMALLINT kDefaultColumn = 13;
    attributes = CColumnInfo::Attributes();
    if (!statement.IsNull(bindings.nullable))
        attributes.nullable = qint16(statement.Number(bindings.nullable));
    if (!statement.IsNull(bindings.decimalDigits))
        attributes.decimalDigits = qint16(statement.Number(bindings.decimalDigits));
    if (!statement.ReadLongText(kDefaultColumn, attributes.defaultValue))
        return false;
    CCatalogueText::TrimTrailingBlanks(attributes.defaultValue);
    return true;
}

bool COdbcColumnReader::ReadGroup(const QString* tablePattern, CColumnCatalogue& catalogue,
                                  const std::function<bool(const QString&)>& onTable,
                                  bool attributes) {
    // Defaults that the driver gives cut are read again once its call is over.
    struct CutDefault {
        QString schema;
        QString table;
        QString column;
        qsizetype row;
    };
    std::vector<CutDefault> cutDefaults;
    CCatalogueDefaults defaults(m_connection);
    {
        COdbcStatement statement(m_connection);
        bool exactSchema = true;
        ColumnBindings bindings;
        if (!OpenColumnRows(statement, tablePattern, exactSchema, bindings, attributes))
            return false;
        QString table;
        CColumnInfo::Attributes rowAttributes;
        COdbcStatement::FetchResult fetched;
        while ((fetched = statement.Fetch()) == COdbcStatement::FetchResult::Row) {
            if (IsColumnRowCut(statement, bindings))
                return Fail(CCatalogueText::LongNameDiagnostic());
            if ((!exactSchema && statement.Text(bindings.schema) != m_owner.schema) ||
                m_owner.IsOtherCatalog(statement.Text(bindings.catalog)))
                continue;
            const QString rowTable = statement.Text(bindings.table);
            if (rowTable != table) {
                table = rowTable;
                if (onTable && onTable(table))
                    return false;
            }
            if (attributes && !ReadColumnAttributes(statement, bindings, rowAttributes))
                return Fail(statement.Diagnostic());
            const QString column = statement.Text(bindings.name);
            if (catalogue.AddRow(table, column, statement.Number(bindings.type),
                                 statement.Text(bindings.typeName), statement.Number(bindings.size),
                                 attributes ? &rowAttributes : nullptr) &&
                defaults.IsCut(rowAttributes.defaultValue))
                cutDefaults.push_back(
                    {statement.Text(bindings.schema), table, column, catalogue.RowCount() - 1});
        }
        if (fetched != COdbcStatement::FetchResult::End)
            return Fail(statement.Diagnostic());
    }
    for (const CutDefault& cut : cutDefaults) {
        std::optional<QString> value;
        if (!defaults.Read(cut.schema, cut.table, cut.column, value))
            return Fail(defaults.Diagnostic());
        CCatalogueText::TrimTrailingBlanks(value);
        catalogue.SetDefault(cut.row, value);
    }
    return true;
}
