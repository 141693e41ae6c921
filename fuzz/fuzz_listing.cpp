// Any parameter record texts, generated as the blocks of a chart in that order: the generator
// either stops with a message, or gives a listing the download's line check accepts line by
// line, numbered 10, 20, ... in chart order with the product name first.
//
// The input is the records one after the other, each ended by the byte 1E (record separator);
// the text after the last 1E is a record too.
#include "FuzzCheck.h"
#include "download/ProgramImage.h"
#include "program/Listing.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr char kSeparator = '\x1e';

std::vector<std::string> recordsOf(std::string_view input) {
    std::vector<std::string> records;
    for (;;) {
        const std::size_t end = input.find(kSeparator);
        records.emplace_back(input.substr(0, end));
        if (end == std::string_view::npos)
            break;
        input.remove_prefix(end + 1);
    }
    return records;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzzcheck::require;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> records = recordsOf(input);

    const program::ListingResult listing = program::generateListingFromRecords(records);
    if (!listing.ok()) {
        require(!listing.error->empty(), "a generator that stops says why");
        require(listing.lines.empty(), "a generator that stops gives no lines");
        return 0;
    }
    require(!listing.lines.empty() &&
                listing.lines.front() == "10 REM " + program::quotedForm(program::kProductName),
            "the listing begins with the product name line",
            listing.lines.empty() ? std::string() : listing.lines.front());
    std::int32_t previous = 0;
    for (const std::string& line : listing.lines) {
        const download::TParsedLine parsed = download::ParseLine(line);
        require(parsed.code == download::kLineAccepted, "every listing line passes the line check",
                line);
        require(parsed.number > previous && parsed.number % 10 == 0,
                "line numbers are multiples of 10 and rise", line);
        previous = parsed.number;
    }
    return 0;
}
