// The question asked at start about an ended editor's autosave: the chart's name without its
// folder, and the autosave's local time told as briefly as the day allows.
#include "recovery/RestoreQuestion.h"

#include <ctime>
#include <gtest/gtest.h>

namespace {

// A local time as a time point, whatever the machine's time zone.
std::chrono::system_clock::time_point localAt(int year, int month, int day, int hour, int minute) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&t));
}

TEST(RestoreQuestion, NamesTheChartAndTheTimeAsBrieflyAsTheDayAllows) {
    const auto now = localAt(2026, 12, 10, 15, 30);
    struct Case {
        const char* what;
        std::string file;
        std::chrono::system_clock::time_point saved;
        std::string question;
    };
    const Case cases[] = {
        {"today", "/home/pupil/lesson.lcs", localAt(2026, 12, 10, 12, 41),
         "The editor closed before lesson.lcs was saved. Restore the changes from 12:41?"},
        {"just after midnight", "lesson.lcs", localAt(2026, 12, 10, 0, 5),
         "The editor closed before lesson.lcs was saved. Restore the changes from 00:05?"},
        {"yesterday", "/a/b/c.lcs", localAt(2026, 12, 9, 9, 7),
         "The editor closed before c.lcs was saved. Restore the changes from 9 Dec 09:07?"},
        {"last year", "x.lcs", localAt(2025, 1, 31, 23, 59),
         "The editor closed before x.lcs was saved. Restore the changes from 31 Jan 2025 23:59?"},
        {"never saved", "", localAt(2026, 12, 10, 15, 29),
         "The editor closed before an unnamed chart was saved. Restore the changes from 15:29?"},
    };
    for (const Case& c : cases) {
        recovery::TRecoveredChart chart{"id", c.file, c.saved, "<KELMORAX/>"};
        EXPECT_EQ(recovery::RestoreQuestion(chart, now), c.question) << c.what;
    }
}

} // namespace
