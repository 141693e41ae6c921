#include "platform/export/ChartView.h"

#include "canvas/view/FlowChartView.h"
#include "platform/text/CodePage.h"
#include "program/BlockSummary.h"

// The pictures live in a static library; naming the resource keeps the linker from dropping it.
static void initCanvasResources() {
    Q_INIT_RESOURCE(canvas);
}

namespace platform {

void PrepareChartView(TFlowChartView& view) {
    initCanvasResources();
    view.setPictures({TFlowChartView::loadPicture(":/robot.svg", QSize(32, 31))});
    view.setDetailSource([](const TFcObject& object) {
        const program::TBlockSummary summary = program::BlockSummary(object.Kind, object.Payload);
        return TFcDetail{toQString(summary.value), toQString(summary.statements)};
    });
}

} // namespace platform
