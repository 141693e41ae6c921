#pragma once

#include "download/Clock.h"
#include "download/SerialPortInterface.h"
#include "files/Message.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
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

// The line: 115200 baud, 8N1, so 10 bits a byte.
inline constexpr int kBaudRate = 115200;
inline constexpr int kBitsPerByte = 10;
// What a whole answer may take beyond the robot's time to begin it: this
// much, and kAnswerLineFactor times its bytes' time on the line.
inline constexpr std::chrono::milliseconds kAnswerSlack{250};
inline constexpr int kAnswerLineFactor = 10;

// The time n bytes take on the line, rounded up to whole microseconds.
std::chrono::microseconds LineTime(std::size_t bytes);
// The time from the start of the wait until an answer of n bytes must be
// whole: answerTimeout for the robot to begin, then kAnswerSlack and
// kAnswerLineFactor times the bytes' line time.
std::chrono::microseconds AnswerAllowance(std::chrono::milliseconds answerTimeout,
                                          std::size_t bytes);

// How a link operation ended.
enum class TLinkResult {
    Succeeded,     // the byte went out or came in; the packet was taken or arrived intact
    AttemptFailed, // one attempt failed: refused, damaged or unanswered in time
    GaveUp,        // all 11 attempts failed
    PortLost,      // the port is closed, gone, or the download stopped
    OutOfTime,     // the download's own deadline has passed
    Stopped,       // the download was cancelled and the exchange wound down
};

// How long a cancelled download may go on to leave the robot between two
// packets: a packet being written is finished, and an answer or a reply the
// robot is already sending is read and answered, for at most this long.
inline constexpr std::chrono::milliseconds kWindDown{150};

// The link's words for a port that would not take a byte and gave no reason of its own.
files::TMessage PortNotOpenMessage(const std::string& portName);
// Those words read back as their message; nothing for other words.
files::TMessage LinkPortWords(const std::string& words);

struct TPacketSums {
    std::uint16_t sum = 0;
    std::uint8_t xorByte = 0;
};

// Sum (modulo 65536) and XOR of n data bytes.
TPacketSums PacketSums(const std::uint8_t* data, int n);

// TReceiveQueue: the received bytes on their way from the port's receive
// handler to ReadByte. Every access goes through one mutex; a waiting reader
// wakes for a byte, for a failure (port lost, download stopped), for a stop
// request (Cancel) or at its deadline.
class TReceiveQueue {
public:
    enum class Take { Byte, TimedOut, Failed, Stopped };

    // A robot chattering while no download reads the queue must not fill
    // the memory: beyond this many bytes the oldest are dropped.
    static constexpr std::size_t kCapacity = 1 << 20;

    // The receive handler's role: appends bytes in order.
    void append(std::span<const std::uint8_t> bytes);
    // The oldest byte, waiting until deadline at most; once a stop is
    // requested, not beyond its wind-down time (Stopped).
    Take take(std::uint8_t& byte, TClock& clock, TClock::time_point deadline);
    // Empties the queue and forgets an earlier failure and stop (start of a download).
    void clear();
    // Cancel: readers wait no longer than windDownUntil (the earliest of
    // several requests holds) and the link starts no new packet.
    void stop(TClock::time_point windDownUntil);
    bool stopRequested() const;
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
    TClock::time_point m_stopAt = TClock::time_point::max();
    bool m_stopRequested = false;
};

// What the attempts of one SendPacketTries or ReceivePacketTries met: the
// cause of a failed step is read from it (refusals, answers that are no
// robot's, silence).
struct TAttemptTally {
    int attempts = 0;
    int sentWhole = 0;      // copies that went out whole and unspoiled: the robot may hold them
    int rejects = 0;        // answered 165
    int strangeAnswers = 0; // answered a byte that is neither 90 nor 165
    int damaged = 0;        // a packet whose sums did not match
    int silent = 0;         // nothing (more) arrived within the answer time limit
    int slow = 0;           // a reply that was not whole within its allowance

    bool operator==(const TAttemptTally&) const = default;
};

