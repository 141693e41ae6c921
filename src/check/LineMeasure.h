#pragma once

// What the download makes of the listing's lines, worked out from the resolved statements
// without writing the lines out and reading them back. The listing writes every line as
// `<10 * (entry + 1)> REM <quoted statement>` (program::listingLine), so the line check
// (download::CheckLine) can only refuse a line for its number, an empty statement or a NUL
// byte, and each accepted line packs into a record of its quoted statement and six bytes more
// (download::PackListing). The tests hold every figure here to download::PackListing.

#include "download/ProgramImage.h"
#include "program/Listing.h"

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

namespace check {

// The line check's code for the listing line of a statement at the given entry.
int ListingLineCode(std::size_t entry, std::string_view statement);

// PackListing's figures for the listing of the resolved lines.
struct TListingMeasure {
    std::vector<download::TDroppedLine> dropped; // the lines the line check refuses, in order
    std::size_t records = 0;                     // the lines it accepts
    std::size_t imageSize = 3;                   // the whole image, its end mark included
    std::size_t memory = 0;                      // the records' span in the robot's memory
    // The leading records that fit both the robot's memory and the largest image, and the
    // listing position of the last of them (0: none).
    std::size_t recordsThatFit = 0;
    std::size_t lastLineThatFits = 0;

    bool imageTooLarge() const { return imageSize > download::kMaxImageSize; }
    bool tooLargeForRobot() const { return memory > download::kProgramMemory; }
};

TListingMeasure MeasureListing(std::span<const program::ResolvedLine> lines);

} // namespace check
