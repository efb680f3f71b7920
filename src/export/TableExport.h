#pragma once

#include <QString>

class CComparisonResults;
class CExportFile;
class CParamWord;

// The table comparison's export: the legend, then each table whose status the parameter word's
// table bits keep, as "symbol;name", and under a different table each column row that its column
// bits keep, as ";;symbol;name", followed where the result compared the attributes by
// ";nullability;decimal digits;default". Raises CExportError, as CExportFile does, when a line
// cannot be written.
void WriteTableExport(CExportFile& file, const CComparisonResults& results,
                      const CParamWord& params, const QString& leftName, const QString& rightName);
