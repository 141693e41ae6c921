#include "program/Listing.h"

#include "RecordText.h"
#include "records/BlockCatalog.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

using program::BlockSource;
using program::generateListing;
using program::resolveListing;
using program_test::child;
using program_test::kindOf;
using program_test::record;
using Lines = std::vector<std::string>;

// A block of a small chart: its type and the children of its record.
struct Block {
    int type;
    std::string children;
};

program::ListingResult listingOf(const std::vector<Block>& chart) {
    std::vector<std::string> records;
    for (const Block& block : chart)
        records.push_back(record(block.type, block.children));
    std::vector<BlockSource> blocks;
    for (std::size_t i = 0; i < chart.size(); ++i)
        blocks.push_back({kindOf(chart[i].type), records[i]});
    return generateListing(blocks);
}

Lines linesOf(const std::vector<Block>& chart) {
    const program::ListingResult result = listingOf(chart);
    EXPECT_TRUE(result.ok()) << *result.error;
    EXPECT_EQ(result.lineBlocks.size(), result.lines.size());
    return result.lines;
}

// The entry list with the product-name entry in front.
Lines resolved(Lines statements) {
    statements.insert(statements.begin(), "ZOLVANE");
    return resolveListing(statements);
}

Block label(std::string_view name) {
    return {11, child("label", name)};
}
Block jump(std::string_view name) {
    return {12, child("label", name)};
}
Block expression(std::string_view command) {
    return {20, child("command", command)};
}

TEST(Listing, WorkedExampleJumpsToTheDroppedLabelLine) {
    const Lines expected{
        "10 REM \"ZOLVANE\"", "20 REM \"FDX\"",     "30 REM \"WAIT 100\"",
        "50 REM \"LT 50\"",   "60 REM \"GOTO 40\"", "70 REM \"END\"",
    };
    EXPECT_EQ(linesOf({{1, child("mode", "0")},
                       {5, child("wait", "100")},
                       label("L1"),
                       {2, child("mode", "2") + child("wait", "50")},
                       jump("L1"),
                       {14, ""}}),
              expected);
}

TEST(Listing, EmptyChartGivesTheProductNameLine) {
    EXPECT_EQ(linesOf({}), Lines{"10 REM \"ZOLVANE\""});
}

// --- Small charts and their listings ------------------------------------------------------------

struct ChartCase {
    const char* name;
    std::vector<Block> chart;
    Lines expected;
};

void PrintTo(const ChartCase& c, std::ostream* os) {
    *os << c.name;
}

class SmallCharts : public testing::TestWithParam<ChartCase> {};

