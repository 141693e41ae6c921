#include "download/Clock.h"

#include <thread>

namespace download {

void TSystemClock::sleepFor(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

bool TSystemClock::waitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock,
                             time_point deadline, const std::function<bool()>& ready) {
    return cv.wait_until(lock, deadline, ready);
}

TClock& systemClock() {
    static TSystemClock clock;
    return clock;
}

} // namespace download
