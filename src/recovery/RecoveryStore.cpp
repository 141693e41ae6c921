#include "recovery/RecoveryStore.h"

#include "files/Files.h"
#include "files/Message.h"
#include "files/Translatable.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <string_view>
#include <sys/file.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace recovery {

namespace {

// A recovery file:
//   ZOLVANE RECOVERY 1\n
//   time MILLISECONDS-SINCE-1970\n
//   name LENGTH\n BYTES \n        (the chart's own file name; may hold any byte)
//   chart LENGTH\n BYTES \n
//   check FNV-1a-64 OF ALL ABOVE, 16 hex digits\n
// The lengths find a cut-off file, the check sum a changed one.
constexpr std::string_view kFirstLine = "ZOLVANE RECOVERY 1\n";
constexpr std::string_view kRecoverySuffix = ".recovery";
constexpr std::string_view kLockSuffix = ".lock";
// A lock file while its slot is being claimed; renamed to ID.lock once it is locked.
constexpr std::string_view kNewLockSuffix = ".lock.new";

std::uint64_t checkSum(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string hex16(std::uint64_t value) {
    std::string digits(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4)
        digits[static_cast<std::size_t>(i)] = "0123456789abcdef"[value & 15];
    return digits;
}

// Reads the fields of a recovery file front to back; every read fails once one has failed.
class TReader {
public:
    explicit TReader(std::string_view bytes) : m_rest(bytes) {}

    bool ok() const { return m_ok; }
    bool atEnd() const { return m_rest.empty(); }
    std::size_t left() const { return m_rest.size(); }

    void literal(std::string_view text) {
        if (m_ok && m_rest.starts_with(text))
            m_rest.remove_prefix(text.size());
        else
            m_ok = false;
    }
    // "KEY NUMBER\n".
    template <class T> T number(std::string_view key, int base = 10) {
        literal(key);
        literal(" ");
        T value{};
        if (!m_ok)
            return value;
        const auto [end, error] =
            std::from_chars(m_rest.data(), m_rest.data() + m_rest.size(), value, base);
        if (error != std::errc() || end == m_rest.data())
            m_ok = false;
        else
            m_rest.remove_prefix(static_cast<std::size_t>(end - m_rest.data()));
        literal("\n");
        return value;
    }
    // "KEY LENGTH\n" then that many bytes and "\n".
    std::string bytes(std::string_view key) {
        const auto size = number<std::size_t>(key);
        if (!m_ok || size >= m_rest.size()) {
            m_ok = false;
            return {};
        }
        std::string value(m_rest.substr(0, size));
        m_rest.remove_prefix(size);
        literal("\n");
        return value;
    }

private:
    std::string_view m_rest;
    bool m_ok = true;
};

// The slot names this store makes: the process id, a dash and eight hex digits.
bool isSlotId(std::string_view id) {
    return !id.empty() && id.size() <= 40 &&
           id.find_first_not_of("0123456789abcdef-") == std::string_view::npos;
}

std::string newSlotId() {
    static thread_local std::mt19937 random{std::random_device{}()};
    return std::to_string(::getpid()) + "-" + hex16(random()).substr(8);
}

// The slot id of a folder entry named ID + suffix; empty when it is not one.
std::string slotOf(std::string_view name, std::string_view suffix) {
    if (!name.ends_with(suffix))
        return {};
    name.remove_suffix(suffix.size());
    return isSlotId(name) ? std::string(name) : std::string();
}

std::vector<std::string> entryNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    return names;
}

// Takes an exclusive lock on the file without waiting; -1 when it is held elsewhere or cannot
// be opened. Read access is enough for the lock, so a folder of someone else's stays readable.
int lockExisting(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

std::string EncodeRecoveryFile(const std::string& chartXml, const std::string& chartFileName,
                               std::chrono::system_clock::time_point when) {
    const auto milliseconds =
        std::chrono::floor<std::chrono::milliseconds>(when.time_since_epoch()).count();
    std::string bytes;
    bytes.reserve(chartXml.size() + chartFileName.size() + 128);
    bytes += kFirstLine;
    bytes += "time " + std::to_string(milliseconds) + "\n";
    bytes += "name " + std::to_string(chartFileName.size()) + "\n" + chartFileName + "\n";
    bytes += "chart " + std::to_string(chartXml.size()) + "\n";
    bytes += chartXml;
    bytes += "\n";
    bytes += "check " + hex16(checkSum(bytes)) + "\n";
    return bytes;
}

std::optional<TRecoveredChart> DecodeRecoveryFile(const std::string& bytes) {
    TReader reader(bytes);
    TRecoveredChart chart;
    reader.literal(kFirstLine);
    const auto milliseconds = reader.number<std::int64_t>("time");
    chart.chartFileName = reader.bytes("name");
    chart.chartXml = reader.bytes("chart");
    const std::size_t checked = bytes.size() - reader.left();
    const auto sum = reader.number<std::uint64_t>("check", 16);
    if (!reader.ok() || !reader.atEnd() ||
        sum != checkSum(std::string_view(bytes).substr(0, checked)))
        return std::nullopt;
    chart.savedAt = std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::milliseconds(milliseconds)));
    return chart;
}

