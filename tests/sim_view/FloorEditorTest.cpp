// The floor editor in the simulator panel, driven with the mouse: a line drawn by hand is what
// the robot's sensors read, saved beside the chart and opened again; walls and boxes placed,
// undone, redone and cleared; the robot dragged to a new start; editing off while a run is under
// way; a failed save or a damaged file said, with nothing lost.
#include "../support/ScratchFolder.h"
#include "sim/view/FloorView.h"
#include "sim/view/SimulatorPanel.h"

#include <QComboBox>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>
#include <gtest/gtest.h>
#include <memory>

namespace {

class FloorEditorTest : public testsupport::ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        TSimulatorPanel::THooks hooks;
        hooks.programLines = [this] { return m_program; };
        hooks.chartFile = [this] { return file("track.lcs"); };
        hooks.saveFloorName = [this](const QString& suggested) {
            m_suggested = suggested;
            return m_saveAs;
        };
        hooks.openFloorName = [this] { return m_openName; };
        hooks.showError = [this](const QString& message) { m_errors.push_back(message); };
        m_panel = std::make_unique<TSimulatorPanel>(nullptr, std::move(hooks),
                                                    std::vector<std::string>{});
        m_panel->resize(900, 700);
        m_panel->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_panel.get()));
        floorList()->setCurrentIndex(0); // the empty floor: the robot at 0 0 facing up
    }
    void TearDown() override {
        m_panel.reset();
        ScratchFolder::TearDown();
    }

    std::string file(const char* name) const { return path(name); }
    TFloorView* view() const { return m_panel->floorView(); }
    QComboBox* floorList() const { return m_panel->findChild<QComboBox*>("SimFloorList"); }
    QToolButton* button(const char* name) const {
        QToolButton* found = m_panel->findChild<QToolButton*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QPoint at(double x, double y) const { return view()->toWidget({x, y}).toPoint(); }
    // A drag with the left button through the floor points, as a pupil's hand makes it.
    void drag(std::initializer_list<QPointF> points) {
        auto point = points.begin();
        QTest::mousePress(view(), Qt::LeftButton, {}, at(point->x(), point->y()));
        for (++point; point != points.end(); ++point)
            QTest::mouseMove(view(), at(point->x(), point->y()));
        const QPointF last = *(points.end() - 1);
        QTest::mouseRelease(view(), Qt::LeftButton, {}, at(last.x(), last.y()));
    }
    // What the program reads from the middle line sensor, run from the start.
    int programReadsPc1() {
        m_program = {"10 REM \"ZOLVANE\"", "20 REM \"A=PC1\"", "30 REM \"END\""};
        m_panel->reset();
        m_panel->simulator().run();
        const int read = m_panel->simulator().variable('A');
        m_panel->stop();
        return read;
    }

    std::vector<std::string> m_program;
    QString m_saveAs;
    QString m_suggested;
    QString m_openName;
    std::vector<QString> m_errors;
    std::unique_ptr<TSimulatorPanel> m_panel;
};

TEST_F(FloorEditorTest, ALineDrawnByHandIsReadBySavedBesideTheChartAndOpenedAgain) {
    ASSERT_EQ(programReadsPc1(), 0) << "nothing on the empty floor";
    button("SimToolDraw")->click();
    // Across the floor where the middle line sensor looks (70 mm ahead of the robot).
    drag({{-300, 60}, {-150, 65}, {0, 70}, {150, 75}, {300, 80}});
    ASSERT_EQ(m_panel->floor().lines.size(), 1u);
    EXPECT_GT(m_panel->floor().lines[0].points.size(), 3u) << "a freehand line follows the hand";
    EXPECT_EQ(programReadsPc1(), 1);
    EXPECT_EQ(m_panel->simulator().input(sim::TInput::Pc1), 1) << "standing at the start";

    const sim::TFloor drawn = m_panel->floor();
    m_saveAs = QString::fromStdString(file("my track.floor"));
    ASSERT_TRUE(m_panel->saveFloor());
    EXPECT_EQ(m_suggested.toStdString(), file("track.floor")) << "beside the chart, its name";
    EXPECT_TRUE(m_errors.empty());
    files::TResult<sim::TFloor> saved = sim::LoadFloor(file("my track.floor"));
    ASSERT_TRUE(saved) << saved.error();
    EXPECT_EQ(*saved, drawn);
    // The bundled floor stays as shipped; the saved one is the file's entry, shown now.
    EXPECT_EQ(floorList()->currentText(), "my track");
    EXPECT_EQ(floorList()->count(), 4);
    floorList()->setCurrentIndex(0);
    EXPECT_TRUE(m_panel->floor().lines.empty());
    EXPECT_EQ(programReadsPc1(), 0);

    m_openName = QString::fromStdString(file("my track.floor"));
    ASSERT_TRUE(m_panel->openFloor());
    EXPECT_EQ(m_panel->floor(), drawn);
    EXPECT_EQ(floorList()->currentText(), "my track");
    EXPECT_EQ(floorList()->count(), 4) << "the file's entry again, not a second one";
    EXPECT_EQ(programReadsPc1(), 1);
}

