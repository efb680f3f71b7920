#include "model/ExportFilter.h"
#include "model/ParamWord.h"

#include <gtest/gtest.h>

// A view's filters preset its export options: checked filters set their bits, unchecked ones and
// those the view does not offer clear theirs, only the offered ones are asked, and the bits around
// the run stay as they were.
TEST(ExportFilter, PresetsTheRunAndOffersOnlyTheFiltersTheViewHas) {
    CParamWord params(0xFFFFFFFF);
    // A column view without the type comparison: its "different" filter is hidden yet checked.
    const std::vector<int> offered =
        PresetExportBits(params, ParamBit::ExportColumnStatus0,
                         {{true, true}, {true, false}, {true, true}, {false, true}});
    EXPECT_EQ(offered, (std::vector<int>{11, 12, 13}));
    EXPECT_EQ(params.Value(), 0xFFFFFFFF & ~(quint32(1) << 12) & ~(quint32(1) << 14));

    CParamWord structure(0);
    EXPECT_EQ(PresetExportBits(structure, ParamBit::ExportFields, {{}, {}}),
              (std::vector<int>{ParamBit::ExportFields, ParamBit::ExportIndexes}));
    EXPECT_EQ(structure.Value(), 0b11u);

    EXPECT_TRUE(PresetExportBits(structure, ParamBit::ExportDictionaryStatus0, {}).empty());
    EXPECT_EQ(structure.Value(), 0b11u);
}
