#pragma once

#include "model/ColumnInfo.h"
#include "model/IndexInfo.h"

#include <QString>

#include <memory>
#include <vector>

class CHtmlStream;
class CParamWord;
struct CRunFacts;

// A table structure of one side as an HTML report: with the field bit each field and its type,
// with the index bit each index and its columns with their sort order. facts holds the side
// (sideIndex 0 left, 1 right) and when the table was read. Raises CExportError, as CHtmlStream
// does, when it cannot be written.
void WriteStructureReport(CHtmlStream& out, const CColumnInfoArray& fields,
                          const std::vector<std::unique_ptr<CIndexInfo>>& indexes,
                          const CParamWord& params, const CRunFacts& facts, int sideIndex,
                          const QString& sideName, const QString& table);
