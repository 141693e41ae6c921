#include "TestSupport.h"
#include "download/DownloadStages.h"
#include "download/VirtualRobot.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace download {
namespace {

using namespace std::chrono_literals;
using Kind = TDownloadStep::Kind;

Bytes imageOfSize(std::size_t size) {
    Bytes image(size);
    for (std::size_t i = 0; i < size; ++i)
        image[i] = static_cast<std::uint8_t>(i * 3 + 2);
    return image;
}

// A stage as the window shows it in English.
struct Shown {
    std::string text;
    int value = 0;
    int maximum = 1;

    bool operator==(const Shown&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const Shown& s) {
        return out << '"' << s.text << "\" " << s.value << '/' << s.maximum;
    }
};

Shown shown(const TStageView& view) {
    return {view.text.English(), view.value, view.maximum};
}

bool seen(const std::vector<TStageView>& views, const std::string& text) {
    return std::any_of(views.begin(), views.end(),
                       [&](const TStageView& v) { return v.text.English() == text; });
}

// A whole download of 4,032 bytes (63 parts) against the virtual robot, its
// reports turned into stages as the window shows them.
class StagesOfADownload : public ::testing::Test {
protected:
    StagesOfADownload() {
        port.setReceiveHandler([this](std::span<const std::uint8_t> b) { queue.append(b); });
        port.open();
    }
    TSendResult run(const Bytes& image) {
        stages.start(image.size());
        views.push_back(stages.view());
        TSendReports reports;
        reports.step = [this](const TDownloadStep& step) {
            stages.step(step);
            views.push_back(stages.view());
        };
        reports.retry = [this](const TRetry& retry) {
            stages.retry(retry);
            views.push_back(stages.view());
        };
        return RunSendSequence(link, clock, image, reports);
    }

    TVirtualRobotPort port;
    TReceiveQueue queue;
    test::TManualClock clock;
    TPacketLink link{port, queue, clock, 1000ms};
    TDownloadStages stages;
    std::vector<TStageView> views;
};

TEST_F(StagesOfADownload, SayWhereTheDownloadIsAndMoveTheBarWithEveryPacket) {
    const Bytes image = imageOfSize(4032);
    TSendResult result = run(image);
    ASSERT_EQ(result.status, TDownloadStatus::Success) << result.reason;
    EXPECT_EQ(shown(views.front()), (Shown{"Connecting to the robot", 0, 67}));
    EXPECT_TRUE(seen(views, "Announcing the program (4,032 bytes in 63 parts)"));
    EXPECT_TRUE(seen(views, "Sending the program: 0 of 63 parts"));
    EXPECT_TRUE(seen(views, "Sending the program: 12 of 63 parts"));
    EXPECT_EQ(shown(views.back()), (Shown{"Sending the program: 63 of 63 parts", 67, 67}));
    for (std::size_t i = 1; i < views.size(); ++i)
        EXPECT_EQ(views[i].value, views[i - 1].value + 1) << views[i].text;
    TDownloadOutcome outcome;
    outcome.byteCount = image.size();
    outcome.status = result.status;
    stages.finish(outcome, "ttyUSB0", {});
    EXPECT_EQ(shown(stages.view()), (Shown{"Done: the robot has the program (4,032 bytes)", 67, 67}));
}

TEST_F(StagesOfADownload, ShowEachResendBesideTheStage) {
    port.robot().rejectNextPackets(1, 13); // hello, header and 11 parts go; part 12 once refused
    ASSERT_EQ(run(imageOfSize(4032)).status, TDownloadStatus::Success);
    EXPECT_TRUE(seen(views, "Sending the program: 11 of 63 parts; part 12: sent again (2 of 11)"));
    port.robot().rejectNextPackets(2);
    queue.clear();
    views.clear();
    ASSERT_EQ(run(imageOfSize(100)).status, TDownloadStatus::Success);
    EXPECT_TRUE(seen(views, "Connecting to the robot; hello: sent again (2 of 11)"));
    EXPECT_TRUE(seen(views, "Connecting to the robot; hello: sent again (3 of 11)"));
    port.robot().rejectNextPackets(1, 1);
    port.robot().corruptNextReplies(1);
    queue.clear();
    views.clear();
    ASSERT_EQ(run(imageOfSize(100)).status, TDownloadStatus::Success);
    EXPECT_TRUE(seen(views, "Connecting to the robot; reply: asked for again (2 of 11)"));
    EXPECT_TRUE(
        seen(views, "Announcing the program (100 bytes in 2 parts); header: sent again (2 of 11)"));
}

struct FinishCase {
    const char* name;
    TDownloadOutcome outcome;
    bool test;
    const char* text;
};

void PrintTo(const FinishCase& c, std::ostream* os) {
    *os << c.name;
}

TDownloadOutcome outcomeOf(TDownloadStatus status, TFailureCause cause, bool headerTaken = false,
                           std::size_t confirmed = 0) {
    TDownloadOutcome o;
    o.byteCount = 300;
    o.status = status;
    o.cause = cause;
    o.headerTaken = headerTaken;
    o.confirmedBytes = confirmed;
    return o;
}

class StageEnds : public ::testing::TestWithParam<FinishCase> {};

TEST_P(StageEnds, GiveTheLastWords) {
    TDownloadStages stages;
    if (GetParam().test)
        stages.startTest();
    else
        stages.start(300);
    stages.cancelling();
    stages.finish(GetParam().outcome, "ttyUSB0",
                  {files::Value("No robot answered on ttyUSB0."), files::Value("Check.")});
    EXPECT_EQ(stages.view().text.English(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Download, StageEnds,
    ::testing::Values(
        FinishCase{"Done", outcomeOf(TDownloadStatus::Success, TFailureCause::None), false,
                   "Done: the robot has the program (300 bytes)"},
        FinishCase{"RobotAnswered", outcomeOf(TDownloadStatus::Success, TFailureCause::None), true,
                   "A robot answered on ttyUSB0"},
        FinishCase{"CancelledEarly", outcomeOf(TDownloadStatus::Fail, TFailureCause::Cancelled),
                   false, "Cancelled: the robot keeps its previous program"},
        FinishCase{"CancelledLate",
                   outcomeOf(TDownloadStatus::Fail, TFailureCause::Cancelled, true, 128), false,
                   "Cancelled: the robot may now hold part of the new program (128 of 300 bytes) "
                   "instead of its previous one; download again before running it"},
        FinishCase{"Failed", outcomeOf(TDownloadStatus::Fail, TFailureCause::NoAnswer), false,
                   "No robot answered on ttyUSB0."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Stages, ACancelKeepsTheStageAndSaysSo) {
    TDownloadStages stages;
    stages.start(84);
    stages.step({Kind::HelloSent});
    stages.cancelling();
    EXPECT_EQ(shown(stages.view()), (Shown{"Connecting to the robot; cancelling", 1, 6}));
    stages.startTest();
    EXPECT_EQ(shown(stages.view()), (Shown{"Connecting to the robot", 0, 2}));
    EXPECT_EQ(PartsText(1), "1 part");
    EXPECT_EQ(PartsText(2), "2 parts");
}

} // namespace
} // namespace download