TRecoveryStore::TRecoveryStore(std::string folder)
    : m_folder(std::move(folder)),
      m_lastStatus(files::Error(files::Say(
          "recovery",
          ZV_TRANSLATABLE("recovery", "Cannot autosave in folder \"%1\". It was never opened"),
          m_folder))),
      m_thread([this] { work(); }) {}

TRecoveryStore::~TRecoveryStore() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
    for (const auto& [id, fd] : m_claims)
        ::close(fd);
    // A recovery file left now is offered at the next start: its lock file is made again then.
    if (m_lockFd >= 0) {
        ::unlink(m_lockName.c_str());
        ::close(m_lockFd);
    }
}

files::TStatus TRecoveryStore::open() {
    if (m_lockFd >= 0)
        return {};
    // The verbs are phrases of their own: "create" and "write to" a folder.
    const auto create = files::Say("recovery", ZV_TRANSLATABLE("recovery", "create"));
    const auto writeTo = files::Say("recovery", ZV_TRANSLATABLE("recovery", "write to"));
    const auto fail = [this](const files::TMessage& verb, files::TMessage reason) {
        files::TStatus status = files::Error(
            files::Say("recovery", ZV_TRANSLATABLE("recovery", "Cannot %1 folder \"%2\". %3"), verb,
                       m_folder, std::move(reason)));
        std::lock_guard lock(m_mutex);
        m_lastStatus = status;
        return status;
    };
    if (m_folder.empty())
        return fail(create,
                    files::Say("recovery", ZV_TRANSLATABLE("recovery", "No folder was given")));
    std::error_code ec;
    if (fs::create_directories(m_folder, ec))
        fs::permissions(m_folder, fs::perms::owner_all, ec); // the pupils' charts are theirs alone
    else if (ec)
        return fail(create, files::Value(ec.message()));
    if (!fs::is_directory(m_folder, ec))
        return fail(create, files::SystemReasonMessage(ENOTDIR));

    // The lock is taken under a name no other editor looks at, and only then given the slot's
    // name: an ID.lock that can be locked is always one whose editor has ended.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string id = newSlotId();
        const std::string fresh = (fs::path(m_folder) / ("." + id + std::string(kNewLockSuffix)));
        const int fd =
            ::open(fresh.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return fail(writeTo, files::SystemReasonMessage(errno));
        const auto giveUp = [&](int error) {
            ::unlink(fresh.c_str());
            ::close(fd);
            return fail(writeTo, files::SystemReasonMessage(error));
        };
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
            return giveUp(errno);
        const std::string lockName = (fs::path(m_folder) / (id + std::string(kLockSuffix)));
        const std::string fileName = (fs::path(m_folder) / (id + std::string(kRecoverySuffix)));
        if (!files::IsMissing(lockName) || !files::IsMissing(fileName)) {
            ::unlink(fresh.c_str());
            ::close(fd);
            continue;
        }
        if (::rename(fresh.c_str(), lockName.c_str()) != 0)
            return giveUp(errno);
        m_id = id;
        m_lockName = lockName;
        m_fileName = fileName;
        m_lockFd = fd;
        std::lock_guard lock(m_mutex);
        m_target = fileName;
        m_lastStatus = {};
        return {};
    }
    return fail(writeTo, files::Say("recovery",
                                    ZV_TRANSLATABLE("recovery", "No free name for a lock file")));
}

void TRecoveryStore::save(std::string chartXml, std::string chartFileName,
                          std::chrono::system_clock::time_point when) {
    {
        std::lock_guard lock(m_mutex);
        m_pending = TPending{std::move(chartXml), std::move(chartFileName), when};
    }
    m_wake.notify_all();
}

files::TStatus TRecoveryStore::flush() {
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return !m_pending && !m_writing; });
    return m_lastStatus;
}

files::TStatus TRecoveryStore::discard() {
    std::unique_lock lock(m_mutex);
    m_pending.reset();
    m_idle.wait(lock, [this] { return !m_writing; });
    if (m_target.empty() || ::unlink(m_target.c_str()) == 0 || errno == ENOENT)
        return {};
    return files::Error(files::FileError("remove", m_target, files::SystemReasonMessage(errno)));
}

void TRecoveryStore::work() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_pending || m_stopping; });
        if (!m_pending)
            return; // stopping, and everything handed over is written
        TPending job = std::move(*m_pending);
        m_pending.reset();
        const std::string target = m_target;
        if (target.empty()) {
            // Not open: the status stays open()'s message.
            m_idle.notify_all();
            continue;
        }
        m_writing = true;
        lock.unlock();
        files::TStatus status = files::ReplaceFile(
            target, EncodeRecoveryFile(job.chartXml, job.chartFileName, job.when));
        lock.lock();
        m_writing = false;
        m_lastStatus = std::move(status);
        m_idle.notify_all();
    }
}

