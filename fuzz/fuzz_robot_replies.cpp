// The download's receive side against any robot: the whole send sequence runs on a small image
// while the robot's bytes arrive from the input at the times the input gives, on a simulated
// clock (a time limit costs no real time). Whatever the robot sends, the download ends within
// its allowance, with success or with a reason, and on the way:
//  - the computer writes only intact packets (hello, the header of this image, the image's
//    chunks in order, each repeated only while not taken) and the answers 90 or 165;
//  - it answers 90 exactly once for each robot packet it reports as arrived;
//  - the steps it reports are the download's steps in order, all of them on success;
//  - progress counts the chunks up from 0 to the chunks taken.
//
// Input: byte 0 picks the image length (0 to 200 bytes), byte 1 the write after which the
// cable is pulled (0: never); then pairs (delay, byte): the byte arrives delay * 10 ms after
// the robot's previous byte.
#include "FuzzCheck.h"
#include "download/Clock.h"
#include "download/PacketLink.h"
#include "download/SerialPortInterface.h"
#include "download/UDownloadDo.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace download;
using namespace std::chrono_literals;
using fuzzcheck::require;

// More waits than any download of this image could need: a loop that never ends.
constexpr int kMaxWaits = 100000;

struct TArrival {
    TClock::time_point at;
    std::uint8_t byte;
};

// The robot's bytes on a simulated clock: a wait that nothing satisfies moves the clock to the
// next arrival (handing the byte over with the queue unlocked, as the port's receive handler
// would) or to its deadline.
class TScriptedRobotClock final : public TClock {
public:
    TScriptedRobotClock(TReceiveQueue& queue, std::deque<TArrival> arrivals)
        : m_queue(queue), m_arrivals(std::move(arrivals)) {}

    time_point now() const override { return m_now; }
    void sleepFor(std::chrono::milliseconds duration) override {
        require(duration >= 0ms, "a pause is not negative");
        m_now += duration;
        deliverDue();
    }
    bool waitUntil(std::condition_variable&, std::unique_lock<std::mutex>& lock,
                   time_point deadline, const std::function<bool()>& ready) override {
        require(++m_waits < kMaxWaits, "the download ends (it keeps waiting)");
        for (;;) {
            if (ready())
                return true;
            if (m_arrivals.empty() || m_arrivals.front().at > deadline) {
                require(deadline != time_point::max(),
                        "every wait has a time limit (nothing more will come)");
                if (m_now < deadline)
                    m_now = deadline;
                return ready();
            }
            if (m_now < m_arrivals.front().at)
                m_now = m_arrivals.front().at;
            lock.unlock();
            deliverDue();
            lock.lock();
        }
    }

private:
    void deliverDue() {
        std::vector<std::uint8_t> due;
        while (!m_arrivals.empty() && m_arrivals.front().at <= m_now) {
            due.push_back(m_arrivals.front().byte);
            m_arrivals.pop_front();
        }
        if (!due.empty())
            m_queue.append(due);
    }

    TReceiveQueue& m_queue;
    std::deque<TArrival> m_arrivals;
    time_point m_now{};
    int m_waits = 0;
};

// A port that keeps what the computer writes; the cable can be pulled after a given write,
// which the port reports as the real one does (error handler: the queue fails).
class TCablePort final : public TSerialPortInterface {
public:
    TCablePort(TReceiveQueue& queue, std::size_t pullAfter)
        : m_queue(queue), m_pullAfter(pullAfter) {}

    bool open() override { return m_open; }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    std::string portName() const override { return "fuzz port"; }
    std::string errorString() const override { return m_open ? "" : "the cable was pulled"; }
    void discardBuffers() override {}
    bool writeByte(std::uint8_t byte) override {
        if (!m_open)
            return false;
        written.push_back(byte);
        if (m_pullAfter != 0 && written.size() == m_pullAfter) {
            m_open = false;
            m_queue.fail("the cable was pulled");
        }
        return true;
    }
    void setReceiveHandler(ReceiveHandler) override {}
    void setErrorHandler(ErrorHandler) override {}

    Bytes written;

private:
    TReceiveQueue& m_queue;
    std::size_t m_pullAfter;
    bool m_open = true;
};

std::string hex(std::span<const std::uint8_t> bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < bytes.size() && i < 600; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
        text += ' ';
    }
    return text;
}

// require, with the bytes shown only when the rule does not hold.
void requireBytes(bool holds, std::string_view rule, std::span<const std::uint8_t> bytes) {
    if (!holds)
        fuzzcheck::fail(rule, hex(bytes));
}

// Checks what the computer wrote: packets and answers as described at the top. Returns the
// number of 90 answers and whether every packet of the download went out, the last one
// last.
struct TWrittenStream {
    int accepts = 0;
    std::size_t packetsDone = 0; // the download's packets seen, counted in order
};

