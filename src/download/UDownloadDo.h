#pragma once

#include "download/Clock.h"
#include "download/DownloadFailure.h"
#include "download/PacketLink.h"
#include "download/ProgramImage.h"
#include "download/SerialPortInterface.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

// The download worker: the hello packet, the hello reply, the header packet
// with the image length, the header reply (which must begin AA AA) and the
// image in 64-byte chunks with a 50 ms pause after each, over the packet link.
namespace download {

inline constexpr std::array<std::uint8_t, 7> kHelloPacket{0x00, 0x54, 0x43, 0xE8, 0x03, 0x00, 0xFA};
inline constexpr int kHeaderSize = 72;
inline constexpr int kChunkSize = 64;
inline constexpr std::chrono::milliseconds kChunkPause{50};

// The header packet of an image of the given length (low 16 bits).
std::array<std::uint8_t, kHeaderSize> HeaderPacket(std::size_t imageLength);
// Number of 64-byte chunks of an image.
int ChunkCount(std::size_t imageLength);
// The time a whole download of an image may take, from the hello packet to
// the last chunk's answer: 30 s, 11 answer time limits (one step may spend
// all its attempts waiting), and 4 times the undisturbed download: the
// pauses after the chunks and the line time of every byte both ways, the
// hello and header replies counted at their largest (260 bytes).
std::chrono::microseconds DownloadAllowance(std::size_t imageLength,
                                            std::chrono::milliseconds answerTimeout);

// The result flag of a download: every packet went through, or one did not
// (or the robot did not take the program).
enum class TDownloadStatus { Success, Fail };

// "84 bytes data send success" / "84 bytes data send fail".
std::string CompletionMessage(std::size_t byteCount, TDownloadStatus status);

// A step of the download sequence, reported once the worker is past it.
struct TDownloadStep {
    enum class Kind {
        HelloSent,      // the robot took the hello packet
        HelloAnswered,  // the hello reply arrived intact
        HeaderSent,     // the robot took the header packet
        HeaderAnswered, // the header reply arrived intact (its AA AA not yet checked)
        ChunkSent,      // the robot took chunk `chunk` of `chunks`
    };
    Kind kind = Kind::HelloSent;
    int chunk = 0;  // ChunkSent: the chunk taken, counted from 1
    int chunks = 0; // ChunkSent: the image's chunks in all

    bool operator==(const TDownloadStep&) const = default;
};

// The step's line in the trace list: "1" to "4" for the hello and header
// steps, "5:k" for chunk k.
std::string TraceLine(const TDownloadStep& step);

// A packet of the sequence sent, or a reply asked for, once more.
struct TRetry {
    enum class What { Hello, HelloReply, Header, HeaderReply, Chunk };
    What what = What::Hello;
    int chunk = 0;   // Chunk: the chunk sent again, counted from 1
    int chunks = 0;  // Chunk: the image's chunks in all
    int attempt = 2; // this attempt's number, 2 to 11
    TPacketLink::Failure previous = TPacketLink::Failure::None; // why the one before failed

    bool operator==(const TRetry&) const = default;
};

// What a worker reports while it runs; called on the worker's thread.
struct TSendReports {
    std::function<void(const TDownloadStep& step)> step;
    std::function<void(int chunksSent, int chunksTotal)> progress;
    std::function<void(const TRetry& retry)> retry = {};
};

// The outcome of one run of the download sequence.
struct TSendResult {
    TDownloadStatus status = TDownloadStatus::Fail;
    std::string reason;             // why it failed; empty on success
    files::TMessage reasonMessage;  // the reason as the windows show it; reason is its English
    std::size_t confirmedBytes = 0; // the image bytes in chunks the robot took
    TFailureCause cause = TFailureCause::None;
    // The robot may have taken the header packet (a whole copy went out that
    // it did not refuse): from then on it writes the new program over its old
    // one, so a download that ends early may leave it part of the new program.
    bool headerTaken = false;
    // Where a failed or cancelled download stopped ("the hello packet",
    // "chunk 3 of 5"); empty on success.
    std::string where;
    std::string headerReply; // NotTaken: the reply's first two bytes, "AA 55"

    void setReason(files::TMessage message); // the reason and its English
};

// What a port said about a failure, as a message: the packet link's and the virtual robot's
// own words are wordings of their own, the system's words a value shown as they are.
files::TMessage PortWordsMessage(const std::string& words);

// The download sequence, run once on the calling thread. The link's
// deadline is set to DownloadAllowance from the start. A stop requested on
// the link's receive queue ends it between two packets as cancelled.
TSendResult RunSendSequence(TPacketLink& link, TClock& clock, std::span<const std::uint8_t> image,
                            const TSendReports& reports);
// Test connection: the hello packet and the hello reply alone (trace steps
// HelloSent and HelloAnswered), nothing announced or sent. Success means a
// robot answered.
TSendResult RunHelloSequence(TPacketLink& link, TClock& clock, const TSendReports& reports);

// TSendDataThread: one download on its own thread. It holds its own copy of
// the image, starts running on creation, and calls finished (on its thread)
// as its last act. Its owner joins it (the destructor does too).
class TSendDataThread {
public:
    TSendDataThread(TPacketLink& link, TClock& clock, Bytes image, TSendReports reports,
                    std::function<void(const TSendResult&)> finished, bool helloOnly = false);
    ~TSendDataThread();
    TSendDataThread(const TSendDataThread&) = delete;
    TSendDataThread& operator=(const TSendDataThread&) = delete;

