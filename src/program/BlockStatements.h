#pragma once

// The statement generator: the BASIC statements (without line numbers) that one
// block of the chart stands for.

#include "files/Message.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TSimpleXML;

namespace program {

// Empties `out`, then appends the statements of the block with the given object
// kind (576 + block type) and parameter record, each in quoted form. Most blocks
// give one statement, a Music block with its key command two, and a kind that
// is not a block's none. The kind alone picks the statement form; the record's
// `type` attribute is not looked at.
//
// Missing or malformed values never stop the generator (integers read as -1,
// texts as empty, the key command as on). A record that is not well-formed XML
// does: the parse error's message is returned and `out` is left empty.
std::optional<files::TMessage> BlockStatements(int kind, std::string_view payload,
                                               std::vector<std::string>& out);

// As BlockStatements, but the statements are plain texts, not quoted.
std::optional<files::TMessage> blockStatementTexts(int kind, std::string_view payload,
                                                   std::vector<std::string>& out);

// As blockStatementTexts for a record alone: the kind is 576 + the record's
// `type` attribute (a record without a usable type gives no statement).
std::optional<files::TMessage> recordStatementTexts(std::string_view payload,
                                                    std::vector<std::string>& out);

// The two above with a caller's document to parse into, so that a whole chart
// is read without building a document per block.
std::optional<files::TMessage> blockStatementTexts(TSimpleXML& document, int kind,
                                                   std::string_view payload,
                                                   std::vector<std::string>& out);
std::optional<files::TMessage> recordStatementTexts(TSimpleXML& document, std::string_view payload,
                                                    std::vector<std::string>& out);

// The letter code of an integer value: the character whose code is 65 plus the
// value, as one byte (0 gives A, 25 gives Z, -1 gives '@').
char letterCode(std::int32_t value);

} // namespace program
