// Label and subroutine names across a chart: the names the Goto, GotoIf and Call Sub dialogs
// offer, and the blocks that follow a Label or Sub Begin when it is renamed. Names are compared
// as the listing compares references: exactly, letter case included.
#pragma once

#include "records/BlockCatalog.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace editors {

enum class TNameKind { Label, Subroutine };

// One block of a chart: its canvas object kind (KindBlockBase + block type) and its record.
struct TBlockRecord {
    int kind = 0;
    std::string_view record;
};

// The kind of name a Label or Sub Begin defines; nothing for other blocks.
std::optional<TNameKind> nameDefinedBy(BlockType type);
// The kind of name a Goto, GotoIf or Call Sub goes to; nothing for other blocks.
std::optional<TNameKind> nameUsedBy(BlockType type);

// The name a Label or Sub Begin defines, or a Goto, GotoIf or Call Sub goes to, as its dialog
// shows it; nothing for other blocks and for a record that does not parse.
std::optional<std::string> nameInRecord(BlockType type, std::string_view record);
// The record of one of those five blocks with the name replaced, the other values kept (the
// record is written afresh, as its dialog writes it); nothing for other blocks and for a record
// that does not parse.
std::optional<std::string> recordWithName(BlockType type, std::string_view record,
                                          std::string_view name);

// The names the chart's Labels (or Sub Begins) define, each once, in chart order; empty names
// and records that do not parse are left out.
std::vector<std::string> definedNames(std::span<const TBlockRecord> blocks, TNameKind kind);

// A block's new record, by its position among the blocks (counted from 0).
struct TRenamedBlock {
    std::size_t block = 0;
    std::string record;
};

// The blocks that went to the Label or Sub Begin at position `renamed` by `oldName`, with
// records that go to the name it now holds. None when either name is empty or they are the
// same, when another Label (or Sub Begin) still holds `oldName` (the blocks go there now), or
// when the block at `renamed` defines no name.
std::vector<TRenamedBlock> referencesToFollow(std::span<const TBlockRecord> blocks,
                                              std::size_t renamed, std::string_view oldName);

} // namespace editors
