#include "../support/FixtureBytes.h"
#include "TestSupport.h"
#include "download/UDownloadDo.h"
#include "download/VirtualRobot.h"
#include "files/Files.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace download {
namespace {

using namespace std::chrono_literals;
using test::bytesOf;
using test::stepsThrough;
using test::traceLinesOf;
using Kind = TDownloadStep::Kind;
constexpr TDownloadStatus kSuccess = TDownloadStatus::Success;
constexpr TDownloadStatus kFail = TDownloadStatus::Fail;

Bytes imageOfSize(std::size_t size) {
    Bytes image(size);
    for (std::size_t i = 0; i < size; ++i)
        image[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return image;
}

std::vector<std::string> hostileListing(const std::string& name) {
    const Bytes bytes = testsupport::fileBytes(std::string(ZOLVANE_FIXTURES) + "/hostile/" + name);
    return files::SplitLines(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string hexOf(const Bytes& bytes) {
    std::string text;
    char piece[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(piece, sizeof piece, "%02X ", b);
        text += piece;
    }
    if (!text.empty())
        text.pop_back();
    return text;
}

struct TraceLineCase {
    const char* name;
    TDownloadStep step;
    const char* line;
};

class TraceLines : public ::testing::TestWithParam<TraceLineCase> {};

TEST_P(TraceLines, EachStepWritesItsLineOfTheTraceList) {
    EXPECT_EQ(TraceLine(GetParam().step), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Download, TraceLines,
    ::testing::Values(TraceLineCase{"HelloSent", {Kind::HelloSent}, "1"},
                      TraceLineCase{"HelloAnswered", {Kind::HelloAnswered}, "2"},
                      TraceLineCase{"HeaderSent", {Kind::HeaderSent}, "3"},
                      TraceLineCase{"HeaderAnswered", {Kind::HeaderAnswered}, "4"},
                      TraceLineCase{"FirstChunkOfTwo", {Kind::ChunkSent, 1, 2}, "5:1"},
                      TraceLineCase{"LastChunkOfTwo", {Kind::ChunkSent, 2, 2}, "5:2"},
                      TraceLineCase{"TenthChunkOfMany", {Kind::ChunkSent, 10, 1024}, "5:10"},
                      TraceLineCase{
                          "LastOfTheLargestImage", {Kind::ChunkSent, 1024, 1024}, "5:1024"}),
    [](const auto& info) { return std::string(info.param.name); });

struct CompletionCase {
    std::size_t byteCount;
    TDownloadStatus status;
    const char* message;
};

class CompletionMessages : public ::testing::TestWithParam<CompletionCase> {};

TEST_P(CompletionMessages, SayTheByteCountAndSuccessOrFail) {
    EXPECT_EQ(CompletionMessage(GetParam().byteCount, GetParam().status), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Download, CompletionMessages,
    ::testing::Values(CompletionCase{84, kSuccess, "84 bytes data send success"},
                      CompletionCase{84, kFail, "84 bytes data send fail"},
                      CompletionCase{0, kSuccess, "0 bytes data send success"},
                      CompletionCase{65535, kFail, "65535 bytes data send fail"}));

// The sequence run on the test's thread against the in-process virtual robot.
class SequenceTest : public ::testing::Test {
protected:
    SequenceTest() {
        port.setReceiveHandler([this](std::span<const std::uint8_t> b) { queue.append(b); });
        port.setErrorHandler([this](const std::string& message) { queue.fail(message); });
        port.open();
    }
    TSendResult send(const Bytes& image) {
        TSendReports reports;
        reports.step = [this](const TDownloadStep& step) { steps.push_back(step); };
        reports.progress = [this](int sent, int total) { progress.emplace_back(sent, total); };
        return RunSendSequence(link, clock, image, reports);
    }
    TVirtualRobot& robot() { return port.robot(); }

    TVirtualRobotPort port;
    TReceiveQueue queue;
    test::TManualClock clock;
    TPacketLink link{port, queue, clock, 1000ms};
    std::vector<TDownloadStep> steps;
    std::vector<std::pair<int, int>> progress;
};

TEST_F(SequenceTest, SendsTheHelloAndHeaderBytesOfAnEightyFourByteImage) {
    const Bytes image =
        testsupport::fileBytes(std::string(ZOLVANE_FIXTURES) + "/download/example/image.bin");
    ASSERT_FALSE(image.empty());
    const TSendResult result = send(image);
    EXPECT_EQ(result.status, kSuccess) << result.reason;
    const Bytes wire = robot().receivedBytes();
    EXPECT_EQ(hexOf(Bytes(wire.begin(), wire.begin() + 11)), "07 00 54 43 E8 03 00 FA 7C 02 06");
    EXPECT_EQ(wire[11], kAccept); // the computer takes the hello reply
    Bytes header{0x48, 0x54, 0x00};
    for (int i = 2; i < 72; ++i)
        header.push_back(static_cast<std::uint8_t>(i));
    header.insert(header.end(), {0x4F, 0x0A, 0x55});
    EXPECT_EQ(Bytes(wire.begin() + 12, wire.begin() + 12 + 76), header);
    EXPECT_EQ(robot().image(), image);
    EXPECT_EQ(steps, (std::vector<TDownloadStep>{{Kind::HelloSent},
                                                 {Kind::HelloAnswered},
                                                 {Kind::HeaderSent},
                                                 {Kind::HeaderAnswered},
                                                 {Kind::ChunkSent, 1, 2},
                                                 {Kind::ChunkSent, 2, 2}}));
    EXPECT_EQ(traceLinesOf(steps), (std::vector<std::string>{"1", "2", "3", "4", "5:1", "5:2"}));
    EXPECT_EQ(CompletionMessage(image.size(), result.status), "84 bytes data send success");
}

struct SizeCase {
    std::size_t size;
    std::vector<int> chunkSizes;
};

class ImageSizes : public SequenceTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(ImageSizes, AreCutIntoChunksOf64WithAPauseAfterEach) {
    const Bytes image = imageOfSize(GetParam().size);
    const TSendResult result = send(image);
    ASSERT_EQ(result.status, kSuccess) << result.reason;
    const std::vector<Bytes> packets = robot().acceptedPackets();
    ASSERT_EQ(packets.size(), 2 + GetParam().chunkSizes.size());
    EXPECT_EQ(packets[1][0], GetParam().size % 256);
    EXPECT_EQ(packets[1][1], GetParam().size / 256);
    const int chunks = static_cast<int>(packets.size()) - 2;
    std::vector<int> sizes;
    std::vector<TDownloadStep> expectedSteps{
        {Kind::HelloSent}, {Kind::HelloAnswered}, {Kind::HeaderSent}, {Kind::HeaderAnswered}};
    for (std::size_t k = 2; k < packets.size(); ++k) {
        sizes.push_back(static_cast<int>(packets[k].size()));
        expectedSteps.push_back({Kind::ChunkSent, static_cast<int>(k) - 1, chunks});
    }
    EXPECT_EQ(sizes, GetParam().chunkSizes);
    EXPECT_EQ(steps, expectedSteps);
    EXPECT_EQ(clock.pauses(), std::vector<std::chrono::milliseconds>(sizes.size(), 50ms));
    EXPECT_EQ(robot().image(), image);
    EXPECT_EQ(robot().imagesReceived(), 1);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front(), std::make_pair(0, chunks));
    EXPECT_EQ(progress.back(), std::make_pair(chunks, chunks));
}

INSTANTIATE_TEST_SUITE_P(Download, ImageSizes,
                         ::testing::Values(SizeCase{0, {}}, SizeCase{1, {1}}, SizeCase{3, {3}},
                                           SizeCase{64, {64}}, SizeCase{84, {64, 20}},
                                           SizeCase{128, {64, 64}}, SizeCase{129, {64, 64, 1}},
                                           SizeCase{300, {64, 64, 64, 64, 44}},
                                           SizeCase{65535, [] {
                                                        std::vector<int> sizes(1023, 64);
                                                        sizes.push_back(63);
                                                        return sizes;
                                                    }()}));

TEST_F(SequenceTest, HeaderOfThreeHundredBytesStarts2C01) {
    ASSERT_EQ(send(imageOfSize(300)).status, kSuccess);
    const Bytes wire = robot().receivedBytes();
    EXPECT_EQ(hexOf(Bytes(wire.begin() + 12, wire.begin() + 15)), "48 2C 01");
}

TEST_F(SequenceTest, RejectedPacketsAreSentAgainUntilTaken) {
    robot().rejectNextPackets(10); // hello refused ten times, the eleventh goes through
    const TSendResult result = send(imageOfSize(84));
    EXPECT_EQ(result.status, kSuccess) << result.reason;
    EXPECT_EQ(robot().packetsRejected(), 10);
    const Bytes wire = robot().receivedBytes();
    const Bytes hello = bytesOf({0x07, 0x00, 0x54, 0x43, 0xE8, 0x03, 0x00, 0xFA, 0x7C, 0x02, 0x06});
    for (std::size_t i = 0; i < 11; ++i)
        EXPECT_EQ(Bytes(wire.begin() + 11 * i, wire.begin() + 11 * (i + 1)), hello) << i;
    EXPECT_EQ(robot().image(), imageOfSize(84));
}

TEST_F(SequenceTest, ADamagedReplyIsRejectedAndAFreshOneRead) {
    robot().corruptNextReplies(2);
    const TSendResult result = send(imageOfSize(84));
    EXPECT_EQ(result.status, kSuccess) << result.reason;
    const Bytes wire = robot().receivedBytes();
    // After the hello: two rejects for the damaged hello replies, then the accept.
    EXPECT_EQ(Bytes(wire.begin() + 11, wire.begin() + 14), bytesOf({kReject, kReject, kAccept}));
    EXPECT_EQ(robot().repliesSent(), 4);
    EXPECT_EQ(steps, stepsThrough({Kind::ChunkSent, 2, 2}));
}

struct FaultCase {
    const char* name;
    std::function<void(TVirtualRobot&)> arrange;
    std::size_t imageSize;
    std::vector<TDownloadStep> steps; // the steps reported
    const char* reasonPart;           // part of the failure reason
    std::chrono::milliseconds time;   // simulated time the download took, pauses included
    std::size_t confirmed;            // the image bytes the robot took
};

class RobotFaults : public SequenceTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(RobotFaults, EndTheDownloadAsAFailInBoundedTime) {
    GetParam().arrange(robot());
    const TSendResult result = send(imageOfSize(GetParam().imageSize));
    EXPECT_EQ(result.status, kFail);
    EXPECT_EQ(steps, GetParam().steps);
    EXPECT_NE(result.reason.find(GetParam().reasonPart), std::string::npos) << result.reason;
    EXPECT_EQ(clock.elapsed(), GetParam().time);
    EXPECT_EQ(robot().imagesReceived(), 0);
    EXPECT_EQ(CompletionMessage(GetParam().imageSize, result.status),
              std::to_string(GetParam().imageSize) + " bytes data send fail");
    // The reason ends with what the robot took, however little.
    EXPECT_EQ(result.confirmedBytes, GetParam().confirmed);
    const std::string confirmed = " The robot confirmed " + std::to_string(GetParam().confirmed) +
                                  " of " + std::to_string(GetParam().imageSize) + " bytes.";
    EXPECT_TRUE(result.reason.ends_with(confirmed)) << result.reason;
}

INSTANTIATE_TEST_SUITE_P(
    Download, RobotFaults,
    ::testing::Values(
        FaultCase{"HelloRefused11Times",
                  [](TVirtualRobot& r) { r.rejectNextPackets(11); },
                  84,
                  {},
                  "did not accept the hello packet in 11 attempts (last: the robot refused it)",
                  0ms,
                  0},
        FaultCase{"HeaderRefused11Times", [](TVirtualRobot& r) { r.rejectNextPackets(11, 1); }, 84,
                  stepsThrough({Kind::HelloAnswered}),
                  "did not accept the header packet in 11 attempts", 0ms, 0},
        FaultCase{"SecondChunkRefused11Times", [](TVirtualRobot& r) { r.rejectNextPackets(11, 3); },
                  300, stepsThrough({Kind::ChunkSent, 1, 5}),
                  "did not accept chunk 2 of 5 in 11 attempts", 50ms, 64},
        FaultCase{"HelloReplyAlwaysDamaged", [](TVirtualRobot& r) { r.corruptNextReplies(11); }, 84,
                  stepsThrough({Kind::HelloSent}), "No intact hello reply arrived in 11 attempts",
                  0ms, 0},
        FaultCase{"HeaderReplyAA55", [](TVirtualRobot& r) { r.setHeaderReply(0xAA, 0x55); }, 84,
                  stepsThrough({Kind::HeaderAnswered}), "header reply began AA 55 instead of AA AA",
                  0ms, 0},
        FaultCase{"SilentRobot",
                  [](TVirtualRobot& r) { r.setSilentAfterPackets(0); },
                  84,
                  {},
                  "hello packet in 11 attempts (last: no answer within 1000 ms)",
                  11000ms,
                  0},
        FaultCase{"SilentAfterTheHeader", [](TVirtualRobot& r) { r.setSilentAfterPackets(2); }, 84,
                  stepsThrough({Kind::HeaderAnswered}),
                  "chunk 1 of 2 in 11 attempts (last: no answer", 11000ms, 0},
        FaultCase{"SilentMidWay", [](TVirtualRobot& r) { r.setSilentAfterPackets(4); }, 300,
                  stepsThrough({Kind::ChunkSent, 2, 5}), "chunk 3 of 5", 11100ms, 128},
        FaultCase{"HangUpMidWay", [](TVirtualRobot& r) { r.hangUpAfterChunks(2); }, 300,
                  stepsThrough({Kind::ChunkSent, 2, 5}),
                  "connection to the robot was lost during chunk 3 of 5: the virtual robot hung up",
                  100ms, 128}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SequenceTest, ARefusedChunkIsSentAgainAndTheImageArrivesWhole) {
    robot().rejectNextPackets(10, 3); // the second chunk is refused ten times
    const Bytes image = imageOfSize(300);
    const TSendResult result = send(image);
    EXPECT_EQ(result.status, kSuccess) << result.reason;
    EXPECT_EQ(robot().packetsRejected(), 10);
    EXPECT_EQ(robot().image(), image);
    EXPECT_EQ(steps, stepsThrough({Kind::ChunkSent, 5, 5}));
}

TEST_F(SequenceTest, AChunkRefused11TimesStopsTheLaterChunks) {
    robot().rejectNextPackets(11, 3);
    ASSERT_EQ(send(imageOfSize(300)).status, kFail);
    EXPECT_EQ(robot().acceptedPackets().size(), 3u); // hello, header, chunk 1
    EXPECT_EQ(robot().packetsRejected(), 11);
    // Nothing followed the eleventh copy of chunk 2 (64 data bytes + 4).
    EXPECT_EQ(robot().receivedBytes().size(), 11u + 1 + 76 + 1 + 68 + 11 * 68);
}

TEST_F(SequenceTest, AnImageTooLargeForTheHeaderIsRefusedBeforeAnythingIsSent) {
    const TSendResult result = send(imageOfSize(65536));
    EXPECT_EQ(result.status, kFail);
    EXPECT_NE(result.reason.find("65536 bytes"), std::string::npos) << result.reason;
    EXPECT_NE(result.reason.find("at most 65535 bytes"), std::string::npos) << result.reason;
    EXPECT_TRUE(robot().receivedBytes().empty());
    EXPECT_TRUE(steps.empty());
}

TEST_F(SequenceTest, AClosedPortFailsAtOnce) {
    port.close();
    const TSendResult result = send(imageOfSize(84));
    EXPECT_EQ(result.status, kFail);
    EXPECT_NE(result.reason.find("lost during the hello packet: the port Virtual robot was closed"),
              std::string::npos)
        << result.reason;
    EXPECT_EQ(clock.elapsed(), 0ms);
}

TEST_F(SequenceTest, ASecondDownloadStartsAgainFromTheHello) {
    robot().hangUpAfterChunks(1);
    EXPECT_EQ(send(imageOfSize(300)).status, kFail);
    robot().hangUpAfterChunks(-1);
    port.open(); // the cable is back
    queue.clear();
    steps.clear();
    EXPECT_EQ(send(imageOfSize(84)).status, kSuccess);
    EXPECT_EQ(steps, stepsThrough({Kind::ChunkSent, 2, 2}));
    EXPECT_EQ(robot().image(), imageOfSize(84));
}

struct AllowanceCase {
    std::size_t imageLength;
    std::chrono::milliseconds answerTimeout;
    std::chrono::microseconds allowance;
};

class DownloadAllowances : public ::testing::TestWithParam<AllowanceCase> {};

// 30 s + 11 answer time limits + 4 * (50 ms a chunk + the line time of
// 611 + image + 5 a chunk bytes at 10 bits a byte and 115200 baud).
TEST_P(DownloadAllowances, GrowWithTheImageAndTheAnswerTimeLimit) {
    EXPECT_EQ(DownloadAllowance(GetParam().imageLength, GetParam().answerTimeout),
              GetParam().allowance);
}

INSTANTIATE_TEST_SUITE_P(Download, DownloadAllowances,
                         ::testing::Values(
                             // 611 bytes: 53039 us on the line (rounded up), no chunk.
                             AllowanceCase{0, 1000ms, 41000000us + 4 * 53039us},
                             // 705 bytes: 61198 us, 2 chunks.
                             AllowanceCase{84, 1000ms, 41000000us + 4 * (61198us + 100ms)},
                             AllowanceCase{84, 20ms, 30220000us + 4 * (61198us + 100ms)},
                             // 4926 bytes: 427605 us, 63 chunks.
                             AllowanceCase{4000, 1000ms, 41000000us + 4 * (427605us + 3150ms)},
                             // 71266 bytes: 6186285 us, 1024 chunks; a little over 4.5 minutes.
                             AllowanceCase{65535, 1000ms, 41000000us + 4 * (6186285us + 51200ms)},
                             AllowanceCase{65535, 3600000ms,
                                           30s + 11h + 4 * (6186285us + 51200ms)}));

class SlowRobotTest : public ::testing::Test {
protected:
    void connect(std::chrono::milliseconds latency, std::chrono::milliseconds gap) {
        port = std::make_unique<test::TSlowRobotPort>(clock, latency, gap);
        port->setReceiveHandler([this](std::span<const std::uint8_t> b) { queue.append(b); });
        link = std::make_unique<TPacketLink>(*port, queue, clock, 1000ms);
    }
    TSendResult send(const Bytes& image) {
        TSendReports reports;
        reports.step = [this](const TDownloadStep& step) { steps.push_back(step); };
        return RunSendSequence(*link, clock, image, reports);
    }

    test::TManualClock clock;
    TReceiveQueue queue;
    std::unique_ptr<test::TSlowRobotPort> port;
    std::unique_ptr<TPacketLink> link;
    std::vector<TDownloadStep> steps;
};

TEST_F(SlowRobotTest, ARobotThatAnswersBriskly80msLateStillSucceeds) {
    connect(80ms, 1ms);
    const TSendResult result = send(imageOfSize(300));
    EXPECT_EQ(result.status, kSuccess) << result.reason;
    EXPECT_EQ(port->robot().image(), imageOfSize(300));
}

TEST_F(SlowRobotTest, ARobotThatDripsItsAnswerFailsTheStepInBoundedTime) {
    // One byte every 0.9 s: each byte comes within the 1 s answer time
    // limit, but a reply of n bytes must be whole within AnswerAllowance.
    connect(900ms, 900ms);
    const TSendResult result = send(imageOfSize(84));
    EXPECT_EQ(result.status, kFail);
    EXPECT_EQ(steps, stepsThrough({Kind::HelloSent})); // the one-byte answer was in time
    EXPECT_NE(result.reason.find("No intact hello reply arrived in 11 attempts (last: the reply "
                                 "was not whole within "),
              std::string::npos)
        << result.reason;
    EXPECT_TRUE(result.reason.ends_with(" The robot confirmed 0 of 84 bytes.")) << result.reason;
    // The hello's answer, then at most 11 reply attempts of the largest allowance.
    EXPECT_LE(clock.elapsedMicros(), 900ms + 11 * AnswerAllowance(1000ms, 260));
    EXPECT_EQ(port->robot().imagesReceived(), 0);
}

TEST_F(SlowRobotTest, ADownloadThatOutlastsItsAllowanceFailsNamingTheChunk) {
    // Every answer 0.95 s late: each packet goes through, but 63 chunks
    // would take over a minute where 4000 bytes are allowed 55.3 s.
    connect(950ms, 0ms);
    const TSendResult result = send(imageOfSize(4000));
    EXPECT_EQ(result.status, kFail);
    // Hello and header take 0.95 s each, each chunk 0.95 s and its 50 ms
    // pause: chunk 54's answer would come at 55.85 s.
    EXPECT_EQ(steps, stepsThrough({Kind::ChunkSent, 53, 63}));
    EXPECT_EQ(result.reason, "The download ran out of time during chunk 54 of 63: a program image "
                             "of 4000 bytes must arrive within 56 s. The robot confirmed 3392 of "
                             "4000 bytes.");
    EXPECT_EQ(result.confirmedBytes, 53u * 64);
    EXPECT_EQ(clock.elapsedMicros(), DownloadAllowance(4000, 1000ms));
}

// The downloader as the window uses it: the worker on its own thread, every
// report delivered through the posted task queue.
class DownloaderTest : public ::testing::Test {
protected:
    DownloaderTest() {
        port.open();
        downloader.setHandlers({
            [this](const TDownloadStep& step) { steps.push_back(step); },
            [this](int sent, int total) { progress.emplace_back(sent, total); },
            [this](const TDownloadOutcome& outcome) {
                outcomes.push_back(outcome);
                completionThread = std::this_thread::get_id();
            },
        });
    }
    // Runs posted tasks as the event loop would until the download has ended.
    void runUntilDone() {
        for (int i = 0; i < 20000 && downloader.busy(); ++i) {
            if (tasks.drain() == 0)
                std::this_thread::sleep_for(1ms);
        }
        ASSERT_FALSE(downloader.busy());
        tasks.drain();
    }

    TVirtualRobotPort port;
    test::TManualClock clock;
    test::TTaskQueue tasks;
    TDownloader downloader{
        port, [this](std::function<void()> task) { tasks.post(std::move(task)); }, clock};
    std::vector<TDownloadStep> steps;
    std::vector<std::pair<int, int>> progress;
    std::vector<TDownloadOutcome> outcomes;
    std::thread::id completionThread;
};

TEST_F(DownloaderTest, ReportsTheOutcomeOnTheOwnersThreadAfterTheWorkerEnds) {
    const TStartResult start = downloader.SendImage(imageOfSize(84));
    ASSERT_TRUE(start.started) << start.error;
    EXPECT_TRUE(downloader.busy());
    EXPECT_EQ(downloader.byteCount(), 84u);
    runUntilDone();
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].message, "84 bytes data send success");
    EXPECT_EQ(outcomes[0].status, kSuccess);
    EXPECT_EQ(downloader.status(), kSuccess);
    EXPECT_EQ(completionThread, std::this_thread::get_id());
    EXPECT_EQ(downloader.traceList(), (std::vector<std::string>{"1", "2", "3", "4", "5:1", "5:2"}));
    EXPECT_EQ(steps, stepsThrough({Kind::ChunkSent, 2, 2}));
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{0, 2}, {1, 2}, {2, 2}}));
    EXPECT_EQ(port.robot().image(), imageOfSize(84));
}

TEST_F(DownloaderTest, HasNoResultFlagUntilADownloadHasFinished) {
    EXPECT_EQ(downloader.status(), std::nullopt);
    port.robot().setHeaderReply(0xAA, 0x55);
    ASSERT_TRUE(downloader.SendImage(imageOfSize(84)).started);
    EXPECT_EQ(downloader.status(), std::nullopt);
    runUntilDone();
    EXPECT_EQ(downloader.status(), kFail);
    // A new download forgets the last one's flag until it has finished itself.
    port.robot().setHeaderReply(0xAA, 0xAA);
    ASSERT_TRUE(downloader.SendImage(imageOfSize(84)).started);
    EXPECT_EQ(downloader.status(), std::nullopt);
    runUntilDone();
    EXPECT_EQ(downloader.status(), kSuccess);
    // A download that cannot start leaves the flag as it was.
    port.close();
    EXPECT_FALSE(downloader.SendImage(imageOfSize(84)).started);
    EXPECT_EQ(downloader.status(), kSuccess);
}

TEST_F(DownloaderTest, NothingIsReportedUntilTheOwnerRunsThePostedTasks) {
    ASSERT_TRUE(downloader.SendImage(imageOfSize(84)).started);
    // The robot answers at once and time is simulated: wait for the worker's
    // last report to be posted, without running it.
    for (int i = 0; i < 5000 && port.robot().imagesReceived() == 0; ++i)
        std::this_thread::sleep_for(1ms);
    EXPECT_TRUE(outcomes.empty());
    EXPECT_TRUE(steps.empty());
    EXPECT_TRUE(downloader.traceList().empty());
    EXPECT_TRUE(downloader.busy());
    runUntilDone();
    EXPECT_EQ(outcomes.size(), 1u);
}

TEST_F(DownloaderTest, AFailedDownloadGivesTheFailMessageAndItsReason) {
    port.robot().setHeaderReply(0xAA, 0x55);
    ASSERT_TRUE(downloader.SendImage(imageOfSize(84)).started);
    runUntilDone();
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].message, "84 bytes data send fail");
    EXPECT_EQ(outcomes[0].status, kFail);
    EXPECT_EQ(downloader.status(), kFail);
    EXPECT_NE(outcomes[0].reason.find("AA 55"), std::string::npos);
    EXPECT_EQ(downloader.traceList(), (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(steps, stepsThrough({Kind::HeaderAnswered}));
}

TEST_F(DownloaderTest, TheTraceListKeepsTheLinesOfEveryDownload) {
    ASSERT_TRUE(downloader.SendImage(imageOfSize(10)).started);
    runUntilDone();
    ASSERT_TRUE(downloader.SendImage(imageOfSize(10)).started);
    runUntilDone();
    EXPECT_EQ(downloader.traceList(),
              (std::vector<std::string>{"1", "2", "3", "4", "5:1", "1", "2", "3", "4", "5:1"}));
    EXPECT_EQ(traceLinesOf(steps), downloader.traceList());
    EXPECT_EQ(outcomes.size(), 2u);
}

TEST_F(DownloaderTest, ASecondDownloadEmptiesTheReceiveQueueFirst) {
    downloader.receiveQueue().append(bytesOf({kReject, 0x33, 0x44})); // stale bytes
    ASSERT_TRUE(downloader.SendImage(imageOfSize(84)).started);
    runUntilDone();
    EXPECT_EQ(outcomes.at(0).status, kSuccess) << outcomes.at(0).reason;
}

TEST_F(DownloaderTest, RefusesToStartWithoutAnOpenPortOrWhileBusyOrWhenTooLarge) {
    port.close();
    TStartResult start = downloader.SendImage(imageOfSize(84));
    EXPECT_FALSE(start.started);
    EXPECT_EQ(start.error, "The serial port is not open: open it first.");
    port.open();
    start = downloader.SendImage(imageOfSize(70000));
    EXPECT_FALSE(start.started);
    EXPECT_EQ(start.error,
              "The program image is 70000 bytes; a download can carry at most 65535 bytes.");
    ASSERT_TRUE(downloader.SendImage(imageOfSize(84)).started);
    start = downloader.SendImage(imageOfSize(84));
    EXPECT_FALSE(start.started);
    EXPECT_EQ(start.error, "A download is already running.");
    runUntilDone();
    EXPECT_EQ(outcomes.size(), 1u);
    EXPECT_TRUE(port.robot().receivedBytes().size() > 0);
}

TEST_F(DownloaderTest, AFailedDownloadKeepsItsFirstLineAndSaysHowManyBytesTheRobotConfirmed) {
    port.robot().hangUpAfterChunks(1);
    ASSERT_TRUE(downloader.SendImage(imageOfSize(149)).started);
    runUntilDone();
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].message, "149 bytes data send fail");
    EXPECT_EQ(outcomes[0].confirmedBytes, 64u);
    EXPECT_TRUE(outcomes[0].reason.ends_with(". The robot confirmed 64 of 149 bytes."))
        << outcomes[0].reason;
    EXPECT_EQ(port.robot().acceptedPackets().size(), 3u); // hello, header, chunk 1
}

