#pragma once

#include "download/Clock.h"
#include "download/PacketLink.h"
#include "download/ProgramImage.h"
#include "download/SerialPortInterface.h"
#include "download/UDownloadDo.h"
#include "download/VirtualRobot.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

namespace download {

// Failure reports name the values instead of showing their bytes.
inline void PrintTo(TLinkResult result, std::ostream* os) {
    switch (result) {
    case TLinkResult::Succeeded:
        *os << "Succeeded";
        return;
    case TLinkResult::AttemptFailed:
        *os << "AttemptFailed";
        return;
    case TLinkResult::GaveUp:
        *os << "GaveUp";
        return;
    case TLinkResult::PortLost:
        *os << "PortLost";
        return;
    case TLinkResult::OutOfTime:
        *os << "OutOfTime";
        return;
    case TLinkResult::Stopped:
        *os << "Stopped";
        return;
    }
    *os << "TLinkResult(" << static_cast<int>(result) << ")";
}

inline void PrintTo(TFailureCause cause, std::ostream* os) {
    static const char* const names[] = {
        "None",     "Cancelled",    "NoAnswer",   "StoppedAnswering", "Garbage",
        "Refused",  "NotTaken",     "PortLost",   "OutOfTime",        "PortNotFound",
        "PortBusy", "NoPermission", "PortNotOpen"};
    const auto n = static_cast<std::size_t>(cause);
    *os << (n < std::size(names) ? names[n] : "?");
}

inline void PrintTo(TDownloadStatus status, std::ostream* os) {
    *os << (status == TDownloadStatus::Success ? "Success" : "Fail");
}

inline void PrintTo(const TDownloadStep& step, std::ostream* os) {
    static const char* const names[] = {"HelloSent", "HelloAnswered", "HeaderSent",
                                        "HeaderAnswered", "ChunkSent"};
    const auto kind = static_cast<std::size_t>(step.kind);
    *os << (kind < std::size(names) ? names[kind] : "?") << " " << step.chunk << "/" << step.chunks;
}

} // namespace download

namespace download::test {

// Simulated time: a wait that nothing can satisfy jumps to its deadline, and
// pauses only move the clock, so a download's time limits cost no real time.
// Events scheduled for a time (a robot's byte arriving later) run inside a
// wait that reaches their time, the clock set to it, in time order.
class TManualClock final : public TClock {
public:
    time_point now() const override {
        std::lock_guard lock(m_mutex);
        return m_now;
    }
    void sleepFor(std::chrono::milliseconds duration) override {
        std::lock_guard lock(m_mutex);
        m_now += duration;
        m_pauses.push_back(duration);
    }
    bool waitUntil(std::condition_variable&, std::unique_lock<std::mutex>& lock,
                   time_point deadline, const std::function<bool()>& ready) override {
        for (;;) {
            if (ready())
                return true;
            std::function<void()> event;
            {
                std::lock_guard guard(m_mutex);
                if (m_events.empty() || m_events.begin()->first > deadline) {
                    if (m_now < deadline)
                        m_now = deadline;
                    ++m_timeouts;
                    return false;
                }
                m_now = std::max(m_now, m_events.begin()->first);
                event = std::move(m_events.begin()->second);
                m_events.erase(m_events.begin());
            }
            // The event feeds the waiter's queue, which takes the waiter's lock.
            lock.unlock();
            event();
            lock.lock();
        }
    }
    // Runs event in the first wait that reaches `at` (events of one time in
    // the order they were scheduled).
    void schedule(time_point at, std::function<void()> event) {
        std::lock_guard lock(m_mutex);
        m_events.emplace(at, std::move(event));
    }
    std::chrono::milliseconds elapsed() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(now() - time_point{});
    }
    std::chrono::microseconds elapsedMicros() const {
        return std::chrono::duration_cast<std::chrono::microseconds>(now() - time_point{});
    }
    std::vector<std::chrono::milliseconds> pauses() const {
        std::lock_guard lock(m_mutex);
        return m_pauses;
    }
    int timeouts() const {
        std::lock_guard lock(m_mutex);
        return m_timeouts;
    }

private:
    mutable std::mutex m_mutex;
    time_point m_now{};
    std::multimap<time_point, std::function<void()>> m_events;
    std::vector<std::chrono::milliseconds> m_pauses;
    int m_timeouts = 0;
};

// A port that records what is written to it and answers nothing by itself;
// tests put the robot's bytes into the receive queue beforehand.
class TRecordingPort final : public download::TSerialPortInterface {
public:
    bool open() override {
        m_open = true;
        return true;
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    std::string portName() const override { return "recorder"; }
    std::string errorString() const override { return m_open ? "" : "the recorder is closed"; }
    void discardBuffers() override { ++discards; }
    bool writeByte(std::uint8_t byte) override {
        if (!m_open)
            return false;
        written.push_back(byte);
        if (closeAfterWrites > 0 && static_cast<int>(written.size()) >= closeAfterWrites)
            m_open = false;
        return true;
    }
    void setReceiveHandler(ReceiveHandler handler) override { receive = std::move(handler); }
    void setErrorHandler(ErrorHandler handler) override { error = std::move(handler); }

    Bytes written;
    int discards = 0;
    int closeAfterWrites = 0; // the port goes away after this many bytes (0: never)
    ReceiveHandler receive;
    ErrorHandler error;

private:
    bool m_open = true;
};

// A port in front of another that calls afterWrite(n) once the n-th byte
// (counted from 1) has gone through: a test's hook to act at an exact point
// of the exchange.
class TTriggerPort final : public download::TSerialPortInterface {
public:
    explicit TTriggerPort(TSerialPortInterface& inner) : m_inner(inner) {}

