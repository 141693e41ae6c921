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

template <class... Args> files::TMessage say(std::string_view wording, Args&&... args) {
    return files::Say("recovery", wording, std::forward<Args>(args)...);
}

} // namespace

files::TMessage RestoreQuestionMessage(const TRecoveredChart& chart,
                                       std::chrono::system_clock::time_point now) {
    static constexpr std::array<const char*, 12> kMonths{
        ZV_TRANSLATABLE("recovery", "Jan"), ZV_TRANSLATABLE("recovery", "Feb"),
        ZV_TRANSLATABLE("recovery", "Mar"), ZV_TRANSLATABLE("recovery", "Apr"),
        ZV_TRANSLATABLE("recovery", "May"), ZV_TRANSLATABLE("recovery", "Jun"),
        ZV_TRANSLATABLE("recovery", "Jul"), ZV_TRANSLATABLE("recovery", "Aug"),
        ZV_TRANSLATABLE("recovery", "Sep"), ZV_TRANSLATABLE("recovery", "Oct"),
        ZV_TRANSLATABLE("recovery", "Nov"), ZV_TRANSLATABLE("recovery", "Dec")};
    std::string file = chart.chartFileName;
    if (const std::size_t slash = file.find_last_of('/'); slash != std::string::npos)
        file.erase(0, slash + 1);
    const files::TMessage name =
        file.empty() ? say(ZV_TRANSLATABLE("recovery", "an unnamed chart")) : files::Value(file);
    const std::tm saved = localTime(chart.savedAt);
    const std::tm today = localTime(now);
    const std::string time = twoDigits(saved.tm_hour) + ":" + twoDigits(saved.tm_min);
    const files::TMessage month = say(kMonths[saved.tm_mon % 12]);
    const files::TMessage when =
        saved.tm_year == today.tm_year && saved.tm_yday == today.tm_yday ? files::Value(time)
        : saved.tm_year == today.tm_year
            //: The day of the month, the month and the time: "9 Dec 12:41".
            ? say(ZV_TRANSLATABLE("recovery", "%1 %2 %3"), saved.tm_mday, month, time)
            //: The day of the month, the month, the year and the time: "9 Dec 2025 12:41".
            : say(ZV_TRANSLATABLE("recovery", "%1 %2 %3 %4"), saved.tm_mday, month,
                  1900 + saved.tm_year, time);
    return say(ZV_TRANSLATABLE("recovery", "The editor closed before %1 was saved. Restore the "
                                           "changes from %2?"),
               name, when);
}

std::string RestoreQuestion(const TRecoveredChart& chart,
                            std::chrono::system_clock::time_point now) {
    return RestoreQuestionMessage(chart, now).English();
}

} // namespace recovery
