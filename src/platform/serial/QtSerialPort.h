#pragma once

#include "download/PortList.h"
#include "download/SerialPortInterface.h"

#include <QObject>
#include <QSerialPort>
#include <QThread>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

// TQtSerialPort: the serial port on QSerialPort. It lives on the thread that
// created it (the user-interface thread, or the command-line tool's main
// thread), or on the thread it was moved to (TSerialPortThread), and needs
// that thread's event loop running: received bytes arrive through it, and
// writes from the download worker are queued to it and wait until the byte
// has left the output buffer (waitForBytesWritten, then tcdrain on POSIX), so
// no thread ever polls the buffer. open, close and discardBuffers called from
// another thread wait for that thread to carry them out.
class TQtSerialPort final : public QObject, public download::TSerialPortInterface {
    Q_OBJECT

public:
    explicit TQtSerialPort(QObject* parent = nullptr);
    ~TQtSerialPort() override;

    // What open() opens: a device name or path ("/dev/ttyUSB0", "COM3") ...
    void setDeviceName(const std::string& name);
    // ... or a port number 1 to 8 (COMn on Windows; elsewhere the n-th port
    // the system reports).
    void setPortNumber(int number);

    // The device a port number stands for; empty with *error set when there
    // is none.
    static std::string deviceForNumber(int number, std::string* error = nullptr);
    // The serial ports the system reports: "name<TAB>description".
    static std::vector<std::string> availablePorts();
    // The same ports with what the system says of them.
    static std::vector<download::TPortInfo> portInfos();

    // Closes the port and hands the object over to thread, on the object's
    // own thread; the caller waits until it is done (TSerialPortThread's end).
    void releaseTo(QThread* thread);

    // How long a worker's write may wait for this thread before it fails.
    void setWriteTimeLimit(std::chrono::milliseconds limit) { m_writeLimit = limit; }

    bool open() override;
    void close() override;
    bool isOpen() const override { return m_open; }
    std::string portName() const override;
    std::string errorString() const override;
    download::TOpenFailure openFailure() const override;
    void discardBuffers() override;
    bool writeByte(std::uint8_t byte) override;
    void setReceiveHandler(ReceiveHandler handler) override;
    void setErrorHandler(ErrorHandler handler) override;

private:
    // Carries out the worker's pending write on this object's thread.
    Q_INVOKABLE void serviceWrite();
    // Runs task on this object's thread and waits for it: open, close and
    // discardBuffers called from another thread.
    void runOnOwnThread(std::function<void()> task);
    Q_INVOKABLE void serviceCall();
    bool writeHere(std::uint8_t byte);
    void readAvailable();
    void portError(QSerialPort::SerialPortError error);
    void setError(const std::string& text);
    bool openHere();
    void closeHere();

    QSerialPort* m_port;
    std::string m_device;
    int m_number = 0;
    std::atomic<bool> m_open{false};
    bool m_settingUp = false;
    // Reads that found nothing since the last byte arrived (see portError).
    static constexpr int kEmptyReadsBeforeFailure = 64;
    static constexpr int kWriteTimeoutMs = 1000; // a byte the driver will not take by then
    static constexpr int kWritePollMs = 50;
    int m_emptyReads = 0;
    std::chrono::milliseconds m_writeLimit{5000};
    mutable std::mutex m_mutex; // the error text and the handlers
    std::string m_error;
    std::string m_name;
    download::TOpenFailure m_openFailure;
    ReceiveHandler m_receive;
    ErrorHandler m_errorHandler;

    // The call another thread waits for (runOnOwnThread). The hand-over goes
    // through these locks, not through Qt's event queue alone, so every
    // thread sees what the task wrote.
    struct PendingCall {
        std::mutex callers; // one call at a time
        std::mutex mutex;
        std::condition_variable cv;
        std::function<void()> task;
        bool done = false;
    } m_call;

    // The one byte a worker is waiting to have written (one download at a time).
    struct PendingWrite {
        std::mutex mutex;
        std::condition_variable cv;
        bool requested = false;
        bool done = false;
        bool ok = false;
        std::uint8_t byte = 0;
    } m_write;
};

} // namespace platform
