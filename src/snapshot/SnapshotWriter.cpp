#include "snapshot/SnapshotWriter.h"

#include "export/ExportTarget.h"
#include "model/ParamWord.h"
#include "odbc/ColumnCatalogue.h"
#include "odbc/DataSourceSide.h"
#include "odbc/IndexCatalogue.h"
#include "odbc/OdbcConnection.h"
#include "runs/ComparisonProgress.h"
#include "runs/DictionaryComparison.h"
#include "services/Language.h"
#include "services/Utilities.h"
#include "snapshot/SnapshotSide.h"
#include "snapshot/SqliteDatabase.h"
#include "snapshot/SqliteStatement.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kFailedReadText = 1210;
constexpr int kTableListObjectText = 1211;
constexpr int kWritingText = 1212;
constexpr int kCannotWriteText = 1213;
constexpr int kColumnsObjectText = 1951;
constexpr int kIndexesObjectText = 1852;
constexpr int kDictionaryObjectText = 1952;
constexpr int kItemSizeObjectText = 1953;
constexpr int kReadingColumnsText = 1991;
constexpr int kReadingIndexesText = 1853;

// The file is built under a private name in the temporary folder and only copied to its target
// once complete; the private one goes on every path out.
class CScratchFile {
public:
    CScratchFile() {
        QByteArray pattern =
            QFile::encodeName(QDir(TemporaryFolder()).filePath(QStringLiteral("BFDSXXXXXX")));
        const int descriptor = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (descriptor < 0)
            return;
        ::close(descriptor);
        m_path = pattern;
    }
    ~CScratchFile() {
        if (!m_path.isEmpty())
            ::unlink(m_path.constData());
    }
    CScratchFile(const CScratchFile&) = delete;
    CScratchFile& operator=(const CScratchFile&) = delete;

    bool IsCreated() const { return !m_path.isEmpty(); }
    QString Path() const { return QFile::decodeName(m_path); }

private:
    QByteArray m_path;
};

// Copies the whole of a file to a descriptor; false with errno set when it cannot.
bool CopyFile(const QString& from, int to, qint64& copied) {
    const int source = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC);
    if (source < 0)
        return false;
    char buffer[64 * 1024];
    copied = 0;
    bool good = true;
    for (;;) {
        const ssize_t got = ::read(source, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            good = got == 0;
            break;
        }
        // Written in sequence, not at positions: the target may be a pipe or a device.
        for (ssize_t done = 0; good && done < got;) {
            const ssize_t wrote = ::write(to, buffer + done, size_t(got - done));
            if (wrote < 0 && errno == EINTR)
                continue;
            good = wrote > 0;
            done += std::max<ssize_t>(wrote, 0);
        }
        if (!good)
            break;
        copied += got;
    }
    const int saved = errno;
    ::close(source);
    errno = saved;
    return good;
}

// What the file holds, in one transaction; see CSnapshotSide for the meaning of each table.
const char* const kSchema = R"(
PRAGMA encoding = 'UTF-16le';
PRAGMA journal_mode = OFF;
PRAGMA synchronous = OFF;
BEGIN;
CREATE TABLE snapshot (key TEXT PRIMARY KEY, value TEXT) WITHOUT ROWID;
CREATE TABLE tables (position INTEGER PRIMARY KEY, name TEXT NOT NULL,
                     is_view INTEGER NOT NULL);
CREATE TABLE columns (table_position INTEGER NOT NULL, position INTEGER NOT NULL,
                      name TEXT NOT NULL, data_type INTEGER NOT NULL, type_name TEXT NOT NULL,
                      size INTEGER NOT NULL, nullable INTEGER NOT NULL, decimal_digits INTEGER,
                      default_value TEXT, PRIMARY KEY (table_position, position)) WITHOUT ROWID;
