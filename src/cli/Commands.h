#pragma once

#include <span>
#include <string>
#include <vector>

namespace cli {

inline constexpr int kSuccess = 0;
inline constexpr int kFailure = 1;
inline constexpr int kUsageError = 2; // main() prints the usage text
inline constexpr int kInterrupted = 130; // Ctrl+C stopped a download, as shells count it

using Args = std::vector<std::string>;

struct Command {
    const char* name;
    int (*run)(const Args& args);
};

// Every command the tool knows, gathered from the Cmd*.cpp sources.
std::span<const Command> commands();

// One command per source file; each is defined in its Cmd<Area>.cpp.
int runRecord(const Args& args);
int runListing(const Args& args);
int runLint(const Args& args);
int runChart(const Args& args);
int runExport(const Args& args);
int runResave(const Args& args);
int runCheck(const Args& args);
int runPack(const Args& args);
int runDownload(const Args& args);
int runPorts(const Args& args);
int runEmulate(const Args& args);
int runRun(const Args& args);

// Prints "zolvane: MESSAGE" on stderr and returns kFailure.
int fail(const std::string& message);

} // namespace cli
