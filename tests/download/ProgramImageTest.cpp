#include "download/ProgramImage.h"

#include "../support/FixtureBytes.h"
#include "TestSupport.h"
#include "files/Files.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <unistd.h>

namespace download {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;
using test::bytesOf;

struct CheckCase {
    std::string_view line; // may hold NUL bytes
    int code;
};

class CheckLineCodes : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckLineCodes, GiveTheHighestCodeThatApplies) {
    EXPECT_EQ(CheckLine(GetParam().line), GetParam().code) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CheckLineCodes,
    ::testing::Values(
        CheckCase{"", kLineTooShort}, CheckCase{"1 REM \"\"", kLineTooShort},
        CheckCase{"12345678", kLineTooShort}, CheckCase{"1 REM \"A\"", kLineAccepted},
        CheckCase{"10 REM \"ZOLVANE\"", kLineAccepted}, CheckCase{"123456789", kLineFewTokens},
        CheckCase{"10 REM    ", kLineFewTokens},
        CheckCase{"10 \"REM X Y\"", kLineFewTokens}, // a quoted run holds its spaces
        CheckCase{"A0 REM \"X\"", kLineBadNumber}, CheckCase{"10.5 REM \"X\"", kLineBadNumber},
        CheckCase{"3000000000 REM \"X\"", kLineBadNumber},
        CheckCase{"40 REMARK \"X\"", kLineAccepted}, CheckCase{"40 rem \"X\"", kLineNoRem},
        CheckCase{"40 RE \"X\" ", kLineNoRem}, CheckCase{"40 REM \"\" X", kLineNotQuoted},
        CheckCase{"40 REM \"A\"B", kLineNotQuoted}, CheckCase{"40 REM \"ABC", kLineNotQuoted},
        CheckCase{"40 REM ABCD", kLineNotQuoted}, CheckCase{"40 REM 'AB'", kLineNotQuoted},
        CheckCase{"30 REM \"\"\"\"", kLineAccepted}, CheckCase{"40 REM \"A B\" C D", kLineAccepted},
        CheckCase{"40\tREM\t\"X\"", kLineAccepted}, CheckCase{"  40  REM  \"X\"  ", kLineAccepted},
        // Later failures override earlier ones.
        CheckCase{"X rem \"Y\"", kLineNoRem}, CheckCase{"X rem Y Z", kLineNotQuoted},
        CheckCase{"X REM YYYY", kLineNotQuoted}));

// A record holds the line number in 16 bits: numbers outside 0 to 65535
// would become another line's number.
INSTANTIATE_TEST_SUITE_P(LineNumbers, CheckLineCodes,
                         ::testing::Values(CheckCase{"0 REM \"X\"", kLineAccepted},
                                           CheckCase{"-0 REM \"X\"", kLineAccepted},
                                           CheckCase{"65535 REM \"X\"", kLineAccepted},
                                           CheckCase{"$FFFF REM \"X\"", kLineAccepted},
                                           CheckCase{"65536 REM \"X\"", kLineBadNumber},
                                           CheckCase{"70000 REM \"END\"", kLineBadNumber},
                                           CheckCase{"$10000 REM \"X\"", kLineBadNumber},
                                           CheckCase{"2147483647 REM \"X\"", kLineBadNumber},
                                           CheckCase{"-1 REM \"X\"", kLineBadNumber},
                                           CheckCase{"$FFFFFFFF REM \"X\"", kLineBadNumber},
                                           CheckCase{"-65535 REM \"X\"", kLineBadNumber}));

// The robot ends a statement at a NUL byte: a statement holding one would
// arrive cut short. A NUL elsewhere fails where it stands or does no harm.
INSTANTIATE_TEST_SUITE_P(NulBytes, CheckLineCodes,
                         ::testing::Values(CheckCase{"10 REM \"ZOLV\0ANE\""sv, kLineNulByte},
                                           CheckCase{"10 REM \"\0\""sv, kLineNulByte},
                                           CheckCase{"10 REM \"A\"\0"sv, kLineNulByte},
                                           CheckCase{"X rem \"A\0\""sv, kLineNulByte},
                                           CheckCase{"10 REM \"A\" \0"sv, kLineAccepted},
                                           CheckCase{"10 REM\0 \"A\""sv, kLineAccepted},
                                           CheckCase{"10 \0REM \"A\""sv, kLineNoRem},
                                           CheckCase{"1\0000 REM \"A\""sv, kLineBadNumber}));

