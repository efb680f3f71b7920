#include "odbc/OdbcDictionaryReader.h"

#include "odbc/DataSourceSide.h"
#include "odbc/OdbcStatement.h"

#include <algorithm>

COdbcDictionaryReader::COdbcDictionaryReader(COdbcConnection& connection, QString qualifiedTable)
    : m_connection(connection), m_qualifiedTable(std::move(qualifiedTable)) {}

bool COdbcDictionaryReader::Fail(const QString& diagnostic) {
    m_diagnostic = diagnostic;
    return false;
}

bool COdbcDictionaryReader::LookupItemSize(const QString& item, qint64& size) {
    size = -1;
    COdbcStatement statement(m_connection);
    // The callers pass fixed item names; a quote is still doubled so that no item name can
    // change the statement.
    QString literal = item;
    literal.replace(QLatin1Char('\''), QStringLiteral("''"));
    const QString sql = QStringLiteral("SELECT FRDTAS FROM ") + m_qualifiedTable +
                        QStringLiteral(" WHERE FRDTAI='") + literal + QLatin1Char('\'');
    const int column = statement.ExecuteDirect(sql) ? statement.BindInt64(1) : -1;
    const COdbcStatement::FetchResult fetched =
        column >= 0 ? statement.Fetch() : COdbcStatement::FetchResult::Error;
    if (fetched == COdbcStatement::FetchResult::Error)
        return Fail(statement.Diagnostic());
    if (fetched == COdbcStatement::FetchResult::Row)
        size = statement.Number64(column);
    return true;
}

bool COdbcDictionaryReader::Read(CSide::DictionaryMode mode, const std::vector<int>& widths,
                                 QStringList* keyList,
                                 const CSide::DictionaryRowCallback& onDictionaryRow,
                                 bool& cancelFlag, std::vector<int>* longest) {
    CSide::DictionaryPass pass;
    if (!CSide::PlanDictionaryPass(mode, widths, longest, pass))
        return false;
    const bool wholeRows = pass.wholeRows;
    const bool measure = pass.measure;
    COdbcStatement statement(m_connection);
    QString sql = QStringLiteral("SELECT FRDTAI");
    if (wholeRows)
        sql += QStringLiteral(", FRDTAT, FRDTAS, FROWTP, FRDTAD, FRCDEC");
    else if (measure)
        sql += QStringLiteral(", FRDTAT, FROWTP, FRCDEC");
    sql += QStringLiteral(" FROM ") + m_qualifiedTable + QStringLiteral(" ORDER BY FRDTAI");
    if (!statement.ExecuteDirect(sql))
        return Fail(statement.Diagnostic());

    // Each text buffer holds its declared width and the terminator: a longer value is cut.
    const auto units = [](int width) {
        return std::clamp(width, 0, CDataSourceSide::LongestValueUnits) + 1;
    };
    const int keyColumn = statement.BindText(1, units(widths[0]));
    int itemType = 0, itemSize = 0, dataType = 0, fileDecimals = 0, displayDecimals = 0;
    bool bound = keyColumn >= 0;
    if (wholeRows) {
        itemType = statement.BindText(2, units(widths[1]));
        itemSize = statement.BindInt64(3);
        dataType = statement.BindText(4, units(widths[2]));
        fileDecimals = statement.BindInt16(5);
        displayDecimals = statement.BindText(6, units(widths[3]));
        bound = bound && itemType >= 0 && itemSize >= 0 && dataType >= 0 && fileDecimals >= 0 &&
                displayDecimals >= 0;
    } else if (measure) {
        itemType = statement.BindText(2, units(widths[1]));
        dataType = statement.BindText(3, units(widths[2]));
        displayDecimals = statement.BindText(4, units(widths[3]));
        bound = bound && itemType >= 0 && dataType >= 0 && displayDecimals >= 0;
        longest->assign(4, 0);
    }
    if (!bound)
        return Fail(statement.Diagnostic());

    while (!cancelFlag) {
        const COdbcStatement::FetchResult fetched = statement.Fetch();
        if (fetched == COdbcStatement::FetchResult::End)
            break;
        if (fetched == COdbcStatement::FetchResult::Error)
            return Fail(statement.Diagnostic());
        const QString key = statement.Text(keyColumn);
        // Columns not read give empty texts and zeros, which a key pass never looks at.
        const bool texts = wholeRows || measure;
        const auto text = [&statement, texts](int binding) {
            return texts ? statement.Text(binding) : QString();
        };
        const bool stop = CSide::DeliverDictionaryRow(
            mode, key, text(itemType), wholeRows ? statement.Number64(itemSize) : 0, text(dataType),
            wholeRows ? qint16(statement.Number(fileDecimals)) : 0, text(displayDecimals),
            wholeRows ? nullptr : keyList, onDictionaryRow, cancelFlag,
            measure ? longest : nullptr);
        if (stop)
            break;
    }
    return true;
}
