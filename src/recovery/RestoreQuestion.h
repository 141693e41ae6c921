// The question the editor asks at start when an autosave of another editor's chart was left
// behind: "The editor closed before lesson.lcs was saved. Restore the changes from 12:41?".
#pragma once

#include "files/Message.h"
#include "recovery/RecoveryStore.h"

#include <chrono>
#include <string>

namespace recovery {

// The chart's file name without its folder (or "an unnamed chart"), and the time of the
// autosave in local time: the hour alone on the same day, the day and month before that
// ("9 Dec 12:41"), the year too in another year.
files::TMessage RestoreQuestionMessage(const TRecoveredChart& chart,
                                       std::chrono::system_clock::time_point now);
std::string RestoreQuestion(const TRecoveredChart& chart,
                            std::chrono::system_clock::time_point now); // its English

} // namespace recovery
