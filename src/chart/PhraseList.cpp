#include "chart/PhraseList.h"

#include <cerrno>
#include <fstream>
#include <iterator>
#include <system_error>

std::vector<std::string> splitPhraseLines(std::string_view bytes) {
    // Whatever follows a NUL byte is not part of the list.
    if (const auto nul = bytes.find('\0'); nul != std::string_view::npos)
        bytes = bytes.substr(0, nul);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.emplace_back(bytes.substr(start, i - start));
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.emplace_back(bytes.substr(start));
    return lines;
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

namespace {
TPhraseList failure(const std::filesystem::path& file, const std::string& reason) {
    TPhraseList result;
    result.error = "Cannot read the phrase list file \"" + file.string() + "\": " + reason;
    return result;
}
} // namespace

TPhraseList loadPhraseList(const std::filesystem::path& file) {
    std::error_code ec;
    const std::filesystem::file_status st = std::filesystem::status(file, ec);
    if (st.type() == std::filesystem::file_type::not_found)
        return {numberedPhrases(), {}};
    // Anything else that cannot be looked at (a folder without access) exists as far as we can
    // tell, so it is reported rather than silently replaced by numbers.
    if (ec)
        return failure(file, ec.message());
    if (std::filesystem::is_directory(st))
        return failure(file, std::make_error_code(std::errc::is_a_directory).message());
    // A pipe or device would block the start of the program or never end.
    if (!std::filesystem::is_regular_file(st))
        return failure(file, "not a regular file");

    errno = 0;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        const int err = errno ? errno : EACCES;
        return failure(file, std::generic_category().message(err));
    }
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        const int err = errno ? errno : EIO;
        return failure(file, std::generic_category().message(err));
    }
    return {splitPhraseLines(bytes), {}};
}
