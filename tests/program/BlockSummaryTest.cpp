#include "program/BlockSummary.h"

#include "RecordText.h"

#include <gtest/gtest.h>

using namespace program_test;
using program::BlockSummary;

namespace {

struct SummaryCase {
    const char* what;
    int type;
    std::string children;
    std::string value;      // under the caption
    std::string statements; // the tool tip
};

class BlockSummaries : public testing::TestWithParam<SummaryCase> {};

TEST_P(BlockSummaries, ShortFormUnderTheCaptionAndEveryStatementInTheTip) {
    const SummaryCase& c = GetParam();
    const program::TBlockSummary s = BlockSummary(kindOf(c.type), record(c.type, c.children));
    EXPECT_EQ(s.value.English(), c.value) << c.what;
    EXPECT_EQ(s.statements, c.statements) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, BlockSummaries,
    testing::Values(
        SummaryCase{"drive a distance", 1, child("mode", "2") + child("wait", "50"), "FD 50",
                    "FD 50"},
        SummaryCase{"drive on", 1, child("mode", "0"), "FDX", "FDX"},
        SummaryCase{"wait", 5, child("wait", "100"), "WAIT 100", "WAIT 100"},
        SummaryCase{"motors", 3, child("motorL", "5") + child("motorR", "-5"), "MOTOR 5,-5",
                    "MOTOR 5,-5"},
        SummaryCase{"loop: how many times", 9, child("var", "0") + child("times", "4"), "x4",
                    "FOR A=1 TO 4"},
        SummaryCase{"loop end", 10, child("var", "2"), "NEXT C", "NEXT C"},
        SummaryCase{"goto: where to", 12, child("label", "dance"), "to dance", "GOTO label: dance"},
        SummaryCase{"goto if: the condition and where to", 13,
                    child("condition", "A&gt;3") + child("label", "L1"), "if A>3 to L1",
                    "IF A>3 THEN label: L1"},
        SummaryCase{"music with its key: the number of notes, both statements", 6,
                    child("key", "3") + child("keycmd", "1") + child("content", "8408F1"),
                    "3 notes", "KEY 3\nPLAY 8408F1"},
        SummaryCase{"one note", 6, child("keycmd", "0") + child("content", "84"), "1 note",
                    "PLAY 84"},
        SummaryCase{"an empty tune", 6, child("keycmd", "0"), "no notes", "PLAY "},
        SummaryCase{"LED", 15, child("led", "5"), "LED 5", "LED 5"},
        SummaryCase{"digital sensor", 21, child("var", "1") + child("index", "5"), "B=MIC",
                    "B=MIC"},
        SummaryCase{"end", 14, "", "END", "END"},
        // The caption already names these: nothing under it, the statement in the tip.
        SummaryCase{"label", 11, child("label", "loop"), "", "label: loop"},
        SummaryCase{"call sub", 25, child("sub", "dance"), "", "GOSUB sub: dance"},
        SummaryCase{"expression", 20, child("command", "A=A+1"), "", "A=A+1"},
        SummaryCase{"voice", 26, child("index", "3"), "", "VOICEX 3"},
        // A mode outside the list gives the empty statement: nothing to show.
        SummaryCase{"drive in an unknown mode", 1, child("mode", "7"), "", ""}),
    [](const testing::TestParamInfo<SummaryCase>& info) {
        return "Case" + std::to_string(info.index);
    });

TEST(BlockSummary, NoBlockOrABrokenRecordGivesNothing) {
    EXPECT_EQ(BlockSummary(0, record(5, child("wait", "1"))).statements, "");
    EXPECT_EQ(BlockSummary(kindOf(7), record(7)).statements, "") << "no palette group";
    const program::TBlockSummary broken = BlockSummary(kindOf(5), "<CtrlNode><wait>");
    EXPECT_TRUE(broken.value.empty());
    EXPECT_EQ(broken.statements, "");
}

TEST(BlockSummary, EveryDefaultBlockSaysWhatItDoes) {
    for (const TBlockInfo& info : BlockCatalog()) {
        const program::TBlockSummary s = BlockSummary(info.kind, DefaultRecord(info.type));
        // A new Expression holds no command yet.
        EXPECT_EQ(s.statements.empty(), info.type == BlockType::Expression) << info.caption;
        if (HasNamedCaption(info.type)) {
            EXPECT_TRUE(s.value.empty()) << info.caption;
        }
    }
}

} // namespace
