#pragma once

#include "download/Clock.h"
#include "download/SerialPortInterface.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <span>
#include <string>

// The packet link: length byte (0 meaning 256), data, 16-bit sum (low, high)
// and XOR byte, each packet answered by 90 (accept) or 165 (reject), with up
// to 11 attempts.
namespace download {

inline constexpr std::uint8_t kAccept = 90; // 'Z'
inline constexpr std::uint8_t kReject = 165;
inline constexpr int kMaxAttempts = 11;
inline constexpr std::chrono::milliseconds kDefaultAnswerTimeout{1000};

// Result codes of the link operations.
inline constexpr int kLinkOk = 0;
inline constexpr int kLinkFailed = 1;        // all 11 attempts failed
inline constexpr int kLinkPortLost = 2;      // the port is closed, gone, or the download stopped
inline constexpr int kLinkAttemptFailed = 3; // one attempt failed

struct TPacketSums {
    std::uint16_t sum = 0;
    std::uint8_t xorByte = 0;
};

// Sum (modulo 65536) and XOR of n data bytes.
TPacketSums PacketSums(const std::uint8_t* data, int n);

// TReceiveQueue: the received bytes on their way from the port's receive
// handler to ReadByte. Every access goes through one mutex; a waiting reader
// wakes for a byte, for a failure (port lost, download stopped) or at its
// deadline.
class TReceiveQueue {
public:
    enum class Take { Byte, TimedOut, Failed };

    // A robot chattering while no download reads the queue must not fill
    // the memory: beyond this many bytes the oldest are dropped.
    static constexpr std::size_t kCapacity = 1 << 20;

    // The receive handler's role: appends bytes in order.
    void append(std::span<const std::uint8_t> bytes);
    // The oldest byte, waiting until deadline at most.
    Take take(std::uint8_t& byte, TClock& clock, TClock::time_point deadline);
    // Empties the queue and forgets an earlier failure (start of a download).
    void clear();
    // Wakes every reader with the failure; the queue stays failed until clear().
    void fail(const std::string& message);
    bool failed() const;
    std::string failure() const;
    std::size_t size() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<std::uint8_t> m_bytes;
    std::string m_failure;
    bool m_failed = false;
};

// TPacketLink: the link operations over one port and receive queue, all
// called on the download worker's thread.
class TPacketLink {
public:
    // What made the last attempt fail, for the message.
    enum class Failure { None, Refused, NoAnswer, BadPacket, PortLost };

    TPacketLink(TSerialPortInterface& port, TReceiveQueue& queue, TClock& clock,
                std::chrono::milliseconds answerTimeout = kDefaultAnswerTimeout);

    // One byte out, back once it has left the output buffer: kLinkOk or kLinkPortLost.
    int WriteByte(std::uint8_t byte);
    // The oldest received byte, waiting at most the answer time limit:
    // kLinkOk, kLinkAttemptFailed (time-out) or kLinkPortLost.
    int ReadByte(std::uint8_t& byte);

    // One attempt each: kLinkOk, kLinkAttemptFailed or kLinkPortLost. The
    // length byte n means 1 to 255, and 0 means 256.
    int SendPacket(const std::uint8_t* data, std::uint8_t n);
    int ReceivePacket(std::array<std::uint8_t, 256>& buffer, int& length);
    // Up to 11 attempts: kLinkOk, kLinkFailed, or kLinkPortLost at once.
    int SendPacketTries(const std::uint8_t* data, std::uint8_t n);
    int ReceivePacketTries(std::array<std::uint8_t, 256>& buffer, int& length);

    Failure lastFailure() const { return m_lastFailure; }
    // Why the port was lost (kLinkPortLost).
    const std::string& portError() const { return m_portError; }
    std::chrono::milliseconds answerTimeout() const { return m_timeout; }

private:
    int portLost(std::string message);

    TSerialPortInterface& m_port;
    TReceiveQueue& m_queue;
    TClock& m_clock;
    std::chrono::milliseconds m_timeout;
    Failure m_lastFailure = Failure::None;
    std::string m_portError;
};

} // namespace download
