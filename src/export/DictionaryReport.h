#pragma once

#include <QString>

class CComparisonResults;
class CHtmlStream;
class CParamWord;

// The data-dictionary comparison as an HTML report: each item whose status the parameter word's
// data-dictionary bits keep, with the values that its value bits select, a value that differs
// written "left | right". Raises CExportError, as CHtmlStream does, when it cannot be written.
void WriteDictionaryReport(CHtmlStream& out, const CComparisonResults& results,
                           const CParamWord& params, const QString& leftName,
                           const QString& rightName);
