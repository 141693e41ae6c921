#include "download/PacketLink.h"

#include <algorithm>

namespace download {

std::chrono::microseconds LineTime(std::size_t bytes) {
    const std::uint64_t bitMicros = std::uint64_t{bytes} * kBitsPerByte * 1000000;
    return std::chrono::microseconds((bitMicros + kBaudRate - 1) / kBaudRate);
}

std::chrono::microseconds AnswerAllowance(std::chrono::milliseconds answerTimeout,
                                          std::size_t bytes) {
    return answerTimeout + kAnswerSlack + kAnswerLineFactor * LineTime(bytes);
}

TPacketSums PacketSums(const std::uint8_t* data, int n) {
    TPacketSums sums;
    for (int i = 0; i < n; ++i) {
        sums.sum = static_cast<std::uint16_t>(sums.sum + data[i]);
        sums.xorByte ^= data[i];
    }
    return sums;
}

void TReceiveQueue::append(std::span<const std::uint8_t> bytes) {
    if (bytes.empty())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
        if (m_bytes.size() > kCapacity)
            m_bytes.erase(m_bytes.begin(), m_bytes.begin() + static_cast<std::ptrdiff_t>(
                                                                 m_bytes.size() - kCapacity));
    }
    m_cv.notify_all();
}

TReceiveQueue::Take TReceiveQueue::take(std::uint8_t& byte, TClock& clock,
                                        TClock::time_point deadline) {
    std::unique_lock lock(m_mutex);
    for (;;) {
        // A stop requested during the wait shortens it: the wait starts again
        // with the wind-down's end as its limit.
        const TClock::time_point stopAt = m_stopAt;
        clock.waitUntil(m_cv, lock, std::min(deadline, stopAt),
                        [&] { return m_failed || !m_bytes.empty() || m_stopAt != stopAt; });
        // Bytes that arrived before a failure are still the robot's answer.
        if (!m_bytes.empty()) {
            byte = m_bytes.front();
            m_bytes.pop_front();
            return Take::Byte;
        }
        if (m_failed)
            return Take::Failed;
        if (m_stopAt != stopAt)
            continue;
        return stopAt <= deadline ? Take::Stopped : Take::TimedOut;
    }
}

void TReceiveQueue::clear() {
    std::lock_guard lock(m_mutex);
    m_bytes.clear();
    m_failed = false;
    m_failure.clear();
    m_stopAt = TClock::time_point::max();
    m_stopRequested = false;
}

void TReceiveQueue::stop(TClock::time_point windDownUntil) {
    {
        std::lock_guard lock(m_mutex);
        m_stopAt = std::min(m_stopAt, windDownUntil);
        m_stopRequested = true;
    }
    m_cv.notify_all();
}

bool TReceiveQueue::stopRequested() const {
    std::lock_guard lock(m_mutex);
    return m_stopRequested;
}

void TReceiveQueue::fail(const std::string& message) {
    {
        std::lock_guard lock(m_mutex);
        if (!m_failed)
            m_failure = message;
        m_failed = true;
    }
    m_cv.notify_all();
}

bool TReceiveQueue::failed() const {
    std::lock_guard lock(m_mutex);
    return m_failed;
}

std::string TReceiveQueue::failure() const {
    std::lock_guard lock(m_mutex);
    return m_failure;
}

std::size_t TReceiveQueue::size() const {
    std::lock_guard lock(m_mutex);
    return m_bytes.size();
}

files::TMessage PortNotOpenMessage(const std::string& portName) {
    return files::Say("download", ZV_TRANSLATABLE("download", "the serial port %1 is not open"),
                      portName);
}

files::TMessage LinkPortWords(const std::string& words) {
    static constexpr std::string_view kBefore = "the serial port ";
    static constexpr std::string_view kAfter = " is not open";
    if (words.size() > kBefore.size() + kAfter.size() && words.starts_with(kBefore) &&
        words.ends_with(kAfter))
        return PortNotOpenMessage(
            words.substr(kBefore.size(), words.size() - kBefore.size() - kAfter.size()));
    return {};
}

