#include "download/ProgramImage.h"

#include "../support/FixtureBytes.h"
#include "TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <unistd.h>

namespace download {
namespace {

using test::bytesOf;

struct CheckCase {
    const char* line;
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
}

std::vector<std::string> exampleListing() {
    return {"10 REM \"ZOLVANE\"", "20 REM \"FDX\"",     "30 REM \"WAIT 100\"",
            "50 REM \"LT 50\"",   "60 REM \"GOTO 40\"", "70 REM \"END\""};
}

Bytes readFixture(const std::string& name) {
    return testsupport::fileBytes(std::string(ZOLVANE_FIXTURES) + "/download/" + name);
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

TEST(BuildImage, StoresTheLow16BitsOfTheLineNumber) {
    Bytes image = BuildImage({"70000 REM \"X\""});
    EXPECT_EQ(image[3], 0x70);
    EXPECT_EQ(image[4], 0x11);
    image = BuildImage({"-1 REM \"X\""});
    EXPECT_EQ(image[3], 0xFF);
    EXPECT_EQ(image[4], 0xFF);
    image = BuildImage({"$14 REM \"X\""});
    EXPECT_EQ(image[3], 20);
}

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

TEST(PackLines, ReportsAFileItCannotWrite) {
    const std::string name = std::string(::testing::TempDir()) + "/no-such-dir/x.bin";
    const files::TStatus packed = PackLines(exampleListing(), name);
    EXPECT_FALSE(packed);
    EXPECT_EQ(packed.error(), "Cannot create file \"" + name + "\". No such file or directory");
}

} // namespace
} // namespace download
