#include "editors/EditorDispatch.h"

#include "canvas/FlowChart.h"
#include "chart/Chart.h"
#include "editors/values/NameReferences.h"
#include "records/BlockCatalog.h"

namespace editors {

namespace {

std::vector<TBlockRecord> blockRecords(const TChart& chart) {
    std::vector<TBlockRecord> blocks;
    const std::vector<TFcObject*> objects = chart.Blocks();
    blocks.reserve(objects.size());
    for (const TFcObject* object : objects)
        blocks.push_back({object->Kind, object->Payload});
    return blocks;
}

// After the definition `object` was renamed from `oldName`: the blocks that went to the old name
// go to the new one, once the person agrees. True when a caption changed (the chart needs a
// layout).
bool renameReferences(TChart& chart, TFcObject* object, BlockType type, const std::string& oldName,
                      const TDispatchHooks& hooks) {
    if (!hooks.confirm)
        return false;
    const int number = chart.BlockNumberOf(object);
    if (number < 1)
        return false;
    const std::vector<TRenamedBlock> follow =
        referencesToFollow(blockRecords(chart), static_cast<std::size_t>(number - 1), oldName);
    if (follow.empty())
        return false;
    const std::string newName = nameInRecord(type, object->Payload).value_or(std::string());
    if (!hooks.confirm(renameQuestion(type, oldName, newName, follow.size())))
        return false;
    bool captionChanged = false;
    for (const TRenamedBlock& renamed : follow) {
        TFcObject* user = chart.BlockAt(static_cast<int>(renamed.block) + 1);
        const std::optional<BlockType> userType = BlockTypeOfKind(user->Kind);
        chart.SetBlockRecord(user, renamed.record);
        if (userType && editChangesCaption(*userType)) {
            if (const std::optional<TBlockCaption> caption = captionAfterEdit(*userType, newName)) {
                chart.SetBlockCaption(user, *caption);
                captionChanged = true;
            }
        }
    }
    return captionChanged;
}

void removeBlock(TChart& chart, TFcObject* object, const TDispatchHooks& hooks) {
    if (hooks.removeBlock)
        hooks.removeBlock(object);
    else
        chart.DeleteBlock(object);
}

} // namespace

std::string renameQuestion(BlockType definition, std::string_view oldName, std::string_view newName,
                           std::size_t blocks) {
    const bool one = blocks == 1;
    const bool label = nameDefinedBy(definition) == TNameKind::Label;
    std::string question =
        "Rename \"" + std::string(oldName) + "\" to \"" + std::string(newName) + "\" in ";
    question += one ? "the block that " : "the " + std::to_string(blocks) + " blocks that ";
    if (label)
        question += one ? "goes to it" : "go to it";
    else
        question += one ? "calls it" : "call it";
    return question + " as well?";
}

TEditOutcome editSelectedBlock(TChart& chart, const TBlockEditor& edit,
                               const TErrorReporter& reportError, const TDispatchHooks& hooks) {
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
            removeBlock(chart, object, hooks);
        return outcome;
    }

    if (object->Payload.empty())
        chart.SetBlockRecord(object, DefaultRecord(type));
    if (hooks.offerNames) {
        const std::optional<TNameKind> used = nameUsedBy(type);
        hooks.offerNames(used ? definedNames(blockRecords(chart), *used)
                              : std::vector<std::string>());
    }
    const std::string recordBefore = object->Payload;
    TEditOutcome outcome = edit(type, recordBefore);
    if (!outcome.error.empty()) {
        if (reportError)
            reportError(outcome.error);
        return outcome;
    }
    switch (outcome.result) {
    case TEditResult::Ok:
        if (!outcome.record.empty())
            chart.SetBlockRecord(object, outcome.record);
        if (outcome.caption)
            chart.SetBlockCaption(object, *outcome.caption);
        if (nameDefinedBy(type)) {
            if (const std::optional<std::string> oldName = nameInRecord(type, recordBefore);
                oldName && renameReferences(chart, object, type, *oldName, hooks))
                outcome.relayout = true;
        }
        if (outcome.relayout)
            chart.Relayout();
        break;
    case TEditResult::Delete:
        removeBlock(chart, object, hooks);
        break;
    case TEditResult::Cancel:
        break;
    }
    return outcome;
}

} // namespace editors