TPacketLink::TPacketLink(TSerialPortInterface& port, TReceiveQueue& queue, TClock& clock,
                         std::chrono::milliseconds answerTimeout)
    : m_port(port), m_queue(queue), m_clock(clock), m_timeout(answerTimeout) {}

TLinkResult TPacketLink::portLost(std::string message) {
    m_lastFailure = Failure::PortLost;
    if (m_portError.empty())
        m_portError = std::move(message);
    return TLinkResult::PortLost;
}

TLinkResult TPacketLink::stopped() {
    m_lastFailure = Failure::Stopped;
    return TLinkResult::Stopped;
}

void TPacketLink::countFailure() {
    switch (m_lastFailure) {
    case Failure::Refused:
        ++(m_lastAnswer == kReject ? m_tally.rejects : m_tally.strangeAnswers);
        break;
    case Failure::NoAnswer:
        ++m_tally.silent;
        break;
    case Failure::TooSlow:
        ++m_tally.slow;
        break;
    case Failure::BadPacket:
        ++m_tally.damaged;
        break;
    case Failure::None:
    case Failure::PortLost:
    case Failure::OutOfTime:
    case Failure::Stopped:
        break;
    }
}

TLinkResult TPacketLink::WriteByte(std::uint8_t byte) {
    // A stopped download or a lost port ends the exchange before the next byte.
    if (m_queue.failed())
        return portLost(m_queue.failure());
    if (!m_port.writeByte(byte)) {
        std::string why = m_port.errorString();
        if (why.empty())
            why = PortNotOpenMessage(m_port.portName()).English();
        m_queue.fail(why);
        return portLost(why);
    }
    return TLinkResult::Succeeded;
}

TLinkResult TPacketLink::ReadByte(std::uint8_t& byte) {
    // The nearest of three limits: the time the robot has for this byte, the
    // time its whole answer has, and the time the whole download has.
    const TClock::time_point byteDeadline = m_clock.now() + m_timeout;
    const TClock::time_point until = std::min({byteDeadline, m_answerDeadline, m_deadline});
    switch (m_queue.take(byte, m_clock, until)) {
    case TReceiveQueue::Take::Byte:
        return TLinkResult::Succeeded;
    case TReceiveQueue::Take::TimedOut:
        if (until == m_deadline) {
            m_lastFailure = Failure::OutOfTime;
            return TLinkResult::OutOfTime;
        }
        if (until == byteDeadline) {
            m_lastFailure = Failure::NoAnswer;
        } else {
            m_lastFailure = Failure::TooSlow;
            m_lastAllowance = m_answerAllowance;
        }
        return TLinkResult::AttemptFailed;
    case TReceiveQueue::Take::Stopped:
        return stopped();
    case TReceiveQueue::Take::Failed:
        break;
    }
    return portLost(m_queue.failure());
}

TLinkResult TPacketLink::SendPacket(const std::uint8_t* data, std::uint8_t n) {
    if (m_queue.stopRequested())
        return stopped();
    const int count = n == 0 ? 256 : n;
    const TPacketSums sums = PacketSums(data, count);
    TLinkResult rc = WriteByte(n);
    for (int i = 0; rc == TLinkResult::Succeeded && i < count; ++i)
        rc = WriteByte(data[i]);
    for (std::uint8_t b :
         {static_cast<std::uint8_t>(sums.sum & 0xFF), static_cast<std::uint8_t>(sums.sum >> 8)}) {
        if (rc == TLinkResult::Succeeded)
            rc = WriteByte(b);
    }
    // Cancelled while the packet went out: its last byte makes it one the
    // robot refuses, so it takes nothing more and waits for the next packet.
    const bool spoil = m_queue.stopRequested();
    if (rc == TLinkResult::Succeeded)
        rc = WriteByte(spoil ? static_cast<std::uint8_t>(sums.xorByte ^ 0xFF) : sums.xorByte);
    if (rc != TLinkResult::Succeeded)
        return rc;
    if (spoil)
        return stopped();
    ++m_tally.sentWhole;
    std::uint8_t answer = 0;
    m_answerAllowance = AnswerAllowance(m_timeout, 1);
    m_answerDeadline = m_clock.now() + m_answerAllowance;
    rc = ReadByte(answer);
    m_answerDeadline = TClock::time_point::max();
    if (rc != TLinkResult::Succeeded)
        return rc;
    m_lastAnswer = answer;
    if (answer != kAccept) {
        m_lastFailure = Failure::Refused;
        return TLinkResult::AttemptFailed;
    }
    return TLinkResult::Succeeded;
}

