#include "platform/serial/QtSerialPort.h"

#include "platform/serial/PortHolders.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QSerialPortInfo>
#include <QThread>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <poll.h>
#include <termios.h>
#endif

namespace platform {

namespace {

// A sentence about the port in the interface's language with its values put in at once; the
// tool installs no translation and says it in English.
template <class... Args> std::string portText(const char* text, const Args&... args) {
    return QCoreApplication::translate("platform::TQtSerialPort", text)
        .arg(QString::fromStdString(args)...)
        .toStdString();
}

} // namespace

TQtSerialPort::TQtSerialPort(QObject* parent) : QObject(parent), m_port(new QSerialPort(this)) {
    connect(m_port, &QSerialPort::readyRead, this, &TQtSerialPort::readAvailable);
    connect(m_port, &QSerialPort::errorOccurred, this, &TQtSerialPort::portError);
}

TQtSerialPort::~TQtSerialPort() {
    closeHere();
}

void TQtSerialPort::setDeviceName(const std::string& name) {
    m_device = name;
    m_number = 0;
}

void TQtSerialPort::setPortNumber(int number) {
    m_number = number;
    m_device.clear();
}

std::string TQtSerialPort::deviceForNumber(int number, std::string* error) {
    if (number < 1 || number > 8) {
        if (error)
            *error =
                portText(QT_TRANSLATE_NOOP("platform::TQtSerialPort",
                                           "There is no serial port number %1: choose 1 to 8."),
                         std::to_string(number));
        return {};
    }
#ifdef Q_OS_WIN
    return "COM" + std::to_string(number);
#else
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    if (number > ports.size()) {
        if (error)
            *error = portText(QT_TRANSLATE_NOOP("platform::TQtSerialPort",
                                                "There is no serial port number %1: the "
                                                "system reports %2."),
                              std::to_string(number), std::to_string(ports.size()));
        return {};
    }
    return ports[number - 1].systemLocation().toStdString();
#endif
}

std::vector<std::string> TQtSerialPort::availablePorts() {
    std::vector<std::string> names;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        std::string line = info.systemLocation().toStdString();
        if (!info.description().isEmpty())
            line += "\t" + info.description().toStdString();
        names.push_back(std::move(line));
    }
    return names;
}

std::vector<download::TPortInfo> TQtSerialPort::portInfos() {
    std::vector<download::TPortInfo> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        ports.push_back({info.systemLocation().toStdString(), info.description().toStdString(),
                         info.manufacturer().toStdString(), info.hasVendorIdentifier()});
    return ports;
}

std::string TQtSerialPort::portName() const {
    std::lock_guard lock(m_mutex);
    return m_name;
}

std::string TQtSerialPort::errorString() const {
    std::lock_guard lock(m_mutex);
    return m_error;
}

void TQtSerialPort::setError(const std::string& text) {
    std::lock_guard lock(m_mutex);
    m_error = text;
}

download::TOpenFailure TQtSerialPort::openFailure() const {
    std::lock_guard lock(m_mutex);
    return m_openFailure;
}

bool TQtSerialPort::open() {
    if (QThread::currentThread() == thread())
        return openHere();
    bool opened = false;
    runOnOwnThread([this, &opened] { opened = openHere(); });
    return opened;
}

bool TQtSerialPort::openHere() {
    closeHere();
    std::string device = m_device;
    std::string error;
    if (device.empty()) {
        device = deviceForNumber(m_number, &error);
        if (device.empty()) {
            std::lock_guard lock(m_mutex);
            m_error = error;
            m_openFailure = {download::TOpenProblem::NotFound, error};
            return false;
        }
    }
    {
        std::lock_guard lock(m_mutex);
        m_name = device;
        m_error.clear();
        m_openFailure = {};
    }
    m_port->setPortName(QString::fromStdString(device));
    m_settingUp = true;
    const bool opened = m_port->open(QIODevice::ReadWrite);
    if (!opened) {
        m_settingUp = false;
        const std::string message =
            portText(QT_TRANSLATE_NOOP("platform::TQtSerialPort", "Cannot open %1: "), device);
        // Why, in terms the user can act on: who holds the port, or which
        // group may use it.
        download::TOpenFailure failure = ExplainOpenFailure(device, m_port->error(), message);
        std::lock_guard lock(m_mutex);
        m_error = message;
        m_openFailure = std::move(failure);
        return false;
    }
    m_port->setBaudRate(QSerialPort::Baud115200);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    // A pseudo-terminal has no modem lines: that is no error.
    m_port->setDataTerminalReady(true);
    m_port->setRequestToSend(true);
    m_port->clear(QSerialPort::AllDirections);
    m_port->clearError();
    m_settingUp = false;
    m_emptyReads = 0;
    m_open = true;
    return true;
}

