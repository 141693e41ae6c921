#include "TestSupport.h"
#include "download/DownloadFailure.h"
#include "download/UDownloadDo.h"
#include "download/VirtualRobot.h"

#include <gtest/gtest.h>

namespace download {
namespace {

using namespace std::chrono_literals;
using test::stepsThrough;
using Kind = TDownloadStep::Kind;
using Cause = TFailureCause;

Bytes imageOfSize(std::size_t size) {
    Bytes image(size);
    for (std::size_t i = 0; i < size; ++i)
        image[i] = static_cast<std::uint8_t>(i * 5 + 1);
    return image;
}

struct CauseCase {
    const char* name;
    std::function<void(TVirtualRobot&, TVirtualRobotPort&, test::TTriggerPort&)> arrange;
    std::size_t imageSize;
    Cause cause;
    const char* where;
    bool headerTaken;
    const char* headline; // DescribeFailure's first line, on the port "Virtual robot"
};

void PrintTo(const CauseCase& c, std::ostream* os) {
    *os << c.name;
}

// Each way a robot (or its cable) can fail, played by the virtual robot: the
// download names the cause, where it stopped and whether the robot may hold
// part of the new program.
class FailureCauses : public ::testing::TestWithParam<CauseCase> {
protected:
    FailureCauses() {
        trigger.setReceiveHandler([this](std::span<const std::uint8_t> b) { queue.append(b); });
        trigger.setErrorHandler([this](const std::string& message) { queue.fail(message); });
        port.open();
    }
    TVirtualRobotPort port;
    test::TTriggerPort trigger{port};
    TReceiveQueue queue;
    test::TManualClock clock;
    TPacketLink link{trigger, queue, clock, 1000ms};
};

TEST_P(FailureCauses, AreToldApartAndDescribed) {
    const CauseCase& c = GetParam();
    c.arrange(port.robot(), port, trigger);
    const TSendResult result = RunSendSequence(link, clock, imageOfSize(c.imageSize), {});
    EXPECT_EQ(result.status, TDownloadStatus::Fail);
    EXPECT_EQ(result.cause, c.cause) << result.reason;
    EXPECT_EQ(result.where, c.where);
    EXPECT_EQ(result.headerTaken, c.headerTaken);
    TFailureFacts facts;
    facts.cause = result.cause;
    facts.port = "Virtual robot";
    facts.where = result.where;
    facts.headerReply = result.headerReply;
    EXPECT_EQ(DescribeFailure(facts).headline.English(), c.headline);
}

INSTANTIATE_TEST_SUITE_P(
    Download, FailureCauses,
    ::testing::Values(
        CauseCase{"Silence", [](TVirtualRobot& r, auto&, auto&) { r.setSilentAfterPackets(0); }, 84,
                  Cause::NoAnswer, "the hello packet", false,
                  "No robot answered on Virtual robot."},
        CauseCase{"GarbageAnswers", [](TVirtualRobot& r, auto&, auto&) { r.garbleAnswers(true); },
                  84, Cause::Garbage, "the hello packet", false,
                  "The answers on Virtual robot are not a robot's."},
        CauseCase{"DamagedReplies",
                  [](TVirtualRobot& r, auto&, auto&) { r.corruptNextReplies(11); }, 84,
                  Cause::Garbage, "the hello reply", false,
                  "The answers on Virtual robot are not a robot's."},
        CauseCase{"HelloRefused11Times",
                  [](TVirtualRobot& r, auto&, auto&) { r.rejectNextPackets(11); }, 84,
                  Cause::Refused, "the hello packet", false,
                  "The robot refused the hello packet 11 times."},
        CauseCase{"HeaderRefused11Times",
                  [](TVirtualRobot& r, auto&, auto&) { r.rejectNextPackets(11, 1); }, 84,
                  Cause::Refused, "the header packet", false,
                  "The robot refused the header packet 11 times."},
        CauseCase{"PartRefused11Times",
                  [](TVirtualRobot& r, auto&, auto&) { r.rejectNextPackets(11, 3); }, 300,
                  Cause::Refused, "chunk 2 of 5", true, "The robot refused chunk 2 of 5 11 times."},
        CauseCase{"SilentAtTheHeader",
                  [](TVirtualRobot& r, auto&, auto&) { r.setSilentAfterPackets(1); }, 84,
                  Cause::StoppedAnswering, "the header packet", true,
                  "The robot stopped answering during the header packet."},
        CauseCase{"SilentAfterTheFirstChunk",
                  [](TVirtualRobot& r, auto&, auto&) { r.setSilentAfterPackets(3); }, 300,
                  Cause::StoppedAnswering, "chunk 2 of 5", true,
                  "The robot stopped answering during chunk 2 of 5."},
        CauseCase{"HeaderReplyAA55",
                  [](TVirtualRobot& r, auto&, auto&) { r.setHeaderReply(0xAA, 0x55); }, 84,
                  Cause::NotTaken, "the header reply", false,
                  "The robot did not take the program: its reply to the header began AA 55 "
                  "instead of AA AA."},
        CauseCase{"HangUp", [](TVirtualRobot& r, auto&, auto&) { r.hangUpAfterChunks(2); }, 300,
                  Cause::PortLost, "chunk 3 of 5", true,
                  "The connection to the robot on Virtual robot was lost during chunk 3 of 5."},
        CauseCase{"PortClosedUnderTheWorker",
                  [](TVirtualRobot&, TVirtualRobotPort& port, test::TTriggerPort& trigger) {
                      trigger.afterWrite = [&port](int written) {
                          if (written == 100) // inside chunk 1
                              port.close();
                      };
                  },
                  300, Cause::PortLost, "chunk 1 of 5", true,
                  "The connection to the robot on Virtual robot was lost during chunk 1 of 5."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FailureCause, RefusalsOutweighingNoiseAreRefusalsAndTheReverseIsGarbage) {
    // 165 six times and another byte five times: the robot refused.
    test::TRecordingPort port;
    TReceiveQueue queue;
    test::TManualClock clock;
    TPacketLink link(port, queue, clock, 1000ms);
    for (int i = 0; i < 11; ++i)
        queue.append(test::bytesOf({i % 2 == 0 ? kReject : 0x13}));
    EXPECT_EQ(link.SendPacketTries(kHelloPacket.data(), kHelloPacket.size()), TLinkResult::GaveUp);
    EXPECT_EQ(link.tally(), (TAttemptTally{11, 11, 6, 5, 0, 0, 0}));
    const TSendResult refused = [&] {
        queue.clear();
        for (int i = 0; i < 11; ++i)
            queue.append(test::bytesOf({i % 2 == 0 ? kReject : 0x13}));
        return RunSendSequence(link, clock, imageOfSize(10), {});
    }();
    EXPECT_EQ(refused.cause, Cause::Refused);
    queue.clear();
    for (int i = 0; i < 11; ++i)
        queue.append(test::bytesOf({i % 3 == 0 ? kReject : 0x13}));
    EXPECT_EQ(RunSendSequence(link, clock, imageOfSize(10), {}).cause, Cause::Garbage);
}

struct DescriptionCase {
    const char* name;
    TFailureFacts facts;
    const char* headline;
    const char* remedyPart; // what to check, in part
};

void PrintTo(const DescriptionCase& c, std::ostream* os) {
    *os << c.name;
}

class Descriptions : public ::testing::TestWithParam<DescriptionCase> {};

TEST_P(Descriptions, SayWhatHappenedAndWhatToCheck) {
    const TFailureReport report = DescribeFailure(GetParam().facts);
    EXPECT_EQ(report.headline.English(), GetParam().headline);
    EXPECT_NE(report.remedy.English().find(GetParam().remedyPart), std::string::npos)
        << report.remedy;
}

TFailureFacts opening(Cause cause, TOpenFailure open) {
    TFailureFacts facts;
    facts.cause = cause;
    facts.port = "ttyUSB0";
    facts.open = std::move(open);
    return facts;
}

INSTANTIATE_TEST_SUITE_P(
    Download, Descriptions,
    ::testing::Values(
        DescriptionCase{"NoAnswer",
                        {Cause::NoAnswer, "ttyUSB0", "the hello packet"},
                        "No robot answered on ttyUSB0.",
                        "Is the robot switched on and waiting for a program? Is ttyUSB0 its port?"},
        DescriptionCase{"Garbage",
                        {Cause::Garbage, "ttyUSB0", "the hello packet"},
                        "The answers on ttyUSB0 are not a robot's.",
                        "wrong port, or the device on it talks at another speed"},
        DescriptionCase{"Refused",
                        {Cause::Refused, "ttyUSB0", "chunk 12 of 63"},
                        "The robot refused chunk 12 of 63 11 times.",
                        "push the cable firmly in"},
        DescriptionCase{"PortLost",
                        {Cause::PortLost, "ttyUSB0", "chunk 3 of 5"},
                        "The connection to the robot on ttyUSB0 was lost during chunk 3 of 5.",
                        "The cable was pulled out"},
        DescriptionCase{"PortNotFound", opening(Cause::PortNotFound, {TOpenProblem::NotFound}),
                        "There is no port ttyUSB0 (any more).", "Plug the robot's cable in"},
        DescriptionCase{"PortBusyNamingTheHolder",
                        opening(Cause::PortBusy, {TOpenProblem::Busy, "", "minicom, process 812"}),
                        "ttyUSB0 is in use by another program (minicom, process 812).",
                        "Close that program"},
        DescriptionCase{"PortBusyWithoutAName", opening(Cause::PortBusy, {TOpenProblem::Busy}),
                        "ttyUSB0 is in use by another program.", "or choose another port"},
        DescriptionCase{
            "PortLockedByAProgramThatEnded",
            opening(Cause::PortBusy, {TOpenProblem::Busy, "", "", "/run/lock/LCK..ttyUSB0"}),
            "ttyUSB0 is locked by a program that has ended.",
            "Delete the lock file /run/lock/LCK..ttyUSB0"},
        DescriptionCase{"NoPermissionNamingTheGroup",
                        opening(Cause::NoPermission,
                                {TOpenProblem::NoPermission, "", "", "", "dialout", "pupil"}),
                        "You may not use ttyUSB0.",
                        "adding pupil to the group dialout (sudo adduser pupil dialout); then log "
                        "out and in again"},
        DescriptionCase{"OtherOpenFailure",
                        opening(Cause::PortNotOpen,
                                {TOpenProblem::Other, "Cannot open ttyUSB0: Input/output error"}),
                        "ttyUSB0 cannot be opened: Cannot open ttyUSB0: Input/output error.",
                        "choose its port again"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Descriptions, AFailureAfterTheHeaderWarnsOfAPartialProgram) {
    TFailureFacts facts{Cause::StoppedAnswering, "ttyUSB0", "chunk 3 of 63"};
    facts.headerTaken = true;
    facts.confirmedBytes = 128;
    facts.imageBytes = 4032;
    const TFailureReport report = DescribeFailure(facts);
    EXPECT_TRUE(
        report.remedy.English().ends_with(" The robot may now hold only part of the new program "
                                          "(128 of 4,032 bytes): download it again before "
                                          "running it."))
        << report.remedy;
    facts.headerTaken = false;
    EXPECT_EQ(DescribeFailure(facts).remedy.English().find("part of the new program"),
              std::string::npos);
}

TEST(Descriptions, CancelSaysWhetherTheRobotKeepsItsPreviousProgram) {
    EXPECT_EQ(CancelledText(false, 0, 4032), "Cancelled: the robot keeps its previous program");
    EXPECT_EQ(CancelledText(true, 768, 4032),
              "Cancelled: the robot may now hold part of the new program (768 of 4,032 bytes) "
              "instead of its previous one; download again before running it");
    TFailureFacts facts{Cause::Cancelled, "ttyUSB0"};
    EXPECT_EQ(DescribeFailure(facts).headline.English(),
              "Cancelled: the robot keeps its previous program.");
    EXPECT_EQ(DescribeFailure(facts).remedy.English(), "");
    EXPECT_EQ(DescribeFailure({}).headline.English(), "");
}

TEST(Words, NumbersAreGroupedByThousandsAndPortsGoByTheirShortName) {
    EXPECT_EQ(GroupedNumber(0), "0");
    EXPECT_EQ(GroupedNumber(999), "999");
    EXPECT_EQ(GroupedNumber(4032), "4,032");
    EXPECT_EQ(GroupedNumber(65535), "65,535");
    EXPECT_EQ(GroupedNumber(1234567), "1,234,567");
    EXPECT_EQ(PortShortName("/dev/ttyUSB0"), "ttyUSB0");
    EXPECT_EQ(PortShortName("/dev/pts/3"), "pts/3");
    EXPECT_EQ(PortShortName("/tmp/robot/tty"), "tty");
    EXPECT_EQ(PortShortName("COM3"), "COM3");
    EXPECT_EQ(PortShortName("Virtual robot"), "Virtual robot");
}

} // namespace
} // namespace download
