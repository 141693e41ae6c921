#include "platform/export/ChartView.h"

#include "canvas/view/FlowChartView.h"
#include "platform/i18n/CoreText.h"
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
        // The value's words in the interface's language (the tool's pictures stay in English).
        return TFcDetail{Translated(summary.value), toQString(summary.statements)};
    });
}

} // namespace platform
