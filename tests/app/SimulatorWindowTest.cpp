// The simulator in the main window: Robot > Simulate and its toolbar button show the panel and
// run the program text; the statement running is followed in the text and on the canvas.
#include "WindowFixture.h"
#include "sim/view/SimulatorPanel.h"

#include <QDockWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

class SimulatorWindowTest : public WindowTest {
protected:
    TSimulatorPanel* panel() const { return window->findChild<TSimulatorPanel*>(); }
    void setText(const QString& text) { window->programText()->setPlainText(text); }
    int cursorLine() const { return window->programText()->textCursor().blockNumber(); }
};

TEST_F(SimulatorWindowTest, SimulateIsInTheRobotMenuAndOnTheToolbar) {
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

TEST_F(SimulatorWindowTest, StepGoesOneStatementAndTheLineFollows) {
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

TEST_F(SimulatorWindowTest, AGeneratedListingShowsItsRunningBlockOnTheCanvas) {
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

TEST_F(SimulatorWindowTest, SimulateRunsTheProgramText) {
    setText("10 REM \"ZOLVANE\"\n20 REM \"A=2\"\n30 REM \"END\"");
    window->findChild<QAction*>("SimulateAction")->trigger();
    EXPECT_TRUE(panel()->isVisible());
    for (int i = 0; i < 500 && panel()->running(); ++i)
        QTest::qWait(20);
    EXPECT_EQ(panel()->simulator().status().state, sim::TRunState::Ended);
    EXPECT_EQ(panel()->simulator().variable('A'), 2);
}

} // namespace
