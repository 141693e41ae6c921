#include "download/VirtualRobot.h"

#include "download/PacketLink.h"
#include "download/UDownloadDo.h"

#include <algorithm>

namespace download {

namespace {

// The hello reply's content is not examined by the computer.
constexpr std::uint8_t kHelloReply[] = {0x00, 0x5A, 0x52, 0x01, 0x00};

// What the port says about its failures, with its name where the wording has %1.
constexpr const char* kClosed = ZV_TRANSLATABLE("download", "the port %1 was closed");
constexpr const char* kNotOpen = ZV_TRANSLATABLE("download", "the port %1 is not open");
constexpr const char* kHungUp = ZV_TRANSLATABLE("download", "the virtual robot hung up");

files::TMessage portMessage(const char* wording) {
    if (wording == kHungUp)
        return files::Say("download", wording);
    return files::Say("download", wording, kVirtualRobotPortName);
}

std::string portWords(const char* wording) {
    return portMessage(wording).English();
}

} // namespace

files::TMessage VirtualPortWords(const std::string& words) {
    for (const char* wording : {kClosed, kNotOpen, kHungUp})
        if (words == portWords(wording))
            return portMessage(wording);
    return {};
}

void TVirtualRobot::setOutput(Output output) {
    std::lock_guard lock(m_mutex);
    m_output = std::move(output);
}

void TVirtualRobot::setImageHandler(ImageHandler handler) {
    std::lock_guard lock(m_mutex);
    m_imageHandler = std::move(handler);
}

void TVirtualRobot::receive(std::uint8_t byte) {
    Bytes out;
    Output output;
    ImageHandler imageHandler;
    Bytes completed;
    bool imageDone = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_hungUp)
            return;
        m_received.push_back(byte);
        const int imagesBefore = m_images;
        if (m_mode == Mode::ReplyAnswer) {
            if (byte == kAccept) {
                m_mode = m_afterReply;
                if (m_completedAfterReply) {
                    m_completedAfterReply = false;
                    m_image = m_collecting;
                    ++m_images;
                }
            } else {
                sendReply(out); // the computer rejected the reply: send it again
            }
        } else {
            switch (m_field) {
            case Field::Length:
                m_expected = byte == 0 ? 256 : byte;
                m_data.clear();
                m_field = Field::Data;
                break;
            case Field::Data:
                m_data.push_back(byte);
                if (static_cast<int>(m_data.size()) == m_expected)
                    m_field = Field::SumLow;
                break;
            case Field::SumLow:
                m_sumLow = byte;
                m_field = Field::SumHigh;
                break;
            case Field::SumHigh:
                m_sumHigh = byte;
                m_field = Field::Xor;
                break;
            case Field::Xor:
                m_field = Field::Length;
                m_data.push_back(byte); // the XOR byte rides along to packetComplete
                packetComplete(out);
                break;
            }
        }
        if (m_silent)
            out.clear();
        if (m_garble) {
            // Bits read at the wrong speed: neither 90 nor 165 comes through as itself.
            for (std::uint8_t& b : out)
                b = static_cast<std::uint8_t>(b ^ 0x5C);
        }
        if (m_images != imagesBefore) {
            imageDone = true;
            completed = m_image;
            imageHandler = m_imageHandler;
        }
        output = m_output;
    }
    if (!out.empty() && output)
        output(out);
    if (imageDone && imageHandler)
        imageHandler(completed);
}

void TVirtualRobot::packetComplete(Bytes& out) {
    const std::uint8_t xorByte = m_data.back();
    m_data.pop_back();
    if (m_silentAfter == 0)
        m_silent = true;
    else if (m_silentAfter > 0)
        --m_silentAfter;
    if (m_silent)
        return;
    const TPacketSums sums = PacketSums(m_data.data(), static_cast<int>(m_data.size()));
    const bool intact = sums.sum == m_sumLow + 256 * m_sumHigh && sums.xorByte == xorByte;
    const bool refuse = m_rejectNext > 0 && m_rejectAfter == 0;
    if (m_rejectNext > 0 && m_rejectAfter > 0)
        --m_rejectAfter;
    if (refuse || !intact) {
        if (refuse)
            --m_rejectNext;
        ++m_rejected;
        out.push_back(kReject);
        return;
    }
    handlePacket(m_data, out);
}

void TVirtualRobot::handlePacket(const Bytes& data, Bytes& out) {
    const bool isHello =
        std::equal(data.begin(), data.end(), kHelloPacket.begin(), kHelloPacket.end());
    // A hello starts a new download wherever the last one stopped, unless it
    // is exactly the chunk still expected.
    const bool chunkExpected =
        m_mode == Mode::Chunks && m_imageLength - m_collecting.size() == data.size();
    if (isHello && !chunkExpected) {
        out.push_back(kAccept);
        m_accepted.push_back(data);
        m_reply.assign(std::begin(kHelloReply), std::end(kHelloReply));
        m_afterReply = Mode::Header;
        sendReply(out);
        return;
    }
    switch (m_mode) {
    case Mode::Hello:
    case Mode::ReplyAnswer:
        out.push_back(kReject); // nothing else makes sense before a hello
        ++m_rejected;
        return;
    case Mode::Header: {
        if (data.size() != kHeaderSize) {
            out.push_back(kReject);
            ++m_rejected;
            return;
        }
        out.push_back(kAccept);
        m_accepted.push_back(data);
        m_imageLength = data[0] + 256u * data[1];
        m_collecting.clear();
        m_chunks = 0;
        m_reply = {m_headerReply[0], m_headerReply[1], data[0], data[1]};
        const bool takes = m_headerReply[0] == 0xAA && m_headerReply[1] == 0xAA;
        m_afterReply = takes ? Mode::Chunks : Mode::Hello;
        if (takes && m_imageLength == 0) {
            m_afterReply = Mode::Hello;
            m_completedAfterReply = true;
        }
        sendReply(out);
        return;
    }
    case Mode::Chunks: {
        out.push_back(kAccept);
        m_accepted.push_back(data);
        const std::size_t room = m_imageLength - m_collecting.size();
        m_collecting.insert(m_collecting.end(), data.begin(),
                            data.begin() +
                                static_cast<std::ptrdiff_t>(std::min(room, data.size())));
        ++m_chunks;
        if (m_collecting.size() == m_imageLength) {
            m_image = m_collecting;
            ++m_images;
            m_mode = Mode::Hello;
        }
        if (m_hangUpAfter >= 0 && m_chunks >= m_hangUpAfter)
            m_hungUp = true;
        return;
    }
    }
}

