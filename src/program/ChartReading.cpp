#include "program/ChartReading.h"

#include "chart/Chart.h"
#include "program/BlockSummary.h"

#include <algorithm>
#include <cctype>

namespace program {

namespace {

// The value as read after the caption: its first word left out where it only repeats the
// caption ("Wait" with "WAIT 100" reads "Wait, 100"; "Direct" with "FD 50" keeps it).
std::string spokenValue(const std::string& caption, const std::string& value) {
    const std::size_t space = value.find(' ');
    if (space == std::string::npos || space != caption.size())
        return value;
    const bool repeats =
        std::equal(caption.begin(), caption.end(), value.begin(), [](char a, char b) {
            return std::toupper(static_cast<unsigned char>(a)) ==
                   std::toupper(static_cast<unsigned char>(b));
        });
    return repeats ? value.substr(space + 1) : value;
}

} // namespace

int ReadingCount(const TChart& chart) {
    return chart.Count();
}

const TFcObject* ReadingObject(const TChart& chart, int index) {
    const TChartItem* item = chart.Item(index);
    if (!item)
        return nullptr;
    if (item->Class() == TChartItemClass::NormalSpot)
        return static_cast<const TNormalSpot*>(item)->Marker;
    return item->MainObject();
}

int ReadingIndex(const TChart& chart, const TFcObject* object) {
    if (!object)
        return -1;
    if (object == chart.StartObject())
        return 0;
    if (object == chart.EndObject())
        return chart.Count() - 1;
    if (const int block = chart.IndexOfBlock(object); block >= 0)
        return block;
    return chart.IndexOfSpotMarker(object);
}

std::string ReadingName(const TChart& chart, int index) {
    const TChartItem* item = chart.Item(index);
    if (!item)
        return {};
    const int blocks = chart.BlockCount();
    switch (item->Class()) {
    case TChartItemClass::StartPanel:
        return "Begin";
    case TChartItemClass::EndPanel:
        return "End";
    case TChartItemClass::NormalSpot: {
        const int next = (index + 1) / 2; // the block after the spot
        if (blocks == 0)
            return "Insert here, the first block";
        if (next > blocks)
            return "Insert here, after the last block";
        return "Insert here, before block " + std::to_string(next);
    }
    case TChartItemClass::SeqPanel: {
        const TFcObject& block = *item->MainObject();
        std::string name = "Block " + std::to_string(index / 2) + " of " + std::to_string(blocks) +
                           ": " + block.Text();
        const std::string value = BlockSummary(block.Kind, block.Payload).value;
        if (!value.empty())
            name += ", " + spokenValue(block.Text(), value);
        return name;
    }
    }
    return {};
}

} // namespace program
