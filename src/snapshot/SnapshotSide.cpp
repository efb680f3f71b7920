#include "snapshot/SnapshotSide.h"

#include "odbc/ColumnCatalogue.h"
#include "odbc/DataSourceSide.h"
#include "odbc/IndexCatalogue.h"
#include "services/Language.h"
#include "snapshot/SqliteStatement.h"

#include <QFileInfo>

namespace {

constexpr int kNotASnapshotText = 1214;
constexpr int kNewerFormatText = 1215;
constexpr int kDamagedText = 1216;
constexpr int kNoItemSizeText = 1217;
constexpr int kNoTableText = 1218;
constexpr int kUnknownFormatText = 1228;

// Every statement a side runs, prepared once at opening: a file that cannot answer one of them
// is refused there rather than half-way through a comparison.
const char* const kStatements[] = {
    "SELECT key, value FROM snapshot",
    "SELECT position, name, is_view FROM tables ORDER BY position",
    "SELECT table_position, name, data_type, type_name, size, nullable, decimal_digits,"
    " default_value FROM columns WHERE ?1 < 0 OR table_position = ?1"
    " ORDER BY table_position, position",
    "SELECT table_position, index_name, is_unique, column_name, is_ascending FROM indexes"
    " WHERE ?1 < 0 OR table_position = ?1 ORDER BY table_position, position",
    "SELECT item, size FROM dictionary_sizes",
    "SELECT frdtai, frdtat, frdtas, frowtp, frdtad, frcdec FROM dictionary ORDER BY position",
};

// A text as a driver gives it into a buffer of width code units and its terminator.
QString Cut(const QString& text, int width) {
    return text.left(std::clamp(width, 0, CDataSourceSide::LongestValueUnits));
}

} // namespace

bool CSnapshotSide::Open(const QString& path) {
    m_lastDiagnostic.clear();
    ApplyTableListing(CTableListing(), nullptr);
    m_path = path;
    CTableListing listing;
    const bool opened = ReadTableListing(listing);
    ApplyTableListing(std::move(listing), nullptr);
    return opened;
}

bool CSnapshotSide::FailFile(int textId, const QString& detail) {
    m_database.Close();
    m_positions.clear();
    return Fail(LoadLocalizedString(textId).arg(m_path, detail));
}

bool CSnapshotSide::OpenFile(const QString& path) {
    if (!m_database.Open(path, CSqliteDatabase::Mode::ReadOnly))
        return FailFile(kNotASnapshotText, m_database.ErrorText());
    {
        // A file cut short or written over shows here, not in the middle of a run.
        CSqliteStatement check(m_database, "PRAGMA quick_check");
        if (!check.IsPrepared())
            return FailFile(kNotASnapshotText, m_database.ErrorText());
        if (check.Next() != CSqliteStatement::Step::Row)
            return FailFile(kDamagedText, m_database.ErrorText());
        if (check.Text(0) != QLatin1String("ok"))
            return FailFile(kDamagedText, check.Text(0));
    }
    return ReadInfo();
}

bool CSnapshotSide::ReadInfo() {
    CSqliteStatement info(m_database, kStatements[0]);
    if (!info.IsPrepared())
        return FailFile(kNotASnapshotText, m_database.ErrorText());
    QHash<QString, QString> values;
    CSqliteStatement::Step step;
    while ((step = info.Next()) == CSqliteStatement::Step::Row)
        values.insert(info.Text(0), info.Text(1));
    if (step == CSqliteStatement::Step::Error)
        return FailFile(kDamagedText, m_database.ErrorText());
    bool isNumber = false;
    const int format = values.value(QStringLiteral("format")).toInt(&isNumber);
    if (!values.contains(QStringLiteral("format")))
        return FailFile(kNotASnapshotText, QStringLiteral("format"));
    if (!isNumber || format < 1) {
        m_database.Close();
        return Fail(LoadLocalizedString(kUnknownFormatText)
                        .arg(m_path, values.value(QStringLiteral("format")))
                        .arg(FormatVersion));
    }
    if (format > FormatVersion) {
        m_database.Close();
        return Fail(
            LoadLocalizedString(kNewerFormatText).arg(m_path).arg(format).arg(FormatVersion));
    }
    // The file must answer every reading before it is taken for a side.
    for (const char* sql : kStatements) {
        if (!CSqliteStatement(m_database, sql).IsPrepared())
            return FailFile(kDamagedText, m_database.ErrorText());
    }
    m_dataSourceName = values.value(QStringLiteral("data_source"));
    m_owner = {values.value(QStringLiteral("owner_catalog")),
               values.value(QStringLiteral("owner_schema"))};
    m_dbmsName = values.value(QStringLiteral("dbms_name"));
    m_dbmsVersion = values.value(QStringLiteral("dbms_version"));
    m_takenAt = QDateTime::fromString(values.value(QStringLiteral("taken_at")), Qt::ISODate);
    m_dictionaryTable = values.value(QStringLiteral("dictionary_table"));
    m_dictionaryProblem = values.value(QStringLiteral("dictionary_problem"));
    return true;
}

