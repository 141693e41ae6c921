#pragma once

// What a block does, in the words the canvas shows under its caption and in its tool tip.

#include "files/Message.h"

#include <string>
#include <string_view>

namespace program {

struct TBlockSummary {
    // The block's value in short form, shown under its caption: "FD 50", "WAIT 100", "x4",
    // "to dance", "3 notes". Empty for a block whose caption already names its
    // value (Label, Expression, Sub Begin, Call Sub, VoiceX), for one that yields an empty
    // statement, and for an object that is no block. A statement is a plain value; the words
    // around a count or a name are a wording the windows translate.
    files::TMessage value;
    // Every statement the block yields, one a line, as the statement generator gives them
    // (names not yet replaced by line numbers); empty when it yields none.
    std::string statements;
};

// The summary of a block from its canvas object's kind and parameter record. A record that
// is not well-formed gives an empty summary.
TBlockSummary BlockSummary(int kind, std::string_view payload);

} // namespace program
