#include "download/UDownloadDo.h"

#include "download/VirtualRobot.h"

#include <algorithm>
#include <cstdio>

namespace download {

namespace {

// A duration in whole units, rounded up.
template <class Unit> long long roundedUp(std::chrono::microseconds duration) {
    const long long unit = std::chrono::duration_cast<std::chrono::microseconds>(Unit(1)).count();
    return (duration.count() + unit - 1) / unit;
}

template <class... Args> files::TMessage say(std::string_view wording, Args&&... args) {
    return files::Say("download", wording, std::forward<Args>(args)...);
}

// What made the last of a step's attempts fail, for the reason of the step.
files::TMessage failureText(const TPacketLink& link) {
    switch (link.lastFailure()) {
    case TPacketLink::Failure::Refused:
        return say(ZV_TRANSLATABLE("download", "the robot refused it"));
    case TPacketLink::Failure::NoAnswer:
        return say(ZV_TRANSLATABLE("download", "no answer within %1 ms"),
                   link.answerTimeout().count());
    case TPacketLink::Failure::TooSlow:
        return say(ZV_TRANSLATABLE("download", "the reply was not whole within %1 ms"),
                   roundedUp<std::chrono::milliseconds>(link.lastAllowance()));
    case TPacketLink::Failure::BadPacket:
        return say(ZV_TRANSLATABLE("download", "the packet arrived damaged"));
    case TPacketLink::Failure::PortLost:
    case TPacketLink::Failure::OutOfTime:
    case TPacketLink::Failure::Stopped:
    case TPacketLink::Failure::None:
        break;
    }
    return say(ZV_TRANSLATABLE("download", "unknown"));
}

// The step's name as the reasons use it: the packets sent and the replies as WhereMessage
// names them ("the hello packet", "chunk 3 of 5"), the replies alone also without their
// article ("hello reply").
files::TMessage stepName(const std::string& what) {
    if (what == "hello reply")
        return say(ZV_TRANSLATABLE("download", "hello reply"));
    if (what == "header reply")
        return say(ZV_TRANSLATABLE("download", "header reply"));
    return WhereMessage(what);
}

// The reason of a failed step, for the message beside "... bytes data send fail".
files::TMessage stepFailure(const TPacketLink& link, TLinkResult rc, const std::string& what,
                            bool sending, std::size_t imageLength) {
    const files::TMessage step = stepName(what);
    // Where the step is told with its article: "the hello reply".
    const files::TMessage where = sending ? step : WhereMessage("the " + what);
    if (rc == TLinkResult::PortLost)
        return say(ZV_TRANSLATABLE("download", "The connection to the robot was lost during %1: "
                                               "%2"),
                   step, PortWordsMessage(link.portError()));
    if (rc == TLinkResult::Stopped)
        return say(ZV_TRANSLATABLE("download", "The download was cancelled during %1."), where);
    if (rc == TLinkResult::OutOfTime) {
        const auto allowed = DownloadAllowance(imageLength, link.answerTimeout());
        return say(ZV_TRANSLATABLE("download", "The download ran out of time during %1: a "
                                               "program image of %2 bytes must arrive within "
                                               "%3 s."),
                   where, imageLength, roundedUp<std::chrono::seconds>(allowed));
    }
    return sending ? say(ZV_TRANSLATABLE("download", "The robot did not accept %1 in %2 attempts "
                                                     "(last: %3)."),
                         step, kMaxAttempts, failureText(link))
                   : say(ZV_TRANSLATABLE("download", "No intact %1 arrived in %2 attempts (last: "
                                                     "%3)."),
                         step, kMaxAttempts, failureText(link));
}

files::TMessage imageTooLarge(std::size_t size) {
    return say(ZV_TRANSLATABLE("download", "The program image is %1 bytes; a download can carry "
                                           "at most %2 bytes."),
               size, kMaxImageSize);
}

std::string imageTooLargeMessage(std::size_t size) {
    return imageTooLarge(size).English();
}

std::string hexByte(std::uint8_t b) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", b);
    return text;
}

// The cause of a step that did not get through. Eleven failed attempts are
// read by what most of them met: refusals (165), answers that are no robot's
// (other bytes, damaged or dripping replies), or silence, which is NoAnswer
// while the robot has not been heard from at all in this download.
TFailureCause stepCause(const TPacketLink& link, TLinkResult rc, bool robotHeard) {
    switch (rc) {
    case TLinkResult::PortLost:
        return TFailureCause::PortLost;
    case TLinkResult::OutOfTime:
        return TFailureCause::OutOfTime;
    case TLinkResult::Stopped:
        return TFailureCause::Cancelled;
    case TLinkResult::Succeeded:
        return TFailureCause::None;
    case TLinkResult::AttemptFailed:
    case TLinkResult::GaveUp:
        break;
    }
    const TAttemptTally& t = link.tally();
    const int noise = t.strangeAnswers + t.damaged + t.slow;
    if (noise == 0 && t.rejects == 0)
        return robotHeard ? TFailureCause::StoppedAnswering : TFailureCause::NoAnswer;
    return t.rejects >= noise ? TFailureCause::Refused : TFailureCause::Garbage;
}

// One run of the sequence: its result as it grows, and the retry reports
// told which packet they are about.
class TSequenceRun {
public:
    TSequenceRun(TPacketLink& link, std::size_t imageLength, const TSendReports& reports)
        : m_link(link), m_imageLength(imageLength), m_reports(reports) {
        m_link.setRetryHandler([this](int attempt, TPacketLink::Failure previous) {
            if (!m_reports.retry)
                return;
            TRetry retry = m_retry;
            retry.attempt = attempt;
            retry.previous = previous;
            m_reports.retry(retry);
        });
    }
    ~TSequenceRun() { m_link.setRetryHandler(nullptr); }
    TSequenceRun(const TSequenceRun&) = delete;
    TSequenceRun& operator=(const TSequenceRun&) = delete;

