#pragma once

// Where the program text beside the chart came from, and whether it is still the chart's
// listing: the window asks before sending a listing of an older chart, offers to generate again,
// and links the lines of a current listing with the blocks that made them.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace program {

enum class TTextOrigin {
    Empty,     // nothing yet, or a new or opened chart emptied it
    Generated, // Generate made it from the chart
    ByHand,    // typed into, or loaded from a text file
};

// The leading decimal number of a listing line ("120 REM ..." gives "120"); empty when the
// line does not begin with a digit.
std::string_view leadingLineNumber(std::string_view line);

class TListingFreshness {
public:
    // Generate filled the text with `lines` from the chart at `revision`; `lineBlocks` gives for
    // each line the block (counted from 1) that made it, 0 for none (the product line).
    void generated(std::uint64_t revision, std::span<const std::string> lines,
                   std::vector<std::size_t> lineBlocks);
    // The person typed into the text or loaded a text file into it: it is sent as it is.
    void changedByHand();
    // A new or opened chart emptied the text.
    void emptied();

    TTextOrigin origin() const { return m_origin; }
    // The text is a listing Generate made from the chart as it was before `revision`: the chart
    // has changed since, and nobody touched the text.
    bool stale(std::uint64_t revision) const {
        return m_origin == TTextOrigin::Generated && revision != m_revision;
    }
    // The text is the listing of the chart at `revision`: its lines and the blocks are linked.
    bool linked(std::uint64_t revision) const {
        return m_origin == TTextOrigin::Generated && revision == m_revision;
    }

    // The links as Generate made them; empty answers for a text that is not generated. (They
    // hold for the chart only while it is linked.)
    // The block (counted from 1) that made text line `line` (counted from 0); 0 for the
    // product line, a line past the end, or a text that is not generated.
    std::size_t blockOfLine(std::size_t line) const;
    // The text lines (counted from 0) block `block` made, in order; none for a block without
    // a statement of its own (a label, the start of a subroutine).
    std::vector<std::size_t> linesOfBlock(std::size_t block) const;
    // The line number of block `block`'s first statement as the listing writes it ("120");
    // empty for a block without a line.
    std::string_view firstLineNumber(std::size_t block) const;

private:
    TTextOrigin m_origin = TTextOrigin::Empty;
    std::uint64_t m_revision = 0;
    std::vector<std::size_t> m_lineBlocks;
    std::vector<std::string> m_firstNumbers; // by block, index 0 unused
};

} // namespace program
