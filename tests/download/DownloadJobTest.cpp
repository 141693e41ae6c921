#include "download/DownloadJob.h"

#include "TestSupport.h"
#include "download/VirtualRobot.h"

#include <gtest/gtest.h>
#include <map>
#include <thread>

namespace download {
namespace {

using namespace std::chrono_literals;
using Result = TDownloadJob::TResult;

Bytes imageOfSize(std::size_t size, int seed = 1) {
    Bytes image(size);
    for (std::size_t i = 0; i < size; ++i)
        image[i] = static_cast<std::uint8_t>(i * 11 + seed);
    return image;
}

// A port that never opens, for the reasons the system gives.
class TRefusingPort final : public TSerialPortInterface {
public:
    explicit TRefusingPort(TOpenFailure failure, std::string name = "/dev/ttyUSB7")
        : m_failure(std::move(failure)), m_name(std::move(name)) {}
    bool open() override {
        ++opens;
        return false;
    }
    void close() override {}
    bool isOpen() const override { return false; }
    std::string portName() const override { return m_name; }
    std::string errorString() const override { return m_failure.message; }
    TOpenFailure openFailure() const override { return m_failure; }
    void discardBuffers() override {}
    bool writeByte(std::uint8_t) override { return false; }
    void setReceiveHandler(ReceiveHandler) override {}
    void setErrorHandler(ErrorHandler) override {}

    int opens = 0;

private:
    TOpenFailure m_failure;
    std::string m_name;
};

// A job over the in-process virtual robot, its reports delivered through a
// task queue as the owner's event loop would.
class DownloadJobTest : public ::testing::Test {
protected:
    DownloadJobTest() {
        job.setProgramMemory(&memory);
        job.setHandlers({[this](const TStageView& view) { stages.push_back(view); },
                         [this](const TDownloadStep& step) { steps.push_back(step); },
                         [this](const Result& result) { results.push_back(result); }});
    }
    void runUntilDone() {
        for (int i = 0; i < 20000 && job.busy(); ++i) {
            if (tasks.drain() == 0)
                std::this_thread::sleep_for(1ms);
        }
        ASSERT_FALSE(job.busy());
        tasks.drain();
    }

