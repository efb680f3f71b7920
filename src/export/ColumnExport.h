#pragma once

#include <QString>

class CComparisonResults;
class CExportFile;
class CParamWord;

// The column comparison's export of one table of the table result: the legend, then each column
// row whose status the parameter word's column bits keep, as "symbol;name", followed with type
// details by ";SQL type;size;left driver type;right driver type", and where the result compared
// the attributes by ";nullability;decimal digits;default" (quoted where they must be). Raises
// CExportError, as CExportFile does, when a line cannot be written.
void WriteColumnExport(CExportFile& file, const CComparisonResults& results, int tableIndex,
                       const CParamWord& params, bool typeDetails, const QString& leftName,
                       const QString& rightName);
