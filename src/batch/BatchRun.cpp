#include "batch/BatchRun.h"

#include "export/ColumnExportSource.h"
#include "export/DictionaryExportSource.h"
#include "export/ExportFile.h"
#include "export/ExportTarget.h"
#include "export/SideFiles.h"
#include "export/StructureExportSource.h"
#include "export/TableExportSource.h"
#include "model/NameOrdering.h"
#include "odbc/DataSourceList.h"
#include "odbc/DataSourceSetup.h"
#include "odbc/OwnerCombo.h"
#include "services/Language.h"
#include "services/SettingsStore.h"
#include "snapshot/SnapshotWriter.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kTargetLeftAloneText = 1907;
constexpr int kResultFileText = 1957;
constexpr int kCancelledText = 1965;
constexpr int kStandardOutputText = 1966;
constexpr int kStructureReadText = 1967;
constexpr int kStructureCountsText = 1968;
constexpr int kCountsText = 1969;
constexpr int kConnectText = 1970;
constexpr int kOwnersReadText = 1971;
constexpr int kOwnerNeededText = 1972;
constexpr int kOwnerUnknownText = 1973;
constexpr int kTablesReadText = 1974;
constexpr int kNoSuchTableText = 1975;
constexpr int kNoSuchTableInSideText = 1976;
constexpr int kOneSideTableText = 1977;
constexpr int kSameTableText = 1978;
constexpr int kNoBitText = 1979;
constexpr int kExportWord = 1980;
constexpr int kCompareWord = 1981;
constexpr int kSnapshotWrittenText = 1219;
// The window program's settings, which --use-settings starts from.
const QString kWindowProgram = QStringLiteral("quorvix");

// False when the line could not be written (a closed pipe, a full disk).
// The system's error number of the first line that could not be printed.
int g_printError = 0;

bool PrintLine(std::FILE* stream, const QString& text) {
    errno = 0;
    const bool written =
        std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), stream) >= 0 &&
        std::fflush(stream) == 0 && !std::ferror(stream);
    if (!written && g_printError == 0)
        g_printError = errno ? errno : EIO;
    return written;
}

// Collects the owner combo's entries in the combo's own order.
class COwnerEntries final : public IOwnerCombo {
public:
    void DeleteAllEntries() override { entries.clear(); }
    void AddEntry(const QString& text, int itemData) override {
        int position = 0;
        while (position < entries.size() && OwnerEntryGoesAfter(entries[position].first, text))
            ++position;
        entries.insert(position, {text, itemData});
    }
    QList<std::pair<QString, int>> entries;
};

// The table asked for: its exact name, else the one name equal to it with case ignored as names
// are matched everywhere (A-Z only).
int FindTable(const QStringList& names, const QString& table) {
    if (const int exact = int(names.indexOf(table)); exact >= 0)
        return exact;
    int found = -1;
    for (int index = 0; index < names.size(); ++index) {
        if (CompareNames(names[index], table, false) == 0) {
            if (found >= 0)
                return -1;
            found = index;
        }
    }
    return found;
}

QString BitRange(int first, int count) {
    return QStringLiteral("%1-%2").arg(first).arg(first + count - 1);
}

} // namespace

CBatchRun::CBatchRun(CBatchOptions options)
    : m_options(std::move(options)), m_results(Side(0), Side(1), m_params),
      m_progress(stderr, !m_options.quiet && ::isatty(STDERR_FILENO)) {
    if (m_options.useSettings) {
        const CSettingsStore store(kWindowProgram);
        m_params.Load(store);
        m_results.LoadReadingOption(store);
    }
    if (m_options.params)
        m_params.SetValue(*m_options.params);
    for (const auto& [bit, on] : m_options.bitChanges)
        m_params.SetBit(bit, on);
    if (m_options.encoding)
        m_params.SetEncoding(*m_options.encoding);
}

int CBatchRun::Execute() {
    using Command = CBatchOptions::Command;
    switch (m_options.command) {
    case Command::ListSources:
        return ListSources();
    case Command::ListOwners:
        return ListOwners();
    case Command::Tables:
        return CompareTables();
    case Command::Columns:
        return CompareColumns();
    case Command::Dictionary:
        return CompareDictionaries();
    case Command::Structure:
        return ShowStructure();
    case Command::Snapshot:
        return TakeSnapshot();
    case Command::None:
        break;
    }
    return Failed;
}

void CBatchRun::Cancel() {
    m_progress.Cancel();
    for (size_t index = 0; index < m_sides.size(); ++index) {
        if (m_connected[index].load())
            m_sides[index].Interrupt();
        m_snapshots[index].Interrupt();
    }
}

bool CBatchRun::IsSnapshot(int index) const {
    return !(index == 0 ? m_options.leftSnapshot : m_options.rightSnapshot).isEmpty();
}

