#pragma once

#include "model/ExportEncoding.h"

#include <QString>
#include <QStringList>

#include <functional>

// Each export layout is one function of the core, Write<Layout>Export(file, results, parameter
// word, left name, right name) in a file of its own (TableExport, ...), that a view's export
// calls and a batch tool can call alike. The pieces they share are here.

class CExportFile;
class CExportTarget;
class CHtmlStream;
class CIndexCompareInfo;
class CParamWord;

// Whether the parameter word's bit firstBit + status keeps rows of a status; never for a status
// outside 0-3, which would otherwise test a bit of some other option.
bool IsStatusKept(const CParamWord& params, int firstBit, qint32 status);

// The symbol of a status in export files: "=", ">", "<", "<>", or empty.
QString StatusSymbol(int status);

// The fields after the status of an index line in the column and table layouts: the index's
// name, the marker "INDEX" that no column line holds in that place, whether it is unique, and
// its columns (pair texts where the sides differ).
QStringList IndexLineFields(const CIndexCompareInfo& index);

// The four status lines that open the table, column and data-dictionary exports, then three
// empty lines.
void WriteExportLegend(CExportFile& file, const QString& leftName, const QString& rightName);

// The proposed path of an export: the documents folder, then the name with "." turned into "_"
// and "/" into "-", then "." and the extension.
QString ProposedExportPath(const QString& folder, const QString& name, const QString& extension);

// What the save dialog's answer becomes: the extension appended when the name has none.
QString WithDefaultExtension(const QString& path, const QString& extension);

// Writes an export to its target, complete or not at all. write returns false to drop what it
// wrote without a message (a run cancelled meanwhile, a view with nothing to write). The result
// is empty when the export took its place, else the message to show; dropped tells the two
// silent outcomes apart.
QString WriteExportTo(CExportTarget& target, ExportEncoding encoding,
                      const std::function<bool(CExportFile&)>& write, bool& dropped);

// The same for an HTML report, always UTF-8.
QString WriteReportTo(CExportTarget& target, const std::function<bool(CHtmlStream&)>& write,
                      bool& dropped);
