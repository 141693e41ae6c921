#pragma once

#include "download/VirtualRobot.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace download {

// TPtyRobotServer: the virtual robot behind a new pseudo-terminal. A serial
// port program opens devicePath() as it would open a real robot's port; the
// server's thread feeds every byte to the robot and writes its answers back.
// When the robot hangs up, the terminal's master side is closed, so the
// program sees its port disappear as if the cable had been pulled.
class TPtyRobotServer {
public:
    TPtyRobotServer() = default;
    ~TPtyRobotServer();
    TPtyRobotServer(const TPtyRobotServer&) = delete;
    TPtyRobotServer& operator=(const TPtyRobotServer&) = delete;

    // Creates the pseudo-terminal and starts serving. False with *error set
    // when the system refuses.
    bool start(std::string* error = nullptr);
    void stop();
    // Lets go of the terminal and serves on until the program has closed its
    // port too (or the limit has passed), then stops: the robot's last
    // answers are read before the terminal goes away. True when the program
    // closed its port in time.
    bool stopWhenReleased(std::chrono::milliseconds limit);

    const std::string& devicePath() const { return m_path; }
    TVirtualRobot& robot() { return m_robot; }
    bool hungUp() const { return m_hungUp; }

private:
    void serve();
    void closeTerminal();
    void writeAll(const std::uint8_t* data, std::size_t size);

    TVirtualRobot m_robot;
    std::string m_path;
    int m_master = -1;
    int m_slave = -1; // kept open so the master survives the program closing its port
    int m_wake[2] = {-1, -1};
    std::thread m_thread;
    std::atomic<bool> m_hungUp{false};
    std::mutex m_doneMutex;
    std::condition_variable m_doneCv;
    bool m_done = false; // the serving thread has ended
};

} // namespace download
