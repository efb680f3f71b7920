#pragma once

#include <QString>

class CComparisonResults;
class CHtmlStream;
class CParamWord;

// The column comparison of one different table as an HTML report: each column row whose status
// the parameter word's column bits keep, with the SQL types, sizes and both drivers' type names
// when typeDetails, and the attributes where the run compared them; then, where the run compared
// indexes, a list of the index rows those bits keep. Raises CExportError, as CHtmlStream does,
// when it cannot be written.
void WriteColumnReport(CHtmlStream& out, const CComparisonResults& results, int tableIndex,
                       const CParamWord& params, bool typeDetails, const QString& leftName,
                       const QString& rightName);
