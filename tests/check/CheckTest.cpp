#include "check/Check.h"

#include "CheckSupport.h"
#include "chart/Chart.h"
#include "chart/ChartFile.h"
#include "program/ChartListing.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace {

using namespace check_test;
using check::CheckProgram;
using check::TFinding;
using check::TSeverity;

constexpr TSeverity E = TSeverity::Error;
constexpr TSeverity W = TSeverity::Warning;

// A finding as a case expects it: its block, its severity and a piece of its message that tells
// it from the other findings.
struct Expected {
    std::size_t block;
    TSeverity severity;
    std::string fragment;
};

struct ChartCase {
    const char* name;
    std::vector<Block> chart;
    std::vector<Expected> findings;
};

void PrintTo(const ChartCase& c, std::ostream* os) {
    *os << c.name;
}

std::string describe(const std::vector<TFinding>& findings) {
    std::string text;
    for (const TFinding& f : findings)
        text += "\n  " + std::to_string(f.block) + " " +
                std::string(check::SeverityWord(f.severity)) + " " + f.message.English();
    return text;
}

std::vector<TFinding> checked(const std::vector<Block>& blocks) {
    const Chart chart(blocks);
    return CheckProgram(chart.sources);
}

class Findings : public testing::TestWithParam<ChartCase> {};

TEST_P(Findings, AreTheExpectedOnesInChartOrder) {
    const std::vector<TFinding> findings = checked(GetParam().chart);
    const std::vector<Expected>& expected = GetParam().findings;
    ASSERT_EQ(findings.size(), expected.size()) << describe(findings);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(findings[i].block, expected[i].block) << describe(findings);
        EXPECT_EQ(findings[i].severity, expected[i].severity) << describe(findings);
        EXPECT_NE(findings[i].message.English().find(expected[i].fragment), std::string::npos)
            << "expected \"" << expected[i].fragment << "\" in" << describe(findings);
        // Every message is one line.
        EXPECT_EQ(findings[i].message.English().find_first_of("\r\n"), std::string::npos);
    }
}

// Long programs: past the line numbers, past the largest image, past the robot's memory.
std::vector<Block> pastTheLineNumbers() {
    // Entry k of the listing is numbered 10 * (k + 1); the product name takes entry 0, so the
    // 6553rd block's line is 65540. Labels take numbers but no room in the image.
    std::vector<Block> blocks;
    for (int i = 1; i <= 6552; ++i)
        blocks.push_back(label("L" + std::to_string(i)));
    blocks.push_back(end());
    return blocks;
}
std::vector<Block> pastTheLargestImage() {
    // 25 bytes a statement: a record of 33 bytes, 29 of program memory. After the product
    // name's 15 bytes and before the end mark's 3, 1985 records fit in 65535 bytes; 2000 need
    // 58011 bytes of memory, which the robot has.
    return joined({repeated(2000, expression("A=1+1+1+1+1+1+1+1+1+1+1+1")), {end()}});
}
std::vector<Block> pastTheRobotsMemory() {
    // 397 bytes a statement: 401 of program memory each, so 146 fit after the product name's
    // 11 in 58942; the image of 150 stays below 65535.
    std::string statement = "A=1";
    while (statement.size() < 397)
        statement += "+1";
    return joined({repeated(150, expression(statement)), {end()}});
}

