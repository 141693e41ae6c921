#include "program/ProgramText.h"

#include "chart/FileReplace.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace program {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string fileError(std::string_view what, const std::string& path, int error) {
    return std::string(what) + " file \"" + path + "\". " + std::system_category().message(error);
}

// Missing for certain (not merely unreadable).
bool isMissing(const std::string& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    return status.type() == std::filesystem::file_type::not_found;
}

bool replaceText(ListingResult result, ProgramText& text, ProgramTextPrompts& prompts) {
    if (!result.ok()) {
        prompts.showError(*result.error);
        return false;
    }
    text = std::move(result.lines);
    return true;
}

} // namespace

std::string joinLines(std::span<const std::string> lines) {
    std::size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + 2;
    std::string bytes;
    bytes.reserve(size);
    for (const std::string& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

ProgramText splitLines(std::string_view bytes) {
    ProgramText lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(bytes.substr(start));
            break;
        }
        lines.emplace_back(bytes.substr(start, end - start));
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n')
            ++start;
    }
    return lines;
}

std::optional<std::string> writeTextFile(const std::string& path,
                                         std::span<const std::string> lines) {
    // A file (or a new name) is replaced whole, so a failed save keeps the old listing; anything
    // else that exists under the name (a device) is written in place.
    std::error_code ec;
    const auto type = std::filesystem::status(path, ec).type();
    if (type == std::filesystem::file_type::regular ||
        type == std::filesystem::file_type::not_found) {
        std::string error = WriteFileReplacing(path, joinLines(lines));
        if (error.empty())
            return std::nullopt;
        return error;
    }
    const bool existed = !isMissing(path);
    errno = 0;
    File file(std::fopen(path.c_str(), "wb"));
    if (!file)
        return fileError(existed ? "Cannot open" : "Cannot create", path, errno);
    const std::string bytes = joinLines(lines);
    errno = 0;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
                         std::fflush(file.get()) == 0;
    const int writeError = errno;
    errno = 0;
    const bool closed = std::fclose(file.release()) == 0;
    if (!written || !closed)
        return fileError("Cannot write", path, written ? errno : writeError);
    return std::nullopt;
}

std::optional<std::string> readTextFile(const std::string& path, ProgramText& lines) {
    errno = 0;
    File file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return fileError("Cannot open", path, errno);
    std::string bytes;
    char buffer[65536];
    errno = 0;
    for (;;) {
        const std::size_t count = std::fread(buffer, 1, sizeof buffer, file.get());
        bytes.append(buffer, count);
        if (count < sizeof buffer)
            break;
    }
    if (std::ferror(file.get()))
        return fileError("Cannot read", path, errno);
    lines = splitLines(bytes);
    return std::nullopt;
}

bool generateCommand(std::span<const BlockSource> blocks, ProgramText& text,
                     ProgramTextPrompts& prompts) {
    return replaceText(generateListing(blocks), text, prompts);
}

bool generateFromRecordsCommand(std::span<const std::string> records, ProgramText& text,
                                ProgramTextPrompts& prompts) {
    return replaceText(generateListingFromRecords(records), text, prompts);
}

bool saveTextCommand(const ProgramText& text, ProgramTextPrompts& prompts) {
    const std::optional<std::string> path = prompts.saveTextFileName();
    if (!path)
        return false;
    if (std::optional<std::string> error = writeTextFile(*path, text)) {
        prompts.showError(*error);
        return false;
    }
    return true;
}

bool loadTextCommand(ProgramText& text, ProgramTextPrompts& prompts) {
    const std::optional<std::string> path = prompts.openTextFileName();
    if (!path || isMissing(*path))
        return false;
    if (std::optional<std::string> error = readTextFile(*path, text)) {
        prompts.showError(*error);
        return false;
    }
    return true;
}

} // namespace program
