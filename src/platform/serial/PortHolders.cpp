#include "platform/serial/PortHolders.h"

#include <QCoreApplication>
#include <cerrno>
#include <fstream>
#include <string_view>

#ifdef Q_OS_UNIX
#include <filesystem>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

#ifdef Q_OS_UNIX

// The lock files' name: the device's path below /dev with its slashes as
// underscores, after "LCK.." ("/dev/pts/3" gives "LCK..pts_3").
std::string lockName(const std::string& device) {
    std::string name = device.starts_with("/dev/") ? device.substr(5) : device;
    for (char& c : name) {
        if (c == '/')
            c = '_';
    }
    return "LCK.." + name;
}

// A lock file begins with the holder's process number (as text, perhaps
// padded), then, as Qt writes it, the program's name on the next line.
bool readLock(const std::string& path, long& pid, std::string& program) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string first;
    std::getline(in, first);
    std::getline(in, program);
    const std::size_t digits = first.find_first_of("0123456789");
    if (digits == std::string::npos)
        return false;
    pid = std::stol(first.substr(digits, 9));
    return pid > 0;
}

bool processAlive(long pid) {
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

std::string processName(long pid, const std::string& fallback) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    if (!in || !std::getline(in, name) || name.empty())
        name = fallback;
    // The tool installs no translation and says it in English.
    const QString program = name.empty()
                                ? QCoreApplication::translate("platform::PortHolders", "a program")
                                : QString::fromStdString(name);
    return QCoreApplication::translate("platform::PortHolders", "%1, process %2")
        .arg(program, QString::number(pid))
        .toStdString();
}

std::string groupOf(const std::string& device) {
    struct stat st {};
    if (::stat(device.c_str(), &st) != 0)
        return {};
    const group* g = ::getgrgid(st.st_gid);
    return g && g->gr_name ? g->gr_name : std::string();
}

std::string userName() {
    const passwd* p = ::getpwuid(::geteuid());
    return p && p->pw_name ? p->pw_name : std::string();
}

#endif

} // namespace

std::string PortLockFile(const std::string& device) {
#ifdef Q_OS_UNIX
    const std::string name = lockName(device);
    for (const char* folder : {"/var/lock", "/run/lock", "/tmp", "/var/tmp", "/var/spool/locks"}) {
        const std::string path = std::string(folder) + "/" + name;
        std::error_code ec;
        if (std::filesystem::is_regular_file(path, ec))
            return path;
    }
#else
    (void)device;
#endif
    return {};
}

std::string PortHolder(const std::string& device) {
#ifdef Q_OS_LINUX
    std::error_code ec;
    const std::filesystem::path target = std::filesystem::canonical(device, ec);
    if (ec)
        return {};
    for (const auto& process : std::filesystem::directory_iterator("/proc", ec)) {
        const std::string pidText = process.path().filename().string();
        if (pidText.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::error_code fdError;
        for (const auto& fd : std::filesystem::directory_iterator(process.path() / "fd", fdError)) {
            std::error_code linkError;
            if (std::filesystem::read_symlink(fd.path(), linkError) == target && !linkError)
                return processName(std::stol(pidText), {});
        }
    }
#else
    (void)device;
#endif
    return {};
}

download::TOpenFailure ExplainOpenFailure(const std::string& device,
                                          QSerialPort::SerialPortError error,
                                          const std::string& message) {
    using download::TOpenProblem;
    download::TOpenFailure failure{TOpenProblem::Other, message};
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        failure.problem = TOpenProblem::NotFound;
        return failure;
    case QSerialPort::OpenError: // already open, by this very program
        failure.problem = TOpenProblem::Busy;
        failure.holder =
            QCoreApplication::translate("platform::PortHolders", "this program").toStdString();
        return failure;
    case QSerialPort::PermissionError:
        break;
    default:
        return failure;
    }
#ifdef Q_OS_UNIX
    // A lock file first: the program that wrote it holds the port, or has
    // ended without removing it.
    if (const std::string lock = PortLockFile(device); !lock.empty()) {
        long pid = 0;
        std::string program;
        if (readLock(lock, pid, program)) {
            failure.problem = TOpenProblem::Busy;
            if (processAlive(pid))
                failure.holder = processName(pid, program);
            else
                failure.staleLock = lock;
            return failure;
        }
    }
    // Without a lock: the device refuses this user, or another program has
    // it open alone.
    if (::access(device.c_str(), R_OK | W_OK) != 0 && errno == EACCES) {
        failure.problem = TOpenProblem::NoPermission;
        failure.group = groupOf(device);
        failure.user = userName();
        return failure;
    }
    failure.problem = TOpenProblem::Busy;
    failure.holder = PortHolder(device);
#else
    // Windows opens a port for one program at a time and says no more.
    (void)device;
    failure.problem = TOpenProblem::Busy;
#endif
    return failure;
}

} // namespace platform
