#pragma once

#include "download/Clock.h"
#include "download/DownloadFailure.h"
#include "download/DownloadStages.h"
#include "download/ProgramMemory.h"
#include "download/SerialPortInterface.h"
#include "download/UDownloadDo.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A download as the windows start it, in one call: the port opened when it
// is closed (and closed again after), the stages in words, a failure told
// with what to check, the robot's program remembered. The main window's
// Send to Robot, the download window and the tool's several robots at once
// all go through it.
namespace download {

// TDownloadJob: one robot's downloads and Test connections over one port.
// Lives on the owner's thread, as its TDownloader does; the port must outlive it.
class TDownloadJob {
public:
    // The final word on a run.
    struct TResult {
        TDownloadOutcome outcome; // completion message, technical reason, cause, bytes confirmed
        TFailureReport report;    // what happened and what to check; empty on success
        files::TMessage text;     // the stages' last words: "Done: ...", the headline, ...
        std::string port;         // the port's name ("/dev/ttyUSB0")
        bool opened = true;       // false: the port would not open and nothing was sent

        bool success() const { return outcome.status == TDownloadStatus::Success; }
    };
    struct THandlers {
        std::function<void(const TStageView& view)> stage = {}; // every change of words or bar
        std::function<void(const TDownloadStep& step)> step = {};
        std::function<void(const TResult& result)> finished = {};
    };

    TDownloadJob(TSerialPortInterface& port, PostFunction post, TClock& clock = systemClock());
    TDownloadJob(const TDownloadJob&) = delete;
    TDownloadJob& operator=(const TDownloadJob&) = delete;

    void setHandlers(THandlers handlers) { m_handlers = std::move(handlers); }
    void setAnswerTimeout(std::chrono::milliseconds timeout);
    // Where a download that got through is recorded (none by default).
    void setProgramMemory(TProgramMemory* memory) { m_memory = memory; }

    // Sends the image, opening the port first when it is closed; a port this
    // call opened is closed again when the download has ended. A port that
    // will not open: started is false, error is the failure's headline and
    // lastResult() holds the whole failure; finished is not called.
    TStartResult start(Bytes image);
    // Test connection: the hello exchange alone, the port opened as start() does.
    TStartResult testConnection();
    void cancel();
    bool busy() const { return m_downloader.busy(); }

    const TStageView& stage() const { return m_stages.view(); }
    const TResult& lastResult() const { return m_last; }
    TDownloader& downloader() { return m_downloader; }
    TSerialPortInterface& port() { return m_port; }

private:
    TStartResult run(Bytes image, bool helloOnly);
    void showStage();
    void finish(const TDownloadOutcome& outcome);

    TSerialPortInterface& m_port;
    TDownloader m_downloader;
    THandlers m_handlers;
    TProgramMemory* m_memory = nullptr;
    TDownloadStages m_stages;
    Bytes m_image;
    bool m_openedHere = false;
    TResult m_last;
};

// TMultiDownload: the same program to several robots at once, one job and
// one worker each. Each robot's result is reported as it finishes, then the
// count of those that got the program.
class TMultiDownload {
public:
    struct THandlers {
        std::function<void(std::size_t robot, const TStageView& view)> stage = {};
        std::function<void(std::size_t robot, const TDownloadJob::TResult& result)> finished = {};
        std::function<void(std::size_t succeeded, std::size_t robots)> allFinished = {};
    };

    explicit TMultiDownload(PostFunction post, TClock& clock = systemClock());
    ~TMultiDownload();
    TMultiDownload(const TMultiDownload&) = delete;
    TMultiDownload& operator=(const TMultiDownload&) = delete;

    // A robot on port (which must outlive this); returns its number from 0.
    std::size_t addRobot(TSerialPortInterface& port);
    void setHandlers(THandlers handlers) { m_handlers = std::move(handlers); }
    void setAnswerTimeout(std::chrono::milliseconds timeout);
    void setProgramMemory(TProgramMemory* memory);

    // Starts every robot. A robot whose port will not open finishes too, its
    // report posted like the others'. False when there is no robot or a run
    // is still going.
    bool start(const Bytes& image);
    void cancel();
    bool busy() const { return m_pending > 0; }

    std::size_t robots() const { return m_jobs.size(); }
    TDownloadJob& job(std::size_t robot) { return *m_jobs[robot]; }
    // Each robot's result, once it has finished.
    const std::optional<TDownloadJob::TResult>& result(std::size_t robot) const {
        return m_results[robot];
    }

private:
    void robotFinished(std::size_t robot, const TDownloadJob::TResult& result);

    PostFunction m_post;
    TClock& m_clock;
    std::vector<std::unique_ptr<TDownloadJob>> m_jobs;
    std::vector<std::optional<TDownloadJob::TResult>> m_results;
    THandlers m_handlers;
    std::size_t m_pending = 0;
    std::shared_ptr<TMultiDownload*> m_alive = std::make_shared<TMultiDownload*>(this);
};

} // namespace download
