#include "platform/serial/SerialPortThread.h"

namespace platform {

TSerialPortThread::TSerialPortThread(const std::string& device) : m_port(new TQtSerialPort) {
    m_port->setDeviceName(device);
    m_thread.setObjectName(QStringLiteral("serial ") + QString::fromStdString(device));
    m_port->moveToThread(&m_thread);
    m_thread.start();
}

TSerialPortThread::~TSerialPortThread() {
    // Closed where it lives, then handed back to this thread to be deleted here.
    m_port->releaseTo(QThread::currentThread());
    m_thread.quit();
    m_thread.wait();
    delete m_port;
}

} // namespace platform