TEST_F(DownloaderTest, AHangUpEndsTheDownloadWithTheReason) {
    port.robot().hangUpAfterChunks(1);
    ASSERT_TRUE(downloader.SendImage(imageOfSize(300)).started);
    runUntilDone();
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].message, "300 bytes data send fail");
    EXPECT_NE(outcomes[0].reason.find("hung up"), std::string::npos) << outcomes[0].reason;
    EXPECT_FALSE(port.isOpen());
}

// Waits (boundedly) until the robot has received the whole hello packet.
bool helloArrived(const TVirtualRobot& robot) {
    const std::size_t helloBytes = 1 + kHelloPacket.size() + 3;
    for (int i = 0; i < 10000 && robot.receivedBytes().size() < helloBytes; ++i)
        std::this_thread::sleep_for(1ms);
    return robot.receivedBytes().size() >= helloBytes;
}

TEST(DownloaderLifetime, DestroyingTheDownloaderStopsAWaitingWorker) {
    TVirtualRobotPort port;
    port.open();
    port.robot().setSilentAfterPackets(0);
    test::TTaskQueue tasks;
    bool completed = false;
    {
        // Real time: the worker waits for an answer that never comes.
        TDownloader downloader(port,
                               [&](std::function<void()> task) { tasks.post(std::move(task)); });
        downloader.setAnswerTimeout(std::chrono::hours(1));
        downloader.setHandlers({{}, {}, [&](const TDownloadOutcome&) { completed = true; }});
        ASSERT_TRUE(downloader.SendImage(imageOfSize(84)).started);
        ASSERT_TRUE(helloArrived(port.robot())); // the worker now waits for the answer
        // Leaving the scope destroys the downloader: it must not wait for the hour.
    }
    tasks.drain();
    EXPECT_FALSE(completed); // the owner is gone: its handlers are not called
}

