#pragma once

// A chart as a screen reader reads it: its items in chain order (BEGIN, each insertion spot
// and block in turn, the end), each with a name that says what it is and where.

#include "files/Message.h"

#include <string>

class TChart;
class TFcObject;

namespace program {

// The number of items, and the canvas object that stands for item index (BEGIN, a spot's
// marker, a block, the end panel); nullptr outside the chart.
int ReadingCount(const TChart& chart);
const TFcObject* ReadingObject(const TChart& chart, int index);
// The item an object stands for; -1 for any other object (a spot's base, an anchor).
int ReadingIndex(const TChart& chart, const TFcObject* object);
// "Begin", "Insert here, before block 3", "Block 3 of 12: Wait, 100", "End".
files::TMessage ReadingMessage(const TChart& chart, int index);
std::string ReadingName(const TChart& chart, int index); // its English

} // namespace program
