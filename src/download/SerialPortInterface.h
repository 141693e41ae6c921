#pragma once

#include "download/DownloadFailure.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace download {

// TSerialPortInterface: what the packet link needs of a serial port. The real
// port (QSerialPort), the in-process virtual robot and the tests' in-memory
// ports implement it, so the download runs without any particular port.
//
// Threads: open, close, discardBuffers and the handlers are set on the owner's
// thread. writeByte is called on the download worker's thread and must be safe
// there; implementations marshal it to wherever the device lives. The receive
// and error handlers may run on any thread: the receive queue is locked.
class TSerialPortInterface {
public:
    // Raw bytes that have arrived, in order.
    using ReceiveHandler = std::function<void(std::span<const std::uint8_t> bytes)>;
    // The port has failed or gone away (cable pulled, robot hung up): the text
    // says why; the port is closed by then.
    using ErrorHandler = std::function<void(const std::string& message)>;

    virtual ~TSerialPortInterface() = default;

    // Opens the port at 115200 baud 8N1 without flow control, DTR and RTS
    // asserted where the device allows it. False with errorString() set on failure.
    virtual bool open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // A short name for messages ("/dev/ttyUSB0", "COM3", "Virtual robot").
    virtual std::string portName() const = 0;
    // The reason of the last failure (open refused, port lost).
    virtual std::string errorString() const = 0;
    // Why the last open() failed, as far as the system tells: a port that is
    // not there, one another program holds, one the user may not use.
    virtual TOpenFailure openFailure() const { return {TOpenProblem::Other, errorString()}; }

    // Drops bytes waiting in the input and output buffers.
    virtual void discardBuffers() = 0;

    // Hands one byte to the port and returns once it has left the output
    // buffer. False when the port is closed or fails; errorString() says why.
    virtual bool writeByte(std::uint8_t byte) = 0;

    virtual void setReceiveHandler(ReceiveHandler handler) = 0;
    virtual void setErrorHandler(ErrorHandler handler) = 0;
};

} // namespace download
