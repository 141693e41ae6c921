#include "../support/FixtureBytes.h"
#include "download/UDownloadDo.h"
#include "download/pty/PtyRobotServer.h"
#include "platform/events/QueuedPoster.h"
#include "platform/serial/QtSerialPort.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSerialPortInfo>
#include <QTimer>
#include <gtest/gtest.h>
#include <optional>

namespace platform {
namespace {

using namespace std::chrono_literals;
using download::Bytes;
using download::TDownloader;
using download::TDownloadOutcome;
using download::TDownloadStep;
using Kind = download::TDownloadStep::Kind;
using download::TPtyRobotServer;

std::vector<std::string> exampleListing() {
    return {"10 REM \"ZOLVANE\"", "20 REM \"FDX\"",     "30 REM \"WAIT 100\"",
            "50 REM \"LT 50\"",   "60 REM \"GOTO 40\"", "70 REM \"END\""};
}

Bytes imageOfSize(std::size_t size) {
    Bytes image(size);
    for (std::size_t i = 0; i < size; ++i)
        image[i] = static_cast<std::uint8_t>(i * 13 + 1);
    return image;
}

// The real QSerialPort on this thread, talking over a pseudo-terminal to the
// virtual robot served on its own thread.
class PtyDownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(server.start(&error)) << error;
        port.setDeviceName(server.devicePath());
        ASSERT_TRUE(port.open()) << port.errorString();
        downloader.setHandlers({
            [this](const TDownloadStep& step) { steps.push_back(step); },
            [this](int sent, int total) { progress.emplace_back(sent, total); },
            [this](const TDownloadOutcome& outcome) {
                this->outcome = outcome;
                loop.quit();
            },
        });
    }
    // Runs the event loop until the completion handler ran (or a generous
    // guard expires, which fails the test instead of hanging it).
    void runUntilCompleted() {
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
        guard.start(60000);
        if (downloader.busy())
            loop.exec();
        ASSERT_FALSE(downloader.busy()) << "the download did not end";
        ASSERT_TRUE(outcome.has_value());
    }

    TPtyRobotServer server;
    TQtSerialPort port;
    QEventLoop loop;
    TDownloader downloader{port, queuedPoster(QCoreApplication::instance())};
    std::vector<TDownloadStep> steps;
    std::vector<std::pair<int, int>> progress;
    std::optional<TDownloadOutcome> outcome;
};

TEST_F(PtyDownloadTest, TheWorkedExampleArrivesWhole) {
    const download::TStartResult start = downloader.SendListing(exampleListing());
    ASSERT_TRUE(start.started) << start.error;
    runUntilCompleted();
    EXPECT_EQ(outcome->message, "84 bytes data send success") << outcome->reason;
    const Bytes expected =
        testsupport::fileBytes(std::string(ZOLVANE_FIXTURES) + "/download/example/image.bin");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(server.robot().image(), expected);
    EXPECT_EQ(server.robot().imagesReceived(), 1);
    EXPECT_EQ(steps, (std::vector<TDownloadStep>{{Kind::HelloSent},
                                                 {Kind::HelloAnswered},
                                                 {Kind::HeaderSent},
                                                 {Kind::HeaderAnswered},
                                                 {Kind::ChunkSent, 1, 2},
                                                 {Kind::ChunkSent, 2, 2}}));
    EXPECT_EQ(downloader.traceList(), (std::vector<std::string>{"1", "2", "3", "4", "5:1", "5:2"}));
    EXPECT_EQ(progress.back(), std::make_pair(2, 2));
    const Bytes wire = server.robot().receivedBytes();
    ASSERT_GE(wire.size(), 11u);
    EXPECT_EQ(Bytes(wire.begin(), wire.begin() + 11),
              (Bytes{0x07, 0x00, 0x54, 0x43, 0xE8, 0x03, 0x00, 0xFA, 0x7C, 0x02, 0x06}));
}

TEST_F(PtyDownloadTest, TwoDownloadsInARowBothSucceed) {
    ASSERT_TRUE(downloader.SendImage(imageOfSize(129)).started);
    runUntilCompleted();
    EXPECT_EQ(outcome->message, "129 bytes data send success") << outcome->reason;
    outcome.reset();
    ASSERT_TRUE(downloader.SendImage(imageOfSize(300)).started);
    runUntilCompleted();
    EXPECT_EQ(outcome->message, "300 bytes data send success") << outcome->reason;
    EXPECT_EQ(server.robot().image(), imageOfSize(300));
    EXPECT_EQ(server.robot().imagesReceived(), 2);
}

TEST_F(PtyDownloadTest, RefusalsAndDamagedRepliesAreRepairedOverTheWire) {
    server.robot().rejectNextPackets(3, 2);
    server.robot().corruptNextReplies(2);
    ASSERT_TRUE(downloader.SendImage(imageOfSize(200)).started);
    runUntilCompleted();
    EXPECT_EQ(outcome->status, download::TDownloadStatus::Success) << outcome->reason;
    EXPECT_EQ(server.robot().image(), imageOfSize(200));
    EXPECT_EQ(server.robot().packetsRejected(), 3);
}

