#include "editors/EditorDispatch.h"

#include "canvas/FlowChart.h"
#include "chart/Chart.h"
#include "records/BlockCatalog.h"

namespace editors {

TEditOutcome editSelectedBlock(TChart& chart, const TBlockEditor& edit,
                               const TErrorReporter& reportError) {
    TFlowChart& canvas = chart.Canvas();
    if (canvas.SelectedCount() == 0)
        return {};
    // Multiple selection is off: the one selected object is the block to edit.
    TFcObject* object = canvas.SelectedObjects().front();
    const std::optional<BlockType> blockType = BlockTypeOfKind(object->Kind);
    if (!blockType)
        return {};
    const BlockType type = *blockType;
    const TDialogKind kind = dialogKindForBlockType(type);

    if (!dialogEditsRecord(kind)) {
        TEditOutcome outcome = edit(type, {});
        if (outcome.result == TEditResult::Delete)
            chart.DeleteBlock(object);
        return outcome;
    }

    if (object->Payload.empty())
        chart.SetBlockRecord(object, DefaultRecord(type));
    TEditOutcome outcome = edit(type, object->Payload);
    if (!outcome.error.empty()) {
        if (reportError)
            reportError(outcome.error);
        return outcome;
    }
    switch (outcome.result) {
    case TEditResult::Ok:
        if (!outcome.record.empty())
            chart.SetBlockRecord(object, outcome.record);
        if (outcome.caption) {
            object->SetText(outcome.caption->text);
            chart.SetBlockHeight(object, outcome.caption->height);
        }
        if (outcome.relayout)
            chart.Relayout();
        break;
    case TEditResult::Delete:
        chart.DeleteBlock(object);
        break;
    case TEditResult::Cancel:
        break;
    }
    return outcome;
}

} // namespace editors
