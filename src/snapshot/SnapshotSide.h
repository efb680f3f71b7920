#pragma once

#include "odbc/Side.h"
#include "snapshot/SqliteDatabase.h"

#include <QDateTime>

#include <atomic>

// A side read from a snapshot file instead of a data source: everything a comparison reads, as
// the side gave it when the snapshot was taken. The file is an SQLite database, opened read-only:
//   snapshot (key, value): format, data_source, owner_catalog, owner_schema, dbms_name,
//     dbms_version, driver_name, driver_version, taken_at (UTC, ISO 8601), program_version,
//     param_word, dictionary_table, dictionary_problem;
//   tables (position, name, is_view): the table list in the side's order;
//   columns (table_position, position, name, data_type, type_name, size, nullable,
//     decimal_digits, default_value): each table's columns as the catalogue gave them;
//   indexes (table_position, position, index_name, is_unique, column_name, is_ascending): one row
//     per index column, in the catalogue's order;
//   dictionary_sizes (item, size): the declared sizes a dictionary comparison asks for, NULL
//     for an item the dictionary lacks;
//   dictionary (position, frdtai, frdtat, frdtas, frowtp, frdtad, frcdec): the data
//     dictionary's rows in the order the database gave them.
// Every reader gives what the data source's reader gave then, so that a comparison with the
// snapshot writes what a comparison with the side would have written at that moment.
class CSnapshotSide final : public CSide {
public:
    // The format this program writes; a file of a later one is refused.
    static constexpr int FormatVersion = 1;

    // Opens the file and reads what it holds of the side and its table list. False, with the
    // reason in LastDiagnostic, when it cannot be opened, is damaged, is not a snapshot or is
    // of a newer format; the side is then empty.
    bool Open(const QString& path);
    QString Path() const { return m_path; }
    QString DatabaseFile() const override { return m_path; }
    bool IsSnapshot() const override { return true; }
    QDateTime TakenAt() const { return m_takenAt; }

    // The file's name, then the data source, its owner and the moment it was taken:
    // "prod.qvsnap (PROD erp.public, 2026-12-01 09:30)".
    QString DisplayName() const override;
    QString DbmsName() const override { return m_dbmsName; }
    QString DbmsVersion() const override { return m_dbmsVersion; }

    // Reads the file again, as a data source's list is read again.
    bool ReadTableListing(CTableListing& listing) override;
    bool ReadColumns(const QString& table, CColumnInfoArray& columns,
                     bool attributes = false) override;
    bool ReadAllColumns(CColumnCatalogue& catalogue,
                        const std::function<bool(const QString& table)>& onTable,
                        bool attributes = false) override;
    bool ReadIndexes(const QString& table, CIndexInfoArray& indexes) override;
    bool ReadsAllIndexesAtOnce() const override { return true; }
    bool ReadAllIndexes(CIndexCatalogue& catalogue,
                        const std::function<bool(const QString& table)>& onTable) override;
    qint64 LookupDataItemSize(const QString& item, bool* readFailed = nullptr) override;
    bool ReadDataDictionary(DictionaryMode mode, const std::vector<int>& widths,
                            QStringList* keyList, const DictionaryRowCallback& onDictionaryRow,
                            bool& cancelFlag, std::vector<int>* longest = nullptr) override;

    void Interrupt() override;
    std::function<void()> BeginInterrupt() override;
    void ClearInterrupt() override { m_interrupted = false; }
    bool IsInterrupted() const override { return m_interrupted; }

private:
    bool OpenFile(const QString& path);
    bool ReadInfo();
    bool FailFile(int textId, const QString& detail);
    // The position of a listed table in the file; -1 when the listing has none.
    qint64 TablePosition(const QString& table) const;
    // The rows of the columns or indexes of one table (position given) or of all.
    // onRow returns true to stop the reading, which then fails.
    bool ReadColumnRows(qint64 position, const std::function<bool(qint64, CColumnInfo)>& onRow,
                        bool attributes);
    bool ReadIndexRows(qint64 position, CIndexCatalogue& catalogue,
                       const std::function<bool(const QString&)>& onTable);

    QString m_path;
    CSqliteDatabase m_database;
    QDateTime m_takenAt;
    QString m_dbmsName;
    QString m_dbmsVersion;
    QString m_dictionaryTable;
    QString m_dictionaryProblem;
    QHash<QString, qint64> m_positions;
    std::atomic<bool> m_interrupted{false};
};
