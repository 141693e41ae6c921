#include "files/Files.h"

#include "files/Translatable.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace files {

namespace {

// Closes a descriptor when it goes out of scope.
class TFd {
public:
    explicit TFd(int fd) : m_fd(fd) {}
    ~TFd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int get() const { return m_fd; }
    // Closes now; the errno of a failed close, 0 on success.
    int close() {
        const int fd = m_fd;
        m_fd = -1;
        return fd >= 0 && ::close(fd) != 0 ? errno : 0;
    }

private:
    int m_fd;
};

TMessage tooLarge() {
    return Say("files",
               ZV_TRANSLATABLE(
                   "files", "The file is larger than %1 MiB, more than any chart or program holds"),
               kMaxFileSize / (1024 * 1024));
}

TMessage notAFile() {
    return Say("files", ZV_TRANSLATABLE("files", "It is a device or pipe, not a file"));
}

int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

std::string sixDigits() {
    static thread_local std::mt19937 random{std::random_device{}()};
    std::string digits = std::to_string(random() % 1000000);
    return std::string(6 - digits.size(), '0') + digits;
}

// Creates a new file named prefix + six random digits in folder (mode 0600); nothing when
// the system refuses, with error set.
std::optional<std::string> createUnique(const fs::path& folder, std::string_view prefix,
                                        int& error) {
    error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        std::string name = (folder / (std::string(prefix) + sixDigits())).string();
        TFd fd(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (fd.get() >= 0)
            return name;
        error = errno;
    }
    return std::nullopt;
}

// Removes what interrupted saves of target left behind: regular files named prefix + digits
// that have not been touched for a minute (a save running in another window is younger).
void removeStaleTemporaries(const fs::path& folder, const std::string& prefix) {
    std::error_code ec;
    const auto limit = fs::file_time_type::clock::now() - std::chrono::minutes(1);
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end;
         !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!name.starts_with(prefix) || name.size() == prefix.size())
            continue;
        if (name.find_first_not_of("0123456789", prefix.size()) != std::string::npos)
            continue;
        std::error_code entryError;
        if (!it->is_regular_file(entryError) || it->is_symlink(entryError))
            continue;
        if (it->last_write_time(entryError) > limit || entryError)
            continue;
        fs::remove(it->path(), entryError);
    }
}

} // namespace

// The system's reason as a phrase when it is one of the common ones and the system words it as
// written here, so that it is translated too; any other reason, or other words (another C
// library), stays a value as the system gives it. The English is the system's either way.
TMessage SystemReasonMessage(int error) {
    struct TKnownReason {
        int error;
        std::string_view text;
    };
    static constexpr TKnownReason kKnown[] = {
        {ENOENT, ZV_TRANSLATABLE("files", "No such file or directory")},
        {EACCES, ZV_TRANSLATABLE("files", "Permission denied")},
        {EPERM, ZV_TRANSLATABLE("files", "Operation not permitted")},
        {EISDIR, ZV_TRANSLATABLE("files", "Is a directory")},
        {ENOTDIR, ZV_TRANSLATABLE("files", "Not a directory")},
        {ENOSPC, ZV_TRANSLATABLE("files", "No space left on device")},
        {EROFS, ZV_TRANSLATABLE("files", "Read-only file system")},
        {EEXIST, ZV_TRANSLATABLE("files", "File exists")},
        {ENAMETOOLONG, ZV_TRANSLATABLE("files", "File name too long")},
        {EDQUOT, ZV_TRANSLATABLE("files", "Disk quota exceeded")},
        {EIO, ZV_TRANSLATABLE("files", "Input/output error")},
    };
    std::string reason = SystemReason(error);
    for (const TKnownReason& known : kKnown)
        if (known.error == error && known.text == reason)
            return Say("files", known.text);
    return Value(std::move(reason));
}

TMessage FileVerb(std::string_view verb) {
    // Each verb written out, so that the translation tools collect it.
    static constexpr std::string_view kVerbs[] = {
        ZV_TRANSLATABLE("files", "open"), ZV_TRANSLATABLE("files", "read"),
        ZV_TRANSLATABLE("files", "create"), ZV_TRANSLATABLE("files", "write"),
        ZV_TRANSLATABLE("files", "remove")};
    for (const std::string_view known : kVerbs)
        if (known == verb)
            return Say("files", known);
    return Value(std::string(verb));
}

TMessage FileError(std::string_view verb, const std::string& name, const std::string& reason) {
    return FileError(verb, name, Value(reason));
}

TMessage FileError(std::string_view verb, const std::string& name, TMessage reason) {
    return Say("files", ZV_TRANSLATABLE("files", "Cannot %1 file \"%2\". %3"), FileVerb(verb), name,
               std::move(reason));
}

std::string SystemReason(int error) {
    return std::generic_category().message(error);
}

