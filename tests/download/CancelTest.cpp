#include "TestSupport.h"
#include "download/UDownloadDo.h"
#include "download/VirtualRobot.h"

#include <gtest/gtest.h>
#include <optional>
#include <thread>

namespace download {
namespace {

using namespace std::chrono_literals;
using test::stepsThrough;
using Kind = TDownloadStep::Kind;

Bytes imageOfSize(std::size_t size, int seed = 3) {
    Bytes image(size);
    for (std::size_t i = 0; i < size; ++i)
        image[i] = static_cast<std::uint8_t>(i * 7 + seed);
    return image;
}

// Bytes the computer writes for an image of 300 bytes (5 chunks): the hello
// is bytes 1 to 11, the accept of the hello reply 12, the header 13 to 88,
// the accept of the header reply 89, chunk 1 bytes 90 to 157, chunk 2 158 to 225.
constexpr int kHelloEnd = 11;
constexpr int kHeaderEnd = 88;
constexpr int kChunk1End = 157;
constexpr int kChunk2End = 225;

// The sequence against the in-process virtual robot, with a hook after each
// byte the computer writes: Cancel arrives at an exact point of the exchange.
class CancelTest : public ::testing::Test {
protected:
    CancelTest() {
        trigger.setReceiveHandler([this](std::span<const std::uint8_t> b) { queue.append(b); });
        trigger.setErrorHandler([this](const std::string& message) { queue.fail(message); });
        robotPort.open();
    }
    // Cancel as TDownloader::cancel does it, on the manual clock.
    void cancelNow() {
        cancelledAt = clock.now();
        queue.stop(clock.now() + kWindDown);
    }
    TSendResult send(const Bytes& image) {
        TSendReports reports;
        reports.step = [this](const TDownloadStep& step) { steps.push_back(step); };
        return RunSendSequence(link, clock, image, reports);
    }
    // A fresh download after the cancelled one: it must find the robot
    // between packets, so every packet goes through at the first attempt.
    void expectTheNextDownloadGoesThroughCleanly() {
        trigger.afterWrite = nullptr;
        queue.clear();
        const int rejectedBefore = robot().packetsRejected();
        const Bytes next = imageOfSize(84, 11);
        const TSendResult again = send(next);
        EXPECT_EQ(again.status, TDownloadStatus::Success) << again.reason;
        EXPECT_EQ(robot().packetsRejected(), rejectedBefore);
        EXPECT_EQ(robot().image(), next);
    }
    TVirtualRobot& robot() { return robotPort.robot(); }