QString CSnapshotSide::DisplayName() const {
    QString source = m_dataSourceName;
    if (const QString owner = m_owner.DisplayText(); !owner.isEmpty())
        source += QLatin1Char(' ') + owner;
    return QStringLiteral("%1 (%2, %3)")
        .arg(QFileInfo(m_path).fileName(), source,
             m_takenAt.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
}

bool CSnapshotSide::ReadTableListing(CTableListing& listing) {
    listing = CTableListing();
    m_lastDiagnostic.clear();
    m_positions.clear();
    if (!OpenFile(m_path))
        return false;
    CSqliteStatement tables(m_database, kStatements[1]);
    CSqliteStatement::Step step;
    while ((step = tables.Next()) == CSqliteStatement::Step::Row) {
        const int index = int(listing.names.size());
        listing.names.append(tables.Text(1));
        m_positions.insert(listing.names.back(), tables.Number(0));
        if (const qint64 view = tables.Number(2); view != 0)
            listing.viewFlags.insert(index, quint8(view));
    }
    if (step == CSqliteStatement::Step::Error) {
        listing = CTableListing();
        return FailFile(kDamagedText, m_database.ErrorText());
    }
    listing.dataDictionaryTable = m_dictionaryTable;
    listing.dataDictionaryProblem = m_dictionaryProblem;
    return true;
}

qint64 CSnapshotSide::TablePosition(const QString& table) const {
    return m_positions.value(table, -1);
}

bool CSnapshotSide::ReadColumnRows(qint64 position,
                                   const std::function<bool(qint64, CColumnInfo)>& onRow,
                                   bool attributes) {
    CSqliteStatement rows(m_database, kStatements[2]);
    rows.Bind(1, position);
    CSqliteStatement::Step step = CSqliteStatement::Step::Done;
    while (!m_interrupted && (step = rows.Next()) == CSqliteStatement::Step::Row) {
        const qint64 table = rows.Number(0);
        CColumnInfo::Attributes read;
        if (attributes) {
            read.nullable = qint16(rows.Number(5));
            if (const auto digits = rows.OptionalNumber(6))
                read.decimalDigits = qint16(*digits);
            read.defaultValue = rows.OptionalText(7);
        }
        if (onRow(table, CColumnInfo(rows.Text(1), qint32(rows.Number(2)), rows.Text(3),
                                     qint32(rows.Number(4)), read)))
            return false;
    }
    if (m_interrupted)
        return false;
    return step == CSqliteStatement::Step::Done || FailFile(kDamagedText, m_database.ErrorText());
}

bool CSnapshotSide::ReadColumns(const QString& table, CColumnInfoArray& columns, bool attributes) {
    columns.clear();
    m_lastDiagnostic.clear();
    const qint64 position = TablePosition(table);
    if (position < 0)
        return Fail(LoadLocalizedString(kNoTableText).arg(m_path, table));
    return ReadColumnRows(
        position,
        [&columns](qint64, CColumnInfo column) {
            columns.push_back(std::make_unique<CColumnInfo>(std::move(column)));
            return false;
        },
        attributes);
}

bool CSnapshotSide::ReadAllColumns(CColumnCatalogue& catalogue,
                                   const std::function<bool(const QString&)>& onTable,
                                   bool attributes) {
    catalogue.Clear();
    m_lastDiagnostic.clear();
    catalogue.BeginCall();
    qint64 current = -1;
    const bool read = ReadColumnRows(
        -1,
        [&](qint64 table, CColumnInfo column) {
            if (table < 0 || table >= TableCount())
                return false;
            const QString& name = m_tableNames[int(table)];
            if (table != current) {
                current = table;
                if (onTable && onTable(name))
                    return true;
            }
            catalogue.AddRow(name, column.name, column.dataType, column.typeName, column.size,
                             attributes ? &column.attributes : nullptr);
            return false;
        },
        attributes);
    if (read)
        return true;
    catalogue.Clear();
    return false;
}

bool CSnapshotSide::ReadIndexRows(qint64 position, CIndexCatalogue& catalogue,
                                  const std::function<bool(const QString&)>& onTable) {
    CSqliteStatement rows(m_database, kStatements[3]);
    rows.Bind(1, position);
    // A table the file lists has the indexes it holds, none when it holds none.
    if (position >= 0)
        catalogue.AddTable(m_tableNames.value(int(position)));
    else
        for (const QString& table : std::as_const(m_tableNames))
            catalogue.AddTable(table);
    qint64 current = -1;
    CSqliteStatement::Step step = CSqliteStatement::Step::Done;
    while (!m_interrupted && (step = rows.Next()) == CSqliteStatement::Step::Row) {
        const qint64 table = rows.Number(0);
        if (table < 0 || table >= TableCount())
            continue;
        const QString& name = m_tableNames[int(table)];
        if (table != current) {
            current = table;
            if (onTable && onTable(name))
                return false;
        }
        catalogue.AddRow(name, rows.Text(1), rows.Number(2) != 0, rows.Text(3),
                         rows.Number(4) != 0);
    }
    if (m_interrupted)
        return false;
    return step == CSqliteStatement::Step::Done || FailFile(kDamagedText, m_database.ErrorText());
}

bool CSnapshotSide::ReadIndexes(const QString& table, CIndexInfoArray& indexes) {
    indexes.clear();
    m_lastDiagnostic.clear();
    const qint64 position = TablePosition(table);
    if (position < 0)
        return Fail(LoadLocalizedString(kNoTableText).arg(m_path, table));
    CIndexCatalogue catalogue;
    return ReadIndexRows(position, catalogue, {}) && catalogue.Indexes(table, indexes);
}

bool CSnapshotSide::ReadAllIndexes(CIndexCatalogue& catalogue,
                                   const std::function<bool(const QString&)>& onTable) {
    catalogue.Clear();
    m_lastDiagnostic.clear();
    if (ReadIndexRows(-1, catalogue, onTable))
        return true;
    catalogue.Clear();
    return false;
}

qint64 CSnapshotSide::LookupDataItemSize(const QString& item, bool* readFailed) {
    m_lastDiagnostic.clear();
    CSqliteStatement sizes(m_database, kStatements[4]);
    CSqliteStatement::Step step;
    while ((step = sizes.Next()) == CSqliteStatement::Step::Row) {
        if (sizes.Text(0) != item)
            continue;
        if (readFailed)
            *readFailed = false;
        return sizes.IsNull(1) ? -1 : sizes.Number(1);
    }
    if (step == CSqliteStatement::Step::Error)
        FailFile(kDamagedText, m_database.ErrorText());
    else
        Fail(LoadLocalizedString(kNoItemSizeText).arg(m_path, item));
    if (readFailed)
        *readFailed = true;
    return -1;
}

bool CSnapshotSide::ReadDataDictionary(DictionaryMode mode, const std::vector<int>& widths,
                                       QStringList* keyList,
                                       const DictionaryRowCallback& onDictionaryRow,
                                       bool& cancelFlag, std::vector<int>* longest) {
    m_lastDiagnostic.clear();
    if (m_dataDictionaryTable.isEmpty() || !m_database.IsOpen())
        return Fail(LoadLocalizedString(kNoItemSizeText).arg(m_path, QStringLiteral("F9210")));
    DictionaryPass pass;
    if (!PlanDictionaryPass(mode, widths, longest, pass))
        return false;
    const bool wholeRows = pass.wholeRows;
    const bool measure = pass.measure;
    if (measure)
        longest->assign(4, 0);
    // The widths the data source's reader would have bound, for the texts it would have cut.
    const auto width = [&widths](size_t column) {
        return column < widths.size() ? widths[column] : 0;
    };
    CSqliteStatement rows(m_database, kStatements[5]);
    CSqliteStatement::Step step = CSqliteStatement::Step::Done;
    while (!cancelFlag && !m_interrupted && (step = rows.Next()) == CSqliteStatement::Step::Row) {
        const bool texts = wholeRows || measure;
        const auto text = [&](int column, size_t widthColumn) {
            return texts ? Cut(rows.Text(column), width(widthColumn)) : QString();
        };
        if (DeliverDictionaryRow(mode, Cut(rows.Text(0), width(0)), text(1, 1),
                                 wholeRows ? rows.Number(2) : 0, text(3, 2),
                                 wholeRows ? qint16(rows.Number(4)) : 0, text(5, 3),
                                 wholeRows ? nullptr : keyList, onDictionaryRow, cancelFlag,
                                 measure ? longest : nullptr))
            break;
    }
    if (m_interrupted)
        return Fail(QStringLiteral("HY008: operation cancelled"));
    return step != CSqliteStatement::Step::Error || FailFile(kDamagedText, m_database.ErrorText());
}

void CSnapshotSide::Interrupt() {
    m_interrupted = true;
    m_database.Interrupt();
}

std::function<void()> CSnapshotSide::BeginInterrupt() {
    m_interrupted = true;
    return [this] { m_database.Interrupt(); };
}
