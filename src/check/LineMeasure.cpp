#include "check/LineMeasure.h"

#include <algorithm>

namespace check {

namespace {

// A record's bytes besides its quoted statement: 00, link word, line number, statement token.
constexpr std::size_t kRecordHead = 6;
// The image's end mark: 00 00 00.
constexpr std::size_t kImageEnd = 3;
// Each record moves the link word by its quoted statement's length and this.
constexpr std::size_t kLinkStep = 2;

std::size_t quotedLength(std::string_view statement) {
    return statement.size() + 2 +
           static_cast<std::size_t>(std::count(statement.begin(), statement.end(), '"'));
}

} // namespace

int ListingLineCode(std::size_t entry, std::string_view statement) {
    // As the line check reads the line, a later failure overrides an earlier one.
    int code = download::kLineAccepted;
    if (10 * (entry + 1) > static_cast<std::size_t>(download::kMaxLineNumber))
        code = download::kLineBadNumber;
    // The quoted form of an empty text is "", which the check does not take for a quoted text.
    if (statement.empty())
        code = download::kLineNotQuoted;
    if (statement.find('\0') != std::string_view::npos)
        code = download::kLineNulByte;
    return code;
}

TListingMeasure MeasureListing(std::span<const program::ResolvedLine> lines) {
    TListingMeasure measure;
    std::size_t records = 0; // bytes of the records so far
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int code = ListingLineCode(lines[i].entry, lines[i].statement);
        if (code != download::kLineAccepted) {
            measure.dropped.push_back({i + 1, code});
            continue;
        }
        const std::size_t quoted = quotedLength(lines[i].statement);
        records += kRecordHead + quoted;
        measure.memory += quoted + kLinkStep;
        ++measure.records;
        if (measure.recordsThatFit + 1 == measure.records &&
            measure.memory <= download::kProgramMemory &&
            records + kImageEnd <= download::kMaxImageSize) {
            measure.recordsThatFit = measure.records;
            measure.lastLineThatFits = i + 1;
        }
    }
    measure.imageSize = records + kImageEnd;
    return measure;
}

} // namespace check