CREATE TABLE indexes (table_position INTEGER NOT NULL, position INTEGER NOT NULL,
                      index_name TEXT NOT NULL, is_unique INTEGER NOT NULL,
                      column_name TEXT NOT NULL, is_ascending INTEGER NOT NULL,
                      PRIMARY KEY (table_position, position)) WITHOUT ROWID;
CREATE TABLE dictionary_sizes (item TEXT PRIMARY KEY, size INTEGER) WITHOUT ROWID;
CREATE TABLE dictionary (position INTEGER PRIMARY KEY, frdtai TEXT NOT NULL,
                         frdtat TEXT NOT NULL, frdtas INTEGER NOT NULL, frowtp TEXT NOT NULL,
                         frdtad INTEGER NOT NULL, frcdec TEXT NOT NULL);
)";

// One snapshot being written: the side read part after part, each part into its table.
class CSnapshotTaking {
public:
    CSnapshotTaking(CDataSourceSide& side, CSqliteDatabase& database, IComparisonProgress& progress)
        : m_side(side), m_database(database), m_progress(progress) {}

    bool Cancelled() {
        m_cancelled = m_cancelled || m_progress.QueryCancel() != 0 || m_side.IsInterrupted();
        return m_cancelled;
    }
    bool WasCancelled() const { return m_cancelled; }
    QString Failure() const { return m_failure; }

    bool WriteInfo(const CParamWord& params) {
        const COdbcConnection* connection = m_side.Connection();
        const std::pair<const char*, QString> values[] = {
            {"format", QString::number(CSnapshotSide::FormatVersion)},
            {"data_source", m_side.DataSourceName()},
            {"owner_catalog", m_side.Owner().catalog},
            {"owner_schema", m_side.Owner().schema},
            {"dbms_name", m_side.DbmsName()},
            {"dbms_version", m_side.DbmsVersion()},
            {"driver_name", connection ? connection->DriverName() : QString()},
            {"driver_version", connection ? connection->DriverVersion() : QString()},
            {"taken_at", QDateTime::currentDateTimeUtc().toString(Qt::ISODate)},
            {"program_version", GetProductVersion()},
            {"param_word", QString::number(params.Value())},
            {"dictionary_table", m_side.DataDictionaryTable()},
            {"dictionary_problem", m_side.DataDictionaryProblem()},
        };
        CSqliteStatement insert(m_database, "INSERT INTO snapshot (key, value) VALUES (?, ?)");
        for (const auto& [key, value] : values) {
            insert.Bind(1, QString::fromLatin1(key));
            insert.Bind(2, value);
            if (!Step(insert))
                return false;
        }
        return true;
    }

    bool WriteTables(const CTableListing& listing) {
        CSqliteStatement insert(m_database,
                                "INSERT INTO tables (position, name, is_view) VALUES (?, ?, ?)");
        for (int table = 0; table < listing.names.size(); ++table) {
            insert.Bind(1, qint64(table));
            insert.Bind(2, listing.names[table]);
            insert.Bind(3, qint64(listing.viewFlags.value(table, 0)));
            if (!Step(insert))
                return false;
        }
        return true;
    }

