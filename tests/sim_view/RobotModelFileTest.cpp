// The robot model a teacher can change: robot-model.txt in the configuration folder when it is
// there, else the shipped model; a damaged file says where and leaves the shipped model in use,
// in the panel too.
#include "sim/view/RobotModelFile.h"

#include "../support/ScratchFolder.h"
#include "sim/view/SimulatorPanel.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace {

class RobotModelFileTest : public testsupport::ScratchFolder {
protected:
    QString folder() const { return QString::fromStdString(path("")); }
};

TEST_F(RobotModelFileTest, WithoutAFileTheShippedModelIsUsed) {
    for (const QString& where : {folder(), QString()}) {
        const TRobotModelChoice choice = ChooseRobotModel(where);
        EXPECT_EQ(choice.model, sim::DefaultRobotModel());
        EXPECT_TRUE(choice.file.isEmpty());
        EXPECT_TRUE(choice.problem.isEmpty());
    }
}

TEST_F(RobotModelFileTest, TheTeachersFileChangesWhatItNamesOnly) {
    writeBytes(path("robot-model.txt"),
               "# a bigger robot\nbody_radius_mm = 120\nwheel_track_mm = 180\n");
    const TRobotModelChoice choice = ChooseRobotModel(folder());
    sim::TRobotModel expected = sim::DefaultRobotModel();
    expected.bodyRadiusMm = 120;
    expected.wheelTrackMm = 180;
    EXPECT_EQ(choice.model, expected);
    EXPECT_EQ(choice.file.toStdString(), path("robot-model.txt"));
    EXPECT_TRUE(choice.problem.isEmpty());
}

TEST_F(RobotModelFileTest, ADamagedFileIsSaidWithItsLineAndTheShippedModelIsUsed) {
    writeBytes(path("robot-model.txt"), "body_radius_mm = 120\nwheel_track_mm = wide\n");
    const TRobotModelChoice choice = ChooseRobotModel(folder());
    EXPECT_EQ(choice.model, sim::DefaultRobotModel()) << "nothing of a damaged file is used";
    EXPECT_TRUE(choice.file.isEmpty());
    EXPECT_TRUE(choice.problem.contains("robot-model.txt")) << choice.problem.toStdString();
    EXPECT_TRUE(choice.problem.contains("line 2")) << choice.problem.toStdString();
}

TEST_F(RobotModelFileTest, ThePanelRunsOnTheTeachersModelOrSaysWhyNot) {
    const auto panelWith = [this](const char* text) {
        writeBytes(path("robot-model.txt"), text);
        TSimulatorPanel::THooks hooks;
        hooks.programLines = [] { return std::vector<std::string>{}; };
        hooks.robotModelFolder = [this] { return folder(); };
        return std::make_unique<TSimulatorPanel>(nullptr, std::move(hooks),
                                                 std::vector<std::string>{});
    };
    auto panel = panelWith("body_radius_mm = 120\n");
    EXPECT_EQ(panel->simulator().model().bodyRadiusMm, 120);
    EXPECT_TRUE(panel->findChild<QLabel*>("SimModelLabel")->isHidden());

    panel = panelWith("body_radius_mm = -\n");
    EXPECT_EQ(panel->simulator().model(), sim::DefaultRobotModel());
    QLabel* said = panel->findChild<QLabel*>("SimModelLabel");
    EXPECT_FALSE(said->isHidden());
    EXPECT_TRUE(said->text().contains("line 1")) << said->text().toStdString();
}

} // namespace