    TLinkResult send(const std::uint8_t* data, std::uint8_t n, TRetry::What what, int chunk = 0,
                     int chunks = 0) {
        m_retry = {what, chunk, chunks};
        const TLinkResult rc = m_link.SendPacketTries(data, n);
        m_heard = m_heard || rc == TLinkResult::Succeeded;
        return rc;
    }
    TLinkResult receive(std::array<std::uint8_t, 256>& buffer, int& length, TRetry::What what) {
        m_retry = {what};
        return m_link.ReceivePacketTries(buffer, length);
    }
    void reached(const TDownloadStep& step) const {
        if (m_reports.step)
            m_reports.step(step);
    }
    // A step that did not get through ends the run.
    TSendResult stepFailed(TLinkResult rc, const std::string& what, bool sending) {
        m_result.cause = stepCause(m_link, rc, m_heard);
        m_result.where = sending ? what : "the " + what;
        return failed(stepFailure(m_link, rc, what, sending, m_imageLength));
    }
    // The reason ends with how much of the image the robot has taken.
    TSendResult failed(files::TMessage reason) {
        if (!reason.English().ends_with('.')) // a port's own words end the sentence
            reason = say(ZV_TRANSLATABLE("download", "%1."), std::move(reason));
        m_result.status = TDownloadStatus::Fail;
        m_result.setReason(say(ZV_TRANSLATABLE("download", "%1 The robot confirmed %2 of %3 "
                                                           "bytes."),
                               std::move(reason), m_result.confirmedBytes, m_imageLength));
        return m_result;
    }
    TSendResult& result() { return m_result; }

private:
    TPacketLink& m_link;
    std::size_t m_imageLength;
    const TSendReports& m_reports;
    TRetry m_retry;
    bool m_heard = false;
    TSendResult m_result;
};

} // namespace

