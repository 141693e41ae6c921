#include "download/DownloadStages.h"

#include <algorithm>

namespace download {

namespace {

constexpr int kHelloAndHeaderSteps = 4;

std::string attemptText(int attempt) {
    return std::to_string(attempt) + " of " + std::to_string(kMaxAttempts);
}

} // namespace

std::string PartsText(int parts) {
    return std::to_string(parts) + (parts == 1 ? " part" : " parts");
}

void TDownloadStages::start(std::size_t imageBytes) {
    *this = {};
    m_bytes = imageBytes;
    m_chunks = ChunkCount(imageBytes);
    m_view.maximum = kHelloAndHeaderSteps + m_chunks;
    show(stageText());
}

void TDownloadStages::startTest() {
    *this = {};
    m_test = true;
    m_view.maximum = 2;
    show(stageText());
}

std::string TDownloadStages::stageText() const {
    if (m_test || m_stepsDone < 2)
        return "Connecting to the robot";
    if (m_stepsDone < kHelloAndHeaderSteps)
        return "Announcing the program (" + GroupedNumber(m_bytes) + " bytes in " +
               PartsText(m_chunks) + ")";
    return "Sending the program: " + std::to_string(m_chunksSent) + " of " + PartsText(m_chunks);
}

void TDownloadStages::show(std::string text) {
    m_view.text = std::move(text);
    m_view.value = std::min(m_stepsDone + m_chunksSent, m_view.maximum);
}

void TDownloadStages::cancelling() {
    show(stageText() + "; cancelling");
}

void TDownloadStages::step(const TDownloadStep& step) {
    using Kind = TDownloadStep::Kind;
    switch (step.kind) {
    case Kind::HelloSent:
        m_stepsDone = std::max(m_stepsDone, 1);
        break;
    case Kind::HelloAnswered:
        m_stepsDone = std::max(m_stepsDone, 2);
        break;
    case Kind::HeaderSent:
        m_stepsDone = std::max(m_stepsDone, 3);
        break;
    case Kind::HeaderAnswered:
        m_stepsDone = kHelloAndHeaderSteps;
        break;
    case Kind::ChunkSent:
        m_stepsDone = kHelloAndHeaderSteps;
        m_chunksSent = step.chunk;
        break;
    }
    show(stageText());
}

void TDownloadStages::retry(const TRetry& retry) {
    std::string what;
    switch (retry.what) {
    case TRetry::What::Hello:
        what = "hello: sent again (";
        break;
    case TRetry::What::Header:
        what = "header: sent again (";
        break;
    case TRetry::What::HelloReply:
    case TRetry::What::HeaderReply:
        what = "reply: asked for again (";
        break;
    case TRetry::What::Chunk:
        what = "part " + std::to_string(retry.chunk) + ": sent again (";
        break;
    }
    show(stageText() + "; " + what + attemptText(retry.attempt) + ")");
}

void TDownloadStages::finish(const TDownloadOutcome& outcome, const std::string& port,
                             const TFailureReport& report) {
    if (outcome.status == TDownloadStatus::Success) {
        m_stepsDone = m_test ? 2 : kHelloAndHeaderSteps;
        m_chunksSent = m_test ? 0 : m_chunks;
        show(m_test ? "A robot answered on " + port
                    : "Done: the robot has the program (" + GroupedNumber(outcome.byteCount) +
                          " bytes)");
        return;
    }
    if (outcome.cancelled()) {
        show(CancelledText(outcome.headerTaken, outcome.confirmedBytes, outcome.byteCount));
        return;
    }
    show(report.headline);
}

} // namespace download