INSTANTIATE_TEST_SUITE_P(
    Errors, Findings,
    testing::Values(
        ChartCase{"RecordThatDoesNotParse",
                  {{5, "", "<CtrlNode type=\"5\"><wait>1</wait>"}, end()},
                  {{1, E, "The Wait block's record cannot be read (Invalid XML Element"}}},
        ChartCase{"GotoWithoutLabel", {jump("X"), end()}, {{1, E, "No Label is named \"X\"."}}},
        ChartCase{"GotoIfWithoutLabel",
                  {jumpIf("A&gt;1", "X"), end()},
                  {{1, E, "No Label is named \"X\"."}}},
        ChartCase{
            "CallWithoutSubBegin", {call("S"), end()}, {{1, E, "No Sub Begin is named \"S\"."}}},
        // The listing finds references in exact letter case.
        ChartCase{"GotoInOtherLetterCase",
                  {label("Loop"), jump("loop"), end()},
                  {{2, E,
                    "No Label is named exactly \"loop\": the one at block 1 is named "
                    "\"Loop\""}}},
        ChartCase{"GotoWithBlankAfterTheName",
                  {label("L1 "), jump("L1"), end()},
                  {{2, E, "is named \"L1 \""}}},
        ChartCase{"GotoToASubroutine",
                  {jump("S"), end(), subBegin("S"), subEnd()},
                  {{1, E, "a subroutine is (Sub Begin at block 3)"},
                   {3, W, "No Call Sub that runs calls the subroutine \"S\""}}},
        ChartCase{"CallOfALabel",
                  {label("L"), call("L"), end()},
                  {{2, E, "No Sub Begin is named \"L\"; a Label is (block 1)"}}},
        ChartCase{"GotoWithoutNameAndNoUnnamedLabel",
                  {label("L"), jump(""), end()},
                  {{2, E, "The Goto names no Label. Open it and choose the Label to jump to."}}},
        ChartCase{"NameWithLineBreak",
                  {label("L\r1"), end()},
                  {{1, E, "The name \"L\\r1\" holds a line break"}}},
        ChartCase{"NamesWithTab",
                  {label("L\t1"), jump("L\t1"), end()},
                  {{1, E, "holds a tab"}, {2, E, "holds a tab"}}},
        ChartCase{"NameWithOtherControlCharacter",
                  {call("S\x01"), end()},
                  {{1, E, "holds the control character \\x01"}}},
        ChartCase{"ExpressionWithLineBreak",
                  {expression("A=1\n5 REM"), end()},
                  {{1, E, "holds a line break in its values"}}},
        ChartCase{"ExpressionWithNul",
                  {expression(std::string("A=1\0B", 5)), end()},
                  {{1, E, "holds a NUL byte in its values"}}},
        ChartCase{"LoopEndWithoutLoopBegin",
                  {wait(), loopEnd(0), end()},
                  {{2, E, "No loop of variable A is open above this Loop End"}}},
        ChartCase{"LoopBeginNeverClosed",
                  {loopBegin(1), wait(), end()},
                  {{1, E, "The loop of variable B is never closed"}}},
        ChartCase{"LoopEndOfAnotherVariable",
                  {loopBegin(0), wait(), loopEnd(1), end()},
                  {{1, E, "The loop of variable A is never closed"},
                   {3, E, "No loop of variable B is open"}}},
        ChartCase{"InnerLoopClosedByTheOuterLoopEnd",
                  {loopBegin(0), loopBegin(1), wait(), loopEnd(0), end()},
                  {{2, E,
                    "The loop of variable B is not closed before the Loop End at block 4 "
                    "closes the loop of A around it"}}},
        ChartCase{"ConditionTheRobotCannotRead",
                  {label("L"), jumpIf("A=&gt;3", "L"), end()},
                  {{2, E,
                    "The robot cannot read the condition \"A=>3\": at \">3 THEN 20\" the "
                    "robot expects a value"}}},
        ChartCase{"ConditionWithoutComparison",
                  {label("L"), jumpIf("A+1", "L"), end()},
                  {{2, E, "expects a comparison"}}},
        ChartCase{"EmptyCondition",
                  {label("L"), jumpIf("", "L"), end()},
                  {{2, E, "The GotoIf has no condition."}}},
        // The condition is read even when the name is missing; the name is reported once.
        ChartCase{"BadConditionAndMissingName",
                  {jumpIf("A&lt;&gt;", "X"), end()},
                  {{1, E, "No Label is named \"X\""}, {1, E, "cannot read the condition"}}},
        ChartCase{"ExpressionTheRobotCannotRead",
                  {expression("X=(1+2"), end()},
                  {{1, E, "The robot cannot read the expression \"X=(1+2\": at its end"}}},
        ChartCase{"ExpressionInSmallLetters",
                  {expression("x=1"), end()},
                  {{1, E, "written as a capital letter"}}},
        ChartCase{"ExpressionNamingAMissingLabel",
                  {expression("X=label: L9+1"), end()},
                  {{1, E, "no Label is named \"L9\""}}},
        ChartCase{"EmptyExpression", {expression(""), end()}, {{1, E, "The Expression is empty"}}},
        ChartCase{"DirectInAModeItDoesNotKnow",
                  {direct(7), end()},
                  {{1, E, "The block gives an empty statement"}}},
        ChartCase{"DirectLengthThatIsNoNumber",
                  {direct(2, "fast"), end()},
                  {{1, E, "cannot read the statement \"FD fast\" this block gives"}}},
        ChartCase{"LoopVariableOutsideAToZ",
                  {loopBegin(30), wait(), loopEnd(30), end()},
                  {{1, E, "\"FOR _=1 TO 3\""}, {3, E, "\"NEXT _\""}}},
        ChartCase{"SensorOutsideTheList", {analog(0, 9), end()}, {{1, E, "\"A=ADC9\""}}},
        ChartCase{"LinesPastTheLastNumber",
                  pastTheLineNumbers(),
                  {{6553, E, "numbered above 65535 (this block's line is 65540)"}}},
        ChartCase{"ImagePastTheLargestDownload",
                  pastTheLargestImage(),
                  {{1986, E, "its image takes 66029 bytes, and a download carries 65535"}}},
        ChartCase{"ProgramPastTheRobotsMemory",
                  pastTheRobotsMemory(),
                  {{147, E,
                    "its lines need 60168 bytes of program memory, and the robot has "
                    "58942"}}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Warnings, Findings,
    testing::Values(
        ChartCase{"LabelTwice",
                  {label("A"), label("A"), jump("A"), end()},
                  {{2, W, "Another Label named \"A\" comes first (block 1)"}}},
        ChartCase{"LabelsDifferingInLetterCase",
                  {label("A"), label("a"), jump("a"), end()},
                  {{2, W, "The Label \"A\" (block 1) has the same name but for letter case"}}},
        ChartCase{"SubBeginTwice",
                  {call("S"), end(), subBegin("S"), subEnd(), subBegin("S"), subEnd()},
                  {{5, W, "Another Sub Begin named \"S\" comes first (block 3)"},
                   {5, W, "No Call Sub that runs calls the subroutine \"S\""}}},
        ChartCase{"SubroutineRunningIntoTheNext",
                  {call("S"), call("T"), end(), subBegin("S"), wait(), subBegin("T"), subEnd()},
                  {{4, W, "has no Sub End before the next Sub Begin (block 6)"}}},
        ChartCase{"SubroutineWithoutEnd",
                  {call("S"), end(), subBegin("S"), wait()},
                  {{3, W, "has no Sub End before the end of the chart"}}},
        ChartCase{"SubEndReachedWithoutCall",
                  {wait(), subBegin("S"), subEnd(), end()},
                  {{3, W, "The program runs into this Sub End without a Call Sub"}}},
        ChartCase{"BlocksAfterEnd",
                  {wait(), end(), wait(), wait()},
                  {{3, W, "No path reaches this block and the 1 block after it"}}},
        ChartCase{"BlocksAfterGoto",
                  {label("L"), wait(), jump("L"), wait(), end()},
                  {{4, W, "No path reaches this block:"}}},
        ChartCase{"SubroutineNeverCalled",
                  {end(), subBegin("S"), wait(), subEnd()},
                  {{2, W, "No Call Sub that runs calls the subroutine \"S\""}}},
        ChartCase{"NoEnd", {wait()}, {{1, W, "The program has no End."}}},
        ChartCase{"LabelWithoutName", {label(""), end()}, {{1, W, "The Label has no name."}}},
        ChartCase{"GotoToTheLabelWithoutName",
                  {label(""), wait(), jump(""), end()},
                  {{1, W, "The Label has no name."},
                   {3, W,
                    "The Goto names no Label: it goes to the Label without a name "
                    "(block 1)"}}},
        ChartCase{
            "SubroutineWithoutName",
            {call(""), end(), subBegin(""), subEnd()},
            {{1, W, "The Call Sub names no Sub Begin"}, {3, W, "The Sub Begin has no name."}}},
        ChartCase{
            "MusicWithoutNotes", {music(""), end()}, {{1, W, "The Music block has no notes"}}},
        ChartCase{"WaitOfNothing", {wait("0"), end()}, {{1, W, "The wait time is 0"}}},
        ChartCase{"LoopCountingToNothing",
                  {loopBegin(0, "0"), wait(), loopEnd(0), end()},
                  {{1, W, "The loop repeats 0 times (it counts from 1 to 0)"}}},
        ChartCase{"InnerLoopWithTheOuterLoopsVariable",
                  {loopBegin(0), loopBegin(0), wait(), loopEnd(0), loopEnd(0), end()},
                  {{2, W,
                    "This loop counts with variable A, as does the loop around it "
                    "(block 1)"}}}),
    [](const auto& info) { return std::string(info.param.name); });

// Charts that are right as they are: nothing to report.
INSTANTIATE_TEST_SUITE_P(
    Sound, Findings,
    testing::Values(
        ChartCase{"EmptyChart", {}, {}},
        ChartCase{"JumpOverBlocksToALabel", {jumpIf("A&gt;1", "L"), wait(), label("L"), end()}, {}},
        ChartCase{"EndlessLoopWithEndAfterIt", {label("L"), wait(), jump("L"), end()}, {}},
        ChartCase{"SubroutineCalledBeforeItsDefinition",
                  {call("S"), end(), subBegin("S"), wait(), subEnd()},
                  {}},
        ChartCase{
            "SubroutineCallingAnother",
            {call("S"), end(), subBegin("S"), call("T"), subEnd(), subBegin("T"), wait(), subEnd()},
            {}},
        ChartCase{
            "NestedLoops", {loopBegin(0), loopBegin(1), wait(), loopEnd(1), loopEnd(0), end()}, {}},
        ChartCase{"ExpressionNamingALabelTwice",
                  {label("L1"), expression("X=label: L1*label: L1"), end()},
                  {}},
        ChartCase{"ExpressionThatJumps",
                  {label("L1"), wait(), expression("IF A&gt;3 AND (B&lt;2 OR C=1) THEN label: L1"),
                   end()},
                  {}},
        ChartCase{"MusicWithoutKeyCommand", {music("1C2D", "0"), end()}, {}},
        // Every block type with values its dialog gives.
        ChartCase{"EveryBlockType",
                  {direct(0),
                   direct(3, "200"),
                   {2, child("mode", "2") + child("wait", "90")},
                   {3, child("motorL", "-255") + child("motorR", "255")},
                   {4, child("mode", "1")},
                   wait("500"),
                   music("843C"),
                   loopBegin(25, "32767"),
                   label("top"),
                   {15, child("led", "3")},
                   {16, child("ddr", "3") + child("data", "255")},
                   {17, child("var", "2") + child("port", "1")},
                   {18, child("port", "2") + child("data", "7")},
                   {19, child("data1", "0") + child("data2", "18") + child("data3", "9") +
                            child("data4", "9") + child("data5", "9") + child("speed", "5")},
                   expression("B=(A+3)*PC1-ADC2/2"),
                   {21, child("var", "3") + child("index", "5")},
                   {21, child("var", "3") + child("index", "6")},
                   analog(4, 7),
                   {26, child("index", "4")},
                   call("blink"),
                   loopEnd(25),
                   jumpIf("PINA&lt;&gt;0 OR MIC&gt;=-1", "top"),
                   end(),
                   subBegin("blink"),
                   {15, child("led", "0")},
                   subEnd()},
                  {}}),
    [](const auto& info) { return std::string(info.param.name); });

// The charts the manual and the tests show the program with.
TEST(Check, WorkedExamplesGiveNoFinding) {
    for (const char* file :
         {ZOLVANE_FIXTURES "/listing/example/chart.lcs", ZOLVANE_FIXTURES "/chart/example.lcs",
          ZOLVANE_FIXTURES "/../../docs/sample.lcs"}) {
        const files::TResult<TOpenedChart> opened = openChart(file);
        ASSERT_TRUE(opened) << opened.error();
        const std::vector<program::BlockSource> blocks = program::chartBlocks(*opened->chart);
        ASSERT_FALSE(blocks.empty()) << file;
        const std::vector<TFinding> findings = CheckProgram(blocks);
        EXPECT_TRUE(findings.empty()) << file << describe(findings);
    }
}

TEST(Check, ObjectsThatAreNoBlocksAreLeftOut) {
    const std::string waitRecord = record(5, child("wait", "0"));
    const std::vector<program::BlockSource> sources{{KindStartTerminal, ""},
                                                    {KindBlockBase + 7, "<broken"},
                                                    {KindBlockBase + 5, waitRecord},
                                                    {KindEndTerminal, ""}};
    // Only the Wait block is read, counted in its place.
    const std::vector<TFinding> findings = CheckProgram(sources);
    ASSERT_EQ(findings.size(), 2u) << describe(findings);
    EXPECT_EQ(findings[0].block, 3u);
    EXPECT_NE(findings[0].message.English().find("The wait time is 0"), std::string::npos);
    EXPECT_EQ(findings[1].block, 3u);
    EXPECT_NE(findings[1].message.English().find("no End"), std::string::npos);
    // Without a block that runs there is nothing to end.
    EXPECT_TRUE(CheckProgram(std::span(sources).first(2)).empty());
}

TEST(Check, SeverityWordsAndErrors) {
    EXPECT_EQ(check::SeverityWord(E), "error");
    EXPECT_EQ(check::SeverityWord(W), "warning");
    const std::vector<TFinding> warningOnly{{1, W, files::Value("w")}};
    const std::vector<TFinding> withError{{1, W, files::Value("w")}, {2, E, files::Value("e")}};
    EXPECT_FALSE(check::HasError(warningOnly));
    EXPECT_TRUE(check::HasError(withError));
    EXPECT_FALSE(check::HasError({}));
}

} // namespace