TEST(DownloaderLifetime, ClosingThePortWakesAWaitingWorkerAtOnce) {
    TVirtualRobotPort port;
    port.open();
    port.robot().setSilentAfterPackets(0);
    test::TTaskQueue tasks;
    std::vector<TDownloadOutcome> outcomes;
    TDownloader downloader(port, [&](std::function<void()> task) { tasks.post(std::move(task)); });
    downloader.setAnswerTimeout(std::chrono::hours(1)); // real time: only the close can end it
    downloader.setHandlers({{}, {}, [&](const TDownloadOutcome& o) { outcomes.push_back(o); }});
    ASSERT_TRUE(downloader.SendImage(imageOfSize(84)).started);
    ASSERT_TRUE(helloArrived(port.robot())); // the worker now waits for the answer
    port.close();
    for (int i = 0; i < 20000 && downloader.busy(); ++i) {
        if (tasks.drain() == 0)
            std::this_thread::sleep_for(1ms);
    }
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].message, "84 bytes data send fail");
    EXPECT_NE(outcomes[0].reason.find("the port Virtual robot was closed"), std::string::npos)
        << outcomes[0].reason;
}

// Points the temporary directory at a private folder to watch the image file.
class ListingDownloadTest : public DownloaderTest {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("zolvane-dl-" + std::to_string(getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
        const char* old = std::getenv("TMPDIR");
        m_old = old ? old : "";
        setenv("TMPDIR", m_dir.c_str(), 1);
    }
    void TearDown() override {
        if (m_old.empty())
            unsetenv("TMPDIR");
        else
            setenv("TMPDIR", m_old.c_str(), 1);
        std::filesystem::remove_all(m_dir);
    }
    bool folderEmpty() const { return std::filesystem::is_empty(m_dir); }
    std::filesystem::path m_dir;
    std::string m_old;
};

TEST_F(ListingDownloadTest, PacksSendsAndDeletesTheTemporaryFile) {
    const std::vector<std::string> lines{"10 REM \"ZOLVANE\"",  "20 REM \"FDX\"",
                                         "30 REM \"WAIT 100\"", "50 REM \"LT 50\"",
                                         "60 REM \"GOTO 40\"",  "70 REM \"END\""};
    ASSERT_TRUE(downloader.SendListing(lines).started);
    EXPECT_TRUE(folderEmpty()); // deleted as soon as the worker holds its copy
    runUntilDone();
    EXPECT_EQ(outcomes.at(0).message, "84 bytes data send success");
    const Bytes expected =
        testsupport::fileBytes(std::string(ZOLVANE_FIXTURES) + "/download/example/image.bin");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(port.robot().image(), expected);
}

TEST_F(ListingDownloadTest, DeletesTheTemporaryFileWhenTheDownloadCannotStart) {
    port.close();
    const TStartResult start = downloader.SendListing({"10 REM \"X\""});
    EXPECT_FALSE(start.started);
    EXPECT_FALSE(start.error.empty());
    EXPECT_TRUE(folderEmpty());
    const std::vector<std::string> huge(400, "10 REM \"" + std::string(200, 'A') + "\"");
    port.open();
    EXPECT_NE(downloader.SendListing(huge).error.find("at most 65535 bytes"), std::string::npos);
    EXPECT_TRUE(folderEmpty());
}

TEST_F(ListingDownloadTest, AnEmptyTextDoesNothingAndOneWithoutAnAcceptedLineIsRefused) {
    const TStartResult nothing = downloader.SendListing({});
    EXPECT_FALSE(nothing.started);
    EXPECT_TRUE(nothing.error.empty());
    // Sent, the end mark alone would erase the robot's program and report a success.
    const TStartResult refused = downloader.SendListing(hostileListing("no-valid-line.txt"));
    EXPECT_FALSE(refused.started);
    EXPECT_EQ(refused.error, "No line of the program passes the line check, so nothing was sent: "
                             "line 1 (code 2: fewer than three words).");
    tasks.drain();
    EXPECT_TRUE(outcomes.empty());
    EXPECT_TRUE(port.robot().receivedBytes().empty());
}

TEST_F(ListingDownloadTest, LinesThatFailTheCheckAreLeftOutAndTheRestArrives) {
    const std::vector<std::string> lines = hostileListing("lines-left-out.txt");
    ASSERT_EQ(lines.size(), 5u);
    ASSERT_TRUE(downloader.SendListing(lines).started);
    runUntilDone();
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].status, kSuccess) << outcomes[0].reason;
    EXPECT_EQ(port.robot().image(), BuildImage({lines[0], lines[2]}));
}

