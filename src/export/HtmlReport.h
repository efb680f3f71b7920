#pragma once

#include "model/CompareStatus.h"
#include "runs/RunFacts.h"

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

class CHtmlStream;
class CParamWord;

// The page that every HTML report shares: one self-contained UTF-8 document in the chosen
// language whose styles, script and pictures are inline. It opens with the title, the sides as
// the run found them and the parameters in force in words, then the status counts as the
// window's filters, a search field and the rows. The rows are all in the document, so that it
// reads without script; the script only hides rows by status or search, and folds details.
// Rows go out in blocks of a few hundred that the browser lays out only when they come into
// view: a report of hundreds of thousands of rows opens at once.
class CHtmlReport {
public:
    using Counts = std::array<qint32, CompareStatus::Count>;
    // The share of a list's width, in percent, that the status takes, and what it leaves.
    static constexpr int kStatusWidth = 18;
    static constexpr int kRowWidth = 100 - kStatusWidth;

    // The parameter word's bits a report lists: those the run judged under, then those that
    // chose the rows written.
    struct Parameters {
        std::vector<int> runBits;
        quint32 runWord = 0;
        std::vector<int> reportBits;
        quint32 reportWord = 0;
    };

    // leftName and rightName are the sides' display names, as in the CSV legend.
    CHtmlReport(CHtmlStream& out, QString leftName, QString rightName);

    // Head, title and the start of the body; kind names the report for its styles.
    void Begin(const QString& title, const char* kind);
    // The page's head, in this order: the sides, the filters or the counts under them, the
    // parameters beside them.
    // The sides as the run found them (one column per side in sides), and the moment: when the
    // comparison started, or when a structure was read.
    void WriteSides(const CRunFacts& facts, const std::vector<int>& sides, bool structureRead);
    void WriteParameters(const Parameters& parameters);
    // The bits a table run judged under; the comparisons of indexes and of attributes, which
    // older runs never made, are listed where the run made either.
    static std::vector<int> TableRunBits(quint32 runWord);
    // The counts as the window labels its filters (firstCountText + status), each with a check
    // box that hides its rows; shown tells which statuses the view has, kept which the report
    // holds rows of. With indexCounts, each label adds its status's count of index rows, which
    // the box hides too.
    void WriteFilters(int firstCountText, const Counts& counts, const std::array<bool, 4>& shown,
                      const std::array<bool, 4>& kept, const Counts* indexCounts = nullptr);
    // A line of counts without filters.
    void WriteCounts(const QString& text);
    // The search field, and with folding the buttons that open and close every detail; the
    // lists follow it.
    void WriteTools(bool folding);

    // A list of rows under its column headings (a second line each, when given) with their
    // widths in percent. With a status, each row opens with its status in words.
    struct Column {
        QString heading;
        QString secondLine;
        int width = 0;
    };
    // The column of a column row's text (CColumnCompareInfo::Text) as the column window heads
    // it, a driver's type name with its side's name on a second line; and of an index row's text.
    Column ColumnTextColumn(int text, int width) const;
    static Column IndexTextColumn(int text, int width);
    // Grouped lists hold groups of rows (BeginGroup) that the search finds or hides together
    // (an index's columns).
    void BeginRows(const std::vector<Column>& columns, bool withStatus, bool grouped = false);
    // A section heading between lists.
    void WriteSection(const QString& heading);
    void BeginRow(qint32 status);
    void BeginRow();
    void Cell(const QString& text);
    void EndRow();
    void BeginGroup();
    void EndRows();

    // What a row unfolds to, in its last cell: the name as the summary, then a table of its own
    // for each kind of difference (the columns of a table, its indexes, its attributes), each
    // row with its status. A column of width 0 shares what the others leave.
    void BeginDetails(const QString& name);
    void BeginDetailTable(const QString& caption, const std::vector<Column>& columns);
    void DetailRow(qint32 status, const QStringList& texts);
    void EndDetailTable();
    void EndDetails();

    // The end of the rows and of the page: what wrote it, the script.
    void End();

    // A status in words, with the sides' display names.
    QString StatusText(qint32 status) const;
    CHtmlStream& Out() { return m_out; }

private:
    // The widths of a table's columns, and their headings.
    void WriteColumnWidths(const std::vector<Column>& columns);
    void WriteHeadings(const std::vector<Column>& columns);
    void OpenBlock();
    void CloseBlock();
    // Starts a new block when the current one is full.
    void NextRowInBlock();
    void WriteParameterList(const QString& caption, const std::vector<int>& bits, quint32 word);

    CHtmlStream& m_out;
    QString m_leftName;
    QString m_rightName;
    std::array<QString, CompareStatus::Count> m_statusTexts;
    std::vector<Column> m_columns;
    const char* m_tableClass = "m";
    bool m_grouped = false;
    int m_rowsInBlock = 0;
};
