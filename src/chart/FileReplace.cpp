#include "chart/FileReplace.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

#if __has_include(<unistd.h>)
#include <unistd.h>
#define ZOLVANE_HAVE_FSYNC 1
#endif

namespace fs = std::filesystem;

namespace {

std::string osReason(int error) {
    return std::generic_category().message(error);
}

std::string cannotOpen(const std::string& name, const std::string& reason) {
    return "Cannot open file \"" + name + "\". " + reason;
}

std::string cannotCreate(const std::string& name, const std::string& reason) {
    return "Cannot create file \"" + name + "\". " + reason;
}

} // namespace

std::string WriteFileReplacing(const std::string& shownName, const std::string& text) {
    std::error_code ec;
    fs::path target(shownName);
    const bool existed = fs::exists(target, ec);
    const auto failure = [&](const std::string& reason) {
        return existed ? cannotOpen(shownName, reason) : cannotCreate(shownName, reason);
    };
    if (existed) {
        if (fs::is_directory(target, ec))
            return failure(osReason(EISDIR));
        // Replace the file a link points to, not the link.
        if (fs::is_symlink(fs::symlink_status(target, ec))) {
            const fs::path resolved = fs::canonical(target, ec);
            if (!ec)
                target = resolved;
        }
    }
    fs::path folder = target.parent_path();
    const std::string stem = "." + target.filename().string() + ".tmp";

    std::random_device seed;
    std::mt19937 random(seed());
    fs::path temporary;
    std::FILE* file = nullptr;
    for (int attempt = 0; attempt < 16 && !file; ++attempt) {
        temporary = folder / (stem + std::to_string(random() % 1000000));
        file = std::fopen(temporary.c_str(), "wbx"); // fails if the name is taken
        if (!file && errno != EEXIST)
            return failure(osReason(errno));
    }
    if (!file)
        return failure(osReason(EEXIST));

    int error = 0;
    if (std::fwrite(text.data(), 1, text.size(), file) != text.size())
        error = errno ? errno : EIO;
    if (!error && std::fflush(file) != 0)
        error = errno ? errno : EIO;
#ifdef ZOLVANE_HAVE_FSYNC
    if (!error && ::fsync(::fileno(file)) != 0)
        error = errno;
#endif
    if (std::fclose(file) != 0 && !error)
        error = errno ? errno : EIO;
    if (error) {
        fs::remove(temporary, ec);
        return failure(osReason(error));
    }
    if (existed) {
        const fs::file_status status = fs::status(target, ec);
        if (!ec)
            fs::permissions(temporary, status.permissions(), ec);
    }
    fs::rename(temporary, target, ec);
    if (ec) {
        const std::string reason = ec.message();
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return failure(reason);
    }
    return {};
}
