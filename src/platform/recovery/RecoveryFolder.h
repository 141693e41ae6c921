// Where the editor keeps its autosave copies: a folder of the user's data, never beside a chart.
#pragma once

#include "files/Result.h"

#include <string>

namespace platform {

// "recovery" in the application's data folder of this user (QStandardPaths::AppDataLocation),
// as bytes in the system's code page. The folder need not exist yet. An error when the system
// names no such folder (no home folder).
files::TResult<std::string> RecoveryFolder();

} // namespace platform
