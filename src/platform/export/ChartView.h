#pragma once

// How a chart is shown, in the editor and in what is exported or printed from it: the canvas's
// pictures and what each block shows of itself beyond its caption.

class TFlowChartView;

namespace platform {

// Gives the view the canvas pictures (the robot of the end panel) and each block's value under
// its caption with its statements as tool tip.
void PrepareChartView(TFlowChartView& view);

} // namespace platform
