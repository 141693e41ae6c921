#include "download/PacketLink.h"

#include "TestSupport.h"

#include <gtest/gtest.h>
#include <thread>

namespace download {
namespace {

using namespace std::chrono_literals;
using test::bytesOf;

TEST(PacketSums, AddModulo65536AndXorEveryByte) {
    const Bytes data = bytesOf({1, 2, 3});
    const TPacketSums small = PacketSums(data.data(), 3);
    EXPECT_EQ(small.sum, 6);
    EXPECT_EQ(small.xorByte, 0);
    const Bytes full(300, 0xFF);
    const TPacketSums big = PacketSums(full.data(), 300);
    EXPECT_EQ(big.sum, (300 * 255) % 65536);
    EXPECT_EQ(big.xorByte, 0); // an even number of FF
    const Bytes reversed = bytesOf({3, 2, 1, 0x80});
    const Bytes forward = bytesOf({0x80, 1, 2, 3});
    EXPECT_EQ(PacketSums(reversed.data(), 4).sum, PacketSums(forward.data(), 4).sum);
    EXPECT_EQ(PacketSums(reversed.data(), 4).xorByte, PacketSums(forward.data(), 4).xorByte);
}

struct LineTimeCase {
    std::size_t bytes;
    std::chrono::microseconds lineTime;
};

class LineTimes : public ::testing::TestWithParam<LineTimeCase> {};

// 10 bits a byte at 115200 baud: 86.8 us a byte, rounded up to whole microseconds.
TEST_P(LineTimes, CountTenBitsAByteAt115200Baud) {
    EXPECT_EQ(LineTime(GetParam().bytes), GetParam().lineTime);
}

INSTANTIATE_TEST_SUITE_P(Link, LineTimes,
                         ::testing::Values(LineTimeCase{0, 0us}, LineTimeCase{1, 87us},
                                           LineTimeCase{9, 782us}, LineTimeCase{260, 22570us},
                                           LineTimeCase{11520, 1000000us},
                                           LineTimeCase{115200, 10000000us}));

TEST(AnswerAllowances, AreTheAnswerTimeLimitAQuarterSecondAndTenTimesTheLineTime) {
    EXPECT_EQ(AnswerAllowance(1000ms, 1), 1250870us);
    EXPECT_EQ(AnswerAllowance(1000ms, 9), 1257820us);
    EXPECT_EQ(AnswerAllowance(1000ms, 260), 1475700us);
    EXPECT_EQ(AnswerAllowance(20ms, 260), 495700us);
}

// A link over a recording port whose receive queue the test fills.
class LinkTest : public ::testing::Test {
protected:
    void robotSends(const Bytes& bytes) { queue.append(bytes); }

