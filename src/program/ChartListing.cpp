#include "program/ChartListing.h"

#include "chart/Chart.h"

namespace program {

std::vector<BlockSource> chartBlocks(const TChart& chart) {
    std::vector<BlockSource> blocks;
    const std::vector<TFcObject*> objects = chart.Blocks();
    blocks.reserve(objects.size());
    for (const TFcObject* object : objects)
        blocks.push_back({object->Kind, object->Payload});
    return blocks;
}

ListingResult generateListing(const TChart& chart) {
    return generateListing(chartBlocks(chart));
}

bool generateCommand(const TChart& chart, ProgramText& text, TPrompts& prompts) {
    return generateCommand(chartBlocks(chart), text, prompts);
}

} // namespace program
