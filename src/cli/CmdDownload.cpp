// zolvane download, ports and emulate: the serial side of the tool. They need
// the Qt serial port and pseudo-terminals; a build without the Qt parts says so.
#ifdef ZOLVANE_HAVE_PLATFORM

#include "cli/Commands.h"
#include "download/DownloadJob.h"
#include "download/UDownloadDo.h"
#include "download/pty/PtyRobotServer.h"
#include "files/Files.h"
#include "platform/events/QueuedPoster.h"
#include "platform/serial/QtSerialPort.h"
#include "platform/serial/SerialPortThread.h"

#include <QCoreApplication>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>
#include <mutex>
#ifndef _WIN32
#include <pthread.h>
#include <unistd.h>
#endif

namespace cli {

namespace {

constexpr long long kMaxTimeoutMs = 3600000; // an hour

bool parseCount(const std::string& text, long long low, long long high, long long& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value >= low && value <= high;
}

// One robot's line of a download to several: the port as it was named, the
// completion message, and for a failure what happened and what to check.
std::string robotLine(const std::string& port, const download::TDownloadJob::TResult& result) {
    std::string line = port + ": " + result.outcome.message;
    if (!result.success()) {
        line += ": " + result.report.headline;
        if (!result.report.remedy.empty())
            line += " " + result.report.remedy;
    }
    return line;
}

// The same program to several robots at once, each port on a thread of its
// own; one line per robot as it finishes. Exit status 0 only when every
// robot got the program.
int downloadToSeveral(const std::vector<std::string>& names, const download::TPackedListing& packed,
                      long long timeoutMs) {
    int argc = 1;
    char name[] = "zolvane";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    for (const download::TDroppedLine& line : packed.dropped)
        std::cerr << "zolvane: left out " << download::DroppedLineText(line) << '\n';
    bool everyRobot = true;
    std::vector<std::string> portNames; // as named, for the robots that run
    std::vector<std::unique_ptr<platform::TSerialPortThread>> ports;
    download::TMultiDownload multi(platform::queuedPoster(&app));
    for (const std::string& given : names) {
        std::string device = given;
        long long number = 0;
        if (parseCount(given, 1, 8, number)) {
            std::string error;
            device = platform::TQtSerialPort::deviceForNumber(static_cast<int>(number), &error);
            if (device.empty()) {
                // No such port: this robot's line comes before any other.
                std::cout << given << ": "
                          << download::CompletionMessage(packed.image.size(),
                                                         download::TDownloadStatus::Fail)
                          << ": " << error << std::endl;
                everyRobot = false;
                continue;
            }
        }
        ports.push_back(std::make_unique<platform::TSerialPortThread>(device));
        multi.addRobot(ports.back()->port());
        portNames.push_back(given);
    }
    if (ports.empty())
        return kFailure;
    multi.setAnswerTimeout(std::chrono::milliseconds(timeoutMs));
    multi.setHandlers({{},
                       [&](std::size_t robot, const download::TDownloadJob::TResult& result) {
                           std::cout << robotLine(portNames[robot], result) << std::endl;
                       },
                       [&](std::size_t succeeded, std::size_t robots) {
                           everyRobot = everyRobot && succeeded == robots;
                           app.quit();
                       }});
    multi.start(packed.image);
    app.exec();
    return everyRobot ? kSuccess : kFailure;
}

} // namespace

int runDownload(const Args& args) {
    std::vector<std::string> devices;
    std::string listing;
    long long timeoutMs = download::kDefaultAnswerTimeout.count();
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--port" && i + 1 < args.size()) {
            devices.push_back(args[++i]);
        } else if (args[i] == "--timeout-ms") {
            if (i + 1 >= args.size() || !parseCount(args[++i], 1, kMaxTimeoutMs, timeoutMs)) {
                std::cerr << "zolvane: download: --timeout-ms takes a whole number of "
                             "milliseconds from 1 to "
                          << kMaxTimeoutMs << '\n';
                return kUsageError;
            }
        } else if (listing.empty() && !args[i].starts_with("--")) {
            listing = args[i];
        } else {
            return kUsageError;
        }
    }
    if (devices.empty() || listing.empty())
        return kUsageError;
    for (const std::string& d : devices) {
        if (d.empty())
            return kUsageError;
    }
    for (std::size_t i = 0; i < devices.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (devices[i] == devices[j]) {
                std::cerr << "zolvane: download: the port " << devices[i]
                          << " is named twice: one robot a port\n";
                return kUsageError;
            }
        }
    }
    const std::string device = devices.front();

    const files::TResult<std::string> bytes = files::ReadWholeFile(listing);
    if (!bytes)
        return fail(bytes.error());
    const std::vector<std::string> lines = files::SplitLines(*bytes);
    if (lines.empty())
        return fail(listing + " holds no line: there is nothing to send");
    // A program the robot could not take is refused before the port is touched.
    const download::TPackedListing packed = download::PackListing(lines);
    if (const std::string refusal = download::ListingRefusal(packed); !refusal.empty())
        return fail(refusal);
    if (devices.size() > 1)
        return downloadToSeveral(devices, packed, timeoutMs);

    int argc = 1;
    char name[] = "zolvane";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    // The port lives on this thread; its event loop delivers received bytes
    // and carries out the worker's writes.
    platform::TQtSerialPort port;
    long long number = 0;
    if (parseCount(device, 1, 8, number))
        port.setPortNumber(static_cast<int>(number));
    else
        port.setDeviceName(device);
    if (!port.open())
        return fail(port.errorString());

    int status = kFailure;
    download::TDownloader downloader(port, platform::queuedPoster(&app));
    downloader.setAnswerTimeout(std::chrono::milliseconds(timeoutMs));
    downloader.setHandlers({{}, {}, [&](const download::TDownloadOutcome& outcome) {
                                std::cout << outcome.message << '\n' << std::flush;
                                const bool success =
                                    outcome.status == download::TDownloadStatus::Success;
                                if (!success && !outcome.reason.empty())
                                    std::cerr << "zolvane: " << outcome.reason << '\n';
                                status = success ? kSuccess : kFailure;
                                app.quit();
                            }});
    // The lines that fail the check are left out; each is named before the download starts.
    for (const download::TDroppedLine& line : packed.dropped)
        std::cerr << "zolvane: left out " << download::DroppedLineText(line) << '\n';
    const download::TStartResult start = downloader.SendPacked(packed);
    if (!start.started)
        return fail(start.error.empty() ? "nothing to send" : start.error);
    app.exec();
    return status;
}