    test::TRecordingPort port;
    TReceiveQueue queue;
    test::TManualClock clock;
    TPacketLink link{port, queue, clock, 1000ms};
    std::array<std::uint8_t, 256> buffer{};
    int length = -1;
};

TEST_F(LinkTest, SendPacketFramesLengthDataSumAndXor) {
    robotSends({kAccept});
    const Bytes data = bytesOf({1, 2, 3});
    EXPECT_EQ(link.SendPacket(data.data(), 3), TLinkResult::Succeeded);
    EXPECT_EQ(port.written, bytesOf({0x03, 0x01, 0x02, 0x03, 0x06, 0x00, 0x00}));
}

TEST_F(LinkTest, SendPacketOf256BytesCarriesLengthByteZero) {
    robotSends({kAccept});
    Bytes data(256);
    for (int i = 0; i < 256; ++i)
        data[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(link.SendPacket(data.data(), 0), TLinkResult::Succeeded);
    ASSERT_EQ(port.written.size(), 260u);
    EXPECT_EQ(port.written[0], 0x00);
    EXPECT_EQ(Bytes(port.written.begin() + 1, port.written.begin() + 257), data);
    // sum 0..255 = 32640 = 0x7F80, XOR of 0..255 = 0
    EXPECT_EQ(Bytes(port.written.end() - 3, port.written.end()), bytesOf({0x80, 0x7F, 0x00}));
}

TEST_F(LinkTest, AnyAnswerOtherThan90IsARefusal) {
    for (std::uint8_t answer : bytesOf({kReject, 0x00, 0x5B, 0xFF})) {
        robotSends({answer});
        EXPECT_EQ(link.SendPacket(bytesOf({9}).data(), 1), TLinkResult::AttemptFailed) << answer;
        EXPECT_EQ(link.lastFailure(), TPacketLink::Failure::Refused);
    }
}

TEST_F(LinkTest, SendPacketTriesResendsTheWholePacketAfterARefusal) {
    robotSends({kReject, kReject, kAccept});
    const Bytes data = bytesOf({1, 2, 3});
    EXPECT_EQ(link.SendPacketTries(data.data(), 3), TLinkResult::Succeeded);
    const Bytes once = bytesOf({0x03, 0x01, 0x02, 0x03, 0x06, 0x00, 0x00});
    Bytes thrice;
    for (int i = 0; i < 3; ++i)
        thrice.insert(thrice.end(), once.begin(), once.end());
    EXPECT_EQ(port.written, thrice);
}

TEST_F(LinkTest, TheEleventhRefusalMakesSendPacketTriesGiveUp) {
    robotSends(Bytes(11, kReject));
    robotSends({kAccept}); // a 12th attempt would succeed: there is none
    const Bytes data = bytesOf({7});
    EXPECT_EQ(link.SendPacketTries(data.data(), 1), TLinkResult::GaveUp);
    EXPECT_EQ(port.written.size(), 11u * 5);
    EXPECT_EQ(queue.size(), 1u);
}

TEST_F(LinkTest, TenRefusalsThenAcceptIsASuccess) {
    robotSends(Bytes(10, kReject));
    robotSends({kAccept});
    EXPECT_EQ(link.SendPacketTries(bytesOf({7}).data(), 1), TLinkResult::Succeeded);
    EXPECT_EQ(port.written.size(), 11u * 5);
}

TEST_F(LinkTest, ReceivePacketAcceptsAnIntactPacketWith90) {
    robotSends({0x03, 0x01, 0x02, 0x03, 0x06, 0x00, 0x00});
    EXPECT_EQ(link.ReceivePacket(buffer, length), TLinkResult::Succeeded);
    EXPECT_EQ(length, 3);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 3), bytesOf({1, 2, 3}));
    EXPECT_EQ(port.written, bytesOf({kAccept}));
}

TEST_F(LinkTest, ReceivedLengthByteZeroMeans256DataBytes) {
    Bytes packet{0x00};
    for (int i = 0; i < 256; ++i)
        packet.push_back(static_cast<std::uint8_t>(i));
    packet.insert(packet.end(), {0x80, 0x7F, 0x00});
    robotSends(packet);
    EXPECT_EQ(link.ReceivePacket(buffer, length), TLinkResult::Succeeded);
    EXPECT_EQ(length, 256);
    EXPECT_EQ(buffer[255], 255);
    EXPECT_EQ(queue.size(), 0u);
}

struct DamageCase {
    const char* what;
    Bytes packet;
};

class DamagedPackets : public LinkTest, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedPackets, AreRejectedAndTheNextAttemptReadsAFreshPacket) {
    robotSends(GetParam().packet);
    robotSends({0x02, 0x41, 0x42, 0x83, 0x00, 0x03}); // the robot sends it again, intact
    EXPECT_EQ(link.ReceivePacketTries(buffer, length), TLinkResult::Succeeded);
    EXPECT_EQ(port.written, bytesOf({kReject, kAccept}));
    EXPECT_EQ(length, 2);
    EXPECT_EQ(buffer[0], 0x41);
    EXPECT_EQ(buffer[1], 0x42);
}

INSTANTIATE_TEST_SUITE_P(
    Link, DamagedPackets,
    ::testing::Values(DamageCase{"xor wrong, sum right",
                                 bytesOf({0x02, 0x41, 0x42, 0x83, 0x00, 0x04})},
                      DamageCase{"sum low wrong", bytesOf({0x02, 0x41, 0x42, 0x84, 0x00, 0x03})},
                      DamageCase{"sum high wrong", bytesOf({0x02, 0x41, 0x42, 0x83, 0x01, 0x03})},
                      DamageCase{"data changed, sum and xor kept",
                                 bytesOf({0x02, 0x42, 0x41, 0x83, 0x00, 0x02})}));