TEST(LineCheckTexts, SayWhatEachCodeMeans) {
    const std::vector<std::pair<int, std::string>> texts{
        {kLineAccepted, "accepted"},
        {kLineTooShort, "8 characters or fewer"},
        {kLineFewTokens, "fewer than three words"},
        {kLineBadNumber, "no line number from 0 to 65535"},
        {kLineNoRem, "the second word does not begin with REM"},
        {kLineNotQuoted, "the third word is not a quoted text"},
        {kLineNulByte, "the statement holds a NUL byte"},
        {7, "unknown code"}};
    for (const auto& [code, text] : texts)
        EXPECT_EQ(LineCheckText(code), text) << code;
    EXPECT_EQ(DroppedLineText({12, kLineNotQuoted}),
              "line 12 (code 5: the third word is not a quoted text)");
}

TEST(LineTokens, KeepQuotedRunsWholeAndDropEmptyTokens) {
    using V = std::vector<std::string>;
    EXPECT_EQ(LineTokens("  a \t b\r\nc  "), (V{"a", "b", "c"}));
    EXPECT_EQ(LineTokens("1 REM \"A B\" 'C D'"), (V{"1", "REM", "\"A B\"", "'C D'"}));
    EXPECT_EQ(LineTokens("\"it's here\" x"), (V{"\"it's here\"", "x"}));
    EXPECT_EQ(LineTokens("'say \"hi\" now' x"), (V{"'say \"hi\" now'", "x"}));
    EXPECT_EQ(LineTokens("\"open run to the end"), (V{"\"open run to the end"}));
    EXPECT_EQ(LineTokens("a\"b c\"d e"), (V{"a\"b c\"d", "e"}));
}

struct IntCase {
    const char* text;
    bool ok;
    std::int32_t value;
};

class IntegerTokens : public ::testing::TestWithParam<IntCase> {};

