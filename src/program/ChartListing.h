#pragma once

// The generator applied to the chart item list: what the generate command of
// the main window calls.

#include "program/Listing.h"
#include "program/ProgramText.h"

#include <vector>

class TChart;

namespace program {

// The kind and parameter record of every block of the chart, top to bottom.
// The views are valid until the chart or a block's record changes.
std::vector<BlockSource> chartBlocks(const TChart& chart);

// The listing of the whole chart.
ListingResult generateListing(const TChart& chart);

// Generate (SpeedButton7Click): the listing of the chart into the program text,
// or the parse error of a damaged record shown and the text left as it was.
bool generateCommand(const TChart& chart, ProgramText& text, TPrompts& prompts);

} // namespace program
