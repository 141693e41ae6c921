// The editor dispatch: what a double click on the canvas does to the selected block. It reads
// the block's record into its editor, and on OK writes the new record (and for Label,
// Expression, Sub Begin, Call Sub and VoiceX the caption and height, then lays the chart out);
// on DELETE it removes the block. The main window's FlowChart1DblClick is one call:
//
//   editors::editSelectedBlock(*m_chart,
//       [this](BlockType type, const std::string& record) {
//           return m_editors->editBlock(type, record);
//       },
//       [this](const std::string& message) { show message in an error box; });
#pragma once

#include "editors/values/EditorValues.h"

#include <functional>
#include <string>

class TChart;

namespace editors {

// Shows a block's editor for the record and reports how it ended (TEditorDialogs::editBlock).
using TBlockEditor = std::function<TEditOutcome(BlockType blockType, const std::string& record)>;
// Shows the parse error of a record that cannot be read.
using TErrorReporter = std::function<void(const std::string& message)>;

// Edits the selected block, if any. Terminals, spot markers and types 7 and 8 open nothing.
// A block without a record gets its type's default record first, which it keeps even when
// the edit is cancelled. A record that does not parse is reported and nothing else happens.
// Returns what the editor gave (a default outcome when nothing opened).
TEditOutcome editSelectedBlock(TChart& chart, const TBlockEditor& edit,
                               const TErrorReporter& reportError);

} // namespace editors
