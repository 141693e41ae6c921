// Download speed: a 4,000-byte image sent with the real QSerialPort over a
// pseudo-terminal to the virtual robot. Reports the wall time against the
// lower bound (chunks x 50 ms plus every byte on the wire at 115200 baud,
// 10 bits a byte) and the process's CPU time against the wall time: the
// worker waits for each byte to leave the output buffer without polling.
#include "download/DownloadJob.h"
#include "download/UDownloadDo.h"
#include "download/pty/PtyRobotServer.h"
#include "platform/events/QueuedPoster.h"
#include "platform/serial/QtSerialPort.h"
#include "platform/serial/SerialPortThread.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <memory>
#include <vector>

namespace {

double processCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

download::Bytes imageOfSize(std::size_t size) {
    download::Bytes image(size);
    for (std::size_t i = 0; i < size; ++i)
        image[i] = static_cast<std::uint8_t>(i * 31 + 7);
    return image;
}

void BM_DownloadOverPseudoTerminal(benchmark::State& state) {
    const std::size_t size = static_cast<std::size_t>(state.range(0));
    const download::Bytes image = imageOfSize(size);
    const int chunks = download::ChunkCount(size);
    double wallTotal = 0, cpuTotal = 0, boundTotal = 0;
    bool allSucceeded = true;
    for (auto _ : state) {
        state.PauseTiming();
        download::TPtyRobotServer server;
        std::string error;
        if (!server.start(&error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        platform::TQtSerialPort port;
        port.setDeviceName(server.devicePath());
        if (!port.open()) {
            state.SkipWithError(port.errorString().c_str());
            return;
        }
        QEventLoop loop;
        download::TDownloader downloader(port, platform::queuedPoster(&loop));
        bool success = false;
        downloader.setHandlers({{}, {}, [&](const download::TDownloadOutcome& outcome) {
                                    success = outcome.status == download::TDownloadStatus::Success;
                                    loop.quit();
                                }});
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
        state.ResumeTiming();

        const auto wallStart = std::chrono::steady_clock::now();
        const double cpuStart = processCpuSeconds();
        guard.start(120000);
        if (downloader.SendImage(image).started)
            loop.exec();
        const double cpu = processCpuSeconds() - cpuStart;
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();

        state.PauseTiming();
        allSucceeded = allSucceeded && success && server.robot().image() == image;
        // Bytes both ways: what the robot received, and its answers and replies.
        const std::size_t toRobot = server.robot().receivedBytes().size();
        const std::size_t fromRobot = 9 + 8 + static_cast<std::size_t>(2 + chunks);
        const double bound =
            chunks * 0.050 + static_cast<double>(toRobot + fromRobot) * 10 / 115200;
        wallTotal += wall;
        cpuTotal += cpu;
        boundTotal += bound;
        state.SetIterationTime(wall);
        state.ResumeTiming();
    }
    if (!allSucceeded)
        state.SkipWithError("a download failed or the image arrived damaged");
    const double n = static_cast<double>(state.iterations());
    state.counters["chunks"] = chunks;
    state.counters["wall_ms"] = wallTotal / n * 1000;
    state.counters["bound_ms"] = boundTotal / n * 1000;
    state.counters["wall/bound"] = wallTotal / boundTotal;
    state.counters["beyond_pauses_ms"] = (wallTotal / n - chunks * 0.050) * 1000;
    state.counters["cpu_ms"] = cpuTotal / n * 1000;
    state.counters["cpu_%"] = cpuTotal / wallTotal * 100;
}
BENCHMARK(BM_DownloadOverPseudoTerminal)
    ->Arg(4000)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Robots of a class at once: `range(0)` virtual robots, each behind its own
// pseudo-terminal and its own port, all sent the same 4,000-byte image
// together through TMultiDownload, as `zolvane download --port A --port B ...`
// does. With range(1) each port has a thread of its own (TSerialPortThread,
// what the tool and the window use); without, every port lives on the main
// thread. Reports the wall time until the last robot has finished.
void BM_RobotsInParallel(benchmark::State& state) {
    const int robots = static_cast<int>(state.range(0));
    const bool ownThreads = state.range(1) != 0;
    const download::Bytes image = imageOfSize(4000);
    const int chunks = download::ChunkCount(image.size());
    double wallTotal = 0;
    bool allSucceeded = true;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::unique_ptr<download::TPtyRobotServer>> servers;
        std::vector<std::unique_ptr<platform::TSerialPortThread>> threaded;
        std::vector<std::unique_ptr<platform::TQtSerialPort>> plain;
        QEventLoop loop;
        download::TMultiDownload multi(platform::queuedPoster(&loop));
        for (int i = 0; i < robots; ++i) {
            auto server = std::make_unique<download::TPtyRobotServer>();
            std::string error;
            if (!server->start(&error)) {
                state.SkipWithError(error.c_str());
                return;
            }
            if (ownThreads) {
                threaded.push_back(
                    std::make_unique<platform::TSerialPortThread>(server->devicePath()));
                multi.addRobot(threaded.back()->port());
            } else {
                plain.push_back(std::make_unique<platform::TQtSerialPort>());
                plain.back()->setDeviceName(server->devicePath());
                multi.addRobot(*plain.back());
            }
            servers.push_back(std::move(server));
        }
        std::size_t succeeded = 0;
        multi.setHandlers({{}, {}, [&](std::size_t ok, std::size_t) {
                               succeeded = ok;
                               loop.quit();
                           }});
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
        guard.start(120000);
        state.ResumeTiming();

        // The ports are opened by the run itself, as the tool's are.
        const auto wallStart = std::chrono::steady_clock::now();
        if (multi.start(image))
            loop.exec();
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();

        state.PauseTiming();
        allSucceeded = allSucceeded && succeeded == static_cast<std::size_t>(robots);
        for (auto& server : servers)
            allSucceeded = allSucceeded && server->robot().image() == image;
        wallTotal += wall;
        state.SetIterationTime(wall);
        state.ResumeTiming();
    }
    if (!allSucceeded)
        state.SkipWithError("a download failed or an image arrived damaged");
    const double n = static_cast<double>(state.iterations());
    state.counters["robots"] = robots;
    state.counters["wall_ms"] = wallTotal / n * 1000;
    state.counters["pauses_ms"] = chunks * 50.0;
}
BENCHMARK(BM_RobotsInParallel)
    ->Args({1, 1})
    ->Args({10, 1})
    ->Args({10, 0})
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_BuildImage(benchmark::State& state) {
    std::vector<std::string> lines;
    for (int i = 1; i <= state.range(0); ++i)
        lines.push_back(std::to_string(i * 10) + " REM \"WAIT " + std::to_string(i) + "\"");
    for (auto _ : state)
        benchmark::DoNotOptimize(download::BuildImage(lines));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BuildImage)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
