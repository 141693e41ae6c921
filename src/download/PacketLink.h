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

// How a link operation ended.
enum class TLinkResult {
    Succeeded,     // the byte went out or came in; the packet was taken or arrived intact
    AttemptFailed, // one attempt failed: refused, damaged or unanswered in time
    GaveUp,        // all 11 attempts failed
    PortLost,      // the port is closed, gone, or the download stopped
};

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

    // One byte out, back once it has left the output buffer: Succeeded or PortLost.
    TLinkResult WriteByte(std::uint8_t byte);
    // The oldest received byte, waiting at most the answer time limit:
    // Succeeded, AttemptFailed (time-out) or PortLost.
    TLinkResult ReadByte(std::uint8_t& byte);

    // One attempt each: Succeeded, AttemptFailed or PortLost. The length
    // byte n means 1 to 255, and 0 means 256.
    TLinkResult SendPacket(const std::uint8_t* data, std::uint8_t n);
    TLinkResult ReceivePacket(std::array<std::uint8_t, 256>& buffer, int& length);
    // Up to 11 attempts: Succeeded, GaveUp, or PortLost at once.
    TLinkResult SendPacketTries(const std::uint8_t* data, std::uint8_t n);
    TLinkResult ReceivePacketTries(std::array<std::uint8_t, 256>& buffer, int& length);

    Failure lastFailure() const { return m_lastFailure; }
    // Why the port was lost (PortLost).
    const std::string& portError() const { return m_portError; }
    std::chrono::milliseconds answerTimeout() const { return m_timeout; }

private:
    TLinkResult portLost(std::string message);

    TSerialPortInterface& m_port;
    TReceiveQueue& m_queue;
    TClock& m_clock;
    std::chrono::milliseconds m_timeout;
    Failure m_lastFailure = Failure::None;
    std::string m_portError;
};

} // namespace download
