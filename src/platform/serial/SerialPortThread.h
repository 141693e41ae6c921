#pragma once

#include "platform/serial/QtSerialPort.h"

#include <QThread>
#include <string>

namespace platform {

// TSerialPortThread: a serial port with a thread of its own. Its port is a
// TQtSerialPort living on that thread, so the bytes of several robots' downloads go out
// side by side instead of one after another on the user-interface thread,
// which stays free meanwhile. The port is used from any thread through its
// interface (it carries each call over to its own thread).
class TSerialPortThread {
public:
    explicit TSerialPortThread(const std::string& device);
    // Closes the port on its thread, then ends the thread.
    ~TSerialPortThread();
    TSerialPortThread(const TSerialPortThread&) = delete;
    TSerialPortThread& operator=(const TSerialPortThread&) = delete;

    TQtSerialPort& port() { return *m_port; }

private:
    QThread m_thread;
    TQtSerialPort* m_port; // on m_thread until the destructor takes it back
};

} // namespace platform
