#pragma once

#include "download/ProgramImage.h"
#include "download/SerialPortInterface.h"
#include "files/Message.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace download {

// TVirtualRobot: the robot's side of the download protocol, fed one byte at a
// time. It accepts intact packets with 90 and rejects damaged ones with 165,
// answers the hello packet with a hello reply and the header packet with a
// header reply beginning AA AA, resends a reply the computer rejects, collects
// the chunks and keeps the image. Fault switches make it misbehave on purpose.
// Thread-safe: its owner may feed it on one thread and inspect it on another.
class TVirtualRobot {
public:
    // Where the robot's bytes go (called without the robot's lock held).
    using Output = std::function<void(std::span<const std::uint8_t> bytes)>;
    using ImageHandler = std::function<void(const Bytes& image)>;

    void setOutput(Output output);
    // Called once for every complete image.
    void setImageHandler(ImageHandler handler);

    // One byte from the computer.
    void receive(std::uint8_t byte);
    // Forgets a half-received exchange and a hang-up (the port was opened again).
    void reset();

    // Fault switches.
    // Answers count packets with 165, after letting `after` packets through.
    void rejectNextPackets(int count, int after = 0);
    void corruptNextReplies(int count);    // the next count reply packets carry a wrong XOR
    void setSilentAfterPackets(int count); // after count more packets, answer nothing (-1: never)
    void setHeaderReply(std::uint8_t first, std::uint8_t second); // AA AA unless set
    void hangUpAfterChunks(int count); // after count chunks, hang up (-1: never)
    // Every byte it sends arrives changed, as from a device at another speed.
    void garbleAnswers(bool garble);

    bool hungUp() const;
    // The last complete image, and how many arrived.
    Bytes image() const;
    int imagesReceived() const;
    // The data of every packet it accepted, in order (hello, header, chunks).
    std::vector<Bytes> acceptedPackets() const;
    // Every byte it received, in order.
    Bytes receivedBytes() const;
    int packetsRejected() const;
    int repliesSent() const;

private:
    enum class Mode { Hello, Header, Chunks, ReplyAnswer };
    enum class Field { Length, Data, SumLow, SumHigh, Xor };

    void packetComplete(Bytes& out);
    void handlePacket(const Bytes& data, Bytes& out);
    void sendReply(Bytes& out);

    mutable std::mutex m_mutex;
    Output m_output;
    ImageHandler m_imageHandler;

    Mode m_mode = Mode::Hello;
    Mode m_afterReply = Mode::Hello;
    Field m_field = Field::Length;
    int m_expected = 0;
    Bytes m_data;
    std::uint16_t m_sum = 0;
    std::uint8_t m_sumLow = 0, m_sumHigh = 0;
    Bytes m_reply;

    std::size_t m_imageLength = 0;
    Bytes m_collecting;
    int m_chunks = 0;
    bool m_completedAfterReply = false;

    int m_rejectNext = 0;
    int m_rejectAfter = 0;
    int m_corruptNext = 0;
    int m_silentAfter = -1;
    bool m_silent = false;
    std::uint8_t m_headerReply[2] = {0xAA, 0xAA};
    int m_hangUpAfter = -1;
    bool m_hungUp = false;
    bool m_garble = false;

    Bytes m_image;
    int m_images = 0;
    std::vector<Bytes> m_accepted;
    Bytes m_received;
    int m_rejected = 0;
    int m_replies = 0;
};

inline constexpr std::string_view kVirtualRobotPortName = "Virtual robot";

// What the virtual robot's port said about a failure (errorString(), the error handler's
// text) as its message; nothing for other words.
files::TMessage VirtualPortWords(const std::string& words);

// TVirtualRobotPort: the virtual robot as a serial port in the same process
// (the "Virtual robot" entry of the port box, and the tests' robot). Its
// answers arrive through the receive handler on the writing thread; a
// hang-up closes the port and reports it through the error handler.
class TVirtualRobotPort final : public TSerialPortInterface {
public:
    TVirtualRobotPort();

    TVirtualRobot& robot() { return m_robot; }

    bool open() override;
    void close() override;
    bool isOpen() const override { return m_open; }
    std::string portName() const override { return std::string(kVirtualRobotPortName); }
    std::string errorString() const override;
    void discardBuffers() override {}
    bool writeByte(std::uint8_t byte) override;
    void setReceiveHandler(ReceiveHandler handler) override;
    void setErrorHandler(ErrorHandler handler) override;

private:
    TVirtualRobot m_robot;
    std::atomic<bool> m_open{false};
    mutable std::mutex m_mutex; // guards the handlers and the error text
    ReceiveHandler m_receive;
    ErrorHandler m_error;
    std::string m_errorText;
};

} // namespace download
