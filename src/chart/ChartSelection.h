// What is selected on a chart, told by position so that it outlives the objects (undo makes
// blocks anew), and the rules of moving it: the keys that walk the chain, Shift to select a run
// of blocks, and where a dragged run may be dropped.
#pragma once

#include "canvas/FlowChart.h"

class TChart;

// Nothing, one spot (by its number: spot 0 lies below the start terminal, spot n below block
// n), or a run of blocks (`first` counted from 1, `count` of them).
struct TChartSelection {
    enum class Kind { None, Spot, Blocks };
    Kind kind = Kind::None;
    int first = 0;
    int count = 0;

    static TChartSelection Spot(int number) { return {Kind::Spot, number, 0}; }
    static TChartSelection Blocks(int first, int count) { return {Kind::Blocks, first, count}; }
    bool isSpot() const { return kind == Kind::Spot; }
    bool isBlocks() const { return kind == Kind::Blocks; }
    int last() const { return first + count - 1; }
    bool operator==(const TChartSelection&) const = default;
};

// The selection of the chart's canvas as positions. A run is the selected blocks when they are
// all blocks and follow each other; anything else that is selected counts as nothing.
TChartSelection selectionOf(const TChart& chart);

// Selects what the positions name (clipped to the chain) and scrolls it into view; for a run
// the block at `anchor` (a number inside the run; its first block when 0) is selected first, so
// that Shift extends the run from there.
void selectPositions(TChart& chart, const TChartSelection& selection, int anchor = 0);

// The spot where whatever is pasted or inserted goes: the selected spot, or the spot below the
// selected block (the last block of a run); nothing when nothing is selected.
int insertionSpot(const TChart& chart);

// The chain's own keys, given to the canvas as its key hook by installChartInput:
//   Up, Down: the block or visible spot above or below (from a run: beyond its ends);
//   Home, End: the first and the last spot;
//   Shift+Up, Shift+Down: the run grows or shrinks at the end away from where it began;
//   Left, Right and Alt or Shift with an arrow do nothing (blocks never leave the chain).
// True when the key is the chain's.
bool chartKeyDown(TChart& chart, TFcKey key, TFcShiftState shift);

// Shift+click on an object: the run from the block where the selection began to the block
// clicked (a spot clicked just selects the spot).
void extendSelectionTo(TChart& chart, TFcObject& object);

// Where a run dragged to the canvas point would go: the spot whose area holds the point, if
// moving the selected run there changes the order; -1 otherwise.
int dropSpotAt(const TChart& chart, TFcPoint point);
// The area that marks that spot while dragging (empty for -1).
TFcRect dropSpotArea(const TChart& chart, int spot);

// Hooks the chain's rules into the chart's canvas: its keys, Shift+click, the drop target while
// dragging, and drops. No object leaves the chain: a drop reports a move to `moveRun` (the
// selected run, and the spot it goes to), a drop anywhere else leaves everything where it was.
// Blocks are not resized and no lines are drawn by hand.
void installChartInput(TChart& chart, std::function<void(int first, int count, int spot)> moveRun);
