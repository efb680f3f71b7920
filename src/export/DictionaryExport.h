#pragma once

#include <QString>

class CComparisonResults;
class CExportFile;
class CParamWord;

// The data-dictionary comparison's export: the legend, two header lines (the short codes, then
// "Alias" and the long captions of the values that the parameter word's value bits select), then
// each item whose status its data-dictionary bits keep, as "symbol;name", followed by ";value" for
// each selected value. Values are written as they are, so one holding ";" shifts the fields after
// it. Raises CExportError, as CExportFile does, when a line cannot be written.
void WriteDictionaryExport(CExportFile& file, const CComparisonResults& results,
                           const CParamWord& params, const QString& leftName,
                           const QString& rightName);