TEST_F(LinkTest, ElevenDamagedPacketsMakeReceivePacketTriesGiveUp) {
    for (int i = 0; i < 11; ++i)
        robotSends({0x01, 0x10, 0x10, 0x00, 0x11});
    EXPECT_EQ(link.ReceivePacketTries(buffer, length), TLinkResult::GaveUp);
    EXPECT_EQ(port.written, Bytes(11, kReject));
    EXPECT_EQ(link.lastFailure(), TPacketLink::Failure::BadPacket);
}

TEST_F(LinkTest, ReadByteWaitsAtMostTheAnswerTimeLimit) {
    std::uint8_t byte = 0;
    EXPECT_EQ(link.ReadByte(byte), TLinkResult::AttemptFailed);
    EXPECT_EQ(clock.elapsed(), 1000ms);
    robotSends({0x42});
    EXPECT_EQ(link.ReadByte(byte), TLinkResult::Succeeded);
    EXPECT_EQ(byte, 0x42);
    EXPECT_EQ(clock.elapsed(), 1000ms);
}

TEST_F(LinkTest, ASilentRobotFailsSendPacketTriesInElevenTimeLimits) {
    EXPECT_EQ(link.SendPacketTries(bytesOf({1}).data(), 1), TLinkResult::GaveUp);
    EXPECT_EQ(link.lastFailure(), TPacketLink::Failure::NoAnswer);
    EXPECT_EQ(clock.elapsed(), 11 * 1000ms);
    EXPECT_EQ(port.written.size(), 11u * 5);
}

TEST_F(LinkTest, ASilentRobotFailsReceivePacketTriesAndGetsRejects) {
    EXPECT_EQ(link.ReceivePacketTries(buffer, length), TLinkResult::GaveUp);
    EXPECT_EQ(clock.elapsed(), 11 * 1000ms);
    EXPECT_EQ(port.written, Bytes(11, kReject));
}

TEST_F(LinkTest, APacketThatStopsHalfWayIsAFailedAttempt) {
    robotSends({0x05, 0x01, 0x02}); // three of eight bytes, then nothing
    EXPECT_EQ(link.ReceivePacket(buffer, length), TLinkResult::AttemptFailed);
    EXPECT_EQ(link.lastFailure(), TPacketLink::Failure::NoAnswer);
    EXPECT_EQ(port.written, bytesOf({kReject}));
}

TEST_F(LinkTest, AReplyThatDripsFailsTheAttemptAtItsAllowance) {
    // An intact 9-byte reply, its bytes 0.9 s apart: each within the answer
    // time limit, the whole far beyond AnswerAllowance(1000 ms, 9).
    const Bytes reply = bytesOf({0x05, 0x00, 0x5A, 0x52, 0x01, 0x00, 0xAD, 0x00, 0x09});
    for (std::size_t i = 0; i < reply.size(); ++i) {
        const std::uint8_t byte = reply[i];
        clock.schedule(TClock::time_point{} + (i + 1) * 900ms,
                       [this, byte] { robotSends({byte}); });
    }
    EXPECT_EQ(link.ReceivePacket(buffer, length), TLinkResult::AttemptFailed);
    EXPECT_EQ(link.lastFailure(), TPacketLink::Failure::TooSlow);
    EXPECT_EQ(link.lastAllowance(), AnswerAllowance(1000ms, 9));
    EXPECT_EQ(clock.elapsedMicros(), AnswerAllowance(1000ms, 9));
    EXPECT_EQ(port.written, bytesOf({kReject}));
}

TEST_F(LinkTest, AReplyAtLineSpeedArrivesWithinItsAllowance) {
    // The same reply 0.5 s late, then a byte every 100 us: well within.
    const Bytes reply = bytesOf({0x05, 0x00, 0x5A, 0x52, 0x01, 0x00, 0xAD, 0x00, 0x09});
    for (std::size_t i = 0; i < reply.size(); ++i) {
        const std::uint8_t byte = reply[i];
        clock.schedule(TClock::time_point{} + 500ms + i * 100us,
                       [this, byte] { robotSends({byte}); });
    }
    EXPECT_EQ(link.ReceivePacket(buffer, length), TLinkResult::Succeeded);
    EXPECT_EQ(length, 5);
    EXPECT_EQ(port.written, bytesOf({kAccept}));
}

