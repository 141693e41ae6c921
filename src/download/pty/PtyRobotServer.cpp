#include "download/pty/PtyRobotServer.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32

// Windows has no pseudo-terminals: the virtual robot serves in-process only.
namespace download {

TPtyRobotServer::~TPtyRobotServer() = default;

bool TPtyRobotServer::start(std::string* error) {
    if (error)
        *error = "Pseudo-terminals are not available on this system";
    return false;
}

void TPtyRobotServer::stop() {}

bool TPtyRobotServer::stopWhenReleased(std::chrono::milliseconds) {
    return false;
}

} // namespace download

#else

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#ifdef __APPLE__
#include <util.h>
#else
#include <pty.h>
#endif

namespace download {

TPtyRobotServer::~TPtyRobotServer() {
    stop();
}

bool TPtyRobotServer::start(std::string* error) {
    auto fail = [&](const char* what) {
        if (error)
            *error = std::string(what) + ": " + std::strerror(errno);
        closeTerminal();
        return false;
    };
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
        return fail("Cannot create a pseudo-terminal");
    // Raw bytes both ways: no echo, no line editing, no CR/LF translation.
    termios settings{};
    if (::tcgetattr(m_slave, &settings) == 0) {
        ::cfmakeraw(&settings);
        ::tcsetattr(m_slave, TCSANOW, &settings);
    }
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    if (::pipe(m_wake) != 0)
        return fail("Cannot create a pipe");
    ::fcntl(m_wake[0], F_SETFD, FD_CLOEXEC);
    ::fcntl(m_wake[1], F_SETFD, FD_CLOEXEC);
    m_path = name;
    m_robot.setOutput(
        [this](std::span<const std::uint8_t> bytes) { writeAll(bytes.data(), bytes.size()); });
    m_thread = std::thread([this] {
        serve();
        {
            std::lock_guard lock(m_doneMutex);
            m_done = true;
        }
        m_doneCv.notify_all();
    });
    return true;
}

namespace {

constexpr char kStopByte = 0;
constexpr char kReleaseByte = 1;

} // namespace

bool TPtyRobotServer::stopWhenReleased(std::chrono::milliseconds limit) {
    bool released = false;
    if (m_thread.joinable()) {
        [[maybe_unused]] const auto n = ::write(m_wake[1], &kReleaseByte, 1);
        std::unique_lock lock(m_doneMutex);
        released = m_doneCv.wait_for(lock, limit, [this] { return m_done; });
    }
    stop();
    return released;
}

void TPtyRobotServer::stop() {
    if (m_thread.joinable()) {
        const char stopByte = kStopByte;
        [[maybe_unused]] const auto n = ::write(m_wake[1], &stopByte, 1);
        m_thread.join();
    }
    closeTerminal();
    for (int& fd : m_wake) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void TPtyRobotServer::closeTerminal() {
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = m_slave = -1;
}

void TPtyRobotServer::writeAll(const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(m_master, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return; // the terminal is gone; the robot's words are lost with it
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

void TPtyRobotServer::serve() {
    std::uint8_t buffer[4096];
    bool releasing = false;
    for (;;) {
        pollfd fds[2] = {{m_master, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents) {
            char command = kStopByte;
            if (::read(m_wake[0], &command, 1) != 1 || command == kStopByte)
                return;
            // Release: from now on, the program closing its port ends the service.
            releasing = true;
            if (m_slave >= 0)
                ::close(m_slave);
            m_slave = -1;
            continue;
        }
        if (!(fds[0].revents & (POLLIN | POLLHUP | POLLERR)))
            continue;
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0) {
            if (releasing)
                return; // the program has closed its port
            // EIO: nobody holds the terminal open just now; wait a moment.
            ::poll(fds + 1, 1, 20);
            if (fds[1].revents)
                return;
            continue;
        }
        for (ssize_t i = 0; i < n; ++i)
            m_robot.receive(buffer[i]);
        if (m_robot.hungUp()) {
            // The cable is pulled: the program's port loses its device.
            closeTerminal();
            m_hungUp = true;
            return;
        }
    }
}

} // namespace download

#endif // _WIN32
