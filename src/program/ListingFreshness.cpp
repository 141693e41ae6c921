#include "program/ListingFreshness.h"

#include <utility>

namespace program {

std::string_view leadingLineNumber(std::string_view line) {
    std::size_t digits = 0;
    while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9')
        ++digits;
    return line.substr(0, digits);
}

void TListingFreshness::generated(std::uint64_t revision, std::span<const std::string> lines,
                                  std::vector<std::size_t> lineBlocks) {
    m_origin = TTextOrigin::Generated;
    m_revision = revision;
    m_lineBlocks = std::move(lineBlocks);
    m_firstNumbers.clear();
    std::vector<bool> seen;
    for (std::size_t line = 0; line < m_lineBlocks.size() && line < lines.size(); ++line) {
        const std::size_t block = m_lineBlocks[line];
        if (block == 0)
            continue;
        if (m_firstNumbers.size() <= block) {
            m_firstNumbers.resize(block + 1);
            seen.resize(block + 1);
        }
        if (!seen[block]) {
            seen[block] = true;
            m_firstNumbers[block] = leadingLineNumber(lines[line]);
        }
    }
}

void TListingFreshness::changedByHand() {
    m_origin = TTextOrigin::ByHand;
    m_lineBlocks.clear();
    m_firstNumbers.clear();
}

void TListingFreshness::emptied() {
    m_origin = TTextOrigin::Empty;
    m_lineBlocks.clear();
    m_firstNumbers.clear();
}

std::size_t TListingFreshness::blockOfLine(std::size_t line) const {
    return line < m_lineBlocks.size() ? m_lineBlocks[line] : 0;
}

std::vector<std::size_t> TListingFreshness::linesOfBlock(std::size_t block) const {
    std::vector<std::size_t> lines;
    if (block == 0)
        return lines;
    for (std::size_t line = 0; line < m_lineBlocks.size(); ++line)
        if (m_lineBlocks[line] == block)
            lines.push_back(line);
    return lines;
}

std::string_view TListingFreshness::firstLineNumber(std::size_t block) const {
    return block < m_firstNumbers.size() ? std::string_view(m_firstNumbers[block])
                                         : std::string_view();
}

} // namespace program
