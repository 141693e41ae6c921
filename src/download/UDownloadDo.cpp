#include "download/UDownloadDo.h"

#include <algorithm>
#include <cstdio>

namespace download {

namespace {

// A duration in whole units, rounded up.
template <class Unit> long long roundedUp(std::chrono::microseconds duration) {
    const long long unit = std::chrono::duration_cast<std::chrono::microseconds>(Unit(1)).count();
    return (duration.count() + unit - 1) / unit;
}

std::string failureText(const TPacketLink& link) {
    switch (link.lastFailure()) {
    case TPacketLink::Failure::Refused:
        return "the robot refused it";
    case TPacketLink::Failure::NoAnswer:
        return "no answer within " + std::to_string(link.answerTimeout().count()) + " ms";
    case TPacketLink::Failure::TooSlow:
        return "the reply was not whole within " +
               std::to_string(roundedUp<std::chrono::milliseconds>(link.lastAllowance())) + " ms";
    case TPacketLink::Failure::BadPacket:
        return "the packet arrived damaged";
    case TPacketLink::Failure::PortLost:
    case TPacketLink::Failure::OutOfTime:
    case TPacketLink::Failure::None:
        break;
    }
    return "unknown";
}

// The reason of a failed step, for the message beside "... bytes data send fail".
std::string stepFailure(const TPacketLink& link, TLinkResult rc, const std::string& what,
                        bool sending, std::size_t imageLength) {
    if (rc == TLinkResult::PortLost)
        return "The connection to the robot was lost during " + what + ": " + link.portError();
    if (rc == TLinkResult::OutOfTime) {
        const auto allowed = DownloadAllowance(imageLength, link.answerTimeout());
        return "The download ran out of time during " + (sending ? what : "the " + what) +
               ": a program image of " + std::to_string(imageLength) +
               " bytes must arrive within " +
               std::to_string(roundedUp<std::chrono::seconds>(allowed)) + " s.";
    }
    return (sending ? "The robot did not accept " + what : "No intact " + what + " arrived") +
           " in " + std::to_string(kMaxAttempts) + " attempts (last: " + failureText(link) + ").";
}

std::string imageTooLargeMessage(std::size_t size) {
    return "The program image is " + std::to_string(size) +
           " bytes; a download can carry at most " + std::to_string(kMaxImageSize) + " bytes.";
}

std::string hexByte(std::uint8_t b) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", b);
    return text;
}

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
    auto reached = [&](TDownloadStep step) {
        if (reports.step)
            reports.step(step);
    };
    TSendResult result;
    if (image.size() > kMaxImageSize) {
        result.reason = imageTooLargeMessage(image.size());
        return result;
    }
    link.setDeadline(clock.now() + DownloadAllowance(image.size(), link.answerTimeout()));
    // A failed step's reason, and how much of the image the robot has taken.
    auto failed = [&](std::string reason) {
        if (!reason.ends_with('.'))
            reason += '.'; // a port's own words end the sentence
        result.reason = std::move(reason) + " The robot confirmed " +
                        std::to_string(result.confirmedBytes) + " of " +
                        std::to_string(image.size()) + " bytes.";
        return result;
    };
    auto stepFailed = [&](TLinkResult rc, const std::string& what, bool sending) {
        return failed(stepFailure(link, rc, what, sending, image.size()));
    };
    std::array<std::uint8_t, 256> reply{};
    int replyLength = 0;

    // Every packet must get through: one that fails its 11 attempts ends the
    // download at once as a fail.
    TLinkResult rc = link.SendPacketTries(kHelloPacket.data(), kHelloPacket.size());
    if (rc != TLinkResult::Succeeded)
        return stepFailed(rc, "the hello packet", true);
    reached({TDownloadStep::Kind::HelloSent});
    rc = link.ReceivePacketTries(reply, replyLength);
    if (rc != TLinkResult::Succeeded)
        return stepFailed(rc, "hello reply", false);
    reached({TDownloadStep::Kind::HelloAnswered});
    const auto header = HeaderPacket(image.size());
    rc = link.SendPacketTries(header.data(), kHeaderSize);
    if (rc != TLinkResult::Succeeded)
        return stepFailed(rc, "the header packet", true);
    reached({TDownloadStep::Kind::HeaderSent});
    reply.fill(0);
    rc = link.ReceivePacketTries(reply, replyLength);
    if (rc != TLinkResult::Succeeded)
        return stepFailed(rc, "header reply", false);
    reached({TDownloadStep::Kind::HeaderAnswered});
    if (reply[0] != 0xAA || reply[1] != 0xAA)
        return failed("The robot's header reply began " + hexByte(reply[0]) + " " +
                      hexByte(reply[1]) + " instead of AA AA: it did not take the program.");

