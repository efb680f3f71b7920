#pragma once

#include "model/ColumnInfo.h"
#include "model/IndexInfo.h"

#include <memory>
#include <vector>

class CExportFile;
class CParamWord;

// A table structure's export, without legend: with the field bit, each field as "name;type" and
// then two empty lines; with the index bit, each column of each index as
// "index name;column;sort order", the index name on its first column's line only. Raises
// CExportError, as CExportFile does, when a line cannot be written.
void WriteStructureExport(CExportFile& file, const CColumnInfoArray& fields,
                          const std::vector<std::unique_ptr<CIndexInfo>>& indexes,
                          const CParamWord& params);
