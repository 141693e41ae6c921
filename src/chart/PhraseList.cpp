#include "chart/PhraseList.h"

#include "files/Files.h"

#include <system_error>

std::vector<std::string> splitPhraseLines(std::string_view bytes) {
    // Whatever follows a NUL byte is not part of the list.
    if (const auto nul = bytes.find('\0'); nul != std::string_view::npos)
        bytes = bytes.substr(0, nul);
    return files::SplitLines(bytes);
}

std::vector<std::string> numberedPhrases() {
    std::vector<std::string> list;
    list.reserve(kNumberedPhraseCount);
    for (int i = 0; i < kNumberedPhraseCount; ++i)
        list.push_back(std::to_string(i));
    return list;
}

std::filesystem::path programFolder(const char* argv0) {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec && !self.empty())
        return self.parent_path();
    if (argv0 && *argv0) {
        const std::filesystem::path given = std::filesystem::absolute(argv0, ec);
        if (!ec)
            return given.parent_path();
    }
    return {};
}

std::filesystem::path phraseListPath(const std::filesystem::path& programFolder) {
    return programFolder / kPhraseListFileName;
}

TPhraseList loadPhraseList(const std::filesystem::path& file) {
    // Without the file the phrases are numbered; anything else under the name (a folder, a
    // pipe, a file that cannot be read) is reported rather than silently replaced by numbers.
    if (files::IsMissing(file.string()))
        return {numberedPhrases(), {}};
    files::TResult<std::string> bytes = files::ReadWholeFile(file.string());
    if (!bytes)
        return {{}, bytes.errorMessage()};
    return {splitPhraseLines(*bytes), {}};
}
