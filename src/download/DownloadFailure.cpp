#include "download/DownloadFailure.h"

#include "download/PacketLink.h"

#include <cstdio>

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

namespace {

template <class... Args> files::TMessage say(std::string_view wording, Args&&... args) {
    return files::Say("download", wording, std::forward<Args>(args)...);
}

std::string sentence(std::string text) {
    if (!text.empty() && text.back() != '.')
        text += '.';
    return text;
}

} // namespace

files::TMessage CancelledMessage(bool headerTaken, std::size_t confirmedBytes,
                                 std::size_t imageBytes) {
    if (!headerTaken)
        return say(ZV_TRANSLATABLE("download", "Cancelled: the robot keeps its previous program"));
    // The robot writes each chunk over its program as it arrives and nothing
    // marks the end of a download: what it took stays, the rest is old bytes.
    return say(ZV_TRANSLATABLE("download", "Cancelled: the robot may now hold part of the new "
                                           "program (%1 of %2 bytes) instead of its previous "
                                           "one; download again before running it"),
               GroupedNumber(confirmedBytes), GroupedNumber(imageBytes));
}

std::string CancelledText(bool headerTaken, std::size_t confirmedBytes, std::size_t imageBytes) {
    return CancelledMessage(headerTaken, confirmedBytes, imageBytes).English();
}

files::TMessage WhereMessage(const std::string& where) {
    // The download sequence names the packets in these words (UDownloadDo.cpp).
    static constexpr const char* kPackets[] = {
        ZV_TRANSLATABLE("download", "the hello packet"),
        ZV_TRANSLATABLE("download", "the hello reply"),
        ZV_TRANSLATABLE("download", "the header packet"),
        ZV_TRANSLATABLE("download", "the header reply"),
    };
    for (const char* packet : kPackets)
        if (where == packet)
            return say(packet);
    unsigned chunk = 0;
    unsigned chunks = 0;
    char rest = 0;
    if (std::sscanf(where.c_str(), "chunk %u of %u%c", &chunk, &chunks, &rest) == 2 &&
        where == "chunk " + std::to_string(chunk) + " of " + std::to_string(chunks))
        return say(ZV_TRANSLATABLE("download", "chunk %1 of %2"), chunk, chunks);
    return files::Value(where);
}

