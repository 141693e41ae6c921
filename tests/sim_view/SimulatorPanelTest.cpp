// The simulator panel on its own: Run goes to the program's end and shows variables, pose and
// path; a sensor set by hand is what the program reads; a loop without a wait stops at the step
// limit while the window answers; Step goes one statement and the line shown follows.
#include "sim/view/SimulatorPanel.h"

#include "sim/view/FloorView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace {

class SimulatorPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        TSimulatorPanel::THooks hooks;
        hooks.programLines = [this] {
            std::vector<std::string> lines;
            for (const QString& line : m_text.split('\n'))
                lines.push_back(line.toStdString());
            return lines;
        };
        hooks.textIsStale = [this] { return m_stale; };
        hooks.showLine = [this](std::optional<std::size_t> line) { m_shownLine = line; };
        m_panel = std::make_unique<TSimulatorPanel>(nullptr, std::move(hooks),
                                                    std::vector<std::string>{"HELLO"});
    }

    TSimulatorPanel* panel() const { return m_panel.get(); }
    QString label(const char* name) const { return panel()->findChild<QLabel*>(name)->text(); }
    void setText(const QString& text) { m_text = text; }
    void runToTheEnd() {
        for (int i = 0; i < 500 && panel()->running(); ++i)
            QTest::qWait(20);
    }

    QString m_text;
    bool m_stale = false;
    std::optional<std::size_t> m_shownLine;
    std::unique_ptr<TSimulatorPanel> m_panel;
};

TEST_F(SimulatorPanelTest, RunsTheProgramTextToItsEndAndShowsVariablesAndPose) {
    setText("10 REM \"ZOLVANE\"\n20 REM \"A=2\"\n30 REM \"FD 100\"\n40 REM \"A=A*3\"\n"
            "50 REM \"END\"");
    panel()->show();
    panel()->run();
    EXPECT_TRUE(panel()->running());
    runToTheEnd();
    EXPECT_FALSE(panel()->running());
    const sim::TSimulator& sim = panel()->simulator();
    EXPECT_EQ(sim.status().state, sim::TRunState::Ended);
    EXPECT_EQ(sim.variable('A'), 6);
    EXPECT_NEAR(sim.pose().y, 100, 0.5) << "100 mm up from the start, facing up";
    EXPECT_TRUE(label("SimVariablesLabel").contains("A=6"))
        << label("SimVariablesLabel").toStdString();
    EXPECT_TRUE(label("SimStatusLabel").contains("the program ended"));
    EXPECT_GT(panel()->floorView()->path().size(), 1u) << "the path driven is drawn";
}

TEST_F(SimulatorPanelTest, ASensorSetByHandIsWhatTheProgramReads) {
    setText("10 REM \"A=PC0\"\n20 REM \"END\"");
    panel()->show();
    auto* pc0 = panel()->findChild<QCheckBox*>("SimPC0");
    ASSERT_NE(pc0, nullptr);
    EXPECT_EQ(pc0->checkState(), Qt::PartiallyChecked) << "read from the floor at first";
    pc0->setCheckState(Qt::Checked);
    panel()->reset();
    panel()->simulator().run();
    EXPECT_EQ(panel()->simulator().variable('A'), 1);
}

TEST_F(SimulatorPanelTest, ALoopWithoutAWaitStopsAtTheStepLimitAndTheWindowAnswers) {
    setText("10 REM \"A=A+1\"\n20 REM \"GOTO 10\"");
    panel()->show();
    panel()->findChild<QComboBox*>("SimSpeedList")->setCurrentIndex(6); // as fast as possible
    panel()->run();
    for (int i = 0; i < 2000 && panel()->running(); ++i)
        QTest::qWait(5);
    EXPECT_FALSE(panel()->running());
    EXPECT_EQ(panel()->simulator().status().state, sim::TRunState::StepLimit);
    EXPECT_TRUE(label("SimStatusLabel").contains("without ending"));
}

TEST_F(SimulatorPanelTest, StepGoesOneStatementAndTheLineShownFollows) {
    setText("10 REM \"ZOLVANE\"\n20 REM \"A=1\"\n30 REM \"B=2\"\n40 REM \"END\"");
    panel()->show();
    auto* step = panel()->findChild<QPushButton*>("SimStepButton");
    step->click(); // the title line does nothing; the first statement runs
    ASSERT_TRUE(m_shownLine.has_value());
    const std::size_t first = *m_shownLine;
    step->click();
    ASSERT_TRUE(m_shownLine.has_value());
    EXPECT_EQ(*m_shownLine, first + 1);
    EXPECT_TRUE(panel()->simulator().variableSet('A'));
    step->click();
    step->click();
    EXPECT_EQ(panel()->simulator().variable('B'), 2);
}

TEST_F(SimulatorPanelTest, AStaleListingIsSaidAndAnEmptyTextAsksForOne) {
    m_stale = true;
    setText("10 REM \"END\"");
    panel()->show();
    panel()->reset();
    EXPECT_TRUE(panel()->findChild<QLabel*>("SimStaleLabel")->isVisible());
    m_stale = false;
    setText("");
    panel()->reset();
    EXPECT_FALSE(panel()->findChild<QLabel*>("SimStaleLabel")->isVisible());
    EXPECT_TRUE(label("SimStatusLabel").contains("generate the listing first"));
}

} // namespace