TEST_F(FloorEditorTest, WallsAndBoxesAreUndoneRedoneAndClearedWithUndo) {
    button("SimToolWall")->click();
    drag({{-400, 300}, {0, 300}, {400, 300}});
    button("SimToolBox")->click();
    drag({{-200, -400}, {-100, -300}});
    ASSERT_EQ(m_panel->floor().walls, (std::vector<sim::TWall>{{{-400, 300}, {400, 300}}}));
    ASSERT_EQ(m_panel->floor().boxes, (std::vector<sim::TBox>{{{-200, -400}, 100, 100}}));
    const sim::TFloor both = m_panel->floor();

    button("SimFloorUndo")->click();
    EXPECT_TRUE(m_panel->floor().boxes.empty());
    EXPECT_EQ(m_panel->floor().walls.size(), 1u);
    EXPECT_EQ(button("SimFloorRedo")->toolTip(), "Redo: Place a box");
    button("SimFloorRedo")->click();
    EXPECT_EQ(m_panel->floor(), both);

    button("SimFloorClear")->click();
    EXPECT_TRUE(m_panel->floor().walls.empty() && m_panel->floor().boxes.empty());
    button("SimFloorUndo")->click();
    EXPECT_EQ(m_panel->floor(), both);

    button("SimToolErase")->click();
    drag({{0, 290}});
    EXPECT_TRUE(m_panel->floor().walls.empty()) << "a click on the wall erases it";
    EXPECT_EQ(m_panel->floor().boxes.size(), 1u);
}

TEST_F(FloorEditorTest, TheRobotDraggedStartsWhereItWasLeftAndTurnsTowardsTheMouse) {
    button("SimToolRobot")->click();
    drag({{0, 0}, {100, 100}, {200, 300}});
    EXPECT_EQ(m_panel->floor().start, (sim::TPoint{200, 300}));
    EXPECT_NEAR(m_panel->simulator().pose().x, 200, 0.01);
    EXPECT_NEAR(m_panel->simulator().pose().y, 300, 0.01);
    drag({{500, 300}}); // beside it: faces the mouse
    EXPECT_EQ(m_panel->floor().startHeading, 0);
    EXPECT_EQ(m_panel->floorUndo()->count(), 2);
}

TEST_F(FloorEditorTest, AfterARunTheToolsMeetTheRobotAtItsStart) {
    m_program = {"10 REM \"ZOLVANE\"", "20 REM \"FD 300\"", "30 REM \"END\""};
    m_panel->reset();
    m_panel->simulator().run();
    m_panel->advanceFrame();
    ASSERT_TRUE(m_panel->simulator().finished());
    ASSERT_GT(m_panel->simulator().pose().y, 250);
    ASSERT_TRUE(m_panel->floorEditable()) << "the run is over";
    button("SimToolRobot")->click();
    EXPECT_NEAR(m_panel->simulator().pose().y, 0, 0.01);
    EXPECT_LE(view()->path().size(), 1u) << "the path of the run is gone";
    drag({{0, 0}, {-100, 0}}); // where the robot is seen now
    EXPECT_EQ(m_panel->floor().start, (sim::TPoint{-100, 0}));
}

TEST_F(FloorEditorTest, EditingIsOffWhileARunIsUnderWay) {
    m_program = {"10 REM \"ZOLVANE\"", "20 REM \"WAIT 100\"", "30 REM \"GOTO 20\""};
    button("SimToolWall")->click();
    m_panel->run();
    ASSERT_TRUE(m_panel->running());
    EXPECT_FALSE(m_panel->floorEditable());
    EXPECT_FALSE(m_panel->findChild<QWidget*>("SimFloorTools")->isEnabled());
    drag({{-400, 300}, {400, 300}});
    EXPECT_TRUE(m_panel->floor().walls.empty());
    m_panel->pause();
    EXPECT_FALSE(m_panel->floorEditable()) << "paused, the run is still under way";
    m_panel->stop();
    EXPECT_TRUE(m_panel->floorEditable());
    EXPECT_TRUE(m_panel->findChild<QWidget*>("SimFloorTools")->isEnabled());
    drag({{-400, 300}, {400, 300}});
    EXPECT_EQ(m_panel->floor().walls.size(), 1u);
}

TEST_F(FloorEditorTest, AFailedSaveSaysWhyAndKeepsTheEdits) {
    button("SimToolWall")->click();
    drag({{-400, 300}, {400, 300}});
    const sim::TFloor edited = m_panel->floor();
    m_saveAs = QString::fromStdString(file("no such folder/track.floor"));
    EXPECT_FALSE(m_panel->saveFloor());
    ASSERT_EQ(m_errors.size(), 1u);
    EXPECT_TRUE(m_errors[0].contains("could not be saved")) << m_errors[0].toStdString();
    EXPECT_TRUE(m_errors[0].contains("no such folder")) << m_errors[0].toStdString();
    EXPECT_EQ(m_panel->floor(), edited);
    EXPECT_EQ(floorList()->count(), 3) << "no entry for a file not written";
    EXPECT_TRUE(m_panel->floorUndo()->canUndo());

    m_saveAs.clear(); // the dialog cancelled
    EXPECT_FALSE(m_panel->saveFloor());
    EXPECT_EQ(m_errors.size(), 1u) << "a cancel is no error";
}

TEST_F(FloorEditorTest, ADamagedFloorFileIsSaidWhereAndTheFloorShownStays) {
    button("SimToolWall")->click();
    drag({{-400, 300}, {400, 300}});
    const sim::TFloor edited = m_panel->floor();
    writeBytes(file("bad.floor"), "zolvane-floor 1\nwall 0 0 10\n");
    m_openName = QString::fromStdString(file("bad.floor"));
    EXPECT_FALSE(m_panel->openFloor());
    ASSERT_EQ(m_errors.size(), 1u);
    EXPECT_TRUE(m_errors[0].contains("line 2")) << m_errors[0].toStdString();
    EXPECT_EQ(m_panel->floor(), edited);
    EXPECT_EQ(floorList()->count(), 3);
}

} // namespace
