// Example charts open as new unnamed charts, after the same question as New.
#include "chart/ChartExample.h"

#include "ChartFileTestSupport.h"

using namespace chart_file_test;

namespace {

// Direct FD 100, Label "again" (named on the canvas), Goto "again", End.
const std::string kExample = kHeader + "<KELMORAX>\r\n"
                                       "  <record>\r\n"
                                       "    <CtrlNode type=\"1\">\r\n"
                                       "      <mode>2</mode>\r\n"
                                       "      <wait>100</wait>\r\n"
                                       "    </CtrlNode>\r\n"
                                       "  </record>\r\n"
                                       "  <record>\r\n"
                                       "    <CtrlNode type=\"11\">\r\n"
                                       "      <label>again</label>\r\n"
                                       "    </CtrlNode>\r\n"
                                       "  </record>\r\n"
                                       "  <record>\r\n"
                                       "    <CtrlNode type=\"12\">\r\n"
                                       "      <label>again</label>\r\n"
                                       "    </CtrlNode>\r\n"
                                       "  </record>\r\n"
                                       "  <record>\r\n"
                                       "    <CtrlNode type=\"14\"/>\r\n"
                                       "  </record>\r\n"
                                       "</KELMORAX>\r\n";

class ChartExampleTest : public ChartFileTest {
protected:
    TChartFileResult openExample(std::string_view text = kExample) {
        return OpenExampleChart(*file.operator->(), ui, text, "Loop");
    }
};

TEST_F(ChartExampleTest, OpensAsAnUnnamedUnchangedChartWithTheExamplesBlocks) {
    file.SetCurrentFile(path("lesson.lcs")); // the chart before had a name
    const TChartFileResult result = openExample();
    EXPECT_TRUE(result.done);
    EXPECT_TRUE(result.chartReplaced);
    EXPECT_NE(result.note.English().find("Loop"), std::string::npos) << result.note;
    EXPECT_EQ(file.CurrentFileName(), "") << "a save must ask for a name of the pupil's own";
    EXPECT_EQ(file.CaptionText(), kTitle);
    EXPECT_FALSE(file.IsChartChanged()) << "an example nobody touched is closed without asking";
    EXPECT_EQ(captions(), (std::vector<std::string>{"Direct", "Label:again", "Goto", "End"}));
    EXPECT_EQ(heights(), (std::vector<int>{32, 40, 32, 32}));
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(ChartExampleTest, AsksAboutUnsavedChangesFirstAndCancelKeepsTheChart) {
    buildExample(); // an unnamed chart with blocks (captions as appended)
    ui.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(openExample().done);
    EXPECT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(captions(), (std::vector<std::string>{"Direct", "Label", "Goto", "End"}));

    ui.answers.push_back(Answer::No);
    EXPECT_TRUE(openExample().done);
    EXPECT_EQ(ui.questions.size(), 2u);
    EXPECT_EQ(captions(), (std::vector<std::string>{"Direct", "Label:again", "Goto", "End"}));
}

TEST_F(ChartExampleTest, SavingTheExampleAsksForANameAndLeavesTheOriginalText) {
    ASSERT_TRUE(openExample().done);
    h.canvas.SelectObject(h.marker(1));
    h.chart.InsertBlock(5);
    EXPECT_TRUE(file.IsChartChanged());
    ui.saveChartNames.push_back(path("mine.lcs"));
    EXPECT_TRUE(file.commandSave());
    EXPECT_TRUE(ui.saveChartNames.empty()) << "the save dialog was not shown";
    EXPECT_EQ(file.CurrentFileName(), path("mine.lcs"));
}

TEST_F(ChartExampleTest, TextThatIsNoChartIsReportedAndChangesNothing) {
    buildExample();
    file.TakeSnapshot();
    file.SetCurrentFile(path("lesson.lcs"));
    const struct {
        const char* what;
        std::string text;
    } broken[] = {
        {"not XML", "<KELMORAX><record>"},
        {"a record that could not be saved again",
         readBytes(fixture("../listing/pi-record/chart.lcs"))},
    };
    for (const auto& c : broken) {
        SCOPED_TRACE(c.what);
        const std::size_t errorsBefore = ui.errors.size();
        EXPECT_FALSE(openExample(c.text).done);
        ASSERT_EQ(ui.errors.size(), errorsBefore + 1);
        EXPECT_NE(ui.errors.back().find("Loop"), std::string::npos) << ui.errors.back();
        EXPECT_EQ(captions(), (std::vector<std::string>{"Direct", "Label", "Goto", "End"}));
        EXPECT_EQ(file.CurrentFileName(), path("lesson.lcs"));
    }
}

} // namespace