void TVirtualRobot::sendReply(Bytes& out) {
    const int n = static_cast<int>(m_reply.size());
    const TPacketSums sums = PacketSums(m_reply.data(), n);
    out.push_back(static_cast<std::uint8_t>(n % 256));
    out.insert(out.end(), m_reply.begin(), m_reply.end());
    out.push_back(static_cast<std::uint8_t>(sums.sum & 0xFF));
    out.push_back(static_cast<std::uint8_t>(sums.sum >> 8));
    std::uint8_t xorByte = sums.xorByte;
    if (m_corruptNext > 0) {
        --m_corruptNext;
        xorByte ^= 0xFF;
    }
    out.push_back(xorByte);
    ++m_replies;
    m_mode = Mode::ReplyAnswer;
}

void TVirtualRobot::reset() {
    std::lock_guard lock(m_mutex);
    m_mode = Mode::Hello;
    m_field = Field::Length;
    m_data.clear();
    m_collecting.clear();
    m_completedAfterReply = false;
    m_hungUp = false;
}

void TVirtualRobot::rejectNextPackets(int count, int after) {
    std::lock_guard lock(m_mutex);
    m_rejectNext = count;
    m_rejectAfter = after;
}

void TVirtualRobot::corruptNextReplies(int count) {
    std::lock_guard lock(m_mutex);
    m_corruptNext = count;
}

void TVirtualRobot::setSilentAfterPackets(int count) {
    std::lock_guard lock(m_mutex);
    m_silentAfter = count;
    m_silent = false;
}

void TVirtualRobot::setHeaderReply(std::uint8_t first, std::uint8_t second) {
    std::lock_guard lock(m_mutex);
    m_headerReply[0] = first;
    m_headerReply[1] = second;
}

void TVirtualRobot::garbleAnswers(bool garble) {
    std::lock_guard lock(m_mutex);
    m_garble = garble;
}

void TVirtualRobot::hangUpAfterChunks(int count) {
    std::lock_guard lock(m_mutex);
    m_hangUpAfter = count;
}

bool TVirtualRobot::hungUp() const {
    std::lock_guard lock(m_mutex);
    return m_hungUp;
}

Bytes TVirtualRobot::image() const {
    std::lock_guard lock(m_mutex);
    return m_image;
}

int TVirtualRobot::imagesReceived() const {
    std::lock_guard lock(m_mutex);
    return m_images;
}

std::vector<Bytes> TVirtualRobot::acceptedPackets() const {
    std::lock_guard lock(m_mutex);
    return m_accepted;
}

Bytes TVirtualRobot::receivedBytes() const {
    std::lock_guard lock(m_mutex);
    return m_received;
}

int TVirtualRobot::packetsRejected() const {
    std::lock_guard lock(m_mutex);
    return m_rejected;
}

int TVirtualRobot::repliesSent() const {
    std::lock_guard lock(m_mutex);
    return m_replies;
}

TVirtualRobotPort::TVirtualRobotPort() {
    m_robot.setOutput([this](std::span<const std::uint8_t> bytes) {
        ReceiveHandler receive;
        {
            std::lock_guard lock(m_mutex);
            receive = m_receive;
        }
        if (receive)
            receive(bytes);
    });
}

bool TVirtualRobotPort::open() {
    m_robot.reset();
    std::lock_guard lock(m_mutex);
    m_errorText.clear();
    m_open = true;
    return true;
}

void TVirtualRobotPort::close() {
    if (!m_open.exchange(false))
        return;
    ErrorHandler error;
    {
        std::lock_guard lock(m_mutex);
        m_errorText = portWords(kClosed);
        error = m_error;
    }
    if (error)
        error(portWords(kClosed));
}

std::string TVirtualRobotPort::errorString() const {
    std::lock_guard lock(m_mutex);
    return m_errorText;
}

bool TVirtualRobotPort::writeByte(std::uint8_t byte) {
    if (!m_open) {
        std::lock_guard lock(m_mutex);
        if (m_errorText.empty())
            m_errorText = portWords(kNotOpen);
        return false;
    }
    m_robot.receive(byte);
    if (m_robot.hungUp() && m_open.exchange(false)) {
        ErrorHandler error;
        {
            std::lock_guard lock(m_mutex);
            m_errorText = portWords(kHungUp);
            error = m_error;
        }
        if (error)
            error(portWords(kHungUp));
    }
    return true;
}

void TVirtualRobotPort::setReceiveHandler(ReceiveHandler handler) {
    std::lock_guard lock(m_mutex);
    m_receive = std::move(handler);
}

void TVirtualRobotPort::setErrorHandler(ErrorHandler handler) {
    std::lock_guard lock(m_mutex);
    m_error = std::move(handler);
}

} // namespace download
