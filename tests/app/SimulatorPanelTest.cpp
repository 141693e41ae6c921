// The simulator panel in the window: Simulate runs the program text on the simulated robot, Step
// goes one statement, the running statement's line and block are shown, the state follows.
#include "app/SimulatorPanel.h"

#include "WindowFixture.h"
#include "app/FloorView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

class SimulatorPanelTest : public WindowTest {
protected:
    TSimulatorPanel* panel() const { return window->findChild<TSimulatorPanel*>(); }
    QString label(const char* name) const { return panel()->findChild<QLabel*>(name)->text(); }
    void setText(const QString& text) { window->programText()->setPlainText(text); }
    int cursorLine() const { return window->programText()->textCursor().blockNumber(); }
    void runToTheEnd() {
        for (int i = 0; i < 500 && panel()->running(); ++i)
            QTest::qWait(20);
    }
};

TEST_F(SimulatorPanelTest, SimulateIsInTheRobotMenuAndOnTheToolbar) {
    auto* simulate = window->findChild<QAction*>("SimulateAction");
    ASSERT_NE(simulate, nullptr);
    EXPECT_TRUE(window->findChild<QMenu*>("RobotMenu")->actions().contains(simulate));
    EXPECT_EQ(simulate->shortcut(), QKeySequence("Ctrl+R"));
    auto* button = window->findChild<QToolButton*>("SimulateButton");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->defaultAction(), simulate);
    EXPECT_TRUE(button->isVisible());
    EXPECT_EQ(button->parentWidget(),
              window->findChild<QToolButton*>("LineNumbersButton")->parentWidget());
    EXPECT_FALSE(button->icon().isNull());
    EXPECT_EQ(button->accessibleName(), "Simulate");
    ASSERT_NE(panel(), nullptr);
    EXPECT_FALSE(panel()->isVisible()) << "hidden until asked for";
}

TEST_F(SimulatorPanelTest, RunsTheProgramTextToItsEndAndShowsVariablesAndPose) {
    setText("10 REM \"ZOLVANE\"\n20 REM \"A=2\"\n30 REM \"FD 100\"\n40 REM \"A=A*3\"\n"
            "50 REM \"END\"");
    window->findChild<QAction*>("SimulateAction")->trigger();
    EXPECT_TRUE(panel()->isVisible());
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

TEST_F(SimulatorPanelTest, StepGoesOneStatementAndTheLineFollows) {
    setText("10 REM \"ZOLVANE\"\n20 REM \"A=1\"\n30 REM \"B=2\"\n40 REM \"END\"");
    panel()->show();
    auto* step = panel()->findChild<QPushButton*>("SimStepButton");
    step->click(); // the title line does nothing; the first statement runs
    const int first = cursorLine();
    step->click();
    EXPECT_EQ(cursorLine(), first + 1) << "the highlight follows the statement";
    EXPECT_TRUE(panel()->simulator().variableSet('A'));
    step->click();
    step->click();
    EXPECT_EQ(panel()->simulator().variable('B'), 2);
}

TEST_F(SimulatorPanelTest, AGeneratedListingShowsItsRunningBlockOnTheCanvas) {
    insert(1); // Direct
    insert(5); // Wait
    QTest::keyClick(window.get(), Qt::Key_F5);
    panel()->show();
    auto* step = panel()->findChild<QPushButton*>("SimStepButton");
    step->click();
    step->click();
    QApplication::processEvents();
    // The statement running is the Wait's: its block is selected on the canvas.
    const std::optional<std::size_t> index = panel()->simulator().currentIndex();
    ASSERT_TRUE(index.has_value());
    const std::string statement = panel()->simulator().program()[*index].statement;
    const TFcObject* selected = canvas().SelectedObject();
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(chart().BlockNumberOf(selected), statement == "FDX" ? 1 : 2) << statement;
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

} // namespace
