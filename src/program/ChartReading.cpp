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

template <class... Args> files::TMessage say(std::string_view wording, Args&&... args) {
    return files::Say("program", wording, std::forward<Args>(args)...);
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

files::TMessage ReadingMessage(const TChart& chart, int index) {
    const TChartItem* item = chart.Item(index);
    if (!item)
        return {};
    const int blocks = chart.BlockCount();
    switch (item->Class()) {
    case TChartItemClass::StartPanel:
        return say(ZV_TRANSLATABLE("program", "Begin"));
    case TChartItemClass::EndPanel:
        return say(ZV_TRANSLATABLE("program", "End"));
    case TChartItemClass::NormalSpot: {
        const int next = (index + 1) / 2; // the block after the spot
        if (blocks == 0)
            return say(ZV_TRANSLATABLE("program", "Insert here, the first block"));
        if (next > blocks)
            return say(ZV_TRANSLATABLE("program", "Insert here, after the last block"));
        return say(ZV_TRANSLATABLE("program", "Insert here, before block %1"), next);
    }
    case TChartItemClass::SeqPanel: {
        const TFcObject& block = *item->MainObject();
        const files::TMessage value = BlockSummary(block.Kind, block.Payload).value;
        if (value.empty())
            return say(ZV_TRANSLATABLE("program", "Block %1 of %2: %3"), index / 2, blocks,
                       block.Text());
        // A statement is read without the word that repeats the caption; words are translated.
        const files::TMessage spoken =
            value.context.empty() ? files::Value(spokenValue(block.Text(), value.text)) : value;
        return say(ZV_TRANSLATABLE("program", "Block %1 of %2: %3, %4"), index / 2, blocks,
                   block.Text(), spoken);
    }
    }
    return {};
}

std::string ReadingName(const TChart& chart, int index) {
    return ReadingMessage(chart, index).English();
}

} // namespace program
