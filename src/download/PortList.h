#pragma once

#include <string>
#include <vector>

// The serial ports the system lists, and which of them to choose as the list
// changes while the download window is open.
namespace download {

struct TPortInfo {
    std::string device = {};       // what to open: "/dev/ttyUSB0", "COM3"
    std::string description = {};  // the system's words: "FT232R USB UART"
    std::string manufacturer = {}; // "FTDI"
    bool usb = false;              // a USB serial adapter (it has a vendor id): a robot's cable

    bool operator==(const TPortInfo&) const = default;
};

// "ttyUSB0 - FT232R USB UART (FTDI)": the short name, then what the system
// says of the port.
std::string PortEntryText(const TPortInfo& port);

// Why ChoosePort chose what it chose.
enum class TPortChoiceReason {
    NewAdapter,  // a USB adapter was plugged in and it is the only one
    Kept,        // the port chosen before is still listed
    LastUsed,    // the port of the last download is listed
    OnlyAdapter, // the one USB adapter listed
    None,        // none of these: the first entry
};

struct TPortChoice {
    std::string device = {}; // empty with None
    TPortChoiceReason reason = TPortChoiceReason::None;

    bool operator==(const TPortChoice&) const = default;
};

// The port to choose after the system's list went from `before` to `after`
// (firstListing: there was no list before). A USB adapter that has just
// appeared is chosen when it is the only one: the pupil has plugged in the
// robot. Otherwise the current choice stays while it is listed, then the
// last port used, then the only USB adapter.
TPortChoice ChoosePort(const std::vector<TPortInfo>& before, const std::vector<TPortInfo>& after,
                       bool firstListing, const std::string& current, const std::string& lastUsed);

} // namespace download
