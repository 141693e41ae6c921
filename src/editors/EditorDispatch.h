// The editor dispatch: what a double click on the canvas does to the selected block. It reads
// the block's record into its editor, and on OK writes the new record (and for Label,
// Expression, Sub Begin, Call Sub and VoiceX the caption and height, then lays the chart out);
// on DELETE it removes the block. A Goto, GotoIf or Call Sub editor is offered the names the
// chart defines; a Label or Sub Begin renamed may take the blocks that used its old name along.
// The main window's FlowChart1DblClick is one call:
//
//   editors::editSelectedBlock(*m_chart,
//       [this](BlockType type, const std::string& record) {
//           return m_editors->editBlock(type, record);
//       },
//       [this](const files::TMessage& message) { show message in an error box; },
//       {.offerNames = [this](const auto& names) { m_editors->setNameChoices(names); },
//        .confirm = [this](const std::string& question) { ask Yes or No; }});
#pragma once

#include "editors/values/EditorValues.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TChart;
class TFcObject;

namespace editors {

// Shows a block's editor for the record and reports how it ended (TEditorDialogs::editBlock).
using TBlockEditor = std::function<TEditOutcome(BlockType blockType, const std::string& record)>;
// Shows the parse error of a record that cannot be read.
using TErrorReporter = std::function<void(const files::TMessage& message)>;

// What the dispatch may ask beyond the edit; either may be empty.
struct TDispatchHooks {
    // Given, just before an editor opens, the names the block may go to: the chart's labels
    // for Goto and GotoIf, its subroutines for Call Sub, none for any other block.
    std::function<void(const std::vector<std::string>& names)> offerNames;
    // Asked after a Label or Sub Begin was renamed while other blocks went to it by the old
    // name: true gives them the new name too (and Call Sub its caption). Without it they keep
    // the old name.
    std::function<bool(const std::string& question)> confirm;
    // Removes the block when its dialog ends with DELETE (so that the removal can be undone);
    // without it the chart deletes the block itself.
    std::function<void(TFcObject* block)> removeBlock;
};

// Edits the selected block, if any. Terminals, spot markers and types 7 and 8 open nothing.
// A block without a record gets its type's default record first, which it keeps even when
// the edit is cancelled. A record that does not parse is reported and nothing else happens.
// Returns what the editor gave (a default outcome when nothing opened).
TEditOutcome editSelectedBlock(TChart& chart, const TBlockEditor& edit,
                               const TErrorReporter& reportError, const TDispatchHooks& hooks = {});

// The question asked before the blocks that used a renamed Label's (or Sub Begin's) old name
// take the new one: "Rename "Loop" to "Again" in the 2 blocks that go to it as well?".
std::string renameQuestion(BlockType definition, std::string_view oldName, std::string_view newName,
                           std::size_t blocks);

} // namespace editors