TEST_P(SmallCharts, GiveTheExpectedListing) {
    EXPECT_EQ(linesOf(GetParam().chart), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SmallCharts,
    testing::Values(
        ChartCase{
            "MusicKeyCommandTakesTwoLines",
            {{6, child("key", "3") + child("keycmd", "-1") + child("content", "1122")}, {14, ""}},
            {"10 REM \"ZOLVANE\"", "20 REM \"KEY 3\"", "30 REM \"PLAY 1122\"", "40 REM \"END\""}},
        ChartCase{"SubroutineCalledBeforeItsDefinition",
                  {{25, child("sub", "S")},
                   {14, ""},
                   {23, child("sub", "S")},
                   {3, child("motorL", "1") + child("motorR", "2")},
                   {24, ""}},
                  {"10 REM \"ZOLVANE\"", "20 REM \"GOSUB 40\"", "30 REM \"END\"",
                   "50 REM \"MOTOR 1,2\"", "60 REM \"RETURN\""}},
        ChartCase{"GotoIfWithEscapedCondition",
                  {label("L1"), {13, child("condition", "A&gt;3") + child("label", "L1")}},
                  {"10 REM \"ZOLVANE\"", "30 REM \"IF A>3 THEN 20\""}},
        ChartCase{"LabelsDifferingInCaseShareTheFirstTarget",
                  {label("L1"), label("l1"), jump("l1"), jump("L1")},
                  {"10 REM \"ZOLVANE\"", "40 REM \"GOTO 20\"", "50 REM \"GOTO 20\""}},
        ChartCase{"SameLabelTwiceGoesToTheFirst",
                  {label("A"), {14, ""}, label("A"), jump("A")},
                  {"10 REM \"ZOLVANE\"", "30 REM \"END\"", "50 REM \"GOTO 20\""}},
        ChartCase{
            "ReferenceFindsExactCaseOnly",
            {label("L1"), jump("LL1"), jump("l1")},
            {"10 REM \"ZOLVANE\"", "30 REM \"GOTO label: LL1\"", "40 REM \"GOTO label: l1\""}},
        ChartCase{"PrefixLabelsDoNotCaptureLongerNames",
                  {label("1"), label("10"), jump("10"), jump("1")},
                  {"10 REM \"ZOLVANE\"", "40 REM \"GOTO 30\"", "50 REM \"GOTO 20\""}},
        ChartCase{"PrefixLabelsInTheOtherOrder",
                  {label("10"), label("1"), jump("1"), jump("10")},
                  {"10 REM \"ZOLVANE\"", "40 REM \"GOTO 30\"", "50 REM \"GOTO 20\""}},
        ChartCase{"UndefinedLongerNameStays",
                  {label("1"), jump("10"), jump("1_"), jump("1a")},
                  {"10 REM \"ZOLVANE\"", "30 REM \"GOTO label: 10\"", "40 REM \"GOTO label: 1_\"",
                   "50 REM \"GOTO label: 1a\""}},
        ChartCase{"UndefinedReferenceStays",
                  {jump("X"), {25, child("sub", "X")}},
                  {"10 REM \"ZOLVANE\"", "20 REM \"GOTO label: X\"", "30 REM \"GOSUB sub: X\""}},
        ChartCase{"ExpressionHoldingAKeyIsRewritten",
                  {label("L1"), expression("X=label: L1")},
                  {"10 REM \"ZOLVANE\"", "30 REM \"X=20\""}},
        ChartCase{"ExpressionNamingALabelTwiceGetsItsNumberTwice",
                  {label("L1"), expression("X=label: L1*label: L1")},
                  {"10 REM \"ZOLVANE\"", "30 REM \"X=20*20\""}},
        ChartCase{"ExpressionStartingWithAKeyIsADefinition",
                  {expression("label: L1"), {14, ""}, jump("L1")},
                  {"10 REM \"ZOLVANE\"", "30 REM \"END\"", "40 REM \"GOTO 20\""}},
        ChartCase{"ExpressionDefinitionBeforeTheLabelWins",
                  {expression("sub: S"), {23, child("sub", "S")}, {25, child("sub", "S")}},
                  {"10 REM \"ZOLVANE\"", "40 REM \"GOSUB 20\""}},
        ChartCase{"LabelAndSubroutineOfTheSameName",
                  {{23, child("sub", "A")}, label("A"), jump("A"), {25, child("sub", "A")}},
                  {"10 REM \"ZOLVANE\"", "40 REM \"GOTO 30\"", "50 REM \"GOSUB 20\""}},
        ChartCase{"EmptyLabelNameCountsOnlyAsAWholeName",
                  {label(""), jump(""), jump("X"), jump("-1")},
                  {"10 REM \"ZOLVANE\"", "30 REM \"GOTO 20\"", "40 REM \"GOTO label: X\"",
                   "50 REM \"GOTO 20-1\""}},
        ChartCase{"BlockWithoutPaletteGroupIsSkipped",
                  {{7, ""}, {8, ""}, {14, ""}},
                  {"10 REM \"ZOLVANE\"", "20 REM \"END\""}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- The rewriting rules on plain statements ----------------------------------------------------

struct RewriteCase {
    const char* name;
    Lines statements; // after the product-name entry
    Lines expected;
};

void PrintTo(const RewriteCase& c, std::ostream* os) {
    *os << c.name;
}

class ReferenceRewriting : public testing::TestWithParam<RewriteCase> {};

TEST_P(ReferenceRewriting, FollowsTheWholeNameRules) {
    EXPECT_EQ(resolved(GetParam().statements), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReferenceRewriting,
    testing::Values(
        RewriteCase{"EveryOccurrenceIsReplaced",
                    {"label: A", "X=label: A+label: A", "X=label: A*(label: A-label: A)"},
                    {"10 REM \"ZOLVANE\"", "30 REM \"X=20+20\"", "40 REM \"X=20*(20-20)\""}},
        RewriteCase{"SeveralKeysInOneStatement",
                    {"label: A", "label: B", "sub: A", "X=label: B+label: A+sub: A+label: B"},
                    {"10 REM \"ZOLVANE\"", "50 REM \"X=30+20+40+30\""}},
        RewriteCase{"CaseTwinsInOneStatementShareTheFirstTarget",
                    {"label: a", "label: A", "X=label: A-label: a+label: A"},
                    {"10 REM \"ZOLVANE\"", "40 REM \"X=20-20+20\""}},
        RewriteCase{"ReplacedNumberIsNotReadAgain",
                    {"label: A", "label: 20", "X=label: label: A+label: A"},
                    {"10 REM \"ZOLVANE\"", "40 REM \"X=label: 20+20\""}},
        RewriteCase{"OccurrenceAtSecondByteIsKept",
                    {"label: A", "Xlabel: A", "XYlabel: A"},
                    {"10 REM \"ZOLVANE\"", "30 REM \"Xlabel: A\"", "40 REM \"XY20\""}},
        RewriteCase{"OccurrenceKeptAtSecondByteShieldsNoLaterOne",
                    {"label: A", "Xlabel: A label: A+label: A"},
                    {"10 REM \"ZOLVANE\"", "30 REM \"Xlabel: A 20+20\""}},
        RewriteCase{"PartialMatchIsNotTheFirstOccurrence",
                    {"label: 1", "X=label: 10+label: 1"},
                    {"10 REM \"ZOLVANE\"", "30 REM \"X=label: 10+20\""}},
        RewriteCase{
            "LongestCountingKeyWins",
            {"label: a", "label: a-b", "GOTO label: a-b", "GOTO label: a-c", "GOTO label: a-bc"},
            {"10 REM \"ZOLVANE\"", "40 REM \"GOTO 30\"", "50 REM \"GOTO 20-c\"",
             "60 REM \"GOTO 20-bc\""}},
        RewriteCase{"NameEndsAtPunctuationAndBlanks",
                    {"label: 5", "IF A=1 THEN label: 5:B=2", "X=(label: 5)", "GOTO label: 5 "},
                    {"10 REM \"ZOLVANE\"", "30 REM \"IF A=1 THEN 20:B=2\"", "40 REM \"X=(20)\"",
                     "50 REM \"GOTO 20 \""}},
        RewriteCase{
            "CodePageLettersContinueAName",
            {"label: \xC4", "GOTO label: \xC4\xD6", "GOTO label: \xC4"},
            {"10 REM \"ZOLVANE\"", "30 REM \"GOTO label: \xC4\xD6\"", "40 REM \"GOTO 20\""}},
        RewriteCase{"QuotesInStatementsAreDoubled",
                    {"label: \"q\"", "PRINT \"label: \"q\"\""},
                    {"10 REM \"ZOLVANE\"", "30 REM \"PRINT \"\"20\"\"\""}},
        RewriteCase{"DefinitionsOnlyAtTheStartAndInExactCase",
                    {"Label: A", "LABEL: A", "X label: A", "GOTO Label: A"},
                    {"10 REM \"ZOLVANE\"", "20 REM \"Label: A\"", "30 REM \"LABEL: A\"",
                     "40 REM \"X label: A\"", "50 REM \"GOTO Label: A\""}},
        RewriteCase{
            "EmptyStatementsKeepTheirLines", {"", "sub: "}, {"10 REM \"ZOLVANE\"", "20 REM \"\""}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Listing, LineNumbersCountEveryEntry) {
    Lines statements(1200, "END");
    statements[600] = "label: far";
    statements.push_back("GOTO label: far");
    const Lines lines = resolved(statements);
    ASSERT_EQ(lines.size(), 1201u);
    EXPECT_EQ(lines[600], "6010 REM \"END\"");
    EXPECT_EQ(lines.back(), "12020 REM \"GOTO 6020\"");
}

// Each line names the block it came from; the numbers count every block of the chart, also
// those that give no line.
TEST(Listing, EveryLineNamesItsBlock) {
    using Blocks = std::vector<std::size_t>;
    const program::ListingResult result =
        listingOf({label("L1"),                                                             // 1
                   {6, child("key", "3") + child("keycmd", "-1") + child("content", "12")}, // 2
                   {6, child("key", "3") + child("keycmd", "0") + child("content", "34")},  // 3
                   {23, child("sub", "S")},                                                 // 4
                   {7, ""},                                                                 // 5
                   expression("label: L2"),                                                 // 6
                   jump("L2"),                                                              // 7
                   {25, child("sub", "S")},                                                 // 8
                   {24, ""},                                                                // 9
                   {14, ""}});                                                              // 10
    ASSERT_TRUE(result.ok()) << *result.error;
    EXPECT_EQ(result.lines,
              (Lines{"10 REM \"ZOLVANE\"", "30 REM \"KEY 3\"", "40 REM \"PLAY 12\"",
                     "50 REM \"PLAY 34\"", "80 REM \"GOTO 70\"", "90 REM \"GOSUB 60\"",
                     "100 REM \"RETURN\"", "110 REM \"END\""}));
    EXPECT_EQ(result.lineBlocks, (Blocks{0, 2, 2, 3, 7, 8, 9, 10}));

    // The same chart read from its records alone.
    std::vector<std::string> records;
    for (const Block& block : {label("L1"), jump("L1"), Block{14, ""}})
        records.push_back(record(block.type, block.children));
    EXPECT_EQ(program::generateListingFromRecords(records).lineBlocks, (Blocks{0, 2, 3}));
}

TEST(Listing, RecordThatDoesNotParseStopsWithItsMessage) {
    const std::string good = record(14);
    const std::string bad = "<CtrlNode type=\"5\"><wait>1</wait>";
    const std::vector<BlockSource> blocks{{kindOf(14), good}, {kindOf(5), bad}};
    const program::ListingResult result = generateListing(blocks);
    ASSERT_FALSE(result.ok());
    EXPECT_NE(result.error->English().find("Erroneous end of tag"), std::string::npos)
        << *result.error;
    EXPECT_TRUE(result.lines.empty());
    EXPECT_TRUE(result.lineBlocks.empty());
}

// A value that would break its statement out of the program line stops Generate with a message
// naming the block, whichever block type carries it.
TEST(Listing, LineBreaksAndNulInValuesStopWithTheBlockNamed) {
    const struct {
        std::string record;
        std::string what;
    } cases[] = {
        {record(20, child("command", "A=1\r5 REM \"END")), "a line break"},
        {record(20, child("command", "A=1\n5 REM \"END")), "a line break"},
        {record(13, child("condition", "A>1\r\n") + child("label", "L")), "a line break"},
        {record(11, child("label", std::string("L\0X", 3))), "a NUL byte"},
        {record(20, child("command", std::string("A=1\0B=2", 7))), "a NUL byte"},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> records{record(5, child("wait", "1")), c.record};
        const program::ListingResult result = program::generateListingFromRecords(records);
        ASSERT_FALSE(result.ok()) << c.record;
        EXPECT_EQ(result.error->English(),
                  "Block 2 holds " + c.what +
                      " in its values, which a program line cannot carry. Open "
                      "the block and remove it.");
        EXPECT_TRUE(result.lines.empty());
    }
}

// A block whose statement comes out empty (a new Expression nobody filled in, a record with a
// mode no dialog offers) would give a line the robot refuses; Generate names the block instead.
TEST(Listing, AnEmptyStatementStopsWithTheBlockNamed) {
    for (const std::string& empty :
         {record(20), record(20, child("command", "")), record(1, child("mode", "9")),
          record(4, child("mode", "5"))}) {
        const std::vector<std::string> records{record(5, child("wait", "1")), record(14), empty};
        const program::ListingResult result = program::generateListingFromRecords(records);
        ASSERT_FALSE(result.ok()) << empty;
        EXPECT_EQ(result.error->English(),
                  "Block 3 gives no statement, and the robot cannot take an empty "
                  "line. Open the block and fill it in, or delete it.");
    }
}

TEST(Listing, FromRecordsTakesEachKindFromItsType) {
    const std::vector<std::string> records{record(11, child("label", "L")), record(7),
                                           record(12, child("label", "L")), record(14)};
    const program::ListingResult result = program::generateListingFromRecords(records);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.lines, (Lines{"10 REM \"ZOLVANE\"", "30 REM \"GOTO 20\"", "40 REM \"END\""}));
}

TEST(QuotedForm, DoublesQuotesAndRoundTrips) {
    EXPECT_EQ(program::quotedForm(""), "\"\"");
    EXPECT_EQ(program::quotedForm("A\"B"), "\"A\"\"B\"");
    for (const std::string text : {"", "\"", "\"\"", "a\"b\"", "\r\n\xFF"})
        EXPECT_EQ(program::unquotedForm(program::quotedForm(text)), text);
}

// --- The indexed rewriting against a plain search over every definition -------------------------

bool continuesName(unsigned char c) {
    return std::isalnum(c) || c == '_' || c >= 0x80;
}

// The plain algorithm: every definition is tried at every position of every entry.
Lines plainListing(const Lines& statements) {
    struct Definition {
        std::string key;
        std::size_t target;
    };
    auto fold = [](std::string s) {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c + 32);
        return s;
    };
    std::vector<Definition> definitions;
    for (const std::string_view prefix : {"label: ", "sub: "}) {
        std::vector<Definition> ofKind;
        for (std::size_t i = 0; i < statements.size(); ++i) {
            if (!statements[i].starts_with(prefix))
                continue;
            std::size_t target = 10 * (i + 1);
            for (const Definition& d : ofKind)
                if (fold(d.key) == fold(statements[i])) {
                    target = d.target;
                    break;
                }
            ofKind.push_back({statements[i], target});
        }
        definitions.insert(definitions.end(), ofKind.begin(), ofKind.end());
    }
    Lines lines;
    for (std::size_t k = 0; k < statements.size(); ++k) {
        const std::string& s = statements[k];
        if (s.starts_with("label: ") || s.starts_with("sub: "))
            continue;
        std::string out;
        std::size_t p = 0;
        while (p < s.size()) {
            const Definition* best = nullptr;
            for (const Definition& d : definitions) {
                const std::size_t end = p + d.key.size();
                if (s.compare(p, d.key.size(), d.key) == 0 && end <= s.size() &&
                    (end == s.size() || !continuesName(static_cast<unsigned char>(s[end]))) &&
                    (!best || d.key.size() > best->key.size()))
                    best = &d;
            }
            if (!best) {
                out.push_back(s[p++]);
                continue;
            }
            out += p >= 2 ? std::to_string(best->target) : best->key;
            p += best->key.size();
        }
        lines.push_back(std::to_string(10 * (k + 1)) + " REM " + program::quotedForm(out));
    }
    return lines;
}

TEST(Listing, IndexedRewritingMatchesThePlainSearch) {
    // Names built from few pieces, so that prefixes, case twins and shared stems abound.
    const std::vector<std::string> pieces{"a", "A", "1", "0", "_", "-", " ", "\xC4", "b"};
    const std::vector<std::string> filler{
        "GOTO ", "X=", "+", "(", ")", "label: ", "sub: ", "IF ", "\"", "la", ""};
    std::mt19937 random(20260101);
    auto pick = [&](const std::vector<std::string>& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
    };
    auto name = [&] {
        std::string n;
        for (int i = std::uniform_int_distribution<int>(0, 3)(random); i > 0; --i)
            n += pick(pieces);
        return n;
    };
    for (int round = 0; round < 300; ++round) {
        Lines statements{"ZOLVANE"};
        const int count = std::uniform_int_distribution<int>(1, 30)(random);
        for (int i = 0; i < count; ++i) {
            std::string s;
            switch (std::uniform_int_distribution<int>(0, 3)(random)) {
            case 0:
                s = "label: " + name();
                break;
            case 1:
                s = "sub: " + name();
                break;
            default:
                for (int j = std::uniform_int_distribution<int>(1, 4)(random); j > 0; --j)
                    s += pick(filler) + name();
            }
            statements.push_back(s);
        }
        ASSERT_EQ(resolveListing(statements), plainListing(statements)) << "round " << round;
    }
}

} // namespace
