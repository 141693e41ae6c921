#pragma once

// The numbered program listing of a whole chart: one entry per statement, the
// product name first, label and subroutine names replaced by line numbers.

#include "files/Message.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace program {

// Every listing begins with this entry, so its first line is `10 REM "ZOLVANE"`.
inline constexpr std::string_view kProductName = "ZOLVANE";

// A statement beginning with one of these is a definition; the whole statement
// is the definition's key, and references to it name the same key.
inline constexpr std::string_view kLabelPrefix = "label: ";
inline constexpr std::string_view kSubPrefix = "sub: ";

// One block as the generator sees it: its object kind (576 + block type) and
// its parameter record.
struct BlockSource {
    int kind = 0;
    std::string_view payload;
};

// The outcome of generating: the program text's lines, or the message of the
// first parameter record that did not parse (then `lines` is empty).
struct ListingResult {
    std::vector<std::string> lines;
    std::optional<files::TMessage> error;
    // For each of `lines`, the block that gave it: its position in the chart
    // counted from 1 at the top, 0 for the product-name line. A Music block with
    // its key command gives two lines, a definition (Label, Sub Begin) none.
    std::vector<std::size_t> lineBlocks;

    bool ok() const { return !error.has_value(); }
};

// The listing of the blocks given in chart order, top to bottom.
ListingResult generateListing(std::span<const BlockSource> blocks);

// The same for a chart given as its parameter records only: each block's kind
// is taken from its record's `type` attribute (as the chart file loader does).
ListingResult generateListingFromRecords(std::span<const std::string> records);

// The numbering step on its own. `statements` is the entry list as plain
// statements (not quoted), the product-name entry included at position 0.
// Entry k gets the number 10 * (k + 1). Definitions are dropped (their numbers
// stay unused) and every reference to a defined name is replaced by the
// target's line number:
//  - the target of a definition is the line number of the first definition of
//    the same kind whose key equals it when ASCII letter case is ignored;
//  - references are found with exact case, as whole names: at a position the
//    longest key that counts wins, and a key counts only where the statement
//    ends after it or the next byte is not a letter, digit or underscore
//    (bytes from 0x80 up are letters of the code page);
//  - a statement is read once from left to right; matches do not overlap, and
//    a line number put in place of a key is never read again;
//  - every match is replaced, as often as its key occurs, except a match that
//    begins at the first or second byte, which stays as it is;
//  - a name without a definition stays as it is.
std::vector<std::string> resolveListing(std::span<const std::string> statements);

// The same before the lines are written out: for every entry that is not a
// definition, its position among the entries and its statement with the
// references replaced.
struct ResolvedLine {
    std::size_t entry = 0;
    std::string statement;
};
std::vector<ResolvedLine> resolveStatements(std::span<const std::string> statements);

// The name with ASCII letters in lower case and every other byte kept, the form in which
// definitions that differ in letter case only are the same.
std::string foldedName(std::string_view name);

// True for a statement that defines a label or a subroutine (it gets no line).
bool isDefinition(std::string_view statement);

// The listing line of the entry at `position` holding `statement`:
// `<10 * (position + 1)> REM <quoted statement>`.
std::string listingLine(std::size_t position, std::string_view statement);

// The quoted form: the text in double quotes, each double quote inside doubled.
std::string quotedForm(std::string_view text);

// The text of a quoted entry (the inverse of quotedForm). Bytes outside a
// well-formed quoted form are taken as they are.
std::string unquotedForm(std::string_view entry);

} // namespace program
