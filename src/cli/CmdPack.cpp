// zolvane check and zolvane pack: the line checks and the program image of a listing file.
#include "cli/Commands.h"
#include "download/ProgramImage.h"

#include <iostream>

namespace cli {

namespace {

// The lines of a listing file, split as the download window splits its text.
bool readListing(const std::string& fileName, std::vector<std::string>& lines) {
    download::Bytes bytes;
    std::string error;
    if (!download::ReadFileBytes(fileName, bytes, &error)) {
        fail(error);
        return false;
    }
    lines = download::SplitLines(std::string(bytes.begin(), bytes.end()));
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
    std::string error;
    if (!download::PackLines(lines, args[1], &error))
        return fail(error);
    return kSuccess;
}

} // namespace cli