CSide& CBatchRun::Side(int index) {
    if (IsSnapshot(index))
        return m_snapshots[size_t(index)];
    return m_sides[size_t(index)];
}

bool CBatchRun::OpenSnapshot(int index) {
    CSnapshotSide& side = m_snapshots[size_t(index)];
    if (!side.Open(index == 0 ? m_options.leftSnapshot : m_options.rightSnapshot)) {
        Fail(side.LastDiagnostic());
        return false;
    }
    m_sideNames[size_t(index)] = side.DisplayName();
    return !m_progress.IsCancelled();
}

int CBatchRun::Fail(const QString& message) const {
    PrintLine(stderr, message);
    return Failed;
}

int CBatchRun::ListSources() {
    bool written = true;
    for (const bool system : {false, true}) {
        QStringList names;
        QStringList drivers;
        ListDataSources(system, names, drivers);
        for (int index = 0; index < names.size(); ++index)
            written =
                PrintLine(stdout, (system ? QStringLiteral("system\t") : QStringLiteral("user\t")) +
                                      names[index] + QLatin1Char('\t') + drivers.value(index)) &&
                written;
    }
    return written ? AllSame : Fail(StandardOutputError());
}

int CBatchRun::ListOwners() {
    if (!OpenSide(0, m_options.dataSource))
        return m_progress.IsCancelled() ? Cancelled : Failed;
    COwnerList owners;
    QList<std::pair<QString, int>> entries;
    if (!ReadOwners(0, owners, entries))
        return m_progress.IsCancelled() ? Cancelled : Failed;
    bool written = true;
    for (const auto& entry : entries)
        written = PrintLine(stdout, entry.first) && written;
    return written ? AllSame : Fail(StandardOutputError());
}

QString CBatchRun::StandardOutputError() {
    // The export's own words for a write that fails.
    return WriteFailureText(LoadLocalizedString(kStandardOutputText), g_printError);
}

bool CBatchRun::OpenSide(int index, const QString& dataSource) {
    CDataSourceSide& side = m_sides[size_t(index)];
    // The kind only matters to what the window shows; a user data source hides a system one.
    QStringList names;
    QStringList drivers;
    ListDataSources(false, names, drivers);
    side.SetDataSource(dataSource, names.contains(dataSource, Qt::CaseInsensitive)
                                       ? CDataSourceSide::UserDataSource
                                       : CDataSourceSide::SystemDataSource);
    if (!side.Connect()) {
        Fail(LoadLocalizedString(kConnectText).arg(dataSource, side.LastDiagnostic()));
        return false;
    }
    m_connected[size_t(index)].store(true);
    return !m_progress.IsCancelled();
}

bool CBatchRun::ReadOwners(int index, COwnerList& owners, QList<std::pair<QString, int>>& entries) {
    CDataSourceSide& side = m_sides[size_t(index)];
    COwnerEntries combo;
    side.ListQualifiers(owners, &combo);
    if (m_progress.IsCancelled())
        return false;
    if (!side.LastDiagnostic().isEmpty()) {
        Fail(
            LoadLocalizedString(kOwnersReadText).arg(side.DataSourceName(), side.LastDiagnostic()));
        return false;
    }
    entries = combo.entries;
    return true;
}

bool CBatchRun::PrepareSide(int index, const QString& dataSource,
                            const std::optional<QString>& owner, bool listTables) {
    if (!OpenSide(index, dataSource))
        return false;
    CDataSourceSide& side = m_sides[size_t(index)];
    COwnerList owners;
    QList<std::pair<QString, int>> entries;
    if (!ReadOwners(index, owners, entries))
        return false;
    QStringList texts;
    for (const auto& entry : entries)
        texts.append(entry.first);
    const QString ownerOption =
        index == 0 ? QStringLiteral("--left-owner") : QStringLiteral("--right-owner");
    if (entries.size() > 1) {
        // As in the window, a data source with several owners shows no tables until one is
        // chosen, and the chosen owner becomes part of the side's name.
        if (!owner) {
            Fail(LoadLocalizedString(kOwnerNeededText)
                     .arg(dataSource, ownerOption, texts.join(QStringLiteral(", "))));
            return false;
        }
        const int entry = int(texts.indexOf(*owner));
        if (entry < 0) {
            Fail(LoadLocalizedString(kOwnerUnknownText)
                     .arg(dataSource, *owner, texts.join(QStringLiteral(", "))));
            return false;
        }
        side.SetOwner(owners[size_t(entries[entry].second)]);
    } else {
        if (owner && (texts.isEmpty() || texts.first() != *owner)) {
            Fail(LoadLocalizedString(kOwnerUnknownText)
                     .arg(dataSource, *owner, texts.join(QStringLiteral(", "))));
            return false;
        }
        side.SetOwnerQualifier(QString());
    }
    m_sideNames[size_t(index)] = side.DisplayName();
    if (!listTables)
        return true;
    if (!side.ListTables(nullptr)) {
        if (!m_progress.IsCancelled())
            Fail(LoadLocalizedString(kTablesReadText)
                     .arg(m_sideNames[size_t(index)], side.LastDiagnostic()));
        return false;
    }
    side.SetReady(true);
    return !m_progress.IsCancelled();
}

