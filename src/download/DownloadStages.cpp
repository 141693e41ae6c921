#include "download/DownloadStages.h"

#include <algorithm>

namespace download {

namespace {

constexpr int kHelloAndHeaderSteps = 4;

template <class... Args> files::TMessage say(std::string_view wording, Args&&... args) {
    return files::Say("download", wording, std::forward<Args>(args)...);
}

} // namespace

files::TMessage PartsMessage(int parts) {
    return parts == 1 ? say(ZV_TRANSLATABLE("download", "1 part"))
                      : say(ZV_TRANSLATABLE("download", "%1 parts"), parts);
}

std::string PartsText(int parts) {
    return PartsMessage(parts).English();
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

files::TMessage TDownloadStages::stageText() const {
    if (m_test || m_stepsDone < 2)
        return say(ZV_TRANSLATABLE("download", "Connecting to the robot"));
    if (m_stepsDone < kHelloAndHeaderSteps)
        return say(ZV_TRANSLATABLE("download", "Announcing the program (%1 bytes in %2)"),
                   GroupedNumber(m_bytes), PartsMessage(m_chunks));
    return say(ZV_TRANSLATABLE("download", "Sending the program: %1 of %2"), m_chunksSent,
               PartsMessage(m_chunks));
}

void TDownloadStages::show(files::TMessage text) {
    m_view.text = std::move(text);
    m_view.value = std::min(m_stepsDone + m_chunksSent, m_view.maximum);
}

void TDownloadStages::cancelling() {
    show(say(ZV_TRANSLATABLE("download", "%1; cancelling"), stageText()));
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
    files::TMessage what;
    switch (retry.what) {
    case TRetry::What::Hello:
        what = say(ZV_TRANSLATABLE("download", "%1; hello: sent again (%2 of %3)"), stageText(),
                   retry.attempt, kMaxAttempts);
        break;
    case TRetry::What::Header:
        what = say(ZV_TRANSLATABLE("download", "%1; header: sent again (%2 of %3)"), stageText(),
                   retry.attempt, kMaxAttempts);
        break;
    case TRetry::What::HelloReply:
    case TRetry::What::HeaderReply:
        what = say(ZV_TRANSLATABLE("download", "%1; reply: asked for again (%2 of %3)"),
                   stageText(), retry.attempt, kMaxAttempts);
        break;
    case TRetry::What::Chunk:
        what = say(ZV_TRANSLATABLE("download", "%1; part %2: sent again (%3 of %4)"), stageText(),
                   retry.chunk, retry.attempt, kMaxAttempts);
        break;
    }
    show(std::move(what));
}

void TDownloadStages::finish(const TDownloadOutcome& outcome, const std::string& port,
                             const TFailureReport& report) {
    if (outcome.status == TDownloadStatus::Success) {
        m_stepsDone = m_test ? 2 : kHelloAndHeaderSteps;
        m_chunksSent = m_test ? 0 : m_chunks;
        show(m_test ? say(ZV_TRANSLATABLE("download", "A robot answered on %1"), port)
                    : say(ZV_TRANSLATABLE("download", "Done: the robot has the program (%1 bytes)"),
                          GroupedNumber(outcome.byteCount)));
        return;
    }
    if (outcome.cancelled()) {
        show(CancelledMessage(outcome.headerTaken, outcome.confirmedBytes, outcome.byteCount));
        return;
    }
    show(report.headline);
}

} // namespace download