std::array<std::uint8_t, kHeaderSize> HeaderPacket(std::size_t imageLength) {
    std::array<std::uint8_t, kHeaderSize> header{};
    for (int i = 2; i < kHeaderSize; ++i)
        header[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    header[0] = static_cast<std::uint8_t>(imageLength % 256);
    header[1] = static_cast<std::uint8_t>((imageLength / 256) % 256);
    return header;
}

int ChunkCount(std::size_t imageLength) {
    return static_cast<int>((imageLength + kChunkSize - 1) / kChunkSize);
}

std::chrono::microseconds DownloadAllowance(std::size_t imageLength,
                                            std::chrono::milliseconds answerTimeout) {
    constexpr std::size_t kLargestReply = 1 + 256 + 3;
    const auto chunks = static_cast<std::size_t>(ChunkCount(imageLength));
    // Each packet is framed by 4 bytes and answered by one; each reply is accepted by one.
    const std::size_t lineBytes = (kHelloPacket.size() + 4 + 1) + (kLargestReply + 1) +
                                  (kHeaderSize + 4 + 1) + (kLargestReply + 1) + imageLength +
                                  chunks * (4 + 1);
    const std::chrono::microseconds undisturbed =
        LineTime(lineBytes) + static_cast<long long>(chunks) * kChunkPause;
    return std::chrono::seconds(30) + kMaxAttempts * answerTimeout + 4 * undisturbed;
}

std::string CompletionMessage(std::size_t byteCount, TDownloadStatus status) {
    return std::to_string(byteCount) +
           (status == TDownloadStatus::Fail ? " bytes data send fail" : " bytes data send success");
}

void TSendResult::setReason(files::TMessage message) {
    reason = message.English();
    reasonMessage = std::move(message);
}

files::TMessage PortWordsMessage(const std::string& words) {
    if (files::TMessage link = LinkPortWords(words); !link.empty())
        return link;
    if (files::TMessage robot = VirtualPortWords(words); !robot.empty())
        return robot;
    return files::Value(words);
}

std::string TraceLine(const TDownloadStep& step) {
    switch (step.kind) {
    case TDownloadStep::Kind::HelloSent:
        return "1";
    case TDownloadStep::Kind::HelloAnswered:
        return "2";
    case TDownloadStep::Kind::HeaderSent:
        return "3";
    case TDownloadStep::Kind::HeaderAnswered:
        return "4";
    case TDownloadStep::Kind::ChunkSent:
        break;
    }
    return "5:" + std::to_string(step.chunk);
}

TSendResult RunSendSequence(TPacketLink& link, TClock& clock, std::span<const std::uint8_t> image,
                            const TSendReports& reports) {
    TSendResult tooLarge;
    if (image.size() > kMaxImageSize) {
        tooLarge.setReason(imageTooLarge(image.size()));
        return tooLarge;
    }
    link.setDeadline(clock.now() + DownloadAllowance(image.size(), link.answerTimeout()));
    TSequenceRun run(link, image.size(), reports);
    using What = TRetry::What;
    std::array<std::uint8_t, 256> reply{};
    int replyLength = 0;

    // Every packet must get through: one that fails its 11 attempts ends the
    // download at once as a fail.
    TLinkResult rc = run.send(kHelloPacket.data(), kHelloPacket.size(), What::Hello);
    if (rc != TLinkResult::Succeeded)
        return run.stepFailed(rc, "the hello packet", true);
    run.reached({TDownloadStep::Kind::HelloSent});
    rc = run.receive(reply, replyLength, What::HelloReply);
    if (rc != TLinkResult::Succeeded)
        return run.stepFailed(rc, "hello reply", false);
    run.reached({TDownloadStep::Kind::HelloAnswered});
    const auto header = HeaderPacket(image.size());
    rc = run.send(header.data(), kHeaderSize, What::Header);
    // A whole header the robot did not refuse may be in the robot, answered or not.
    run.result().headerTaken = link.tally().sentWhole > link.tally().rejects;
    if (rc != TLinkResult::Succeeded)
        return run.stepFailed(rc, "the header packet", true);
    run.reached({TDownloadStep::Kind::HeaderSent});
    reply.fill(0);
    rc = run.receive(reply, replyLength, What::HeaderReply);
    if (rc != TLinkResult::Succeeded)
        return run.stepFailed(rc, "header reply", false);
    run.reached({TDownloadStep::Kind::HeaderAnswered});
    if (reply[0] != 0xAA || reply[1] != 0xAA) {
        run.result().cause = TFailureCause::NotTaken;
        run.result().where = "the header reply";
        run.result().headerReply = hexByte(reply[0]) + " " + hexByte(reply[1]);
        // The robot said it does not take the program: it keeps the old one.
        run.result().headerTaken = false;
        return run.failed(say(ZV_TRANSLATABLE("download", "The robot's header reply began %1 "
                                                          "instead of AA AA: it did not take the "
                                                          "program."),
                              run.result().headerReply));
    }

    const int chunks = ChunkCount(image.size());
    if (reports.progress)
        reports.progress(0, chunks);
    for (int k = 0; k < chunks; ++k) {
        const std::size_t offset = static_cast<std::size_t>(k) * kChunkSize;
        const std::size_t size = std::min<std::size_t>(kChunkSize, image.size() - offset);
        rc = run.send(image.data() + offset, static_cast<std::uint8_t>(size), What::Chunk, k + 1,
                      chunks);
        if (rc != TLinkResult::Succeeded)
            return run.stepFailed(
                rc, "chunk " + std::to_string(k + 1) + " of " + std::to_string(chunks), true);
        run.result().confirmedBytes += size;
        run.reached({TDownloadStep::Kind::ChunkSent, k + 1, chunks});
        if (reports.progress)
            reports.progress(k + 1, chunks);
        clock.sleepFor(kChunkPause);
    }
    run.result().status = TDownloadStatus::Success;
    return run.result();
}

TSendResult RunHelloSequence(TPacketLink& link, TClock& clock, const TSendReports& reports) {
    link.setDeadline(clock.now() + DownloadAllowance(0, link.answerTimeout()));
    TSequenceRun run(link, 0, reports);
    std::array<std::uint8_t, 256> reply{};
    int replyLength = 0;
    TLinkResult rc = run.send(kHelloPacket.data(), kHelloPacket.size(), TRetry::What::Hello);
    if (rc != TLinkResult::Succeeded)
        return run.stepFailed(rc, "the hello packet", true);
    run.reached({TDownloadStep::Kind::HelloSent});
    rc = run.receive(reply, replyLength, TRetry::What::HelloReply);
    if (rc != TLinkResult::Succeeded)
        return run.stepFailed(rc, "hello reply", false);
    run.reached({TDownloadStep::Kind::HelloAnswered});
    run.result().status = TDownloadStatus::Success;
    return run.result();
}

TSendDataThread::TSendDataThread(TPacketLink& link, TClock& clock, Bytes image,
                                 TSendReports reports,
                                 std::function<void(const TSendResult&)> finished, bool helloOnly)
    : m_thread([&link, &clock, image = std::move(image), reports = std::move(reports),
                finished = std::move(finished), helloOnly]() mutable {
          const TSendResult result = helloOnly ? RunHelloSequence(link, clock, reports)
                                               : RunSendSequence(link, clock, image, reports);
          Bytes().swap(image); // the copy is released before the result is handed over
          finished(result);
      }) {}

TSendDataThread::~TSendDataThread() {
    join();
}

void TSendDataThread::join() {
    if (m_thread.joinable() && !isWorkerThread())
        m_thread.join();
}

TDownloader::TDownloader(TSerialPortInterface& port, PostFunction post, TClock& clock)
    : m_port(port), m_post(std::move(post)), m_clock(clock) {
    // SerialPort1Comm's role: received bytes go into the receive queue; a
    // port that fails wakes the worker instead of leaving it waiting.
    m_port.setReceiveHandler(
        [this](std::span<const std::uint8_t> bytes) { m_queue.append(bytes); });
    m_port.setErrorHandler([this](const std::string& message) { m_queue.fail(message); });
}

TDownloader::~TDownloader() {
    if (m_worker) {
        m_queue.fail("The download was stopped.");
        m_worker->join();
        m_worker.reset();
    }
    m_port.setReceiveHandler(nullptr);
    m_port.setErrorHandler(nullptr);
}

files::TMessage ListingRefusalMessage(const TPackedListing& listing) {
    if (listing.records == 0)
        return listing.dropped.empty() ? files::TMessage() : NoLineAccepted(listing);
    if (listing.image.size() > kMaxImageSize)
        return imageTooLarge(listing.image.size());
    if (listing.tooLargeForRobot())
        return TooLargeForRobot(listing);
    return {};
}

std::string ListingRefusal(const TPackedListing& listing) {
    return ListingRefusalMessage(listing).English();
}

files::TMessage NoLineAccepted(const TPackedListing& listing) {
    if (listing.dropped.empty())
        return say(ZV_TRANSLATABLE("download", "No line of the program passes the line check, so "
                                               "nothing was sent."));
    if (listing.dropped.size() == 1)
        return say(ZV_TRANSLATABLE("download", "No line of the program passes the line check, so "
                                               "nothing was sent: %1."),
                   DroppedLineMessage(listing.dropped.front()));
    return say(ZV_TRANSLATABLE("download", "No line of the program passes the line check, so "
                                           "nothing was sent: %1 and %2 more."),
               DroppedLineMessage(listing.dropped.front()), listing.dropped.size() - 1);
}

std::string NoLineAcceptedMessage(const TPackedListing& listing) {
    return NoLineAccepted(listing).English();
}

files::TMessage DroppedLinesQuestionMessage(const TPackedListing& listing, std::size_t shown) {
    const std::size_t n = listing.dropped.size();
    // The lines shown go into the question as one value of their own, a line each, each line
    // followed by the rest of the list.
    files::TMessage lines =
        n > shown ? say(ZV_TRANSLATABLE("download", "and %1 more\n"), n - shown) : files::Value("");
    for (std::size_t i = std::min(n, shown); i-- > 0;)
        lines = files::TMessage{
            {}, "%1\n%2", {DroppedLineMessage(listing.dropped[i]), std::move(lines)}};
    return n == 1 ? say(ZV_TRANSLATABLE("download", "1 line will be left out because it fails the "
                                                    "line check:\n%1Send the rest?"),
                        std::move(lines))
                  : say(ZV_TRANSLATABLE("download", "%1 lines will be left out because they fail "
                                                    "the line check:\n%2Send the rest?"),
                        n, std::move(lines));
}

std::string DroppedLinesQuestion(const TPackedListing& listing, std::size_t shown) {
    return DroppedLinesQuestionMessage(listing, shown).English();
}

std::string TDownloader::notReadyReason() const {
    if (busy())
        return ZV_TRANSLATABLE("download", "A download is already running.");
    if (!m_port.isOpen())
        return ZV_TRANSLATABLE("download", "The serial port is not open: open it first.");
    return {};
}

TStartResult TDownloader::SendListing(const std::vector<std::string>& lines) {
    if (lines.empty())
        return {};
    return SendPacked(PackListing(lines));
}

TStartResult TDownloader::SendPacked(const TPackedListing& listing) {
    if (busy())
        return {false, ZV_TRANSLATABLE("download", "A download is already running.")};
    if (std::string refusal = ListingRefusal(listing); !refusal.empty())
        return {false, std::move(refusal)};
    if (listing.records == 0)
        return {};
    return SendImage(listing.image);
}

TStartResult TDownloader::SendImage(Bytes image) {
    if (busy())
        return {false, ZV_TRANSLATABLE("download", "A download is already running.")};
    if (image.size() > kMaxImageSize)
        return {false, imageTooLargeMessage(image.size())};
    return start(std::move(image), false);
}

TStartResult TDownloader::TestConnection() {
    return start({}, true);
}

TStartResult TDownloader::start(Bytes image, bool helloOnly) {
    if (busy())
        return {false, ZV_TRANSLATABLE("download", "A download is already running.")};
    if (!m_port.isOpen())
        return {false, ZV_TRANSLATABLE("download", "The serial port is not open: open it first.")};
    if (!helloOnly)
        m_status.reset();
    m_helloOnly = helloOnly;
    m_cancelRequested = false;
    m_queue.clear();
    m_port.discardBuffers();
    m_byteCount = image.size();
    m_link = std::make_unique<TPacketLink>(m_port, m_queue, m_clock, m_timeout);

    std::weak_ptr<TDownloader*> alive = m_alive;
    auto post = [alive, postFn = m_post](std::function<void(TDownloader&)> task) {
        postFn([alive, task = std::move(task)] {
            if (auto self = alive.lock())
                task(**self);
        });
    };
    TSendReports reports;
    reports.step = [post, helloOnly](const TDownloadStep& step) {
        post([step, helloOnly](TDownloader& d) {
            // The trace list is the downloads' own: a Test connection leaves it as it was.
            if (!helloOnly)
                d.m_trace.push_back(TraceLine(step));
            if (d.m_handlers.step)
                d.m_handlers.step(step);
        });
    };
    reports.progress = [post](int sent, int total) {
        post([sent, total](TDownloader& d) {
            if (d.m_handlers.progress)
                d.m_handlers.progress(sent, total);
        });
    };
    reports.retry = [post](const TRetry& retry) {
        post([retry](TDownloader& d) {
            if (d.m_handlers.retry)
                d.m_handlers.retry(retry);
        });
    };
    auto finished = [post](const TSendResult& result) {
        post([result](TDownloader& d) { d.finish(result); });
    };
    m_worker = std::make_unique<TSendDataThread>(
        *m_link, m_clock, std::move(image), std::move(reports), std::move(finished), helloOnly);
    return {true, {}};
}

void TDownloader::cancel() {
    if (!busy())
        return;
    m_cancelRequested = true;
    m_queue.stop(m_clock.now() + kWindDown);
}

void TDownloader::finish(const TSendResult& result) {
    // The worker's last act was to post this task: once joined it has ended.
    m_worker->join();
    m_worker.reset();
    m_link.reset();
    if (!m_helloOnly)
        m_status = result.status;
    TDownloadOutcome outcome;
    outcome.byteCount = m_byteCount;
    outcome.status = result.status;
    outcome.message = CompletionMessage(m_byteCount, result.status);
    outcome.reason = result.reason;
    outcome.reasonMessage = result.reasonMessage;
    outcome.confirmedBytes = result.confirmedBytes;
    outcome.cause = result.cause;
    outcome.headerTaken = result.headerTaken;
    outcome.where = result.where;
    outcome.headerReply = result.headerReply;
    outcome.helloOnly = m_helloOnly;
    if (m_handlers.completed)
        m_handlers.completed(outcome);
}

} // namespace download