bool IsMissing(const std::string& path) {
    std::error_code error;
    return fs::status(path, error).type() == fs::file_type::not_found;
}

TResult<std::string> ReadWholeFile(const std::string& path) {
    // Non-blocking, so that opening a FIFO without a writer returns at once; what it is decides
    // next, from the open descriptor itself.
    TFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        return Error(FileError("open", path, SystemReasonMessage(errno)));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return Error(FileError("open", path, SystemReasonMessage(errno)));
    if (S_ISDIR(st.st_mode))
        return Error(FileError("open", path, SystemReasonMessage(EISDIR)));
    if (!S_ISREG(st.st_mode))
        return Error(FileError("open", path, notAFile()));
    if (static_cast<std::uint64_t>(st.st_size) > kMaxFileSize)
        return Error(FileError("open", path, tooLarge()));

    std::string bytes;
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t have = 0;
    for (;;) {
        // The file may grow while it is read: read on to its end, within the limit.
        if (have == bytes.size()) {
            if (bytes.size() > kMaxFileSize)
                return Error(FileError("read", path, tooLarge()));
            bytes.resize(bytes.size() + 65536);
        }
        const ssize_t n = ::read(fd.get(), bytes.data() + have, bytes.size() - have);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Error(FileError("read", path, SystemReasonMessage(errno)));
        }
        if (n == 0)
            break;
        have += static_cast<std::size_t>(n);
    }
    bytes.resize(have);
    return bytes;
}

std::string ReplaceTemporaryPrefix(const std::string& path) {
    return "." + fs::path(path).filename().string() + ".tmp";
}

TStatus ReplaceFile(const std::string& shownName, std::string_view bytes) {
    std::error_code ec;
    fs::path target(shownName);
    const fs::file_status linkStatus = fs::symlink_status(target, ec);
    if (fs::is_symlink(linkStatus)) {
        // Replace the file the link names, never the link itself.
        const fs::path resolved = fs::canonical(target, ec);
        if (!ec)
            target = resolved;
    }
    struct stat st {};
    const bool existed = ::stat(target.c_str(), &st) == 0;
    const std::string verb = existed ? "open" : "create";
    const auto failure = [&](TMessage reason) {
        return Error(FileError(verb, shownName, std::move(reason)));
    };
    if (!existed && errno != ENOENT)
        return failure(SystemReasonMessage(errno));
    if (existed) {
        if (S_ISDIR(st.st_mode))
            return failure(SystemReasonMessage(EISDIR));
        if (!S_ISREG(st.st_mode))
            return failure(notAFile());
        // A read-only file stays as it is, whoever asks (the superuser too).
        if ((st.st_mode & S_IWUSR) == 0 || ::access(target.c_str(), W_OK) != 0)
            return failure(SystemReasonMessage(EACCES));
    }

    const fs::path folder = target.parent_path();
    const std::string prefix = ReplaceTemporaryPrefix(target.string());
    removeStaleTemporaries(folder, prefix);
    int createError = 0;
    const std::optional<std::string> temporary =
        createUnique(folder.empty() ? fs::path(".") : folder, prefix, createError);
    if (!temporary)
        return failure(SystemReasonMessage(createError));
    const auto discard = [&](int error) {
        std::error_code ignored;
        fs::remove(*temporary, ignored);
        return failure(SystemReasonMessage(error));
    };

    TFd fd(::open(temporary->c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    if (fd.get() < 0)
        return discard(errno);
    if (int error = writeAll(fd.get(), bytes))
        return discard(error);
    if (::fsync(fd.get()) != 0)
        return discard(errno);
    // The old file's permissions; a new file gets what the user's umask leaves of rw-rw-rw-.
    mode_t mode = st.st_mode & 07777;
    if (!existed) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd.get(), mode) != 0)
        return discard(errno);
    if (int error = fd.close())
        return discard(error);
    if (::rename(temporary->c_str(), target.c_str()) != 0)
        return discard(errno);
    // The rename itself reaches the disk with the folder.
    TFd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
    return {};
}

TResult<std::string> TempFolder() {
    std::error_code ec;
    const fs::path folder = fs::temp_directory_path(ec);
    if (ec)
        return Error(
            Say("files", ZV_TRANSLATABLE("files", "No temporary folder: %1"), ec.message()));
    return folder.string();
}

TResult<std::string> MakeTempFile(const std::string& folder, std::string_view prefix) {
    int error = 0;
    if (std::optional<std::string> name = createUnique(folder, prefix, error))
        return std::move(*name);
    return Error(FileError("create", (fs::path(folder) / (std::string(prefix) + "NNNNNN")).string(),
                           SystemReasonMessage(error)));
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
    return lines;
}

std::string JoinLines(std::span<const std::string> lines) {
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

} // namespace files
