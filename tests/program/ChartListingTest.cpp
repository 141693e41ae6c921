#include "program/ChartListing.h"

#include "RecordText.h"
#include "canvas/FlowChart.h"
#include "chart/Chart.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using program_test::child;
using program_test::record;
using Lines = std::vector<std::string>;

class NoPrompts : public files::TPrompts {
public:
    std::vector<std::string> errors;
    std::optional<std::string> saveFileName(FileKind) override { return std::nullopt; }
    std::optional<std::string> openFileName(FileKind) override { return std::nullopt; }
    Answer askYesNoCancel(const std::string&) override { return Answer::Cancel; }
    std::size_t askChoice(const std::string&, const std::vector<std::string>& choices) override {
        return choices.empty() ? 0 : choices.size() - 1;
    }
    void showMessage(Severity, const std::string& message) override { errors.push_back(message); }
};

class ChartListing : public testing::Test {
protected:
    void SetUp() override { m_chart.NewChart(); }

    TFcObject* append(int type, std::string_view children = {}) {
        TFcObject* block = m_chart.AppendBlock(type);
        block->Payload = record(type, children);
        return block;
    }

    TFlowChart m_canvas;
    TChart m_chart{m_canvas};
    NoPrompts m_prompts;
};

TEST_F(ChartListing, NewChartGivesTheProductNameLine) {
    EXPECT_EQ(program::generateListing(m_chart).lines, Lines{"10 REM \"ZOLVANE\""});
}

TEST_F(ChartListing, BlocksAreReadFromTopToBottom) {
    append(11, child("label", "L1"));
    append(5, child("wait", "100"));
    append(12, child("label", "L1"));
    append(14);
    Lines text{"old"};
    ASSERT_TRUE(program::generateCommand(m_chart, text, m_prompts));
    EXPECT_EQ(text, (Lines{"10 REM \"ZOLVANE\"", "30 REM \"WAIT 100\"", "40 REM \"GOTO 20\"",
                           "50 REM \"END\""}));
}

TEST_F(ChartListing, LinesNameTheirBlocksFromTheTop) {
    append(6, child("key", "1") + child("keycmd", "-1") + child("content", "12"));
    append(23, child("sub", "S"));
    append(25, child("sub", "S"));
    append(24);
    const program::ListingResult result = program::generateListing(m_chart);
    EXPECT_EQ(result.lines, (Lines{"10 REM \"ZOLVANE\"", "20 REM \"KEY 1\"", "30 REM \"PLAY 12\"",
                                   "50 REM \"GOSUB 40\"", "60 REM \"RETURN\""}));
    EXPECT_EQ(result.lineBlocks, (std::vector<std::size_t>{0, 1, 1, 3, 4}));
}

TEST_F(ChartListing, TheObjectsKindChoosesTheStatement) {
    TFcObject* block = append(5, child("mode", "1"));
    block->Kind = KindBlockBase + 1; // a Direct block's object with another type's record
    EXPECT_EQ(program::generateListing(m_chart).lines,
              (Lines{"10 REM \"ZOLVANE\"", "20 REM \"BKX\""}));
}

TEST_F(ChartListing, DamagedRecordKeepsTheProgramText) {
    append(14);
    append(5)->Payload = "<CtrlNode type=\"5\"><wait>";
    Lines text{"10 REM \"typed\""};
    EXPECT_FALSE(program::generateCommand(m_chart, text, m_prompts));
    EXPECT_EQ(text, Lines{"10 REM \"typed\""});
    ASSERT_EQ(m_prompts.errors.size(), 1u);
    EXPECT_NE(m_prompts.errors[0].find("Invalid XML Element"), std::string::npos)
        << m_prompts.errors[0];
}

} // namespace
