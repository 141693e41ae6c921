// zolvane download, ports and emulate: the serial side of the tool. They need
// the Qt serial port and pseudo-terminals; a build without the Qt parts says so.
#ifdef ZOLVANE_HAVE_PLATFORM

#include "cli/Commands.h"
#include "download/DownloadFailure.h"
#include "download/DownloadJob.h"
#include "download/UDownloadDo.h"
#include "download/pty/PtyRobotServer.h"
#include "files/Files.h"
#include "platform/events/QueuedPoster.h"
#include "platform/serial/QtSerialPort.h"
#include "platform/serial/SerialPortThread.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <functional>
#include <iostream>
#include <memory>
#include <mutex>
#ifndef _WIN32
#include <fcntl.h>
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

// Ctrl+C (or a polite kill) during a download: the first one cancels it, so
// the exchange is wound down between two packets and the robot is not left
// half-way through a packet; the outcome is printed as for any other end and
// the exit status is kInterrupted. A second one ends the tool at once.
class TInterruptWatch {
public:
    explicit TInterruptWatch(std::function<void()> cancel) : m_cancel(std::move(cancel)) {
#ifndef _WIN32
        if (::pipe(s_pipe) != 0)
            return;
        for (int fd : s_pipe)
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        m_notifier = std::make_unique<QSocketNotifier>(s_pipe[0], QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] {
            char byte;
            while (::read(s_pipe[0], &byte, 1) == 1) {
            }
            if (!m_interrupted) {
                m_interrupted = true;
                std::cerr << "zolvane: cancelling: the robot is told between two packets "
                             "(press Ctrl+C again to stop at once)"
                          << std::endl;
                m_cancel();
            }
        });
        struct sigaction action {};
        action.sa_handler = &TInterruptWatch::onSignal;
        sigemptyset(&action.sa_mask);
        for (int signal : {SIGINT, SIGTERM})
            ::sigaction(signal, &action, nullptr);
#endif
    }
    ~TInterruptWatch() {
#ifndef _WIN32
        for (int signal : {SIGINT, SIGTERM})
            ::signal(signal, SIG_DFL);
        m_notifier.reset();
        for (int& fd : s_pipe) {
            if (fd >= 0)
                ::close(fd);
            fd = -1;
        }
#endif
    }
    TInterruptWatch(const TInterruptWatch&) = delete;
    TInterruptWatch& operator=(const TInterruptWatch&) = delete;

    bool interrupted() const {
        return m_interrupted;
    }

private:
#ifndef _WIN32
    // Only what is safe in a signal handler: a byte into the pipe, and on a
    // second signal the default action.
    static void onSignal(int signal) {
        const int earlier = s_signals;
        s_signals = earlier + 1;
        if (earlier > 0) {
            ::signal(signal, SIG_DFL);
            ::raise(signal);
            return;
        }
        const char byte = 1;
        [[maybe_unused]] const auto written = ::write(s_pipe[1], &byte, 1);
    }
    static inline int s_pipe[2] = {-1, -1};
    static inline volatile std::sig_atomic_t s_signals = 0;
    std::unique_ptr<QSocketNotifier> m_notifier;
#endif
    std::function<void()> m_cancel;
    bool m_interrupted = false;
};

// One robot's line of a download to several: the port as it was named, the
// completion message, and for a failure what happened and what to check.
std::string robotLine(const std::string& port, const download::TDownloadJob::TResult& result) {
    std::string line = port + ": " + result.outcome.message;
    if (!result.success()) {
        line += ": " + result.report.headline.English();
        if (!result.report.remedy.empty())
            line += " " + result.report.remedy.English();
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
    TInterruptWatch interrupt([&] { multi.cancel(); });
    multi.start(packed.image);
    app.exec();
    if (interrupt.interrupted())
        return kInterrupted;
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
    downloader.setHandlers(
        {{}, {}, [&](const download::TDownloadOutcome& outcome) {
             std::cout << outcome.message << '\n' << std::flush;
             const bool success = outcome.status == download::TDownloadStatus::Success;
             if (outcome.cancelled())
                 std::cerr << "zolvane: "
                           << download::CancelledText(outcome.headerTaken, outcome.confirmedBytes,
                                                      outcome.byteCount)
                           << '\n';
             else if (!success && !outcome.reason.empty())
                 std::cerr << "zolvane: " << outcome.reason << '\n';
             status = success ? kSuccess : kFailure;
             app.quit();
         }});
    // The lines that fail the check are left out; each is named before the download starts.
    for (const download::TDroppedLine& line : packed.dropped)
        std::cerr << "zolvane: left out " << download::DroppedLineText(line) << '\n';
    TInterruptWatch interrupt([&] { downloader.cancel(); });
    const download::TStartResult start = downloader.SendPacked(packed);
    if (!start.started)
        return fail(start.error.empty() ? "nothing to send" : start.error);
    app.exec();
    return interrupt.interrupted() ? kInterrupted : status;
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