    // Each table's columns as the table run gets them: from the whole-side reading, or for a
    // table it gave no rows for, from a call of its own.
    bool WriteColumns() {
        m_progress.ShowBusy(LoadLocalizedString(kReadingColumnsText).arg(m_side.DisplayName()));
        CColumnCatalogue catalogue;
        const bool whole = m_side.ReadAllColumns(
            catalogue, [this](const QString&) { return Cancelled(); }, true);
        if (Cancelled())
            return false;
        CSqliteStatement insert(m_database,
                                "INSERT INTO columns (table_position, position, name, data_type,"
                                " type_name, size, nullable, decimal_digits, default_value)"
                                " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
        m_progress.Progress(m_side.TableCount());
        for (int table = 0; table < m_side.TableCount(); ++table) {
            const QString name = m_side.GetTableName(table);
            CColumnInfoArray columns;
            if ((!whole || !catalogue.Columns(name, columns)) &&
                !m_side.ReadColumns(name, columns, true))
                return FailRead(LoadLocalizedString(kColumnsObjectText).arg(name));
            for (size_t position = 0; position < columns.size(); ++position) {
                const CColumnInfo& column = *columns[position];
                insert.Bind(1, qint64(table));
                insert.Bind(2, qint64(position));
                insert.Bind(3, column.name);
                insert.Bind(4, qint64(column.dataType));
                insert.Bind(5, column.typeName);
                insert.Bind(6, qint64(column.size));
                insert.Bind(7, qint64(column.attributes.nullable));
                insert.Bind(8, column.attributes.decimalDigits
                                   ? std::optional<qint64>(*column.attributes.decimalDigits)
                                   : std::nullopt);
                insert.Bind(9, column.attributes.defaultValue);
                if (!Step(insert))
                    return false;
            }
            m_progress.Progress(0);
            if (Cancelled())
                return false;
        }
        return true;
    }

    bool WriteIndexes() {
        m_progress.ShowBusy(LoadLocalizedString(kReadingIndexesText).arg(m_side.DisplayName()));
        CIndexCatalogue catalogue;
        if (!m_side.ReadAllIndexes(catalogue, [this](const QString&) { return Cancelled(); })) {
            if (Cancelled())
                return false;
            return FailRead(LoadLocalizedString(kIndexesObjectText).arg(m_side.DisplayName()));
        }
        CSqliteStatement insert(m_database,
                                "INSERT INTO indexes (table_position, position, index_name,"
                                " is_unique, column_name, is_ascending)"
                                " VALUES (?, ?, ?, ?, ?, ?)");
        for (int table = 0; table < m_side.TableCount(); ++table) {
            const QString name = m_side.GetTableName(table);
            CIndexInfoArray indexes;
            if (!catalogue.Indexes(name, indexes) && !m_side.ReadIndexes(name, indexes))
                return FailRead(LoadLocalizedString(kIndexesObjectText).arg(name));
            qint64 position = 0;
            for (const auto& index : indexes) {
                for (qsizetype column = 0; column < index->columns.size(); ++column) {
                    insert.Bind(1, qint64(table));
                    insert.Bind(2, position++);
                    insert.Bind(3, index->name);
                    insert.Bind(4, qint64(index->unique ? 1 : 0));
                    insert.Bind(5, index->columns[column]);
                    insert.Bind(6, qint64(index->ascending[size_t(column)]));
                    if (!Step(insert))
                        return false;
                }
            }
        }
        return true;
    }

    // The declared sizes the dictionary run asks for, then every row, each text as long as a
    // reading keeps it: the snapshot side cuts them to the widths a run gives, as the driver does.
    bool WriteDictionary() {
        const QString table = m_side.DataDictionaryTable();
        if (table.isEmpty())
            return true;
        CSqliteStatement sizes(m_database,
                               "INSERT INTO dictionary_sizes (item, size) VALUES (?, ?)");
        for (const QString& item : CDictionaryComparison::SizedItems()) {
            bool failed = false;
            const qint64 size = m_side.LookupDataItemSize(item, &failed);
            if (failed)
                return FailRead(LoadLocalizedString(kItemSizeObjectText).arg(item, table));
            sizes.Bind(1, item);
            sizes.Bind(2, size < 0 ? std::nullopt : std::optional<qint64>(size));
            if (!Step(sizes))
                return false;
        }
        CSqliteStatement insert(m_database,
                                "INSERT INTO dictionary (position, frdtai, frdtat, frdtas, frowtp,"
                                " frdtad, frcdec) VALUES (?, ?, ?, ?, ?, ?, ?)");
        qint64 position = 0;
        bool cancel = false;
        bool written = true;
        const auto onRow = [&](CSide::DictionaryMode, const QString& key, QStringList*,
                               std::unique_ptr<CAliasCompareInfo> record, bool& cancelFlag) {
            insert.Bind(1, position++);
            insert.Bind(2, key);
            insert.Bind(3, record->itemType[0]);
            insert.Bind(4, record->itemSize[0]);
            insert.Bind(5, record->dataType[0]);
            insert.Bind(6, qint64(record->fileDecimals[0]));
            insert.Bind(7, record->displayDecimals[0]);
            written = Step(insert);
            cancelFlag = !written || (position % 1024 == 0 && Cancelled());
            return cancelFlag;
        };
        const int longest = CDataSourceSide::LongestValueUnits;
        const bool read =
            m_side.ReadDataDictionary(CSide::DictionaryMode::LeftRows,
                                      {longest, longest, longest, longest}, nullptr, onRow, cancel);
        if (!written || Cancelled())
            return false;
        if (!read)
            return FailRead(LoadLocalizedString(kDictionaryObjectText).arg(table));
        return true;
    }

    bool FailRead(const QString& object) {
        m_failure = LoadLocalizedString(kFailedReadText)
                        .arg(m_side.DisplayName(), object, m_side.LastDiagnostic());
        return false;
    }
    bool FailFile() {
        m_failure =
            LoadLocalizedString(kCannotWriteText).arg(TemporaryFolder(), m_database.ErrorText());
        return false;
    }

private:
    bool Step(CSqliteStatement& statement) {
        const bool done = statement.Next() == CSqliteStatement::Step::Done;
        statement.Reset();
        return done || FailFile();
    }

    CDataSourceSide& m_side;
    CSqliteDatabase& m_database;
    IComparisonProgress& m_progress;
    bool m_cancelled = false;
    QString m_failure;
};

} // namespace