TLinkResult TPacketLink::ReceivePacket(std::array<std::uint8_t, 256>& buffer, int& length) {
    const TClock::time_point start = m_clock.now();
    std::uint8_t lengthByte = 0;
    TLinkResult rc = ReadByte(lengthByte);
    const int count = lengthByte == 0 ? 256 : lengthByte;
    // Once the length is known, so is the time the whole packet may take: a
    // robot that drips its bytes cannot hold the attempt open for long.
    m_answerAllowance = AnswerAllowance(m_timeout, 1 + static_cast<std::size_t>(count) + 3);
    m_answerDeadline = start + m_answerAllowance;
    for (int i = 0; rc == TLinkResult::Succeeded && i < count; ++i)
        rc = ReadByte(buffer[static_cast<std::size_t>(i)]);
    std::uint8_t sumLow = 0, sumHigh = 0, xorByte = 0;
    if (rc == TLinkResult::Succeeded)
        rc = ReadByte(sumLow);
    if (rc == TLinkResult::Succeeded)
        rc = ReadByte(sumHigh);
    if (rc == TLinkResult::Succeeded)
        rc = ReadByte(xorByte);
    m_answerDeadline = TClock::time_point::max();
    if (rc == TLinkResult::PortLost || rc == TLinkResult::OutOfTime || rc == TLinkResult::Stopped)
        return rc;
    if (rc == TLinkResult::Succeeded) {
        const TPacketSums sums = PacketSums(buffer.data(), count);
        if (sums.sum == sumLow + 256 * sumHigh && sums.xorByte == xorByte) {
            rc = WriteByte(kAccept);
            if (rc != TLinkResult::Succeeded)
                return rc;
            length = count;
            return TLinkResult::Succeeded;
        }
        m_lastFailure = Failure::BadPacket;
    }
    // A damaged packet, or one that stopped coming: the reject asks the robot
    // to send it again.
    rc = WriteByte(kReject);
    return rc == TLinkResult::Succeeded ? TLinkResult::AttemptFailed : rc;
}

template <typename Attempt> TLinkResult TPacketLink::tries(Attempt&& attempt) {
    m_tally = {};
    for (int n = 1; n <= kMaxAttempts; ++n) {
        if (n > 1) {
            // Cancelled: the reject has gone out, and no fresh attempt is made.
            if (m_queue.stopRequested())
                return stopped();
            if (m_retry)
                m_retry(n, m_lastFailure);
        }
        ++m_tally.attempts;
        const TLinkResult rc = attempt();
        if (rc != TLinkResult::AttemptFailed)
            return rc;
        countFailure();
    }
    return TLinkResult::GaveUp;
}

TLinkResult TPacketLink::SendPacketTries(const std::uint8_t* data, std::uint8_t n) {
    return tries([&] { return SendPacket(data, n); });
}

TLinkResult TPacketLink::ReceivePacketTries(std::array<std::uint8_t, 256>& buffer, int& length) {
    return tries([&] { return ReceivePacket(buffer, length); });
}

} // namespace download
