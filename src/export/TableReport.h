#pragma once

#include <QString>

class CComparisonResults;
class CHtmlStream;
class CParamWord;

// The table comparison as an HTML report: the tables whose status the parameter word's table
// bits keep, in comparison order; a different table unfolds to its column rows that the column
// bits keep, with their types and attributes when the run compared them, and to its index rows
// that the same bits keep. Raises CExportError, as CHtmlStream does, when it cannot be written.
void WriteTableReport(CHtmlStream& out, const CComparisonResults& results, const CParamWord& params,
                      const QString& leftName, const QString& rightName);