    void join();
    bool isWorkerThread() const { return std::this_thread::get_id() == m_thread.get_id(); }

private:
    std::thread m_thread;
};

// The final word on a download, handed to the owner's thread.
struct TDownloadOutcome {
    std::size_t byteCount = 0;
    TDownloadStatus status = TDownloadStatus::Fail;
    std::string message;            // CompletionMessage
    std::string reason;             // why it failed, with the bytes confirmed; empty on success
    files::TMessage reasonMessage;  // the reason as the windows show it; reason is its English
    std::size_t confirmedBytes = 0; // the image bytes the robot took
    TFailureCause cause = TFailureCause::None;
    bool headerTaken = false; // see TSendResult
    std::string where;        // see TSendResult
    std::string headerReply;  // see TSendResult
    bool helloOnly = false;   // a Test connection, not a download

    bool cancelled() const { return cause == TFailureCause::Cancelled; }
};

// What the owner wants to hear; every call arrives on the owner's thread.
struct TDownloadHandlers {
    std::function<void(const TDownloadStep& step)> step;
    std::function<void(int chunksSent, int chunksTotal)> progress;
    std::function<void(const TDownloadOutcome& outcome)> completed;
    std::function<void(const TRetry& retry)> retry = {};
};

// Runs a task on the owner's thread later (a queued call). It must not run
// the task at once on the calling thread.
using PostFunction = std::function<void(std::function<void()> task)>;

// Whether a download started; when not, error says why (empty: nothing to send).
struct TStartResult {
    bool started = false;
    std::string error;
};

// Why a packed listing cannot go to the robot, or nothing when it can: no
// line passed the check, the image is too large for the header, or the
// program too large for the robot's memory. An empty listing has nothing to
// send and no reason either.
files::TMessage ListingRefusalMessage(const TPackedListing& listing);
std::string ListingRefusal(const TPackedListing& listing); // its English
// The refusal of a listing none of whose lines passed the check.
files::TMessage NoLineAccepted(const TPackedListing& listing);
std::string NoLineAcceptedMessage(const TPackedListing& listing); // its English
// The question before a download that leaves lines out: "2 lines will be
// left out ... Send the rest?", the first `shown` of them named one a line.
files::TMessage DroppedLinesQuestionMessage(const TPackedListing& listing, std::size_t shown = 10);
std::string DroppedLinesQuestion(const TPackedListing& listing,
                                 std::size_t shown = 10); // its English

// TDownloader: the download window's state without the window: the receive
// queue fed by the port, the byte count, the result flag, the trace list
// (one TraceLine a step) and the one running worker. Lives on the owner's (user-interface) thread;
// the port must outlive it.
class TDownloader {
public:
    TDownloader(TSerialPortInterface& port, PostFunction post, TClock& clock = systemClock());
    // Stops a running worker and waits for it; its pending reports are dropped.
    ~TDownloader();
    TDownloader(const TDownloader&) = delete;
    TDownloader& operator=(const TDownloader&) = delete;

    void setHandlers(TDownloadHandlers handlers) { m_handlers = std::move(handlers); }
    void setAnswerTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

    // The Download button: packs the lines into the program image in memory
    // and sends it with SendPacked. No line: nothing happens (started false,
    // error empty).
    TStartResult SendListing(const std::vector<std::string>& lines);
    // Sends a packed listing's image with SendImage. A listing ListingRefusal
    // refuses is not sent; lines that failed the check are left out (the
    // caller tells the user beforehand).
    TStartResult SendPacked(const TPackedListing& listing);
    // Sends the bytes as the program image: empties the receive queue,
    // discards the port's buffers and starts the worker. Refuses (with a
    // message) an image too large for the header, a closed port and a
    // download already running.
    TStartResult SendImage(Bytes image);
    // Test connection: the hello exchange alone on a worker, reported like a
    // download (helloOnly set, byte count 0) but kept out of the trace list
    // and the result flag.
    TStartResult TestConnection();
    // Cancel: the running worker winds the exchange down (kWindDown at most,
    // plus a chunk's pause) and reports a cancelled outcome, unless the
    // robot took the last chunk meanwhile. Nothing when idle.
    void cancel();
    bool cancelRequested() const { return m_cancelRequested; }

    // Why a download cannot start now (one running, the port closed), or nothing.
    std::string notReadyReason() const;
    bool busy() const { return m_worker != nullptr; }
    std::size_t byteCount() const { return m_byteCount; }
    // The result flag of the last download that finished; none before the
    // first has finished, and none while a download runs.
    std::optional<TDownloadStatus> status() const { return m_status; }
    const std::vector<std::string>& traceList() const { return m_trace; }
    TReceiveQueue& receiveQueue() { return m_queue; }

private:
    TStartResult start(Bytes image, bool helloOnly);
    void finish(const TSendResult& result);

    TSerialPortInterface& m_port;
    PostFunction m_post;
    TClock& m_clock;
    std::chrono::milliseconds m_timeout = kDefaultAnswerTimeout;
    TDownloadHandlers m_handlers;
    TReceiveQueue m_queue;
    std::unique_ptr<TPacketLink> m_link;
    std::unique_ptr<TSendDataThread> m_worker;
    std::size_t m_byteCount = 0;
    bool m_helloOnly = false;
    bool m_cancelRequested = false;
    std::optional<TDownloadStatus> m_status;
    std::vector<std::string> m_trace;
    // Posted tasks hold a weak reference: after destruction they do nothing.
    std::shared_ptr<TDownloader*> m_alive = std::make_shared<TDownloader*>(this);
};

} // namespace download
