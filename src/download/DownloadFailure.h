#pragma once

#include "files/Message.h"

#include <cstddef>
#include <string>

// Why a download did not give the robot its program, in words a pupil can act
// on: one cause for each thing to check, and for each a line that says what
// happened and one that says what to do.
namespace download {

enum class TFailureCause {
    None,             // the robot has the program (or, for Test connection, answered)
    Cancelled,        // the user cancelled
    NoAnswer,         // nothing answered the hello packet
    StoppedAnswering, // the robot answered at first, then fell silent
    Garbage,          // answers that are no robot's: a wrong port or a wrong speed
    Refused,          // the robot refused one packet eleven times
    NotTaken,         // the robot's header reply did not begin AA AA
    PortLost,         // the port went away during the download (cable pulled)
    OutOfTime,        // the whole download took longer than it may
    PortNotFound,     // the port cannot be opened: it is not there
    PortBusy,         // the port cannot be opened: another program holds it
    NoPermission,     // the port cannot be opened: the user may not use it
    PortNotOpen,      // the port cannot be opened for another reason
};

// Why a port would not open, as far as the system tells.
enum class TOpenProblem { None, NotFound, Busy, NoPermission, Other };

struct TOpenFailure {
    TOpenProblem problem = TOpenProblem::None;
    std::string message = {};   // the system's words
    std::string holder = {};    // Busy: the program holding the port ("minicom, process 812")
    std::string staleLock = {}; // Busy: a lock file left behind by a program that has ended
    std::string group = {};     // NoPermission: the group whose members may use the port
    std::string user = {};      // NoPermission: the user who may not
};

TFailureCause CauseOfOpenProblem(TOpenProblem problem);

// What a failure is described from.
struct TFailureFacts {
    TFailureCause cause = TFailureCause::None;
    std::string port = {};  // as the user knows it: "ttyUSB0", "COM3", "Virtual robot"
    std::string where = {}; // where the download stopped: "the hello packet", "chunk 3 of 5"
    bool headerTaken = false;
    std::size_t confirmedBytes = 0;
    std::size_t imageBytes = 0;
    TOpenFailure open = {};       // the Port* causes
    std::string headerReply = {}; // NotTaken: the reply's first two bytes, "AA 55"
};

// A failure in words: what happened, and what to check or do.
struct TFailureReport {
    files::TMessage headline = {};
    files::TMessage remedy = {}; // empty when there is nothing to do
};

TFailureReport DescribeFailure(const TFailureFacts& facts);

// The words of a cancelled download: before the robot may have taken the
// header it keeps its previous program; after, it may hold part of the new one.
files::TMessage CancelledMessage(bool headerTaken, std::size_t confirmedBytes,
                                 std::size_t imageBytes);
std::string CancelledText(bool headerTaken, std::size_t confirmedBytes,
                          std::size_t imageBytes); // its English

// Where a download stopped ("the hello packet", "chunk 3 of 5", as TFailureFacts::where holds
// it) as a phrase of its own, translated with the rest of a message.
files::TMessage WhereMessage(const std::string& where);

// The name a port goes by in messages: a device path without its "/dev/"
// ("ttyUSB0", "pts/3"), another path's last part, other names as they are.
std::string PortShortName(const std::string& device);

// 4032 as "4,032".
std::string GroupedNumber(std::size_t value);

} // namespace download