TEST_F(LinkTest, TheDownloadsDeadlineEndsTheTriesAtOnce) {
    // A silent robot: two whole attempts, the third cut short by the deadline.
    link.setDeadline(clock.now() + 2500ms);
    EXPECT_EQ(link.SendPacketTries(bytesOf({1}).data(), 1), TLinkResult::OutOfTime);
    EXPECT_EQ(link.lastFailure(), TPacketLink::Failure::OutOfTime);
    EXPECT_EQ(clock.elapsed(), 2500ms);
    EXPECT_EQ(port.written.size(), 3u * 5);
    // Past the deadline, a reply already waiting is still read; none waiting is out of time.
    robotSends({0x01, 0x10, 0x10, 0x00, 0x10});
    EXPECT_EQ(link.ReceivePacketTries(buffer, length), TLinkResult::Succeeded);
    EXPECT_EQ(link.ReceivePacketTries(buffer, length), TLinkResult::OutOfTime);
    EXPECT_EQ(clock.elapsed(), 2500ms);
    // No reject follows a reply cut short by the deadline: the download is over.
    EXPECT_EQ(Bytes(port.written.begin() + 15, port.written.end()), bytesOf({kAccept}));
}

TEST_F(LinkTest, AClosedPortEndsTheTriesAtOnce) {
    port.close();
    EXPECT_EQ(link.SendPacketTries(bytesOf({1}).data(), 1), TLinkResult::PortLost);
    EXPECT_EQ(link.portError(), "the recorder is closed");
    EXPECT_EQ(clock.elapsed(), 0ms);
    EXPECT_TRUE(queue.failed());
}

TEST_F(LinkTest, APortFailureWakesAWaitingReaderAndLaterWritesStop) {
    queue.fail("cable pulled");
    std::uint8_t byte = 0;
    EXPECT_EQ(link.ReadByte(byte), TLinkResult::PortLost);
    EXPECT_EQ(link.portError(), "cable pulled");
    EXPECT_EQ(link.ReceivePacketTries(buffer, length), TLinkResult::PortLost);
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(clock.elapsed(), 0ms);
}

TEST(ReceiveQueue, HandsOutBytesInOrderAndClearForgetsAFailure) {
    TReceiveQueue queue;
    test::TManualClock clock;
    queue.append(bytesOf({1, 2}));
    queue.append(bytesOf({3}));
    queue.fail("gone");
    std::uint8_t byte = 0;
    // Bytes that arrived before the failure still come out first.
    for (int expected : {1, 2, 3}) {
        ASSERT_EQ(queue.take(byte, clock, clock.now()), TReceiveQueue::Take::Byte);
        EXPECT_EQ(byte, expected);
    }
    EXPECT_EQ(queue.take(byte, clock, clock.now()), TReceiveQueue::Take::Failed);
    queue.clear();
    EXPECT_FALSE(queue.failed());
    EXPECT_EQ(queue.take(byte, clock, clock.now()), TReceiveQueue::Take::TimedOut);
}

TEST(ReceiveQueue, KeepsTheNewestBytesWhenNobodyReadsThem) {
    TReceiveQueue queue;
    test::TManualClock clock;
    Bytes chatter(TReceiveQueue::kCapacity, 0x11);
    queue.append(chatter);
    queue.append(bytesOf({0x22, 0x33}));
    EXPECT_EQ(queue.size(), TReceiveQueue::kCapacity);
    std::uint8_t byte = 0;
    ASSERT_EQ(queue.take(byte, clock, clock.now()), TReceiveQueue::Take::Byte);
    EXPECT_EQ(byte, 0x11);
    Bytes tail;
    while (queue.take(byte, clock, clock.now()) == TReceiveQueue::Take::Byte)
        tail.push_back(byte);
    ASSERT_GE(tail.size(), 2u);
    EXPECT_EQ(Bytes(tail.end() - 2, tail.end()), bytesOf({0x22, 0x33}));
}

TEST(ReceiveQueue, AReaderOnAnotherThreadWakesForABytePushedLater) {
    TReceiveQueue queue;
    std::uint8_t byte = 0;
    TReceiveQueue::Take took = TReceiveQueue::Take::TimedOut;
    std::thread reader([&] {
        took = queue.take(byte, systemClock(), systemClock().now() + std::chrono::seconds(30));
    });
    queue.append(bytesOf({0x5A}));
    reader.join();
    EXPECT_EQ(took, TReceiveQueue::Take::Byte);
    EXPECT_EQ(byte, 0x5A);
}

} // namespace
} // namespace download
