#include "chart/ChartSelection.h"

#include "chart/Chart.h"

#include <algorithm>
#include <vector>

TChartSelection selectionOf(const TChart& chart) {
    const TFlowChart& canvas = chart.Canvas();
    const std::vector<TFcObject*>& selected = canvas.SelectedObjects();
    if (selected.empty() || !canvas.SelectedConnections().empty())
        return {};
    if (selected.size() == 1) {
        if (const int spot = chart.SpotNumberOf(selected.front()); spot >= 0)
            return TChartSelection::Spot(spot);
    }
    std::vector<int> numbers;
    numbers.reserve(selected.size());
    for (const TFcObject* object : selected) {
        const int number = chart.BlockNumberOf(object);
        if (number < 1)
            return {};
        numbers.push_back(number);
    }
    std::sort(numbers.begin(), numbers.end());
    for (std::size_t i = 1; i < numbers.size(); ++i)
        if (numbers[i] != numbers[i - 1] + 1)
            return {};
    return TChartSelection::Blocks(numbers.front(), static_cast<int>(numbers.size()));
}

void selectPositions(TChart& chart, const TChartSelection& selection, int anchor) {
    TFlowChart& canvas = chart.Canvas();
    TFcUpdateBracket bracket(canvas);
    canvas.ClearSelection();
    if (selection.isSpot()) {
        if (TFcObject* marker =
                chart.SpotMarkerAt(std::clamp(selection.first, 0, chart.BlockCount()))) {
            canvas.SelectItem(*marker);
            canvas.ScrollIntoView(marker);
        }
        return;
    }
    if (!selection.isBlocks())
        return;
    const int first = std::max(selection.first, 1);
    const int last = std::min(selection.last(), chart.BlockCount());
    if (last < first)
        return;
    if (anchor < first || anchor > last)
        anchor = first;
    canvas.SelectItem(*chart.BlockAt(anchor));
    for (int number = first; number <= last; ++number)
        if (number != anchor)
            canvas.SelectItem(*chart.BlockAt(number));
    // The end that moves with Shift is the one to see.
    canvas.ScrollIntoView(chart.BlockAt(anchor == first ? last : first));
}

int insertionSpot(const TChart& chart) {
    const TChartSelection selection = selectionOf(chart);
    if (selection.isSpot())
        return selection.first;
    if (selection.isBlocks())
        return selection.last();
    return -1;
}

namespace {

// The chain as a row of stops: spot s is stop 2s, block b is stop 2b - 1.
TFcObject* objectAtStop(const TChart& chart, int stop) {
    return stop % 2 == 0 ? chart.SpotMarkerAt(stop / 2) : chart.BlockAt((stop + 1) / 2);
}

void selectStop(TChart& chart, int stop) {
    if (stop % 2 == 0)
        selectPositions(chart, TChartSelection::Spot(stop / 2));
    else
        selectPositions(chart, TChartSelection::Blocks((stop + 1) / 2, 1));
}

// The block where a run began: the first one selected.
int anchorOf(const TChart& chart, const TChartSelection& selection) {
    const std::vector<TFcObject*>& selected = chart.Canvas().SelectedObjects();
    const int number = selected.empty() ? 0 : chart.BlockNumberOf(selected.front());
    return number >= selection.first && number <= selection.last() ? number : selection.first;
}

void selectRun(TChart& chart, int anchor, int to) {
    selectPositions(chart, TChartSelection::Blocks(std::min(anchor, to), std::abs(to - anchor) + 1),
                    anchor);
}

bool walk(TChart& chart, bool down) {
    const TChartSelection selection = selectionOf(chart);
    const int lastStop = 2 * chart.BlockCount();
    int stop;
    if (selection.isSpot())
        stop = 2 * selection.first + (down ? 1 : -1);
    else if (selection.isBlocks())
        stop = down ? 2 * selection.last() : 2 * selection.first - 2;
    else
        stop = down ? 0 : lastStop;
    const int step = down ? 1 : -1;
    // Hidden spots are passed over; the walk stops at the ends.
    while (stop >= 0 && stop <= lastStop && !objectAtStop(chart, stop)->Visible())
        stop += step;
    if (stop >= 0 && stop <= lastStop)
        selectStop(chart, stop);
    return true;
}

bool extend(TChart& chart, bool down) {
    const TChartSelection selection = selectionOf(chart);
    const int blocks = chart.BlockCount();
    if (selection.isSpot()) {
        // From a spot, the run begins with the block on that side.
        const int number = down ? selection.first + 1 : selection.first;
        if (number >= 1 && number <= blocks)
            selectRun(chart, number, number);
        return true;
    }
    if (!selection.isBlocks())
        return true;
    const int anchor = anchorOf(chart, selection);
    const int moving = anchor == selection.first ? selection.last() : selection.first;
    selectRun(chart, anchor, std::clamp(moving + (down ? 1 : -1), 1, blocks));
    return true;
}

} // namespace

