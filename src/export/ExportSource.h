#pragma once

#include "model/CompareStatus.h"
#include "model/ExportFilter.h"

#include <QString>

#include <array>
#include <functional>
#include <vector>

class CExportFile;
class CExportTarget;
class CHtmlStream;
class CParamWord;
class CSide;

enum class ExportFormat { Csv, Html };

// The options an export asks before it writes: the parameter word's bits it offers, in order,
// and those of which at least one must be set for anything to be written.
struct CExportOptions {
    std::vector<int> bits;
    // The column options of a table export, offered under each of its table options; -1 when
    // the export has none.
    int nestedFirstBit = -1;
    int firstRequiredBit = 0;
    int requiredCount = CompareStatus::Count;
};

// One kind of result as it is written (the tables of a comparison, the columns of one table,
// the data dictionaries, a table's structure), in each of its formats. The window's views and
// the batch tool both ask it which options the export offers, whether a path may be written,
// what it found, and for the file itself, so that no front end decides any of it alone.
class CExportSource {
public:
    using Counters = std::array<qint32, CompareStatus::Count>;

    // sides: the sides whose files an export must never write over.
    CExportSource(CParamWord& params, QString leftName, QString rightName,
                  std::vector<const CSide*> sides);
    virtual ~CExportSource();
    CExportSource(const CExportSource&) = delete;
    CExportSource& operator=(const CExportSource&) = delete;

    // The names the options dialog and the legend give the two sides.
    const QString& LeftName() const { return m_leftName; }
    const QString& RightName() const { return m_rightName; }
    // What the proposed file is called, without folder or extension.
    virtual QString FileName() const = 0;

    // Presets the options from the filters of the view that exports, one per option from the
    // first: an option the export offers is set when the view shows its filter checked, or
    // shows no filter for it (the view cannot have hidden its rows); one it does not offer is
    // cleared, never written behind the user's back.
    CExportOptions PresetOptions(const std::vector<CExportFilter>& viewFilters = {}) const;
    // The same for a caller without a view: the options as the parameter word has them, those
    // the export does not offer cleared. False when no required option is left.
    bool KeepOfferedOptions() const;

    // The rows of each status that the result holds for this export, and whether one of a
    // difference (a status other than "same") is among those the options keep.
    virtual Counters RowCounts() const { return {}; }
    bool KeepsDifferences() const;

    // Why path must not be written: it is a file one of the sides reads. Empty when it may be.
    QString RefusedTarget(const QString& path) const;

    // Writes the export to its target, complete or not at all; stillWanted, asked when it is
    // written, drops it silently when false. Empty when it took its place, else the message.
    QString WriteTo(CExportTarget& target, ExportFormat format,
                    const std::function<bool()>& stillWanted, bool& dropped) const;

protected:
    // The first option bit, how many options follow, and whether the export can hold the rows
    // that option index stands for.
    virtual int FirstOptionBit() const = 0;
    virtual int OptionCount() const { return CompareStatus::Count; }
    virtual bool OffersOption(int) const { return true; }
    // The table export's column options; -1 when none.
    virtual int NestedFirstBit() const { return -1; }

    virtual void WriteCsv(CExportFile& file) const = 0;
    virtual void WriteHtml(CHtmlStream& out) const = 0;

    CParamWord& Params() const { return m_params; }

private:
    CParamWord& m_params;
    QString m_leftName;
    QString m_rightName;
    std::vector<const CSide*> m_sides;
};