TEST_F(PtyDownloadTest, ASilentRobotFailsWithinTheTimeLimits) {
    server.robot().setSilentAfterPackets(0);
    downloader.setAnswerTimeout(20ms);
    ASSERT_TRUE(downloader.SendImage(imageOfSize(84)).started);
    runUntilCompleted();
    EXPECT_EQ(outcome->message, "84 bytes data send fail");
    EXPECT_NE(outcome->reason.find("no answer within 20 ms"), std::string::npos) << outcome->reason;
    EXPECT_TRUE(steps.empty());
}

TEST_F(PtyDownloadTest, AVanishingPortEndsTheDownloadAsAFail) {
    server.robot().hangUpAfterChunks(2);
    ASSERT_TRUE(downloader.SendImage(imageOfSize(300)).started);
    runUntilCompleted();
    EXPECT_EQ(outcome->message, "300 bytes data send fail");
    EXPECT_NE(outcome->reason.find("lost during chunk"), std::string::npos) << outcome->reason;
    EXPECT_NE(outcome->reason.find("serial port " + server.devicePath()), std::string::npos)
        << outcome->reason;
    EXPECT_TRUE(server.hungUp());
    // The port knows it is gone, and a new download is refused plainly.
    QCoreApplication::processEvents();
    EXPECT_FALSE(port.isOpen());
    const download::TStartResult again = downloader.SendImage(imageOfSize(10));
    EXPECT_FALSE(again.started);
    EXPECT_EQ(again.error, "The serial port is not open: open it first.");
}

TEST_F(PtyDownloadTest, ClosingThePortDuringADownloadEndsItAsAFail) {
    downloader.setAnswerTimeout(std::chrono::hours(1)); // only the close can end it soon
    server.robot().setSilentAfterPackets(2);            // the first chunk gets no answer
    ASSERT_TRUE(downloader.SendImage(imageOfSize(4000)).started);
    // Closed once the robot has the whole first chunk: the worker then waits for its answer.
    const std::size_t throughChunk1 = (1 + 7 + 3) + 1 + (1 + 72 + 3) + 1 + (1 + 64 + 3);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (server.robot().receivedBytes().size() >= throughChunk1) {
            poll.stop();
            port.close();
        }
    });
    poll.start(1);
    runUntilCompleted();
    EXPECT_EQ(outcome->message, "4000 bytes data send fail");
    EXPECT_NE(outcome->reason.find("lost during chunk 1 of 63: the serial port " +
                                   server.devicePath() + " was closed"),
              std::string::npos)
        << outcome->reason;
}

TEST_F(PtyDownloadTest, AClosedPortRefusesTheDownload) {
    port.close();
    const download::TStartResult start = downloader.SendImage(imageOfSize(84));
    EXPECT_FALSE(start.started);
    EXPECT_FALSE(start.error.empty());
    EXPECT_TRUE(server.robot().receivedBytes().empty());
}

TEST(SerialPortOpen, AMissingDeviceIsRefusedWithItsName) {
    TQtSerialPort port;
    port.setDeviceName("/dev/zolvane-no-such-port");
    EXPECT_FALSE(port.open());
    EXPECT_FALSE(port.isOpen());
    EXPECT_NE(port.errorString().find("/dev/zolvane-no-such-port"), std::string::npos)
        << port.errorString();
    EXPECT_FALSE(port.writeByte(0x42));
}

TEST(SerialPortOpen, PortNumbersOutsideOneToEightOrBeyondTheSystemsPortsAreRefused) {
    std::string error;
    EXPECT_EQ(TQtSerialPort::deviceForNumber(0, &error), "");
    EXPECT_EQ(error, "There is no serial port number 0: choose 1 to 8.");
    EXPECT_EQ(TQtSerialPort::deviceForNumber(9, &error), "");
    const auto ports = QSerialPortInfo::availablePorts();
    if (ports.size() < 8) {
        const int missing = static_cast<int>(ports.size()) + 1;
        EXPECT_EQ(TQtSerialPort::deviceForNumber(missing, &error), "");
        EXPECT_EQ(error, "There is no serial port number " + std::to_string(missing) +
                             ": the system reports " + std::to_string(ports.size()) + ".");
        TQtSerialPort port;
        port.setPortNumber(missing);
        EXPECT_FALSE(port.open());
        EXPECT_EQ(port.errorString(), error);
    }
    if (!ports.isEmpty()) {
        EXPECT_EQ(TQtSerialPort::deviceForNumber(1), ports[0].systemLocation().toStdString());
    }
}

} // namespace
} // namespace platform