void TQtSerialPort::close() {
    if (QThread::currentThread() == thread()) {
        closeHere();
        return;
    }
    // The worker may wait for a byte this thread is to write: it is told at
    // once, before the close is queued to the port's thread.
    {
        std::lock_guard lock(m_write.mutex);
        if (m_write.requested) {
            m_write.requested = false;
            m_write.ok = false;
            m_write.done = true;
        }
    }
    m_write.cv.notify_all();
    runOnOwnThread([this] { closeHere(); });
}

void TQtSerialPort::releaseTo(QThread* thread) {
    auto release = [this, thread] {
        closeHere();
        moveToThread(thread);
    };
    if (QThread::currentThread() == this->thread())
        release();
    else
        runOnOwnThread(release);
}

void TQtSerialPort::runOnOwnThread(std::function<void()> task) {
    std::lock_guard caller(m_call.callers);
    {
        std::lock_guard lock(m_call.mutex);
        m_call.task = std::move(task);
        m_call.done = false;
    }
    // Called by name: the event carries nothing of ours across threads.
    QMetaObject::invokeMethod(this, "serviceCall", Qt::QueuedConnection);
    std::unique_lock lock(m_call.mutex);
    m_call.cv.wait(lock, [this] { return m_call.done; });
}

void TQtSerialPort::serviceCall() {
    std::function<void()> task;
    {
        std::lock_guard lock(m_call.mutex);
        task = std::move(m_call.task);
        m_call.task = nullptr;
    }
    if (task)
        task();
    task = nullptr; // what it holds goes away here, before the caller goes on
    // Told under the lock: the caller may destroy this object as soon as it
    // sees done, so nothing of it is touched after the lock is released.
    std::lock_guard lock(m_call.mutex);
    m_call.done = true;
    m_call.cv.notify_all();
}

void TQtSerialPort::closeHere() {
    const bool wasOpen = m_open.exchange(false);
    // A worker waiting for its byte to be written here gets its answer now: this thread may be
    // about to wait for the worker (at program end), and nothing would serve the write then.
    {
        std::lock_guard lock(m_write.mutex);
        if (m_write.requested) {
            m_write.requested = false;
            m_write.ok = false;
            m_write.done = true;
        }
    }
    m_write.cv.notify_all();
    if (m_port->isOpen())
        m_port->close();
    if (!wasOpen)
        return;
    // Closed while a download may be running: the worker stops at once
    // instead of waiting out its time limit.
    const std::string text = portText(
        QT_TRANSLATE_NOOP("platform::TQtSerialPort", "the serial port %1 was closed"), portName());
    setError(text);
    ErrorHandler handler;
    {
        std::lock_guard lock(m_mutex);
        handler = m_errorHandler;
    }
    if (handler)
        handler(text);
}

void TQtSerialPort::discardBuffers() {
    if (QThread::currentThread() != thread()) {
        runOnOwnThread([this] { discardBuffers(); });
        return;
    }
    if (m_port->isOpen())
        m_port->clear(QSerialPort::AllDirections);
}

bool TQtSerialPort::writeByte(std::uint8_t byte) {
    if (QThread::currentThread() == thread())
        return writeHere(byte);
    // The worker's byte goes to this object's thread; the worker sleeps until
    // it has been written and drained, without polling.
    {
        std::lock_guard lock(m_write.mutex);
        m_write.byte = byte;
        m_write.requested = true;
        m_write.done = false;
    }
    QMetaObject::invokeMethod(this, "serviceWrite", Qt::QueuedConnection);
    std::unique_lock lock(m_write.mutex);
    if (!m_write.cv.wait_for(lock, m_writeLimit, [this] { return m_write.done; })) {
        m_write.requested = false; // too late: the byte is not to be written any more
        lock.unlock();
        setError(portText(QT_TRANSLATE_NOOP("platform::TQtSerialPort",
                                            "the serial port %1 did not take a byte within %2 ms"),
                          portName(), std::to_string(m_writeLimit.count())));
        return false;
    }
    return m_write.ok;
}

void TQtSerialPort::serviceWrite() {
    std::uint8_t byte = 0;
    {
        std::lock_guard lock(m_write.mutex);
        if (!m_write.requested)
            return;
        m_write.requested = false;
        byte = m_write.byte;
    }
    const bool ok = writeHere(byte);
    {
        std::lock_guard lock(m_write.mutex);
        m_write.ok = ok;
        m_write.done = true;
    }
    m_write.cv.notify_all();
}

