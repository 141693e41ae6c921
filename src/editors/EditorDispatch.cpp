#include "editors/EditorDispatch.h"

#include "canvas/FlowChart.h"
#include "chart/Chart.h"
#include "editors/values/NameReferences.h"
#include "platform/text/CodePage.h"
#include "records/BlockCatalog.h"

#include <QCoreApplication>

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
    // Whole sentences, so that each language words them as it needs.
    const char* question =
        label ? (one ? QT_TRANSLATE_NOOP("editors",
                                         "Rename \"%1\" to \"%2\" in the block that goes to it "
                                         "as well?")
                     : QT_TRANSLATE_NOOP("editors", "Rename \"%1\" to \"%2\" in the %3 blocks "
                                                    "that go to it as well?"))
              : (one ? QT_TRANSLATE_NOOP("editors",
                                         "Rename \"%1\" to \"%2\" in the block that calls it as "
                                         "well?")
                     : QT_TRANSLATE_NOOP("editors", "Rename \"%1\" to \"%2\" in the %3 blocks "
                                                    "that call it as well?"));
    // The names are bytes of the system code page, as the question handed on is. All values go
    // in at once: a name holding "%1" is not taken for a place of the next value.
    const QString wording = QCoreApplication::translate("editors", question);
    const QString from = platform::toQString(std::string(oldName));
    const QString to = platform::toQString(std::string(newName));
    return platform::fromQString(one ? wording.arg(from, to)
                                     : wording.arg(from, to, QString::number(blocks)));
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
