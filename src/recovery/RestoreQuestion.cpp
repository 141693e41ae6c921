#include "recovery/RestoreQuestion.h"

#include <array>
#include <ctime>

namespace recovery {

namespace {

std::tm localTime(std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&seconds, &local);
    return local;
}

std::string twoDigits(int n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

} // namespace

std::string RestoreQuestion(const TRecoveredChart& chart,
                            std::chrono::system_clock::time_point now) {
    static constexpr std::array<const char*, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::string name = chart.chartFileName;
    if (const std::size_t slash = name.find_last_of('/'); slash != std::string::npos)
        name.erase(0, slash + 1);
    if (name.empty())
        name = "an unnamed chart";
    const std::tm saved = localTime(chart.savedAt);
    const std::tm today = localTime(now);
    std::string when = twoDigits(saved.tm_hour) + ":" + twoDigits(saved.tm_min);
    const bool sameDay = saved.tm_year == today.tm_year && saved.tm_yday == today.tm_yday;
    if (!sameDay) {
        std::string day = std::to_string(saved.tm_mday) + " " + kMonths[saved.tm_mon % 12];
        if (saved.tm_year != today.tm_year)
            day += " " + std::to_string(1900 + saved.tm_year);
        when = day + " " + when;
    }
    return "The editor closed before " + name + " was saved. Restore the changes from " + when +
           "?";
}

} // namespace recovery
