#include "platform/serial/SerialPortThread.h"

#include <QMetaObject>

namespace platform {

TSerialPortThread::TSerialPortThread(const std::string& device) : m_port(new TQtSerialPort) {
    m_port->setDeviceName(device);
    m_thread.setObjectName(QStringLiteral("serial ") + QString::fromStdString(device));
    m_port->moveToThread(&m_thread);
    m_thread.start();
}

TSerialPortThread::~TSerialPortThread() {
    // Closed where it lives, then handed back to this thread to be deleted here.
    QThread* owner = QThread::currentThread();
    QMetaObject::invokeMethod(
        m_port,
        [this, owner] {
            m_port->close();
            m_port->moveToThread(owner);
        },
        Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    delete m_port;
}

} // namespace platform