int TRecoveryStore::claim(const std::string& id) const {
    const std::string lockName = (fs::path(m_folder) / (id + std::string(kLockSuffix))).string();
    int fd = lockExisting(lockName);
    if (fd < 0 && files::IsMissing(lockName)) {
        // The editor ended cleanly without removing its autosave, or its lock file was lost.
        fd = ::open(lockName.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            fd = -1;
        }
    }
    return fd;
}

std::vector<TRecoveredChart> TRecoveryStore::orphans() {
    std::vector<TRecoveredChart> found;
    for (const std::string& name : entryNames(m_folder)) {
        const std::string id = slotOf(name, kRecoverySuffix);
        if (id.empty() || id == m_id)
            continue;
        const bool held = m_claims.contains(id);
        const int fd = held ? m_claims.at(id) : claim(id);
        if (fd < 0)
            continue; // its editor is running, or another editor is offering it
        // Read only under the lock: a file seen before it was taken may be gone by now.
        const files::TResult<std::string> bytes =
            files::ReadWholeFile((fs::path(m_folder) / name).string());
        std::optional<TRecoveredChart> chart =
            bytes ? DecodeRecoveryFile(*bytes) : std::optional<TRecoveredChart>();
        if (!chart) {
            // Damaged, cut off or unreadable: never offered, and left as it is.
            if (!held)
                ::close(fd);
            continue;
        }
        chart->id = id;
        m_claims.emplace(id, fd);
        found.push_back(std::move(*chart));
    }
    removeUnsavedSlots();
    std::sort(found.begin(), found.end(), [](const TRecoveredChart& a, const TRecoveredChart& b) {
        return a.savedAt != b.savedAt ? a.savedAt > b.savedAt : a.id < b.id;
    });
    return found;
}

void TRecoveryStore::removeUnsavedSlots() {
    const auto limit = fs::file_time_type::clock::now() - std::chrono::minutes(1);
    for (const std::string& name : entryNames(m_folder)) {
        const std::string path = (fs::path(m_folder) / name).string();
        const std::string id = slotOf(name, kLockSuffix);
        if (!id.empty() && id != m_id && !m_claims.contains(id)) {
            const std::string fileName =
                (fs::path(m_folder) / (id + std::string(kRecoverySuffix))).string();
            if (!files::IsMissing(fileName))
                continue;
            const int fd = lockExisting(path);
            if (fd < 0)
                continue;
            // Its editor ended before it saved anything (or its save was cut off by a power
            // cut, leaving a temporary file): nothing to offer.
            if (files::IsMissing(fileName)) {
                m_claims.emplace(id, fd);
                removeClaimed(id);
            } else {
                ::close(fd);
            }
        } else if (name.starts_with(".") && name.ends_with(kNewLockSuffix)) {
            // A slot being claimed takes its lock at once; one left for a minute is from an
            // editor that ended right then.
            std::error_code ec;
            const auto written = fs::last_write_time(path, ec);
            if (ec || written > limit)
                continue;
            const int fd = lockExisting(path);
            if (fd >= 0) {
                ::unlink(path.c_str());
                ::close(fd);
            }
        }
    }
}

void TRecoveryStore::removeClaimed(const std::string& id) {
    const auto it = m_claims.find(id);
    if (it == m_claims.end())
        return;
    const fs::path folder(m_folder);
    const std::string fileName = (folder / (id + std::string(kRecoverySuffix))).string();
    ::unlink(fileName.c_str());
    // What a write cut off by a power cut left behind.
    const std::string prefix = files::ReplaceTemporaryPrefix(fileName);
    for (const std::string& name : entryNames(m_folder))
        if (name.starts_with(prefix))
            ::unlink((folder / name).c_str());
    // The lock file goes last, while it is still held: until then no other editor may take
    // the slot for one that has ended.
    ::unlink((folder / (id + std::string(kLockSuffix))).c_str());
    ::close(it->second);
    m_claims.erase(it);
}

void TRecoveryStore::remove(const TRecoveredChart& chart) {
    if (!isSlotId(chart.id) || chart.id == m_id)
        return;
    if (!m_claims.contains(chart.id)) {
        const int fd = claim(chart.id);
        if (fd < 0)
            return;
        m_claims.emplace(chart.id, fd);
    }
    removeClaimed(chart.id);
}

files::TStatus TRecoveryStore::adopt(const TRecoveredChart& chart) {
    save(chart.chartXml, chart.chartFileName, chart.savedAt);
    files::TStatus status = flush();
    if (status)
        remove(chart);
    return status;
}

void TRecoveryStore::release(const TRecoveredChart& chart) {
    const auto it = m_claims.find(chart.id);
    if (it == m_claims.end())
        return;
    ::close(it->second);
    m_claims.erase(it);
}

} // namespace recovery