TWrittenStream checkWritten(const Bytes& written, const std::vector<Bytes>& packets,
                            bool cablePulled) {
    TWrittenStream seen;
    std::size_t at = 0;
    std::size_t current = 0; // index of the packet that may come again; next is current + 1
    bool any = false;
    while (at < written.size()) {
        const std::uint8_t first = written[at];
        if (first == kAccept || first == kReject) {
            seen.accepts += first == kAccept;
            ++at;
            continue;
        }
        const std::size_t length = first == 0 ? 256 : first;
        if (at + 1 + length + 3 > written.size()) {
            requireBytes(cablePulled, "a packet is cut short only by a pulled cable", written);
            break;
        }
        const Bytes data(written.begin() + static_cast<std::ptrdiff_t>(at + 1),
                         written.begin() + static_cast<std::ptrdiff_t>(at + 1 + length));
        const TPacketSums sums = PacketSums(data.data(), static_cast<int>(length));
        const std::uint8_t* tail = written.data() + at + 1 + length;
        requireBytes(tail[0] == (sums.sum & 0xFF) && tail[1] == (sums.sum >> 8) &&
                         tail[2] == sums.xorByte,
                     "the computer's packets carry their right sums", written);
        if (any && data == packets[current]) {
            // the same packet again
        } else {
            const std::size_t next = any ? current + 1 : 0;
            requireBytes(next < packets.size() && data == packets[next],
                         "the computer sends the download's packets in order", written);
            current = next;
            any = true;
        }
        at += 1 + length + 3;
    }
    seen.packetsDone = any ? current + 1 : 0;
    return seen;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const std::size_t imageLength = data[0] % 201;
    const std::size_t pullAfter = static_cast<std::size_t>(data[1]) * 3;
    std::deque<TArrival> arrivals;
    TClock::time_point at{};
    for (std::size_t i = 2; i + 1 < size; i += 2) {
        at += std::chrono::milliseconds(10 * data[i]);
        arrivals.push_back({at, data[i + 1]});
    }

    Bytes image(imageLength);
    for (std::size_t i = 0; i < imageLength; ++i)
        image[i] = static_cast<std::uint8_t>(i * 37 + 11);
    const int chunks = ChunkCount(imageLength);
    std::vector<Bytes> packets{Bytes(kHelloPacket.begin(), kHelloPacket.end())};
    const auto header = HeaderPacket(imageLength);
    packets.emplace_back(header.begin(), header.end());
    for (int k = 0; k < chunks; ++k) {
        const auto from = image.begin() + static_cast<std::ptrdiff_t>(k) * kChunkSize;
        const auto to = k + 1 == chunks ? image.end() : from + kChunkSize;
        packets.emplace_back(from, to);
    }

    TReceiveQueue queue;
    TCablePort port(queue, pullAfter);
    TScriptedRobotClock clock(queue, std::move(arrivals));
    TPacketLink link(port, queue, clock);

    std::vector<TDownloadStep> steps;
    std::vector<std::pair<int, int>> progress;
    TSendReports reports;
    reports.step = [&](const TDownloadStep& step) { steps.push_back(step); };
    reports.progress = [&](int sent, int total) { progress.emplace_back(sent, total); };
    const TSendResult result = RunSendSequence(link, clock, image, reports);

    // Every wait ends by the download's deadline; only the pause after the last chunk may
    // follow it.
    const auto took = clock.now() - TClock::time_point{};
    require(took <= DownloadAllowance(imageLength, kDefaultAnswerTimeout) + kChunkPause,
            "the download ends within its allowance",
            std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()) +
                " ms");

    if (result.status == TDownloadStatus::Success)
        require(result.reason.empty(), "a download that succeeds gives no reason", result.reason);
    else
        require(!result.reason.empty(), "a download that fails says why");

    // The steps: a beginning of hello sent, hello answered, header sent, header answered,
    // chunk 1 .. chunks; all of them on success.
    std::vector<TDownloadStep> all{{TDownloadStep::Kind::HelloSent},
                                   {TDownloadStep::Kind::HelloAnswered},
                                   {TDownloadStep::Kind::HeaderSent},
                                   {TDownloadStep::Kind::HeaderAnswered}};
    for (int k = 1; k <= chunks; ++k)
        all.push_back({TDownloadStep::Kind::ChunkSent, k, chunks});
    require(steps.size() <= all.size() && std::equal(steps.begin(), steps.end(), all.begin()),
            "the steps are the download's steps in order");
    if (result.status == TDownloadStatus::Success)
        require(steps.size() == all.size(), "a download that succeeds went through every step");

    // Progress: (0, chunks) once the header is answered, then one more for each chunk taken.
    const std::size_t chunksTaken = steps.size() > 4 ? steps.size() - 4 : 0;
    if (progress.empty()) {
        require(chunksTaken == 0, "chunks are taken only after progress began");
    } else {
        require(progress.size() == chunksTaken + 1, "one progress report per chunk taken");
        for (std::size_t i = 0; i < progress.size(); ++i)
            require(progress[i] == std::pair<int, int>(static_cast<int>(i), chunks),
                    "progress counts the chunks up from 0");
    }

    const bool cablePulled = pullAfter != 0 && port.written.size() >= pullAfter;
    const TWrittenStream written = checkWritten(port.written, packets, cablePulled);
    const int answered = static_cast<int>(std::count_if(steps.begin(), steps.end(), [](auto& s) {
        return s.kind == TDownloadStep::Kind::HelloAnswered ||
               s.kind == TDownloadStep::Kind::HeaderAnswered;
    }));
    requireBytes(written.accepts == answered, "one 90 for each robot packet reported as arrived",
                 port.written);
    // A packet is reported taken only after it went out.
    const std::size_t sentSteps =
        static_cast<std::size_t>(std::count_if(steps.begin(), steps.end(), [](auto& s) {
            return s.kind != TDownloadStep::Kind::HelloAnswered &&
                   s.kind != TDownloadStep::Kind::HeaderAnswered;
        }));
    requireBytes(written.packetsDone >= sentSteps, "a packet reported taken was sent",
                 port.written);
    requireBytes(written.packetsDone <= sentSteps + 1,
                 "a packet goes out only after the one before it was taken", port.written);
    if (result.status == TDownloadStatus::Success)
        requireBytes(written.packetsDone == packets.size(),
                     "a download that succeeds sent every packet", port.written);
    return 0;
}