bool TQtSerialPort::writeHere(std::uint8_t byte) {
    if (!m_open || !m_port->isOpen()) {
        if (errorString().empty())
            setError(portText(
                QT_TRANSLATE_NOOP("platform::TQtSerialPort", "the serial port %1 is not open"),
                portName()));
        return false;
    }
    const char c = static_cast<char>(byte);
    if (m_port->write(&c, 1) != 1) {
        setError(portText(QT_TRANSLATE_NOOP("platform::TQtSerialPort", "cannot write to %1: "),
                          portName()));
        return false;
    }
#ifdef Q_OS_UNIX
    // Handed to the driver here, without waitForBytesWritten: that also reads what arrives
    // meanwhile, and the read notification then due finds nothing, which QSerialPort reports
    // as a vanished device (an EAGAIN it takes for a lost resource).
    const int fd = static_cast<int>(m_port->handle());
    for (int waited = 0; m_open && m_port->bytesToWrite() > 0; waited += kWritePollMs) {
        m_port->flush();
        if (m_port->bytesToWrite() == 0)
            break;
        pollfd ready{fd, POLLOUT, 0};
        if (waited >= kWriteTimeoutMs || (::poll(&ready, 1, kWritePollMs) < 0 && errno != EINTR) ||
            (ready.revents & (POLLERR | POLLHUP | POLLNVAL))) {
            if (m_open)
                setError(portText(QT_TRANSLATE_NOOP("platform::TQtSerialPort",
                                                    "the serial port %1 does not send: "),
                                  portName()));
            return false;
        }
    }
    // Out of Qt's buffer is not yet out of the device: wait for the driver too.
    if (m_open)
        ::tcdrain(fd);
#else
    while (m_open && m_port->bytesToWrite() > 0) {
        if (!m_port->waitForBytesWritten(kWriteTimeoutMs) && m_port->bytesToWrite() > 0) {
            if (m_open)
                setError(portText(QT_TRANSLATE_NOOP("platform::TQtSerialPort",
                                                    "the serial port %1 does not send: "),
                                  portName()));
            return false;
        }
    }
#endif
    return m_open;
}

void TQtSerialPort::readAvailable() {
    const QByteArray bytes = m_port->readAll();
    if (bytes.isEmpty())
        return;
    m_emptyReads = 0;
    ReceiveHandler receive;
    {
        std::lock_guard lock(m_mutex);
        receive = m_receive;
    }
    if (receive)
        receive({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                 static_cast<std::size_t>(bytes.size())});
}

void TQtSerialPort::portError(QSerialPort::SerialPortError error) {
    if (m_settingUp || !m_open)
        return;
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError &&
        error != QSerialPort::WriteError)
        return;
    // A read notification whose bytes an earlier read inside
    // waitForBytesWritten already took reads nothing, and QSerialPort calls
    // that a ReadError: the port is fine. Only a run of such reads without a
    // byte between them means the device no longer delivers.
    if (error == QSerialPort::ReadError && ++m_emptyReads < kEmptyReadsBeforeFailure) {
        m_port->clearError();
        return;
    }
    // The device went away (cable pulled) or stopped working: close it and
    // tell the download at once instead of letting it wait. (QSerialPort's
    // own error text may still be that of an earlier, harmless failure.)
    const std::string text =
        error == QSerialPort::ResourceError
            ? portText(QT_TRANSLATE_NOOP("platform::TQtSerialPort",
                                         "the serial port %1 was disconnected"),
                       portName())
        : error == QSerialPort::ReadError
            ? portText(QT_TRANSLATE_NOOP("platform::TQtSerialPort",
                                         "reading from the serial port %1 failed"),
                       portName())
            : portText(QT_TRANSLATE_NOOP("platform::TQtSerialPort",
                                         "writing to the serial port %1 failed"),
                       portName());
    setError(text);
    m_open = false;
    ErrorHandler handler;
    {
        std::lock_guard lock(m_mutex);
        handler = m_errorHandler;
    }
    // Closing inside QSerialPort's own signal is not safe: do it next.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_open && m_port->isOpen())
                m_port->close();
        },
        Qt::QueuedConnection);
    if (handler)
        handler(text);
}

void TQtSerialPort::setReceiveHandler(ReceiveHandler handler) {
    std::lock_guard lock(m_mutex);
    m_receive = std::move(handler);
}

void TQtSerialPort::setErrorHandler(ErrorHandler handler) {
    std::lock_guard lock(m_mutex);
    m_errorHandler = std::move(handler);
}

} // namespace platform
