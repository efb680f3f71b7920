#pragma once

#include <vector>

class CParamWord;

// A filter of a view, as the export option it stands for: whether the view offers the filter at
// all, and whether it is checked. An export writes what the view shows unless told otherwise.
struct CExportFilter {
    bool offered = true;
    bool checked = true;
};

// Presets a run of export options from the filters of the view that exports, one bit per filter
// from firstBit: set when the filter is offered and checked, cleared otherwise. Returns the bits of
// the offered filters in order: the options the export asks.
std::vector<int> PresetExportBits(CParamWord& params, int firstBit,
                                  const std::vector<CExportFilter>& filters);