// TPacketLink: the link operations over one port and receive queue, all
// called on the download worker's thread.
class TPacketLink {
public:
    // What made the last attempt fail, for the message. Every answer other
    // than 90 is Refused; the tally tells 165 from other bytes.
    enum class Failure {
        None,
        Refused,
        NoAnswer,
        TooSlow,
        BadPacket,
        PortLost,
        OutOfTime,
        Stopped
    };
    // Told before every attempt after the first: its number (2 to 11) and
    // what made the one before fail.
    using RetryHandler = std::function<void(int attempt, Failure previous)>;

    TPacketLink(TSerialPortInterface& port, TReceiveQueue& queue, TClock& clock,
                std::chrono::milliseconds answerTimeout = kDefaultAnswerTimeout);

    // One byte out, back once it has left the output buffer: Succeeded or PortLost.
    TLinkResult WriteByte(std::uint8_t byte);
    // The oldest received byte, waiting at most the answer time limit, and
    // not past the packet's or the download's deadline: Succeeded,
    // AttemptFailed (time limit or packet deadline), OutOfTime or PortLost.
    TLinkResult ReadByte(std::uint8_t& byte);

    // One attempt each: Succeeded, AttemptFailed, OutOfTime, PortLost or
    // Stopped. The length byte n means 1 to 255, and 0 means 256. The answer
    // must be whole within AnswerAllowance of its length from the start of
    // the wait.
    //
    // Once a stop is requested, SendPacket starts no packet; a packet it is
    // writing is finished with a spoiled XOR byte, so the robot refuses it and
    // stays between packets; an answer due for a whole packet is still read
    // (within the wind-down). ReceivePacket reads and answers a reply the
    // robot is sending, so the robot is not left waiting for its answer.
    TLinkResult SendPacket(const std::uint8_t* data, std::uint8_t n);
    TLinkResult ReceivePacket(std::array<std::uint8_t, 256>& buffer, int& length);
    // Up to 11 attempts: Succeeded, GaveUp, or PortLost, OutOfTime or Stopped
    // at once. No new attempt follows a stop request.
    TLinkResult SendPacketTries(const std::uint8_t* data, std::uint8_t n);
    TLinkResult ReceivePacketTries(std::array<std::uint8_t, 256>& buffer, int& length);

    // The time after which every wait of the link ends as OutOfTime (none by default).
    void setDeadline(TClock::time_point deadline) { m_deadline = deadline; }
    TClock::time_point deadline() const { return m_deadline; }

    void setRetryHandler(RetryHandler handler) { m_retry = std::move(handler); }

    Failure lastFailure() const { return m_lastFailure; }
    // The last answer byte to a sent packet.
    std::uint8_t lastAnswer() const { return m_lastAnswer; }
    // The attempts of the last SendPacketTries or ReceivePacketTries.
    const TAttemptTally& tally() const { return m_tally; }
    // Why the port was lost (PortLost).
    const std::string& portError() const { return m_portError; }
    std::chrono::milliseconds answerTimeout() const { return m_timeout; }
    // The allowance of the last answer that was not whole in time (TooSlow).
    std::chrono::microseconds lastAllowance() const { return m_lastAllowance; }

private:
    TLinkResult portLost(std::string message);
    TLinkResult stopped();
    void countFailure();
    // Up to kMaxAttempts of one send or receive, stopping early when cancelled.
    template <typename Attempt> TLinkResult tries(Attempt&& attempt);

    TSerialPortInterface& m_port;
    TReceiveQueue& m_queue;
    TClock& m_clock;
    std::chrono::milliseconds m_timeout;
    TClock::time_point m_deadline = TClock::time_point::max();
    // The deadline of the answer being read, and its allowance.
    TClock::time_point m_answerDeadline = TClock::time_point::max();
    std::chrono::microseconds m_answerAllowance{0};
    std::chrono::microseconds m_lastAllowance{0};
    Failure m_lastFailure = Failure::None;
    std::uint8_t m_lastAnswer = 0;
    TAttemptTally m_tally;
    RetryHandler m_retry;
    std::string m_portError;
};

} // namespace download