bool CBatchRun::AnyBitSet(int first, int count, int whatText) const {
    for (int bit = first; bit < first + count; ++bit) {
        if (m_params.TestBit(bit))
            return true;
    }
    Fail(
        LoadLocalizedString(kNoBitText).arg(BitRange(first, count), LoadLocalizedString(whatText)));
    return false;
}

bool CBatchRun::RunEnded(bool succeeded, int& exitCode) {
    m_progress.Finish();
    if (succeeded && !m_progress.IsCancelled())
        return true;
    if (m_progress.IsCancelled()) {
        exitCode = Cancelled;
        if (!m_options.quiet)
            PrintLine(stderr, LoadLocalizedString(kCancelledText));
        return false;
    }
    exitCode = Fail(m_results.LastFailure());
    return false;
}

int CBatchRun::WriteOutput(const CExportSource& source) {
    CExportTarget target(m_options.output);
    bool dropped = false;
    const QString message = source.WriteTo(
        target, m_options.html ? ExportFormat::Html : ExportFormat::Csv,
        [this] { return !m_progress.IsCancelled(); }, dropped);
    if (!message.isEmpty())
        return Fail(message);
    return dropped ? Cancelled : AllSame;
}

bool CBatchRun::OutputIsASideFile(const std::vector<const CSide*>& sides) {
    const QString refusal = RefuseSideFile(m_options.output, sides);
    if (refusal.isEmpty())
        return false;
    Fail(refusal);
    return true;
}

void CBatchRun::PrintCounts(const CComparisonRun::Counters& counters) const {
    if (m_options.quiet)
        return;
    // One substitution pass: a side name holding "%2" stays as it is.
    PrintLine(stderr,
              LoadLocalizedString(kCountsText)
                  .arg(QString::number(counters[0]), QString::number(counters[1]), SideName(0),
                       QString::number(counters[2]), SideName(1), QString::number(counters[3])));
}

bool CBatchRun::PrepareBothSides() {
    for (const int index : {0, 1}) {
        const bool prepared =
            IsSnapshot(index)
                ? OpenSnapshot(index)
                : PrepareSide(index, index == 0 ? m_options.left : m_options.right,
                              index == 0 ? m_options.leftOwner : m_options.rightOwner);
        if (!prepared)
            return false;
    }
    if (m_options.leftName)
        m_sideNames[0] = *m_options.leftName;
    if (m_options.rightName)
        m_sideNames[1] = *m_options.rightName;
    return !OutputIsASideFile({&Side(0), &Side(1)});
}

int CBatchRun::Stopped() const {
    return m_progress.IsCancelled() ? Cancelled : Failed;
}

bool CBatchRun::RunComparison(CResultFile::Kind kind, int& exitCode) {
    if (!PrepareBothSides()) {
        exitCode = Stopped();
        return false;
    }
    const bool succeeded = kind == CResultFile::DictionaryResult
                               ? m_results.RunDictionaryComparison(m_progress)
                               : m_results.RunTableComparison(m_progress);
    return RunEnded(succeeded, exitCode);
}

int CBatchRun::Report(const CExportSource& source) {
    const int written = WriteOutput(source);
    if (written != AllSame)
        return written;
    PrintCounts(source.RowCounts());
    return source.KeepsDifferences() ? DifferencesFound : AllSame;
}

int CBatchRun::CompareTables() {
    if (!AnyBitSet(ParamBit::ExportTableStatus0, CompareStatus::Count, kExportWord))
        return Failed;
    int exitCode = AllSame;
    if (!RunComparison(CResultFile::TableResult, exitCode))
        return exitCode;
    return Report(CTableExportSource(m_results, m_params, SideName(0), SideName(1)));
}

