// The checker works out the line check and the image's size from the statements; the download
// writes the lines and packs them. Both must give the same figures.
#include "check/LineMeasure.h"

#include "download/ProgramImage.h"
#include "program/Listing.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

using check::MeasureListing;
using check::TListingMeasure;
using program::ResolvedLine;

void expectAsPacked(const std::vector<ResolvedLine>& resolved) {
    std::vector<std::string> lines;
    for (const ResolvedLine& line : resolved)
        lines.push_back(program::listingLine(line.entry, line.statement));
    const download::TPackedListing packed = download::PackListing(lines);
    const TListingMeasure measure = MeasureListing(resolved);
    EXPECT_EQ(measure.dropped, packed.dropped);
    EXPECT_EQ(measure.records, packed.records);
    EXPECT_EQ(measure.imageSize, packed.image.size());
    EXPECT_EQ(measure.memory, packed.memory);
    EXPECT_EQ(measure.recordsThatFit, packed.recordsThatFit);
    EXPECT_EQ(measure.lastLineThatFits, packed.lastLineThatFits);
    EXPECT_EQ(measure.tooLargeForRobot(), packed.tooLargeForRobot());
    for (std::size_t i = 0; i < resolved.size(); ++i)
        EXPECT_EQ(check::ListingLineCode(resolved[i].entry, resolved[i].statement),
                  download::CheckLine(lines[i]))
            << lines[i];
}

TEST(LineMeasure, StatementsOfEveryShapeAreCheckedAsTheDownloadChecksThem) {
    using namespace std::string_literals;
    const std::vector<std::string> statements{
        ""s,       "END"s,      "\""s,      "\"\""s,      "A=\"B C\""s, "'"s,     "PLAY '1"s,
        "A\tB"s,   " "s,        "A=1\r\n"s, "\r"s,        "X\0Y"s,      "\0"s,    "REM \""s,
        "a\"\"b"s, "\xFF\xC4"s, "GOTO 20"s, "label: L1"s, "   x   "s,   "\"\"\""s};
    std::vector<ResolvedLine> lines;
    for (std::size_t i = 0; i < statements.size(); ++i)
        lines.push_back({i, statements[i]});
    expectAsPacked(lines);
}

TEST(LineMeasure, LineNumbersAroundTheLastOne) {
    using namespace std::string_literals;
    std::vector<ResolvedLine> lines;
    for (const std::size_t entry : {6551u, 6552u, 6553u, 6554u, 10000u, 214748363u, 214748364u})
        for (const std::string& statement : {"END"s, ""s, "A\0"s})
            lines.push_back({entry, statement});
    expectAsPacked(lines);
}

// Programs around the largest image and the robot's memory, with lines the check refuses
// among them.
TEST(LineMeasure, LargeProgramsFitUpToTheSameLine) {
    std::mt19937 random(4711);
    auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    for (int round = 0; round < 40; ++round) {
        std::vector<ResolvedLine> lines;
        const std::size_t longest = 1 + pick(round % 2 == 0 ? 40 : 900);
        std::size_t entry = 0;
        while (lines.size() < 7000) {
            std::string statement(pick(longest), 'A');
            for (std::size_t n = pick(3); n > 0 && !statement.empty(); --n)
                statement[pick(statement.size())] = "\"\0 "[pick(3)];
            lines.push_back({entry, statement});
            entry += 1 + pick(2); // definitions in between take numbers but no line
            if (lines.size() > 300 && round % 5 == 0)
                break;
        }
        expectAsPacked(lines);
    }
}

} // namespace