TEST_P(IntegerTokens, ReadSignsAndHexPrefixesWithin32Bits) {
    std::int32_t value = 12345;
    EXPECT_EQ(ParseInteger(GetParam().text, value), GetParam().ok) << GetParam().text;
    if (GetParam().ok) {
        EXPECT_EQ(value, GetParam().value) << GetParam().text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, IntegerTokens,
    ::testing::Values(IntCase{"10", true, 10}, IntCase{"+7", true, 7}, IntCase{"-7", true, -7},
                      IntCase{"007", true, 7}, IntCase{"$14", true, 20}, IntCase{"x1f", true, 31},
                      IntCase{"X1F", true, 31}, IntCase{"0x10", true, 16},
                      IntCase{"0X10", true, 16}, IntCase{"-$10", true, -16},
                      IntCase{"2147483647", true, 2147483647},
                      IntCase{"-2147483648", true, INT32_MIN}, IntCase{"2147483648", false, 0},
                      IntCase{"-2147483649", false, 0}, IntCase{"$FFFFFFFF", true, -1},
                      IntCase{"$100000000", false, 0}, IntCase{"", false, 0},
                      IntCase{"-", false, 0}, IntCase{"$", false, 0}, IntCase{"0x", false, 0},
                      IntCase{"1e3", false, 0}, IntCase{"$G1", false, 0}, IntCase{"--1", false, 0},
                      IntCase{" 1", false, 0}));

TEST(QuotedForm, PassesExactlyTheQuotedFormOfANonEmptyText) {
    EXPECT_TRUE(IsQuotedForm("\"A\""));
    EXPECT_TRUE(IsQuotedForm("\"\"\"\""));           // one double quote
    EXPECT_TRUE(IsQuotedForm("\"say \"\"hi\"\"\"")); // say "hi"
    EXPECT_FALSE(IsQuotedForm("\"\""));
    EXPECT_FALSE(IsQuotedForm("\"A\"B"));
    EXPECT_FALSE(IsQuotedForm("\"A"));
    EXPECT_FALSE(IsQuotedForm("A"));
    EXPECT_FALSE(IsQuotedForm("\"A\"\""));
    EXPECT_FALSE(IsQuotedForm("\"\"\""));
}

TEST(ParseLine, GivesNumberAndStatementOfAcceptedLines) {
    const TParsedLine line = ParseLine("$14 REMARK \"A B\" tail");
    EXPECT_EQ(line.code, kLineAccepted);
    EXPECT_EQ(line.number, 20);
    EXPECT_EQ(line.statement, "\"A B\"");
    EXPECT_EQ(ParseLine("40 rem \"X\"").code, kLineNoRem);
    // A refused line gives no number and no statement, whatever refused it.
    for (std::string_view refused : {"70000 REM \"X\""sv, "10 REM \"A\0B\""sv}) {
        const TParsedLine parsed = ParseLine(refused);
        EXPECT_NE(parsed.code, kLineAccepted) << refused;
        EXPECT_EQ(parsed.number, 0) << refused;
        EXPECT_EQ(parsed.statement, "") << refused;
    }
}

std::vector<std::string> exampleListing() {
    return {"10 REM \"ZOLVANE\"", "20 REM \"FDX\"",     "30 REM \"WAIT 100\"",
            "50 REM \"LT 50\"",   "60 REM \"GOTO 40\"", "70 REM \"END\""};
}

Bytes readFixture(const std::string& name) {
    return testsupport::fileBytes(std::string(ZOLVANE_FIXTURES) + "/download/" + name);
}

std::vector<std::string> hostileListing(const std::string& name) {
    const Bytes bytes = testsupport::fileBytes(std::string(ZOLVANE_FIXTURES) + "/hostile/" + name);
    return files::SplitLines(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// A line of the given statement length (quotes included, at least 3).
std::string lineWithStatement(std::size_t length, int number = 10) {
    return std::to_string(number) + " REM \"" + std::string(length - 2, 'A') + "\"";
}

TEST(BuildImage, PacksTheWorkedExampleByteForByte) {
    const Bytes image = BuildImage(exampleListing());
    ASSERT_EQ(image.size(), 84u);
    EXPECT_EQ(image, readFixture("example/image.bin"));
    // The first record and the link words of all six.
    EXPECT_EQ(Bytes(image.begin(), image.begin() + 6),
              bytesOf({0x00, 0xCC, 0x19, 0x0A, 0x00, 0x93}));
    std::vector<int> links;
    for (std::size_t at = 0; image[at + 1] || image[at + 2];) {
        links.push_back(image[at + 1] + 256 * image[at + 2]);
        std::size_t end = at + 7;
        while (image[end] != '"' || (end + 1 < image.size() && image[end + 1] != 0x00))
            ++end;
        at = end + 1;
    }
    EXPECT_EQ(links, (std::vector<int>{6604, 6611, 6623, 6632, 6643, 6650}));
}

TEST(BuildImage, LeavesOutRejectedLinesSilently) {
    const Bytes image = BuildImage(
        {"", "hello there", "30 REM \"\"", "40 rem \"X\"", "30 REM \"\"\"\"", "40 REMARK \"X\""});
    EXPECT_EQ(image, bytesOf({0x00, 0xC7, 0x19, 30, 0, 0x93, '"', '"', '"', '"', //
                              0x00, 0xCC, 0x19, 40, 0, 0x93, '"', 'X', '"',      //
                              0,    0,    0}));
}

TEST(BuildImage, OfNoAcceptedLineIsTheEndMark) {
    EXPECT_EQ(BuildImage({}), bytesOf({0, 0, 0}));
    EXPECT_EQ(BuildImage({"", "junk"}), bytesOf({0, 0, 0}));
}

TEST(BuildImage, SeparatorsAndExtraTokensDoNotChangeTheRecord) {
    const Bytes plain = BuildImage({"40 REM \"A B\""});
    EXPECT_EQ(BuildImage({"40\tREM\t\"A B\""}), plain);
    EXPECT_EQ(BuildImage({"40  REM   \"A B\" C D"}), plain);
}

TEST(BuildImage, StoresLineNumbersFrom0To65535InTwoBytes) {
    struct Case {
        const char* line;
        std::uint8_t low, high;
    };
    for (const Case& c : {Case{"0 REM \"X\"", 0x00, 0x00}, Case{"$14 REM \"X\"", 20, 0x00},
                          Case{"258 REM \"X\"", 0x02, 0x01}, Case{"65535 REM \"X\"", 0xFF, 0xFF}}) {
        const Bytes image = BuildImage({c.line});
        ASSERT_EQ(image.size(), 9u + 3) << c.line;
        EXPECT_EQ(image[3], c.low) << c.line;
        EXPECT_EQ(image[4], c.high) << c.line;
    }
}

TEST(BuildImage, LeavesOutLineNumbersThatDoNotFitInsteadOfTakingAnotherLinesNumber) {
    // 70000 would be stored as 4464 (70000 - 65536), the number of another line.
    const std::vector<std::string> lines = hostileListing("line-70000.txt");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(BuildImage(lines), BuildImage({lines[0]}));
    EXPECT_EQ(BuildImage({"-1 REM \"X\"", "4464 REM \"Y\"", "65536 REM \"Z\""}),
              BuildImage({"4464 REM \"Y\""}));
}

TEST(BuildImage, LeavesOutAStatementHoldingANulByte) {
    // Packed, the NUL would end the statement half-way and the record after it would be misread.
    const std::vector<std::string> lines = hostileListing("nul-statement.txt");
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_NE(lines[0].find('\0'), std::string::npos);
    EXPECT_EQ(BuildImage(lines), bytesOf({0, 0, 0}));
    EXPECT_EQ(BuildImage({lines[0], "20 REM \"END\""}), BuildImage({"20 REM \"END\""}));
}

// BuildImage packs what it is given, link words kept to 16 bits;
// PackListing tells when the robot could not hold the program.
TEST(BuildImage, LinkWordWrapsPast65535) {
    // 250-byte statements: each record advances the link word by 252.
    const std::string statement = "\"" + std::string(248, 'A') + "\"";
    std::vector<std::string> lines(300, "10 REM " + statement);
    const Bytes image = BuildImage(lines);
    ASSERT_EQ(image.size(), 300u * 256 + 3);
    std::uint32_t expected = kFirstLinkWord;
    bool wrapped = false;
    for (std::size_t r = 0; r < 300; ++r) {
        wrapped = wrapped || expected + 252 > 65535;
        expected = (expected + 252) % 65536;
        const std::size_t at = r * 256;
        ASSERT_EQ(image[at + 1] + 256u * image[at + 2], expected) << "record " << r;
    }
    EXPECT_TRUE(wrapped);
    EXPECT_TRUE(PackListing(lines).tooLargeForRobot());
}

TEST(PackListing, ListsTheLinesItLeavesOutByPositionAndCode) {
    const std::vector<std::string> lines{"10 REM \"A\"",      "hello world",  "",
                                         "70000 REM \"END\"", "20 REM \"B\"", "30 REM \"C\0\""s,
                                         "40 rem \"X\""};
    const TPackedListing packed = PackListing(lines);
    EXPECT_EQ(packed.records, 2u);
    EXPECT_EQ(packed.dropped, (std::vector<TDroppedLine>{{2, kLineFewTokens},
                                                         {3, kLineTooShort},
                                                         {4, kLineBadNumber},
                                                         {6, kLineNulByte},
                                                         {7, kLineNoRem}}));
    EXPECT_EQ(packed.image, BuildImage({"10 REM \"A\"", "20 REM \"B\""}));
    EXPECT_EQ(packed.memory, 2u * (3 + 2));
    EXPECT_FALSE(packed.tooLargeForRobot());
    EXPECT_EQ(packed.recordsThatFit, 2u);
    EXPECT_EQ(packed.lastLineThatFits, 5u);
    EXPECT_EQ(packed.imageThatFits, packed.image.size());
}

TEST(PackListing, OfNoLineOrNoAcceptedLineHasNoRecord) {
    const TPackedListing none = PackListing({});
    EXPECT_EQ(none.records, 0u);
    EXPECT_TRUE(none.dropped.empty());
    EXPECT_EQ(none.image, bytesOf({0, 0, 0}));
    const TPackedListing junk = PackListing(hostileListing("no-valid-line.txt"));
    EXPECT_EQ(junk.records, 0u);
    EXPECT_EQ(junk.dropped, (std::vector<TDroppedLine>{{1, kLineFewTokens}}));
    EXPECT_EQ(junk.recordsThatFit, 0u);
    EXPECT_EQ(junk.lastLineThatFits, 0u);
}

// The robot's program memory runs from 6593 to 65535: the last link word
// may be 65535 and no more. 233 statements of 250 bytes take 233 * 252 =
// 58716 bytes; a last statement of 224 bytes fills the 58942 exactly.
TEST(PackListing, TheLastLinkWordMayReach65535ButNotPassIt) {
    std::vector<std::string> lines(233, lineWithStatement(250));
    lines.push_back(lineWithStatement(224));
    TPackedListing packed = PackListing(lines);
    EXPECT_EQ(packed.memory, kProgramMemory);
    EXPECT_FALSE(packed.tooLargeForRobot());
    const std::size_t last = packed.image.size() - 3 - (224 + 6);
    EXPECT_EQ(packed.image[last + 1] + 256 * packed.image[last + 2], 65535);
    EXPECT_EQ(packed.recordsThatFit, 234u);
    EXPECT_EQ(packed.imageThatFits, packed.image.size());

    // One byte more, behind a line the check refuses: the link word would wrap to 0.
    lines.back() = lineWithStatement(225);
    lines.insert(lines.begin(), "hello world");
    packed = PackListing(lines);
    EXPECT_EQ(packed.memory, kProgramMemory + 1);
    EXPECT_TRUE(packed.tooLargeForRobot());
    EXPECT_EQ(packed.recordsThatFit, 233u);
    EXPECT_EQ(packed.lastLineThatFits, 234u); // the listing's positions count the refused line
    EXPECT_EQ(packed.imageThatFits, 233u * 256 + 3);
    EXPECT_EQ(TooLargeForRobotMessage(packed),
              "The program is too large for the robot: its 234 lines need 58943 bytes of program "
              "memory (a line takes its statement's length + 2) and the robot has 58942. Only the "
              "lines up to line 234 fit (233 lines, a program image of 59651 bytes).");
}

TEST(PackListing, WhatFitsStopsAtTheLargestImageToo) {
    // Short statements: 9-byte records, 5 bytes of memory each. 7281 records make an image of
    // 65532 bytes; one more would pass 65535 although the memory would hold it.
    const std::vector<std::string> lines(7300, "10 REM \"A\"");
    const TPackedListing packed = PackListing(lines);
    EXPECT_FALSE(packed.tooLargeForRobot());
    EXPECT_EQ(packed.image.size(), 7300u * 9 + 3);
    EXPECT_EQ(packed.recordsThatFit, 7281u);
    EXPECT_EQ(packed.lastLineThatFits, 7281u);
    EXPECT_EQ(packed.imageThatFits, 65532u);
}

TEST(PackListing, ALineTooLongForTheRobotAloneFitsNothing) {
    const TPackedListing packed = PackListing({lineWithStatement(kProgramMemory - 1)});
    EXPECT_TRUE(packed.tooLargeForRobot());
    EXPECT_EQ(packed.recordsThatFit, 0u);
    EXPECT_EQ(TooLargeForRobotMessage(packed),
              "The program is too large for the robot: its 1 line needs 58943 bytes of program "
              "memory (a line takes its statement's length + 2) and the robot has 58942. Not even "
              "its first line fits.");
}

// pack writes the image of the listing over the file, whole.
TEST(PackLines, ReplacesTheFileWithTheImage) {
    const std::filesystem::path name = std::filesystem::path(::testing::TempDir()) /
                                       ("zolvane-pack-" + std::to_string(getpid()) + ".bin");
    { std::ofstream(name, std::ios::binary) << std::string(500, 'x'); }
    ASSERT_TRUE(PackLines(exampleListing(), name.string()));
    EXPECT_EQ(testsupport::fileBytes(name.string()), readFixture("example/image.bin"));
    std::filesystem::remove(name);
}

TEST(PackLines, RefusesAProgramTooLargeForTheRobotAndLeavesTheFileAlone) {
    const std::filesystem::path name = std::filesystem::path(::testing::TempDir()) /
                                       ("zolvane-pack-large-" + std::to_string(getpid()) + ".bin");
    { std::ofstream(name, std::ios::binary) << "old"; }
    // 240 statements of 250 bytes: 60480 bytes of memory, an image of 61443 bytes.
    const std::vector<std::string> lines(240, lineWithStatement(250));
    const files::TStatus packed = PackLines(lines, name.string());
    EXPECT_FALSE(packed);
    EXPECT_EQ(packed.error(), TooLargeForRobotMessage(PackListing(lines)));
    EXPECT_EQ(testsupport::fileBytes(name.string()), bytesOf({'o', 'l', 'd'}));
    std::filesystem::remove(name);
}

TEST(PackLines, ReportsAFileItCannotWrite) {
    const std::string name = std::string(::testing::TempDir()) + "/no-such-dir/x.bin";
    const files::TStatus packed = PackLines(exampleListing(), name);
    EXPECT_FALSE(packed);
    EXPECT_EQ(packed.error(), "Cannot create file \"" + name + "\". No such file or directory");
}

} // namespace
} // namespace download