    bool open() override { return m_inner.open(); }
    void close() override { m_inner.close(); }
    bool isOpen() const override { return m_inner.isOpen(); }
    std::string portName() const override { return m_inner.portName(); }
    std::string errorString() const override { return m_inner.errorString(); }
    void discardBuffers() override { m_inner.discardBuffers(); }
    bool writeByte(std::uint8_t byte) override {
        const bool ok = m_inner.writeByte(byte);
        ++written;
        if (afterWrite)
            afterWrite(written);
        return ok;
    }
    void setReceiveHandler(ReceiveHandler handler) override {
        m_inner.setReceiveHandler(std::move(handler));
    }
    void setErrorHandler(ErrorHandler handler) override {
        m_inner.setErrorHandler(std::move(handler));
    }

    std::function<void(int written)> afterWrite;
    int written = 0;

private:
    TSerialPortInterface& m_inner;
};

// The virtual robot at the end of a slow line, in the manual clock's time:
// each burst of its bytes begins `latency` after the byte that caused it
// (not before the last burst has passed), and its bytes follow `gap` apart.
class TSlowRobotPort final : public TSerialPortInterface {
public:
    TSlowRobotPort(TManualClock& clock, std::chrono::milliseconds latency,
                   std::chrono::milliseconds gap)
        : m_clock(clock), m_latency(latency), m_gap(gap) {
        m_robot.setOutput([this](std::span<const std::uint8_t> bytes) {
            auto at = std::max(m_clock.now() + m_latency, m_lastByte + m_gap);
            for (std::uint8_t byte : bytes) {
                m_clock.schedule(at, [this, byte] {
                    if (m_receive)
                        m_receive(std::span<const std::uint8_t>(&byte, 1));
                });
                m_lastByte = at;
                at += m_gap;
            }
        });
    }
    TVirtualRobot& robot() { return m_robot; }

    bool open() override { return true; }
    void close() override {}
    bool isOpen() const override { return true; }
    std::string portName() const override { return "slow line"; }
    std::string errorString() const override { return {}; }
    void discardBuffers() override {}
    bool writeByte(std::uint8_t byte) override {
        m_robot.receive(byte);
        return true;
    }
    void setReceiveHandler(ReceiveHandler handler) override { m_receive = std::move(handler); }
    void setErrorHandler(ErrorHandler) override {}

private:
    TManualClock& m_clock;
    std::chrono::milliseconds m_latency;
    std::chrono::milliseconds m_gap;
    TClock::time_point m_lastByte{};
    TVirtualRobot m_robot;
    ReceiveHandler m_receive;
};

// Runs posted tasks when the test says so, as the owner's event loop would.
class TTaskQueue {
public:
    void post(std::function<void()> task) {
        std::lock_guard lock(m_mutex);
        m_tasks.push_back(std::move(task));
    }
    // Runs the tasks posted so far (and those they post); returns how many ran.
    int drain() {
        int ran = 0;
        for (;;) {
            std::vector<std::function<void()>> tasks;
            {
                std::lock_guard lock(m_mutex);
                tasks.swap(m_tasks);
            }
            if (tasks.empty())
                return ran;
            for (auto& task : tasks) {
                task();
                ++ran;
            }
        }
    }

private:
    std::mutex m_mutex;
    std::vector<std::function<void()>> m_tasks;
};

// The steps a download reports up to and including last: the hello and
// header steps in order, then chunks 1 to last.chunk of last.chunks.
inline std::vector<TDownloadStep> stepsThrough(TDownloadStep last) {
    using Kind = TDownloadStep::Kind;
    std::vector<TDownloadStep> steps;
    for (Kind kind :
         {Kind::HelloSent, Kind::HelloAnswered, Kind::HeaderSent, Kind::HeaderAnswered}) {
        steps.push_back({kind});
        if (kind == last.kind)
            return steps;
    }
    for (int k = 1; k <= last.chunk; ++k)
        steps.push_back({Kind::ChunkSent, k, last.chunks});
    return steps;
}

inline std::vector<std::string> traceLinesOf(const std::vector<TDownloadStep>& steps) {
    std::vector<std::string> lines;
    for (const TDownloadStep& step : steps)
        lines.push_back(TraceLine(step));
    return lines;
}

inline Bytes bytesOf(std::initializer_list<int> values) {
    Bytes bytes;
    for (int v : values)
        bytes.push_back(static_cast<std::uint8_t>(v));
    return bytes;
}

} // namespace download::test