    TVirtualRobotPort robotPort;
    test::TTriggerPort trigger{robotPort};
    TReceiveQueue queue;
    test::TManualClock clock;
    TPacketLink link{trigger, queue, clock, 1000ms};
    std::vector<TDownloadStep> steps;
    std::optional<TClock::time_point> cancelledAt;
};

struct CancelCase {
    const char* name;
    int afterByte;          // Cancel once the computer has written this many bytes
    TDownloadStep lastStep; // the last step reported
    bool headerTaken;       // the robot may hold part of the new program
    std::size_t confirmed;  // image bytes the robot took
    int refusedByRobot;     // packets the robot refused: the spoiled one
    const char* where;      // where the download stopped
};

void PrintTo(const CancelCase& c, std::ostream* os) {
    *os << c.name;
}

class CancelAtEachStage : public CancelTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(CancelAtEachStage, EndsBetweenTwoPacketsAndSaysWhatTheRobotHolds) {
    const CancelCase& c = GetParam();
    trigger.afterWrite = [&](int written) {
        if (written == c.afterByte)
            cancelNow();
    };
    const Bytes image = imageOfSize(300);
    const TSendResult result = send(image);
    ASSERT_TRUE(cancelledAt.has_value());
    EXPECT_EQ(result.status, TDownloadStatus::Fail);
    EXPECT_EQ(result.cause, TFailureCause::Cancelled);
    EXPECT_EQ(result.headerTaken, c.headerTaken);
    EXPECT_EQ(result.confirmedBytes, c.confirmed);
    EXPECT_EQ(result.where, c.where);
    EXPECT_EQ(result.reason, std::string("The download was cancelled during ") + c.where +
                                 ". The robot confirmed " + std::to_string(c.confirmed) +
                                 " of 300 bytes.");
    if (c.lastStep.kind == Kind::HelloSent && c.afterByte < kHelloEnd)
        EXPECT_TRUE(steps.empty());
    else
        EXPECT_EQ(steps, stepsThrough(c.lastStep));
    EXPECT_EQ(robot().packetsRejected(), c.refusedByRobot);
    EXPECT_EQ(robot().imagesReceived(), 0);
    // Within 200 ms of the click in the simulated time, a chunk's pause included.
    EXPECT_LE(clock.now() - *cancelledAt, 200ms);
    expectTheNextDownloadGoesThroughCleanly();
}

INSTANTIATE_TEST_SUITE_P(
    Download, CancelAtEachStage,
    ::testing::Values(
        // A packet half-way out is finished with a spoiled check byte: refused.
        CancelCase{"WhileTheHelloGoesOut", 5, {Kind::HelloSent}, false, 0, 1, "the hello packet"},
        // A whole packet's answer is read, and the reply it brings is answered.
        CancelCase{"WhenTheHelloIsOut",
                   kHelloEnd,
                   {Kind::HelloAnswered},
                   false,
                   0,
                   0,
                   "the header packet"},
        CancelCase{
            "WhileTheHeaderGoesOut", 40, {Kind::HelloAnswered}, false, 0, 1, "the header packet"},
        CancelCase{
            "WhenTheHeaderIsOut", kHeaderEnd, {Kind::HeaderAnswered}, true, 0, 0, "chunk 1 of 5"},
        CancelCase{
            "WhileTheFirstChunkGoesOut", 100, {Kind::HeaderAnswered}, true, 0, 1, "chunk 1 of 5"},
        CancelCase{"WhenTheFirstChunkIsOut",
                   kChunk1End,
                   {Kind::ChunkSent, 1, 5},
                   true,
                   64,
                   0,
                   "chunk 2 of 5"},
        CancelCase{"WhenTheSecondChunkIsOut",
                   kChunk2End,
                   {Kind::ChunkSent, 2, 5},
                   true,
                   128,
                   0,
                   "chunk 3 of 5"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CancelTest, ACancelDuringTheLastChunksAnswerStillEndsInSuccess) {
    // An image of one chunk: Cancel once it is out; the robot takes it.
    trigger.afterWrite = [&](int written) {
        if (written == kHeaderEnd + 1 + 1 + 20 + 3)
            cancelNow();
    };
    const Bytes image = imageOfSize(20);
    const TSendResult result = send(image);
    EXPECT_EQ(result.status, TDownloadStatus::Success) << result.reason;
    EXPECT_EQ(result.cause, TFailureCause::None);
    EXPECT_EQ(robot().image(), image);
}

TEST_F(CancelTest, ASilentRobotIsLeftWithinTheWindDown) {
    // Answers may take an hour: only Cancel can end the wait soon.
    TPacketLink patient{trigger, queue, clock, std::chrono::hours(1)};
    robot().setSilentAfterPackets(0);
    const TClock::time_point at = clock.now() + 3s;
    clock.schedule(at, [&] { cancelNow(); });
    const TSendResult result = RunSendSequence(patient, clock, imageOfSize(84), {});
    EXPECT_EQ(result.cause, TFailureCause::Cancelled);
    EXPECT_FALSE(result.headerTaken);
    EXPECT_EQ(result.where, "the hello packet");
    EXPECT_EQ(clock.now(), at + kWindDown);
    EXPECT_EQ(robot().receivedBytes().size(), 11u); // one hello, no attempt after the Cancel
}

TEST_F(CancelTest, ARobotRefusingAPacketGetsNoFurtherAttemptAfterTheCancel) {
    robot().rejectNextPackets(100, 3); // chunk 2 is refused again and again
    TSendReports reports;
    std::vector<TRetry> retries;
    reports.retry = [&](const TRetry& retry) {
        retries.push_back(retry);
        if (retry.attempt == 3)
            cancelNow();
    };
    const TSendResult result = RunSendSequence(link, clock, imageOfSize(300), reports);
    EXPECT_EQ(result.cause, TFailureCause::Cancelled);
    EXPECT_EQ(result.where, "chunk 2 of 5");
    // Attempts 1 and 2 refused; the third, announced as the Cancel came, never goes out.
    EXPECT_EQ(robot().packetsRejected(), 2);
    ASSERT_EQ(retries.size(), 2u);
    EXPECT_EQ(retries[0], (TRetry{TRetry::What::Chunk, 2, 5, 2, TPacketLink::Failure::Refused}));
    EXPECT_EQ(retries[1], (TRetry{TRetry::What::Chunk, 2, 5, 3, TPacketLink::Failure::Refused}));
    EXPECT_EQ(robot().acceptedPackets().size(), 3u); // hello, header, chunk 1
    robot().rejectNextPackets(0);
    expectTheNextDownloadGoesThroughCleanly();
}

// The robot answers 80 ms late: the header's accept and its reply still come
// within the wind-down and are answered, so the robot is not left waiting.
TEST(CancelOnASlowLine, TheAnswerAlreadyComingIsReadAndTheReplyAnswered) {
    test::TManualClock clock;
    test::TSlowRobotPort slow(clock, 80ms, 1ms);
    test::TTriggerPort trigger(slow);
    TReceiveQueue queue;
    trigger.setReceiveHandler([&](std::span<const std::uint8_t> b) { queue.append(b); });
    TPacketLink link(trigger, queue, clock, 1000ms);
    TClock::time_point cancelledAt{};
    trigger.afterWrite = [&](int written) {
        if (written == kHeaderEnd) {
            cancelledAt = clock.now();
            queue.stop(clock.now() + kWindDown);
        }
    };
    const TSendResult result = RunSendSequence(link, clock, imageOfSize(300), {});
    EXPECT_EQ(result.cause, TFailureCause::Cancelled);
    EXPECT_TRUE(result.headerTaken);
    EXPECT_EQ(result.where, "chunk 1 of 5");
    // The header reply was answered with 90 and nothing followed it.
    EXPECT_EQ(trigger.written, kHeaderEnd + 1);
    EXPECT_EQ(slow.robot().receivedBytes().back(), kAccept);
    EXPECT_LE(clock.now() - cancelledAt, 200ms);
}

// A robot that would answer after the wind-down: the computer stops waiting,
// and since the robot may have taken the header, says so.
TEST(CancelOnASlowLine, AnAnswerTooLateForTheWindDownLeavesTheHeaderInDoubt) {
    test::TManualClock clock;
    test::TSlowRobotPort slow(clock, 400ms, 1ms);
    test::TTriggerPort trigger(slow);
    TReceiveQueue queue;
    trigger.setReceiveHandler([&](std::span<const std::uint8_t> b) { queue.append(b); });
    TPacketLink link(trigger, queue, clock, 1000ms);
    TClock::time_point cancelledAt{};
    trigger.afterWrite = [&](int written) {
        if (written == kHeaderEnd) {
            cancelledAt = clock.now();
            queue.stop(clock.now() + kWindDown);
        }
    };
    const TSendResult result = RunSendSequence(link, clock, imageOfSize(300), {});
    EXPECT_EQ(result.cause, TFailureCause::Cancelled);
    EXPECT_TRUE(result.headerTaken);
    EXPECT_EQ(result.where, "the header packet");
    EXPECT_EQ(clock.now() - cancelledAt, kWindDown);
}

TEST(CancelOnAQueue, ShortensAWaitAlreadyRunningAndClearForgetsIt) {
    TReceiveQueue queue;
    test::TManualClock clock;
    std::uint8_t byte = 0;
    clock.schedule(clock.now() + 2s, [&] { queue.stop(clock.now() + 100ms); });
    EXPECT_EQ(queue.take(byte, clock, clock.now() + 1h), TReceiveQueue::Take::Stopped);
    EXPECT_EQ(clock.elapsed(), 2100ms);
    EXPECT_TRUE(queue.stopRequested());
    // Bytes still come out during a stop; a wait shorter than the wind-down times out as usual.
    queue.append(test::bytesOf({0x5A}));
    EXPECT_EQ(queue.take(byte, clock, clock.now() + 1h), TReceiveQueue::Take::Byte);
    queue.clear();
    EXPECT_FALSE(queue.stopRequested());
    EXPECT_EQ(queue.take(byte, clock, clock.now() + 1s), TReceiveQueue::Take::TimedOut);
    // A second request cannot lengthen the wind-down of the first.
    queue.stop(clock.now() + 100ms);
    queue.stop(clock.now() + 10s);
    const auto before = clock.now();
    EXPECT_EQ(queue.take(byte, clock, clock.now() + 1h), TReceiveQueue::Take::Stopped);
    EXPECT_EQ(clock.now() - before, 100ms);
}

// Waits (boundedly) until the robot has received the whole hello packet.
bool helloArrived(const TVirtualRobot& robot) {
    for (int i = 0; i < 10000 && robot.receivedBytes().size() < 11; ++i)
        std::this_thread::sleep_for(1ms);
    return robot.receivedBytes().size() >= 11;
}

// The downloader's Cancel on real threads and the real clock: the worker
// waits for a silent robot with an hour's time limit, and Cancel ends it.
TEST(DownloaderCancel, EndsAWaitingWorkerAsCancelledKeepingTheTraceAsItWas) {
    TVirtualRobotPort port;
    port.open();
    port.robot().setSilentAfterPackets(0);
    test::TTaskQueue tasks;
    std::vector<TDownloadOutcome> outcomes;
    TDownloader downloader(port, [&](std::function<void()> task) { tasks.post(std::move(task)); });
    downloader.setAnswerTimeout(std::chrono::hours(1));
    downloader.setHandlers({{}, {}, [&](const TDownloadOutcome& o) { outcomes.push_back(o); }});
    downloader.cancel(); // nothing runs: nothing happens
    EXPECT_FALSE(downloader.cancelRequested());
    ASSERT_TRUE(downloader.SendImage(imageOfSize(84)).started);
    ASSERT_TRUE(helloArrived(port.robot()));
    downloader.cancel();
    EXPECT_TRUE(downloader.cancelRequested());
    for (int i = 0; i < 20000 && downloader.busy(); ++i) {
        if (tasks.drain() == 0)
            std::this_thread::sleep_for(1ms);
    }
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_TRUE(outcomes[0].cancelled());
    EXPECT_EQ(outcomes[0].message, "84 bytes data send fail");
    EXPECT_FALSE(outcomes[0].headerTaken);
    EXPECT_TRUE(downloader.traceList().empty());
    EXPECT_EQ(downloader.status(), TDownloadStatus::Fail);
    EXPECT_TRUE(port.isOpen()); // Cancel leaves the port as it was
    // The next download starts afresh and gets through.
    port.robot().setSilentAfterPackets(-1);
    downloader.setAnswerTimeout(1s);
    ASSERT_TRUE(downloader.SendImage(imageOfSize(84)).started);
    for (int i = 0; i < 20000 && downloader.busy(); ++i) {
        if (tasks.drain() == 0)
            std::this_thread::sleep_for(1ms);
    }
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_EQ(outcomes[1].message, "84 bytes data send success") << outcomes[1].reason;
    EXPECT_FALSE(downloader.cancelRequested());
}

} // namespace
} // namespace download