TEST_F(ListingDownloadTest, AProgramTooLargeForTheRobotIsRefusedBeforeAnythingIsSent) {
    // 240 statements of 250 bytes: an image of 61443 bytes, within the header's
    // 65535, whose link words would pass 65535 and wrap.
    const std::vector<std::string> lines(240, "10 REM \"" + std::string(248, 'A') + "\"");
    const TStartResult start = downloader.SendListing(lines);
    EXPECT_FALSE(start.started);
    EXPECT_EQ(start.error, TooLargeForRobotMessage(PackListing(lines)));
    EXPECT_TRUE(port.robot().receivedBytes().empty());
    EXPECT_FALSE(downloader.busy());
}

struct RefusalCase {
    const char* name;
    std::vector<std::string> lines;
    std::string refusal; // empty: the listing may go
};

class ListingRefusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(ListingRefusals, NameWhatTheRobotCouldNotTake) {
    EXPECT_EQ(ListingRefusal(PackListing(GetParam().lines)), GetParam().refusal);
}

INSTANTIATE_TEST_SUITE_P(
    Download, ListingRefusals,
    ::testing::Values(
        RefusalCase{"NoLine", {}, ""},
        RefusalCase{"AllAccepted", {"10 REM \"A\"", "20 REM \"B\""}, ""},
        RefusalCase{"SomeLeftOut", {"junk", "10 REM \"A\"", "x"}, ""},
        RefusalCase{"OneLineRefused",
                    {"hello world"},
                    "No line of the program passes the line check, so nothing was sent: line 1 "
                    "(code 2: fewer than three words)."},
        RefusalCase{"ManyLinesRefused",
                    {"", "70000 REM \"END\"", "10 rem \"A\"", "hello"},
                    "No line of the program passes the line check, so nothing was sent: line 1 "
                    "(code 1: 8 characters or fewer) and 3 more."},
        RefusalCase{"LargerThanTheHeaderCarries", std::vector<std::string>(7300, "10 REM \"A\""),
                    "The program image is 65703 bytes; a download can carry at most 65535 bytes."},
        RefusalCase{"LinkWordsWouldWrap",
                    std::vector<std::string>(240, "10 REM \"" + std::string(248, 'A') + "\""),
                    "The program is too large for the robot: its 240 lines need 60480 bytes of "
                    "program memory (a line takes its statement's length + 2) and the robot has "
                    "58942. Only the lines up to line 233 fit (233 lines, a program image of 59651 "
                    "bytes)."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DroppedLinesQuestion, NamesTheLinesLeftOutAndAsksWhetherToSendTheRest) {
    TPackedListing listing = PackListing(hostileListing("lines-left-out.txt"));
    EXPECT_EQ(DroppedLinesQuestion(listing),
              "3 lines will be left out because they fail the line check:\n"
              "line 2 (code 5: the third word is not a quoted text)\n"
              "line 4 (code 1: 8 characters or fewer)\n"
              "line 5 (code 3: no line number from 0 to 65535)\n"
              "Send the rest?");
    EXPECT_EQ(DroppedLinesQuestion(listing, 2),
              "3 lines will be left out because they fail the line check:\n"
              "line 2 (code 5: the third word is not a quoted text)\n"
              "line 4 (code 1: 8 characters or fewer)\n"
              "and 1 more\n"
              "Send the rest?");
    listing.dropped.resize(1);
    EXPECT_EQ(DroppedLinesQuestion(listing),
              "1 line will be left out because it fails the line check:\n"
              "line 2 (code 5: the third word is not a quoted text)\n"
              "Send the rest?");
}

TEST_F(DownloaderTest, SaysWhyItIsNotReadyToStart) {
    EXPECT_EQ(downloader.notReadyReason(), "");
    port.close();
    EXPECT_EQ(downloader.notReadyReason(), "The serial port is not open: open it first.");
    port.open();
    ASSERT_TRUE(downloader.SendImage(imageOfSize(84)).started);
    EXPECT_EQ(downloader.notReadyReason(), "A download is already running.");
    runUntilDone();
    EXPECT_EQ(downloader.notReadyReason(), "");
}

} // namespace
} // namespace download
