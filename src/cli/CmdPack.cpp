// zolvane check and zolvane pack: the line checks and the program image of a listing file.
#include "cli/Commands.h"
#include "download/ProgramImage.h"
#include "files/Files.h"

#include <iostream>

namespace cli {

namespace {

// The lines of a listing file, split as the download window splits its text.
bool readListing(const std::string& fileName, std::vector<std::string>& lines) {
    files::TResult<std::string> bytes = files::ReadWholeFile(fileName);
    if (!bytes) {
        fail(bytes.error());
        return false;
    }
    lines = files::SplitLines(*bytes);
    return true;
}

} // namespace

int runCheck(const Args& args) {
    if (args.size() != 1)
        return kUsageError;
    std::vector<std::string> lines;
    if (!readListing(args[0], lines))
        return kFailure;
    for (const std::string& line : lines)
        std::cout << download::CheckLine(line) << '\n';
    return kSuccess;
}

int runPack(const Args& args) {
    if (args.size() != 2)
        return kUsageError;
    std::vector<std::string> lines;
    if (!readListing(args[0], lines))
        return kFailure;
    if (files::TStatus packed = download::PackLines(lines, args[1]); !packed)
        return fail(packed.error());
    return kSuccess;
}

} // namespace cli