namespace {

TFailureReport describe(const TFailureFacts& f) {
    const std::string& port = f.port;
    const bool during = !f.where.empty();
    const files::TMessage where = WhereMessage(f.where);
    switch (f.cause) {
    case TFailureCause::None:
        return {};
    case TFailureCause::Cancelled: {
        const files::TMessage cancelled =
            CancelledMessage(f.headerTaken, f.confirmedBytes, f.imageBytes);
        if (cancelled.English().ends_with('.'))
            return {cancelled, {}};
        return {say(ZV_TRANSLATABLE("download", "%1."), cancelled), {}};
    }
    case TFailureCause::NoAnswer:
        return {say(ZV_TRANSLATABLE("download", "No robot answered on %1."), port),
                say(ZV_TRANSLATABLE("download", "Is the robot switched on and waiting for a "
                                                "program? Is %1 its port? (Unplug the robot's "
                                                "cable: the port that leaves the list is the "
                                                "robot's.)"),
                    port)};
    case TFailureCause::StoppedAnswering:
        return {during ? say(ZV_TRANSLATABLE("download", "The robot stopped answering during %1."),
                             where)
                       : say(ZV_TRANSLATABLE("download", "The robot stopped answering.")),
                say(ZV_TRANSLATABLE("download", "Check that the robot is still switched on and "
                                                "that its cable is firmly in at both ends, then "
                                                "try again."))};
    case TFailureCause::Garbage:
        return {say(ZV_TRANSLATABLE("download", "The answers on %1 are not a robot's."), port),
                say(ZV_TRANSLATABLE("download", "This is probably the wrong port, or the device "
                                                "on it talks at another speed (the robot talks at "
                                                "115200 baud). Choose the robot's port and try "
                                                "again."))};
    case TFailureCause::Refused:
        return {during ? say(ZV_TRANSLATABLE("download", "The robot refused %1 %2 times."), where,
                             kMaxAttempts)
                       : say(ZV_TRANSLATABLE("download", "The robot refused a packet %1 times."),
                             kMaxAttempts),
                say(ZV_TRANSLATABLE("download", "A loose or damaged cable spoils the packets: "
                                                "push the cable firmly in at both ends (or try "
                                                "another cable) and try again."))};
    case TFailureCause::NotTaken:
        return {f.headerReply.empty()
                    ? say(ZV_TRANSLATABLE("download", "The robot did not take the program: its "
                                                      "reply to the header began otherwise "
                                                      "instead of AA AA."))
                    : say(ZV_TRANSLATABLE("download", "The robot did not take the program: its "
                                                      "reply to the header began %1 instead of "
                                                      "AA AA."),
                          f.headerReply),
                say(ZV_TRANSLATABLE("download", "Switch the robot off and on again so that it "
                                                "waits for a program, then try again."))};
    case TFailureCause::PortLost:
        return {during ? say(ZV_TRANSLATABLE("download", "The connection to the robot on %1 was "
                                                         "lost during %2."),
                             port, where)
                       : say(ZV_TRANSLATABLE("download", "The connection to the robot on %1 was "
                                                         "lost."),
                             port),
                say(ZV_TRANSLATABLE("download", "The cable was pulled out or the robot switched "
                                                "off: plug it in again, choose its port and try "
                                                "again."))};
    case TFailureCause::OutOfTime:
        return {during ? say(ZV_TRANSLATABLE("download", "The download took too long and was "
                                                         "stopped during %1."),
                             where)
                       : say(ZV_TRANSLATABLE("download", "The download took too long and was "
                                                         "stopped.")),
                say(ZV_TRANSLATABLE("download", "The robot answers very slowly: check the cable "
                                                "and try again."))};
    case TFailureCause::PortNotFound:
        return {say(ZV_TRANSLATABLE("download", "There is no port %1 (any more)."), port),
                say(ZV_TRANSLATABLE("download", "Plug the robot's cable in again and choose its "
                                                "port from the list."))};
    case TFailureCause::PortBusy:
        if (!f.open.staleLock.empty())
            return {
                say(ZV_TRANSLATABLE("download", "%1 is locked by a program that has ended."), port),
                say(ZV_TRANSLATABLE("download", "Delete the lock file %1 (it may take the "
                                                "administrator), then try again."),
                    f.open.staleLock)};
        return {f.open.holder.empty()
                    ? say(ZV_TRANSLATABLE("download", "%1 is in use by another program."), port)
                    : say(ZV_TRANSLATABLE("download", "%1 is in use by another program (%2)."),
                          port, f.open.holder),
                say(ZV_TRANSLATABLE("download", "Close that program (a terminal program, another "
                                                "editor, a second copy of this one) or choose "
                                                "another port."))};
    case TFailureCause::NoPermission: {
        const files::TMessage who = f.open.user.empty() ? say(ZV_TRANSLATABLE("download", "you"))
                                                        : files::Value(f.open.user);
        const std::string account = f.open.user.empty() ? std::string("$USER") : f.open.user;
        return {say(ZV_TRANSLATABLE("download", "You may not use %1."), port),
                f.open.group.empty()
                    ? say(ZV_TRANSLATABLE("download", "Ask the administrator to let %1 use %2."),
                          who, port)
                    : say(ZV_TRANSLATABLE("download", "Ask the administrator to let %1 use %2: on "
                                                      "Linux, by adding %1 to the group %3 (sudo "
                                                      "adduser %4 %3); then log out and in "
                                                      "again."),
                          who, port, f.open.group, account)};
    }
    case TFailureCause::PortNotOpen:
        return {f.open.message.empty()
                    ? say(ZV_TRANSLATABLE("download", "%1 cannot be opened."), port)
                    : say(ZV_TRANSLATABLE("download", "%1 cannot be opened: %2"), port,
                          sentence(f.open.message)),
                say(ZV_TRANSLATABLE("download", "Check that the robot's cable is plugged in, "
                                                "choose its port again and try again."))};
    }
    return {};
}

} // namespace

TFailureReport DescribeFailure(const TFailureFacts& facts) {
    TFailureReport report = describe(facts);
    const bool failed =
        facts.cause != TFailureCause::None && facts.cause != TFailureCause::Cancelled;
    if (failed && facts.headerTaken)
        report.remedy = say(ZV_TRANSLATABLE("download", "%1 The robot may now hold only part of "
                                                        "the new program (%2 of %3 bytes): "
                                                        "download it again before running it."),
                            std::move(report.remedy), GroupedNumber(facts.confirmedBytes),
                            GroupedNumber(facts.imageBytes));
    return report;
}

} // namespace download