    const int chunks = ChunkCount(image.size());
    if (reports.progress)
        reports.progress(0, chunks);
    for (int k = 0; k < chunks; ++k) {
        const std::size_t offset = static_cast<std::size_t>(k) * kChunkSize;
        const std::size_t size = std::min<std::size_t>(kChunkSize, image.size() - offset);
        rc = link.SendPacketTries(image.data() + offset, static_cast<std::uint8_t>(size));
        if (rc != TLinkResult::Succeeded)
            return stepFailed(
                rc, "chunk " + std::to_string(k + 1) + " of " + std::to_string(chunks), true);
        result.confirmedBytes += size;
        reached({TDownloadStep::Kind::ChunkSent, k + 1, chunks});
        if (reports.progress)
            reports.progress(k + 1, chunks);
        clock.sleepFor(kChunkPause);
    }
    result.status = TDownloadStatus::Success;
    return result;
}

TSendDataThread::TSendDataThread(TPacketLink& link, TClock& clock, Bytes image,
                                 TSendReports reports,
                                 std::function<void(const TSendResult&)> finished)
    : m_thread([&link, &clock, image = std::move(image), reports = std::move(reports),
                finished = std::move(finished)]() mutable {
          const TSendResult result = RunSendSequence(link, clock, image, reports);
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

std::string ListingRefusal(const TPackedListing& listing) {
    if (listing.records == 0)
        return listing.dropped.empty() ? std::string() : NoLineAcceptedMessage(listing);
    if (listing.image.size() > kMaxImageSize)
        return imageTooLargeMessage(listing.image.size());
    if (listing.tooLargeForRobot())
        return TooLargeForRobotMessage(listing);
    return {};
}

std::string NoLineAcceptedMessage(const TPackedListing& listing) {
    std::string text = "No line of the program passes the line check, so nothing was sent";
    if (listing.dropped.empty())
        return text + ".";
    text += ": " + DroppedLineText(listing.dropped.front());
    if (listing.dropped.size() > 1)
        text += " and " + std::to_string(listing.dropped.size() - 1) + " more";
    return text + ".";
}

std::string DroppedLinesQuestion(const TPackedListing& listing, std::size_t shown) {
    const std::size_t n = listing.dropped.size();
    std::string text = std::to_string(n) + (n == 1 ? " line" : " lines") +
                       " will be left out because " + (n == 1 ? "it fails" : "they fail") +
                       " the line check:\n";
    for (std::size_t i = 0; i < n && i < shown; ++i)
        text += DroppedLineText(listing.dropped[i]) + "\n";
    if (n > shown)
        text += "and " + std::to_string(n - shown) + " more\n";
    return text + "Send the rest?";
}

std::string TDownloader::notReadyReason() const {
    if (busy())
        return "A download is already running.";
    if (!m_port.isOpen())
        return "The serial port is not open: open it first.";
    return {};
}

TStartResult TDownloader::SendListing(const std::vector<std::string>& lines) {
    if (lines.empty())
        return {};
    return SendPacked(PackListing(lines));
}

TStartResult TDownloader::SendPacked(const TPackedListing& listing) {
    if (busy())
        return {false, "A download is already running."};
    if (std::string refusal = ListingRefusal(listing); !refusal.empty())
        return {false, std::move(refusal)};
    if (listing.records == 0)
        return {};
    return SendImage(listing.image);
}

TStartResult TDownloader::SendImage(Bytes image) {
    if (busy())
        return {false, "A download is already running."};
    if (image.size() > kMaxImageSize)
        return {false, imageTooLargeMessage(image.size())};
    if (!m_port.isOpen())
        return {false, "The serial port is not open: open it first."};
    m_status.reset();
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
    reports.step = [post](const TDownloadStep& step) {
        post([step](TDownloader& d) {
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
    auto finished = [post](const TSendResult& result) {
        post([result](TDownloader& d) { d.finish(result); });
    };
    m_worker = std::make_unique<TSendDataThread>(*m_link, m_clock, std::move(image),
                                                 std::move(reports), std::move(finished));
    return {true, {}};
}

void TDownloader::finish(const TSendResult& result) {
    // The worker's last act was to post this task: once joined it has ended.
    m_worker->join();
    m_worker.reset();
    m_link.reset();
    m_status = result.status;
    TDownloadOutcome outcome;
    outcome.byteCount = m_byteCount;
    outcome.status = result.status;
    outcome.message = CompletionMessage(m_byteCount, result.status);
    outcome.reason = result.reason;
    outcome.confirmedBytes = result.confirmedBytes;
    if (m_handlers.completed)
        m_handlers.completed(outcome);
}

} // namespace download