bool chartKeyDown(TChart& chart, TFcKey key, TFcShiftState shift) {
    switch (key) {
    case TFcKey::Left:
    case TFcKey::Right:
        return true;
    case TFcKey::Up:
    case TFcKey::Down:
        if (shift & (ssAlt | ssCtrl))
            return true;
        return shift & ssShift ? extend(chart, key == TFcKey::Down)
                               : walk(chart, key == TFcKey::Down);
    case TFcKey::Home:
    case TFcKey::End:
        if (shift & ssCtrl)
            return false; // the canvas scrolls to its corners
        if (chart.Count() >= 3)
            selectPositions(chart,
                            TChartSelection::Spot(key == TFcKey::Home ? 0 : chart.BlockCount()));
        return true;
    case TFcKey::PageUp:
    case TFcKey::PageDown:
        // Without Shift or Alt the canvas scrolls a page; with them it would resize or move.
        return (shift & (ssShift | ssAlt)) != 0;
    case TFcKey::Delete:
        return false;
    }
    return false;
}

void extendSelectionTo(TChart& chart, TFcObject& object) {
    const int number = chart.BlockNumberOf(&object);
    if (number < 1) {
        if (chart.SpotNumberOf(&object) >= 0)
            chart.Canvas().SelectObject(&object);
        return;
    }
    const TChartSelection selection = selectionOf(chart);
    int anchor = number;
    if (selection.isBlocks())
        anchor = anchorOf(chart, selection);
    else if (selection.isSpot())
        anchor = number > selection.first ? selection.first + 1 : selection.first;
    selectRun(chart, std::clamp(anchor, 1, chart.BlockCount()), number);
}

int dropSpotAt(const TChart& chart, TFcPoint point) {
    const TChartSelection selection = selectionOf(chart);
    if (!selection.isBlocks() || chart.Count() < 3)
        return -1;
    // Only over the chain itself, with a little room either side.
    constexpr int kSideRoom = 30;
    const TChartItem* start = chart.Item(0);
    if (point.x < start->Left - kSideRoom || point.x > start->Left + start->Width + kSideRoom)
        return -1;
    // Items stand one below the other: find the one at the point's height.
    int low = 0, high = chart.Count() - 1;
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (chart.Item(middle)->Top() <= point.y)
            low = middle;
        else
            high = middle - 1;
    }
    const TChartItem& item = *chart.Item(low);
    if (point.y < item.Top() || point.y >= item.Top() + TChart::ItemHeight(item))
        return -1;
    int spot;
    switch (item.Class()) {
    case TChartItemClass::NormalSpot:
        spot = low / 2;
        break;
    case TChartItemClass::SeqPanel:
        // Over a block: the spot on the nearer side of it.
        spot = low / 2 - (point.y < item.Top() + TChart::ItemHeight(item) / 2 ? 1 : 0);
        break;
    default:
        return -1;
    }
    // Dropped beside itself, the run would stay where it is.
    if (spot >= selection.first - 1 && spot <= selection.last())
        return -1;
    return spot;
}

TFcRect dropSpotArea(const TChart& chart, int spot) {
    const TChartItem* item = chart.Item(2 * spot + 1);
    if (spot < 0 || !item)
        return {};
    const TFcObject* base = item->MainObject();
    return base->BoundsRect();
}

void installChartInput(TChart& chart, std::function<void(int first, int count, int spot)> moveRun) {
    TFlowChart& canvas = chart.Canvas();
    canvas.Options = (canvas.Options | fcoMultiSelect) & ~(fcoCanResize | fcoCanConnect);
    canvas.OnKeyDown = [&chart](TFlowChart&, TFcKey key, TFcShiftState shift) {
        return chartKeyDown(chart, key, shift);
    };
    canvas.OnExtendSelection = [&chart](TFlowChart&, TFcObject& object) {
        extendSelectionTo(chart, object);
    };
    canvas.OnDragOver = [&chart](TFlowChart&, TFcPoint point) {
        return dropSpotArea(chart, dropSpotAt(chart, point));
    };
    canvas.OnDrop = [&chart, moveRun = std::move(moveRun)](TFlowChart&, TFcPoint point) {
        const int spot = dropSpotAt(chart, point);
        const TChartSelection selection = selectionOf(chart);
        if (spot >= 0 && selection.isBlocks() && moveRun)
            moveRun(selection.first, selection.count, spot);
    };
}
