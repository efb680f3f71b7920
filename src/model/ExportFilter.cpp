#include "model/ExportFilter.h"

#include "model/ParamWord.h"

std::vector<int> PresetExportBits(CParamWord& params, int firstBit,
                                  const std::vector<CExportFilter>& filters) {
    std::vector<int> offered;
    for (int index = 0; index < int(filters.size()); ++index) {
        const CExportFilter& filter = filters[size_t(index)];
        // A filter the view does not offer never writes its lines behind its back.
        params.SetBit(firstBit + index, filter.offered && filter.checked);
        if (filter.offered)
            offered.push_back(firstBit + index);
    }
    return offered;
}