bool CSnapshotWriter::Take(CDataSourceSide& side, const CParamWord& params, const QString& path,
                           IComparisonProgress& progress) {
    m_failure.clear();
    m_fileSize = 0;
    const CScratchFile scratch;
    CSqliteDatabase database;
    if (!scratch.IsCreated() || !database.Open(scratch.Path(), CSqliteDatabase::Mode::Create)) {
        m_failure = LoadLocalizedString(kCannotWriteText)
                        .arg(TemporaryFolder(), scratch.IsCreated()
                                                    ? database.ErrorText()
                                                    : QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    CSnapshotTaking taking(side, database, progress);
    if (!database.Execute(kSchema)) {
        taking.FailFile();
        m_failure = taking.Failure();
        return false;
    }

    // The list as it is now, as every comparison reads it again.
    CTableListing listing;
    if (!side.ReadTableListing(listing)) {
        taking.FailRead(LoadLocalizedString(kTableListObjectText));
        m_failure = taking.Failure();
        return false;
    }
    side.ApplyTableListing(listing, nullptr);
    const bool taken = taking.WriteInfo(params) && taking.WriteTables(listing) &&
                       taking.WriteColumns() && taking.WriteIndexes() && taking.WriteDictionary() &&
                       (database.Execute("COMMIT") || taking.FailFile());
    database.Close();
    if (!taken) {
        m_failure = taking.WasCancelled() ? QString() : taking.Failure();
        return false;
    }

    progress.ShowBusy(LoadLocalizedString(kWritingText).arg(path));
    CExportTarget target(path);
    qint64 copied = 0;
    int copyError = 0;
    bool written = target.Create();
    if (written && !CopyFile(scratch.Path(), target.Descriptor(), copied)) {
        copyError = errno;
        written = false;
    }
    if (!written || !target.Commit()) {
        const QString reason =
            copyError != 0 ? QString::fromLocal8Bit(std::strerror(copyError)) : target.ErrorText();
        target.Discard();
        m_failure = LoadLocalizedString(kCannotWriteText).arg(target.ShownName(), reason);
        return false;
    }
    m_fileSize = copied;
    return true;
}
