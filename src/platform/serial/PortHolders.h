#pragma once

#include "download/DownloadFailure.h"

#include <QSerialPort>
#include <string>

namespace platform {

// Why a serial port would not open, in terms the user can act on: a port
// another program holds (named from its lock file, or from the processes
// that have the device open), a lock left by a program that has ended, a
// port the user may not use (with the group that may), one that is not there.
download::TOpenFailure ExplainOpenFailure(const std::string& device,
                                          QSerialPort::SerialPortError error,
                                          const std::string& message);

// The lock file serial port programs leave for device ("LCK..ttyUSB0" in
// the system's lock folder), or empty when there is none.
std::string PortLockFile(const std::string& device);
// The program that holds device open, "name, process N", as the system
// tells (on Linux, from /proc); empty when it does not.
std::string PortHolder(const std::string& device);

} // namespace platform
