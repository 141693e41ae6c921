#include "download/DownloadFailure.h"

#include "download/PacketLink.h"

namespace download {

TFailureCause CauseOfOpenProblem(TOpenProblem problem) {
    switch (problem) {
    case TOpenProblem::NotFound:
        return TFailureCause::PortNotFound;
    case TOpenProblem::Busy:
        return TFailureCause::PortBusy;
    case TOpenProblem::NoPermission:
        return TFailureCause::NoPermission;
    case TOpenProblem::None:
    case TOpenProblem::Other:
        break;
    }
    return TFailureCause::PortNotOpen;
}

std::string GroupedNumber(std::size_t value) {
    std::string digits = std::to_string(value);
    for (std::size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ",");
    return digits;
}

std::string PortShortName(const std::string& device) {
    if (device.starts_with("/dev/") && device.size() > 5)
        return device.substr(5);
    const std::size_t slash = device.find_last_of('/');
    if (slash == std::string::npos || slash + 1 == device.size())
        return device;
    return device.substr(slash + 1);
}

std::string CancelledText(bool headerTaken, std::size_t confirmedBytes, std::size_t imageBytes) {
    if (!headerTaken)
        return "Cancelled: the robot keeps its previous program";
    // The robot writes each chunk over its program as it arrives and nothing
    // marks the end of a download: what it took stays, the rest is old bytes.
    return "Cancelled: the robot may now hold part of the new program (" +
           GroupedNumber(confirmedBytes) + " of " + GroupedNumber(imageBytes) +
           " bytes) instead of its previous one; download again before running it";
}

namespace {

std::string sentence(std::string text) {
    if (!text.empty() && text.back() != '.')
        text += '.';
    return text;
}

TFailureReport describe(const TFailureFacts& f) {
    const std::string& port = f.port;
    const std::string during = f.where.empty() ? std::string() : " during " + f.where;
    switch (f.cause) {
    case TFailureCause::None:
        return {};
    case TFailureCause::Cancelled:
        return {sentence(CancelledText(f.headerTaken, f.confirmedBytes, f.imageBytes)), {}};
    case TFailureCause::NoAnswer:
        return {"No robot answered on " + port + ".",
                "Is the robot switched on and waiting for a program? Is " + port +
                    " its port? (Unplug the robot's cable: the port that leaves the list is "
                    "the robot's.)"};
    case TFailureCause::StoppedAnswering:
        return {"The robot stopped answering" + during + ".",
                "Check that the robot is still switched on and that its cable is firmly in at "
                "both ends, then try again."};
    case TFailureCause::Garbage:
        return {"The answers on " + port + " are not a robot's.",
                "This is probably the wrong port, or the device on it talks at another speed "
                "(the robot talks at 115200 baud). Choose the robot's port and try again."};
    case TFailureCause::Refused:
        return {"The robot refused " + (f.where.empty() ? std::string("a packet") : f.where) + " " +
                    std::to_string(kMaxAttempts) + " times.",
                "A loose or damaged cable spoils the packets: push the cable firmly in at both "
                "ends (or try another cable) and try again."};
    case TFailureCause::NotTaken:
        return {"The robot did not take the program: its reply to the header began " +
                    (f.headerReply.empty() ? std::string("otherwise") : f.headerReply) +
                    " instead of AA AA.",
                "Switch the robot off and on again so that it waits for a program, then try "
                "again."};
    case TFailureCause::PortLost:
        return {"The connection to the robot on " + port + " was lost" + during + ".",
                "The cable was pulled out or the robot switched off: plug it in again, choose "
                "its port and try again."};
    case TFailureCause::OutOfTime:
        return {"The download took too long and was stopped" + during + ".",
                "The robot answers very slowly: check the cable and try again."};
    case TFailureCause::PortNotFound:
        return {"There is no port " + port + " (any more).",
                "Plug the robot's cable in again and choose its port from the list."};
    case TFailureCause::PortBusy:
        if (!f.open.staleLock.empty())
            return {port + " is locked by a program that has ended.",
                    "Delete the lock file " + f.open.staleLock +
                        " (it may take the administrator), then try again."};
        return {port + " is in use by another program" +
                    (f.open.holder.empty() ? std::string() : " (" + f.open.holder + ")") + ".",
                "Close that program (a terminal program, another editor, a second copy of this "
                "one) or choose another port."};
    case TFailureCause::NoPermission: {
        std::string remedy = "Ask the administrator to let ";
        remedy += f.open.user.empty() ? std::string("you") : f.open.user;
        remedy += " use " + port;
        if (!f.open.group.empty())
            remedy += ": on Linux, by adding " +
                      (f.open.user.empty() ? std::string("you") : f.open.user) + " to the group " +
                      f.open.group + " (sudo adduser " +
                      (f.open.user.empty() ? std::string("$USER") : f.open.user) + " " +
                      f.open.group + "); then log out and in again";
        return {"You may not use " + port + ".", remedy + "."};
    }
    case TFailureCause::PortNotOpen:
        return {port + " cannot be opened" +
                    (f.open.message.empty() ? std::string(".") : ": " + sentence(f.open.message)),
                "Check that the robot's cable is plugged in, choose its port again and try "
                "again."};
    }
    return {};
}

} // namespace

TFailureReport DescribeFailure(const TFailureFacts& facts) {
    TFailureReport report = describe(facts);
    const bool failed =
        facts.cause != TFailureCause::None && facts.cause != TFailureCause::Cancelled;
    if (failed && facts.headerTaken)
        report.remedy += " The robot may now hold only part of the new program (" +
                         GroupedNumber(facts.confirmedBytes) + " of " +
                         GroupedNumber(facts.imageBytes) +
                         " bytes): download it again before running it.";
    return report;
}

} // namespace download
