#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace download {

// TClock: the download's view of time: the answer time limit and the pause
// after each chunk go through it, so tests run a download in simulated time.
class TClock {
public:
    using time_point = std::chrono::steady_clock::time_point;

    virtual ~TClock() = default;

    virtual time_point now() const = 0;
    // The pause after a chunk.
    virtual void sleepFor(std::chrono::milliseconds duration) = 0;
    // Waits on cv (lock held on entry and on return) until ready() holds or
    // the deadline has passed; returns ready().
    virtual bool waitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock,
                           time_point deadline, const std::function<bool()>& ready) = 0;
};

// TSystemClock: the steady clock and real sleeps.
class TSystemClock final : public TClock {
public:
    time_point now() const override { return std::chrono::steady_clock::now(); }
    void sleepFor(std::chrono::milliseconds duration) override;
    bool waitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock,
                   time_point deadline, const std::function<bool()>& ready) override;
};

// The one system clock shared by every download.
TClock& systemClock();

} // namespace download