int runPorts(const Args& args) {
    if (!args.empty())
        return kUsageError;
    int argc = 1;
    char name[] = "zolvane";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    int number = 0;
    for (const std::string& port : platform::TQtSerialPort::availablePorts()) {
#ifdef Q_OS_WIN
        (void)number;
        std::cout << port << '\n';
#else
        // Elsewhere than on Windows, --port N opens the N-th port of this list.
        std::cout << ++number << '\t' << port << '\n';
#endif
    }
    return kSuccess;
}

int runEmulate(const Args& args) {
#ifdef _WIN32
    (void)args;
    return fail("emulate needs pseudo-terminals, which this system does not have");
#else
    bool once = false;
    std::string saveTo;
    long long reject = 0;
    long long hangUpAfter = -1;
    bool silent = false;
    bool garbage = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--once") {
            once = true;
        } else if (args[i] == "--save" && i + 1 < args.size()) {
            saveTo = args[++i];
        } else if (args[i] == "--reject" && i + 1 < args.size()) {
            if (!parseCount(args[++i], 0, 1000000, reject))
                return kUsageError;
        } else if (args[i] == "--silent") {
            silent = true;
        } else if (args[i] == "--garbage") {
            garbage = true; // every answer garbled, as from a robot at another speed
        } else if (args[i] == "--hang-up" && i + 1 < args.size()) {
            // After this many chunks the robot goes away, as if its cable were pulled.
            if (!parseCount(args[++i], 0, 1000000, hangUpAfter))
                return kUsageError;
        } else {
            return kUsageError;
        }
    }

    // Every thread inherits these blocked signals; this thread takes them
    // one at a time with sigwait, so no handler runs at an awkward moment.
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGINT);
    sigaddset(&blocked, SIGTERM);
    sigaddset(&blocked, SIGHUP);
    sigaddset(&blocked, SIGUSR1); // the robot took an image and --once was given
    pthread_sigmask(SIG_BLOCK, &blocked, nullptr);

    download::TPtyRobotServer server;
    server.robot().rejectNextPackets(static_cast<int>(reject));
    if (silent)
        server.robot().setSilentAfterPackets(0);
    server.robot().garbleAnswers(garbage);
    server.robot().hangUpAfterChunks(static_cast<int>(hangUpAfter));
    std::mutex outputMutex;
    std::string saveError;
    server.robot().setImageHandler([&](const download::Bytes& image) {
        std::lock_guard lock(outputMutex);
        if (!saveTo.empty()) {
            // Replaced whole: a robot stopped half-way never leaves a truncated image behind.
            const files::TStatus saved = files::ReplaceFile(
                saveTo,
                std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
            if (!saved)
                saveError = saved.error();
        }
        std::cout << "received " << image.size() << " bytes" << std::endl;
        if (once)
            ::kill(::getpid(), SIGUSR1);
    });
    std::string error;
    if (!server.start(&error))
        return fail(error);
    std::cout << server.devicePath() << std::endl;

    int signal = 0;
    sigwait(&blocked, &signal);
    if (signal == SIGUSR1)
        server.stopWhenReleased(std::chrono::seconds(5)); // let the program read the last answer
    else
        server.stop();
    std::lock_guard lock(outputMutex);
    if (!saveError.empty())
        return fail(saveError);
    return signal == SIGUSR1 || signal == SIGINT || signal == SIGTERM ? kSuccess : kFailure;
#endif
}

} // namespace cli

#else // ZOLVANE_HAVE_PLATFORM

#include "cli/Commands.h"

namespace cli {

int runDownload(const Args&) {
    return fail("download needs the serial port: this build was made without the Qt parts");
}
int runPorts(const Args&) {
    return fail("ports needs the serial port: this build was made without the Qt parts");
}
int runEmulate(const Args&) {
    return fail("emulate needs the serial port: this build was made without the Qt parts");
}

} // namespace cli

#endif // ZOLVANE_HAVE_PLATFORM
