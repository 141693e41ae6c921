#include "download/DownloadJob.h"

namespace download {

TDownloadJob::TDownloadJob(TSerialPortInterface& port, PostFunction post, TClock& clock)
    : m_port(port), m_downloader(port, std::move(post), clock) {
    TDownloadHandlers handlers;
    handlers.step = [this](const TDownloadStep& step) {
        m_stages.step(step);
        if (m_handlers.step)
            m_handlers.step(step);
        showStage();
    };
    handlers.progress = [](int, int) {}; // the steps move the bar
    handlers.retry = [this](const TRetry& retry) {
        m_stages.retry(retry);
        showStage();
    };
    handlers.completed = [this](const TDownloadOutcome& outcome) { finish(outcome); };
    m_downloader.setHandlers(std::move(handlers));
}

void TDownloadJob::setAnswerTimeout(std::chrono::milliseconds timeout) {
    m_downloader.setAnswerTimeout(timeout);
}

TStartResult TDownloadJob::start(Bytes image) {
    return run(std::move(image), false);
}

TStartResult TDownloadJob::testConnection() {
    return run({}, true);
}

TStartResult TDownloadJob::run(Bytes image, bool helloOnly) {
    if (busy())
        return {false, "A download is already running."};
    if (!m_port.isOpen()) {
        if (!m_port.open()) {
            TFailureFacts facts;
            facts.open = m_port.openFailure();
            facts.cause = CauseOfOpenProblem(facts.open.problem);
            facts.port = PortShortName(m_port.portName());
            facts.imageBytes = image.size();
            m_last = {};
            m_last.opened = false;
            m_last.port = m_port.portName();
            m_last.outcome.byteCount = image.size();
            m_last.outcome.message = CompletionMessage(image.size(), TDownloadStatus::Fail);
            m_last.outcome.reason = facts.open.message;
            m_last.outcome.reasonMessage = files::Value(facts.open.message); // the system's words
            m_last.outcome.cause = facts.cause;
            m_last.outcome.helloOnly = helloOnly;
            m_last.report = DescribeFailure(facts);
            m_last.text = m_last.report.headline;
            return {false, m_last.report.headline.English()};
        }
        m_openedHere = true;
    }
    m_image = image;
    const TStartResult started =
        helloOnly ? m_downloader.TestConnection() : m_downloader.SendImage(std::move(image));
    if (!started.started) {
        if (m_openedHere)
            m_port.close();
        m_openedHere = false;
        return started;
    }
    if (helloOnly)
        m_stages.startTest();
    else
        m_stages.start(m_image.size());
    showStage();
    return started;
}

void TDownloadJob::cancel() {
    if (!busy())
        return;
    m_downloader.cancel();
    m_stages.cancelling();
    showStage();
}

void TDownloadJob::showStage() {
    if (m_handlers.stage)
        m_handlers.stage(m_stages.view());
}

void TDownloadJob::finish(const TDownloadOutcome& outcome) {
    TResult result;
    result.outcome = outcome;
    result.port = m_port.portName();
    if (outcome.cause != TFailureCause::None) {
        TFailureFacts facts;
        facts.cause = outcome.cause;
        facts.port = PortShortName(result.port);
        facts.where = outcome.where;
        facts.headerTaken = outcome.headerTaken;
        facts.confirmedBytes = outcome.confirmedBytes;
        facts.imageBytes = outcome.byteCount;
        facts.headerReply = outcome.headerReply;
        result.report = DescribeFailure(facts);
    }
    if (m_memory && !outcome.helloOnly)
        m_memory->record(result.port, m_image, result.success(), outcome.headerTaken);
    m_stages.finish(outcome, PortShortName(result.port), result.report);
    result.text = m_stages.view().text;
    Bytes().swap(m_image);
    // A port opened for this run alone is given back, for other programs
    // and for the next robot on the cable.
    if (m_openedHere) {
        m_openedHere = false;
        m_port.close();
    }
    m_last = result;
    showStage();
    if (m_handlers.finished)
        m_handlers.finished(result);
}

TMultiDownload::TMultiDownload(PostFunction post, TClock& clock)
    : m_post(std::move(post)), m_clock(clock) {}

TMultiDownload::~TMultiDownload() {
    // The jobs stop their workers; nothing of theirs is reported any more.
    m_handlers = {};
}

std::size_t TMultiDownload::addRobot(TSerialPortInterface& port) {
    const std::size_t robot = m_jobs.size();
    auto job = std::make_unique<TDownloadJob>(port, m_post, m_clock);
    TDownloadJob::THandlers handlers;
    handlers.stage = [this, robot](const TStageView& view) {
        if (m_handlers.stage)
            m_handlers.stage(robot, view);
    };
    handlers.finished = [this, robot](const TDownloadJob::TResult& result) {
        robotFinished(robot, result);
    };
    job->setHandlers(std::move(handlers));
    m_jobs.push_back(std::move(job));
    m_results.emplace_back();
    return robot;
}

void TMultiDownload::setAnswerTimeout(std::chrono::milliseconds timeout) {
    for (auto& job : m_jobs)
        job->setAnswerTimeout(timeout);
}

void TMultiDownload::setProgramMemory(TProgramMemory* memory) {
    for (auto& job : m_jobs)
        job->setProgramMemory(memory);
}

bool TMultiDownload::start(const Bytes& image) {
    if (m_jobs.empty() || busy())
        return false;
    m_pending = m_jobs.size();
    for (auto& result : m_results)
        result.reset();
    std::weak_ptr<TMultiDownload*> alive = m_alive;
    for (std::size_t robot = 0; robot < m_jobs.size(); ++robot) {
        TDownloadJob& job = *m_jobs[robot];
        if (job.start(image).started)
            continue;
        // Reported later like the robots that run, so every robot's line
        // comes from the owner's event loop in the order robots finish.
        m_post([alive, robot, result = job.lastResult()] {
            if (auto self = alive.lock())
                (*self)->robotFinished(robot, result);
        });
    }
    return true;
}

void TMultiDownload::cancel() {
    for (auto& job : m_jobs)
        job->cancel();
}

void TMultiDownload::robotFinished(std::size_t robot, const TDownloadJob::TResult& result) {
    m_results[robot] = result;
    if (m_pending > 0)
        --m_pending;
    if (m_handlers.finished)
        m_handlers.finished(robot, result);
    if (m_pending == 0 && m_handlers.allFinished) {
        std::size_t succeeded = 0;
        for (const auto& r : m_results)
            succeeded += r && r->success();
        m_handlers.allFinished(succeeded, m_jobs.size());
    }
}

} // namespace download