int CBatchRun::CompareColumns() {
    if (!AnyBitSet(ParamBit::ExportColumnStatus0, CompareStatus::Count, kExportWord))
        return Failed;
    int exitCode = AllSame;
    if (!RunComparison(CResultFile::TableResult, exitCode))
        return exitCode;
    const int tableIndex = FindTable(m_results.TableNames(), m_options.table);
    if (tableIndex < 0)
        return Fail(LoadLocalizedString(kNoSuchTableText).arg(m_options.table));
    const QString table = m_results.TableNames()[tableIndex];
    // Only a table that differs has columns compared, as only it opens the window's column view.
    const qint32 tableStatus = m_results.GetTableStatus(tableIndex);
    if (tableStatus != CompareStatus::Different) {
        // A path the run did not write is left as it is, and the script is told so.
        if (tableStatus == CompareStatus::Same) {
            if (!m_options.quiet)
                PrintLine(stderr, LoadLocalizedString(kSameTableText).arg(table));
        } else {
            const int side = tableStatus == CompareStatus::OnlyLeft ? 0 : 1;
            PrintLine(stderr, LoadLocalizedString(kOneSideTableText).arg(table, SideName(side)));
        }
        if (!m_options.output.isEmpty())
            PrintLine(stderr, LoadLocalizedString(kTargetLeftAloneText).arg(m_options.output));
        return tableStatus == CompareStatus::Same ? AllSame : DifferencesFound;
    }
    CComparisonResults::TableRows rows;
    if (!m_results.OpenTableRows(tableIndex, rows))
        return Fail(LoadLocalizedString(kResultFileText).arg(CResultFile::Folder()));
    const CColumnExportSource source(m_results, tableIndex,
                                     m_params.TestBit(ParamBit::CompareSqlTypes), m_params,
                                     SideName(0), SideName(1));
    // Options that select no row the run can have (different rows without the type, attribute
    // or index comparison) are dropped, as the window never offers them.
    if (!source.KeepOfferedOptions()) {
        AnyBitSet(ParamBit::ExportColumnStatus0, CompareStatus::Count, kExportWord);
        return Failed;
    }
    return Report(source);
}

int CBatchRun::CompareDictionaries() {
    constexpr int kValues = 5;
    if (!AnyBitSet(ParamBit::CompareValue0, kValues, kCompareWord) ||
        !AnyBitSet(ParamBit::ExportDictionaryStatus0, CompareStatus::Count, kExportWord))
        return Failed;
    int exitCode = AllSame;
    if (!RunComparison(CResultFile::DictionaryResult, exitCode))
        return exitCode;
    return Report(CDictionaryExportSource(m_results, m_params, SideName(0), SideName(1)));
}

int CBatchRun::ShowStructure() {
    if (!AnyBitSet(ParamBit::ExportFields, 2, kExportWord))
        return Failed;
    const int index = m_options.structureSide;
    const QString& dataSource = index == 0 ? m_options.left : m_options.right;
    const bool prepared =
        IsSnapshot(index) ? OpenSnapshot(index)
                          : PrepareSide(index, dataSource,
                                        index == 0 ? m_options.leftOwner : m_options.rightOwner);
    if (!prepared)
        return Stopped();
    CSide& side = Side(index);
    if (OutputIsASideFile({&side}))
        return Failed;
    const int tableIndex = FindTable(side.TableNames(), m_options.table);
    if (tableIndex < 0)
        return Fail(
            LoadLocalizedString(kNoSuchTableInSideText).arg(m_options.table, SideName(index)));
    const QString table = side.TableNames()[tableIndex];
    // The report says when the table was read.
    const CRunFacts facts = CRunFacts::ReadNow(side, index);
    CColumnInfoArray fields;
    CIndexInfoArray indexes;
    if (!side.ReadColumns(table, fields) || !side.ReadIndexes(table, indexes)) {
        if (m_progress.IsCancelled())
            return Cancelled;
        return Fail(LoadLocalizedString(kStructureReadText)
                        .arg(table, SideName(index), side.LastDiagnostic()));
    }
    const int exitCode = WriteOutput(CStructureExportSource(side, index, SideName(index), table,
                                                            fields, indexes, facts, m_params));
    if (exitCode != AllSame)
        return exitCode;
    if (!m_options.quiet)
        PrintLine(stderr,
                  LoadLocalizedString(kStructureCountsText)
                      .arg(QString::number(fields.size()), QString::number(indexes.size())));
    return AllSame;
}

int CBatchRun::TakeSnapshot() {
    if (!PrepareSide(0, m_options.left, m_options.leftOwner, false) ||
        OutputIsASideFile({&m_sides[0]}))
        return Stopped();
    CSnapshotWriter writer;
    if (!writer.Take(m_sides[0], m_params, m_options.output, m_progress)) {
        if (m_progress.IsCancelled() || writer.LastFailure().isEmpty())
            return Cancelled;
        return Fail(writer.LastFailure());
    }
    if (!m_options.quiet)
        PrintLine(stderr, LoadLocalizedString(kSnapshotWrittenText)
                              .arg(SideName(0), m_options.output)
                              .arg(m_sides[0].TableCount())
                              .arg(writer.FileSize()));
    return AllSame;
}