    TVirtualRobotPort port;
    test::TManualClock clock;
    test::TTaskQueue tasks;
    TProgramMemory memory;
    TDownloadJob job{port, [this](std::function<void()> t) { tasks.post(std::move(t)); }, clock};
    std::vector<TStageView> stages;
    std::vector<TDownloadStep> steps;
    std::vector<Result> results;
};

TEST_F(DownloadJobTest, OpensAClosedPortSendsAndClosesItAgain) {
    ASSERT_FALSE(port.isOpen());
    const Bytes image = imageOfSize(84);
    ASSERT_TRUE(job.start(image).started);
    EXPECT_TRUE(port.isOpen());
    ASSERT_FALSE(stages.empty());
    EXPECT_EQ(stages.front().text.English(), "Connecting to the robot");
    runUntilDone();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_TRUE(results[0].success());
    EXPECT_EQ(results[0].outcome.message, "84 bytes data send success");
    EXPECT_EQ(results[0].text.English(), "Done: the robot has the program (84 bytes)");
    EXPECT_EQ(results[0].report.headline.English(), "");
    EXPECT_EQ(results[0].port, "Virtual robot");
    EXPECT_EQ(stages.back().text.English(), "Done: the robot has the program (84 bytes)");
    EXPECT_EQ(stages.back().value, 6);
    EXPECT_EQ(stages.back().maximum, 6);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.robot().image(), image);
    EXPECT_EQ(job.downloader().traceList(),
              (std::vector<std::string>{"1", "2", "3", "4", "5:1", "5:2"}));
    EXPECT_EQ(memory.statusText("Virtual robot", image),
              "The robot on Virtual robot has this program");
    EXPECT_EQ(memory.statusText("Virtual robot", imageOfSize(84, 2)),
              "The robot on Virtual robot has an older version of this program");
}

TEST_F(DownloadJobTest, LeavesAPortTheUserOpenedOpen) {
    port.open();
    ASSERT_TRUE(job.start(imageOfSize(10)).started);
    runUntilDone();
    EXPECT_TRUE(results.at(0).success());
    EXPECT_TRUE(port.isOpen());
}

TEST_F(DownloadJobTest, AFailureIsDescribedAndThePortClosedAgain) {
    port.robot().hangUpAfterChunks(1);
    const Bytes image = imageOfSize(300);
    memory.remember("Virtual robot", imageOfSize(50)); // what the robot had before
    ASSERT_TRUE(job.start(image).started);
    runUntilDone();
    ASSERT_EQ(results.size(), 1u);
    const Result& r = results[0];
    EXPECT_FALSE(r.success());
    EXPECT_EQ(r.outcome.message, "300 bytes data send fail");
    EXPECT_EQ(r.outcome.cause, TFailureCause::PortLost);
    EXPECT_EQ(r.report.headline.English(),
              "The connection to the robot on Virtual robot was lost during chunk 2 of 5.");
    EXPECT_NE(r.report.remedy.English().find("plug it in again"), std::string::npos)
        << r.report.remedy;
    EXPECT_NE(r.report.remedy.English().find("(64 of 300 bytes)"), std::string::npos)
        << r.report.remedy;
    EXPECT_EQ(r.text, r.report.headline);
    // The robot holds part of the new program: what it had is no longer known.
    EXPECT_EQ(memory.compare("Virtual robot", imageOfSize(50)), TProgramMemory::Match::Unknown);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(DownloadJobTest, TestConnectionExchangesTheHelloAlone) {
    ASSERT_TRUE(job.testConnection().started);
    runUntilDone();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_TRUE(results[0].success());
    EXPECT_TRUE(results[0].outcome.helloOnly);
    EXPECT_EQ(results[0].text.English(), "A robot answered on Virtual robot");
    EXPECT_EQ(port.robot().acceptedPackets().size(), 1u); // the hello, no header
    EXPECT_TRUE(job.downloader().traceList().empty());
    EXPECT_EQ(job.downloader().status(), std::nullopt);
    EXPECT_TRUE(memory.empty());
    EXPECT_FALSE(port.isOpen());

    port.robot().setSilentAfterPackets(0);
    ASSERT_TRUE(job.testConnection().started);
    runUntilDone();
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[1].outcome.cause, TFailureCause::NoAnswer);
    EXPECT_EQ(results[1].text.English(), "No robot answered on Virtual robot.");
}

// On the real clock: the worker waits an hour for a silent robot, and Cancel ends it.
TEST(DownloadJobCancel, SaysTheRobotKeepsItsProgramAndClosesThePort) {
    TVirtualRobotPort port;
    port.robot().setSilentAfterPackets(0);
    test::TTaskQueue tasks;
    TDownloadJob job(port, [&](std::function<void()> t) { tasks.post(std::move(t)); });
    job.setAnswerTimeout(std::chrono::hours(1));
    std::vector<TStageView> stages;
    std::vector<Result> results;
    job.setHandlers({[&](const TStageView& view) { stages.push_back(view); },
                     {},
                     [&](const Result& result) { results.push_back(result); }});
    ASSERT_TRUE(job.start(imageOfSize(84)).started);
    for (int i = 0; i < 10000 && port.robot().receivedBytes().size() < 11; ++i)
        std::this_thread::sleep_for(1ms);
    job.cancel();
    EXPECT_EQ(stages.back().text.English(), "Connecting to the robot; cancelling");
    for (int i = 0; i < 20000 && job.busy(); ++i) {
        if (tasks.drain() == 0)
            std::this_thread::sleep_for(1ms);
    }
    ASSERT_EQ(results.size(), 1u);
    EXPECT_TRUE(results[0].outcome.cancelled());
    EXPECT_EQ(results[0].text.English(), "Cancelled: the robot keeps its previous program");
    EXPECT_EQ(results[0].report.remedy.English(), "");
    EXPECT_FALSE(port.isOpen());
}

struct OpenCase {
    const char* name;
    TOpenFailure failure;
    TFailureCause cause;
    const char* headline;
};

void PrintTo(const OpenCase& c, std::ostream* os) {
    *os << c.name;
}

class PortsThatWillNotOpen : public ::testing::TestWithParam<OpenCase> {};

TEST_P(PortsThatWillNotOpen, AreToldWithTheirCauseAndNothingIsSent) {
    TRefusingPort port(GetParam().failure);
    test::TTaskQueue tasks;
    TDownloadJob job(port, [&](std::function<void()> t) { tasks.post(std::move(t)); });
    bool finished = false;
    job.setHandlers({{}, {}, [&](const Result&) { finished = true; }});
    const TStartResult start = job.start(imageOfSize(84));
    EXPECT_FALSE(start.started);
    EXPECT_EQ(start.error, GetParam().headline);
    EXPECT_EQ(job.lastResult().outcome.cause, GetParam().cause);
    EXPECT_FALSE(job.lastResult().opened);
    EXPECT_EQ(job.lastResult().outcome.message, "84 bytes data send fail");
    EXPECT_FALSE(job.lastResult().report.remedy.empty());
    EXPECT_EQ(port.opens, 1);
    tasks.drain();
    EXPECT_FALSE(finished);
    EXPECT_FALSE(job.busy());
}

INSTANTIATE_TEST_SUITE_P(
    Download, PortsThatWillNotOpen,
    ::testing::Values(OpenCase{"NotFound",
                               {TOpenProblem::NotFound, "No such file or directory"},
                               TFailureCause::PortNotFound,
                               "There is no port ttyUSB7 (any more)."},
                      OpenCase{"Busy",
                               {TOpenProblem::Busy, "locked", "minicom, process 812"},
                               TFailureCause::PortBusy,
                               "ttyUSB7 is in use by another program (minicom, process 812)."},
                      OpenCase{"NoPermission",
                               {TOpenProblem::NoPermission, "Permission denied", "", "", "dialout",
                                "pupil"},
                               TFailureCause::NoPermission,
                               "You may not use ttyUSB7."},
                      OpenCase{"Other",
                               {TOpenProblem::Other, "Input/output error"},
                               TFailureCause::PortNotOpen,
                               "ttyUSB7 cannot be opened: Input/output error."}),
    [](const auto& info) { return std::string(info.param.name); });

// Several robots at once on the real clock, each with its worker; one of
// them silent, one whose port will not open.
TEST(MultiDownload, EveryRobotFinishesWithItsOwnResultAndTheCountComesLast) {
    TVirtualRobotPort a, b, silent;
    silent.robot().setSilentAfterPackets(0);
    TRefusingPort busy({TOpenProblem::Busy, "locked", "minicom, process 812"});
    test::TTaskQueue tasks;
    TProgramMemory memory;
    TMultiDownload multi([&](std::function<void()> t) { tasks.post(std::move(t)); });
    for (TSerialPortInterface* port :
         std::initializer_list<TSerialPortInterface*>{&a, &silent, &busy, &b})
        multi.addRobot(*port);
    multi.setAnswerTimeout(20ms);
    multi.setProgramMemory(&memory);
    std::vector<std::pair<std::size_t, Result>> finished;
    std::map<std::size_t, std::vector<std::string>> stageTexts;
    std::optional<std::pair<std::size_t, std::size_t>> all;
    multi.setHandlers({[&](std::size_t robot, const TStageView& v) {
                           stageTexts[robot].push_back(v.text.English());
                       },
                       [&](std::size_t robot, const Result& r) {
                           EXPECT_FALSE(all.has_value()); // the count comes after every robot
                           finished.emplace_back(robot, r);
                       },
                       [&](std::size_t ok, std::size_t robots) { all.emplace(ok, robots); }});
    const Bytes image = imageOfSize(300);
    ASSERT_TRUE(multi.start(image));
    EXPECT_FALSE(multi.start(image)); // one run at a time
    for (int i = 0; i < 20000 && multi.busy(); ++i) {
        if (tasks.drain() == 0)
            std::this_thread::sleep_for(1ms);
    }
    ASSERT_FALSE(multi.busy());
    ASSERT_EQ(finished.size(), 4u);
    ASSERT_TRUE(all.has_value());
    EXPECT_EQ(*all, std::make_pair(std::size_t{2}, std::size_t{4}));
    std::map<std::size_t, Result> byRobot(finished.begin(), finished.end());
    EXPECT_TRUE(byRobot.at(0).success());
    EXPECT_TRUE(byRobot.at(3).success());
    EXPECT_EQ(byRobot.at(1).outcome.cause, TFailureCause::NoAnswer);
    EXPECT_EQ(byRobot.at(2).outcome.cause, TFailureCause::PortBusy);
    EXPECT_FALSE(byRobot.at(2).opened);
    EXPECT_EQ(a.robot().image(), image);
    EXPECT_EQ(b.robot().image(), image);
    EXPECT_EQ(silent.robot().imagesReceived(), 0);
    EXPECT_EQ(stageTexts[0].back(), "Done: the robot has the program (300 bytes)");
    EXPECT_EQ(stageTexts[1].back(), "No robot answered on Virtual robot.");
    EXPECT_EQ(multi.result(1)->text.English(), "No robot answered on Virtual robot.");
    // Every port the run opened is closed again.
    EXPECT_FALSE(a.isOpen());
    EXPECT_FALSE(silent.isOpen());
}

TEST(MultiDownload, CancelStopsEveryRobot) {
    TVirtualRobotPort a, b;
    a.robot().setSilentAfterPackets(0);
    b.robot().setSilentAfterPackets(0);
    test::TTaskQueue tasks;
    TMultiDownload multi([&](std::function<void()> t) { tasks.post(std::move(t)); });
    multi.addRobot(a);
    multi.addRobot(b);
    multi.setAnswerTimeout(std::chrono::hours(1));
    std::size_t cancelled = 0;
    multi.setHandlers(
        {{}, [&](std::size_t, const Result& r) { cancelled += r.outcome.cancelled(); }, {}});
    ASSERT_TRUE(multi.start(imageOfSize(84)));
    for (int i = 0; i < 10000 && (a.robot().receivedBytes().size() < 11 ||
                                  b.robot().receivedBytes().size() < 11);
         ++i)
        std::this_thread::sleep_for(1ms);
    multi.cancel();
    for (int i = 0; i < 20000 && multi.busy(); ++i) {
        if (tasks.drain() == 0)
            std::this_thread::sleep_for(1ms);
    }
    EXPECT_FALSE(multi.busy());
    EXPECT_EQ(cancelled, 2u);
}

} // namespace
} // namespace download
