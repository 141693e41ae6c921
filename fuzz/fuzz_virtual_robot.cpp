// The virtual robot against any bytes from the computer. It never crashes, and everything it
// says is an answer (90 or 165) or one of its reply packets: the hello reply 00 5A 52 01 00 or
// the header reply (its two header-reply bytes, then the length the header announced), each
// with its right sums, or the XOR byte inverted while a fault switch damages replies. Its
// counters agree with what it said, a robot that hung up hears and says nothing, and every
// image it hands over is made of the chunks it accepted after a header announcing its length.
//
// Input: byte 0 sets the fault switches (bit 0: refuse some packets, bit 1: damage some replies,
// bit 2: fall silent after some packets, bit 3: header reply 55 AA, bit 4: hang up after a
// chunk), byte 1 the counts they use; the rest is the computer's bytes, in order. A byte FF
// after an FE (the pair itself is not sent) reopens the port, which resets the robot.
#include "FuzzCheck.h"
#include "download/PacketLink.h"
#include "download/VirtualRobot.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace download;
using fuzzcheck::require;

constexpr std::array<std::uint8_t, 5> kHelloReply{0x00, 0x5A, 0x52, 0x01, 0x00};

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

struct TSaid {
    int accepts = 0;
    int rejects = 0;
    int replies = 0;
    int damagedReplies = 0;
};

// Reads what the robot said: answers and reply packets, nothing else.
TSaid readWhatItSaid(const Bytes& said, std::uint8_t headerFirst, std::uint8_t headerSecond) {
    TSaid seen;
    std::size_t at = 0;
    while (at < said.size()) {
        const std::uint8_t first = said[at];
        if (first == kAccept || first == kReject) {
            ++(first == kAccept ? seen.accepts : seen.rejects);
            ++at;
            continue;
        }
        requireBytes(first == kHelloReply.size() || first == 4,
                     "the robot says only 90, 165 or a reply packet", said);
        const std::size_t length = first;
        requireBytes(at + 1 + length + 3 <= said.size(), "a reply packet is said whole", said);
        const std::uint8_t* data = said.data() + at + 1;
        if (length == kHelloReply.size()) {
            requireBytes(std::equal(data, data + length, kHelloReply.begin()),
                         "the hello reply is 00 5A 52 01 00", said);
        } else {
            requireBytes(data[0] == headerFirst && data[1] == headerSecond,
                         "the header reply begins with its two reply bytes", said);
        }
        const TPacketSums sums = PacketSums(data, static_cast<int>(length));
        const std::uint8_t* tail = data + length;
        requireBytes(tail[0] == (sums.sum & 0xFF) && tail[1] == (sums.sum >> 8),
                     "a reply packet carries its right sum", said);
        if (tail[2] != sums.xorByte) {
            requireBytes(tail[2] == static_cast<std::uint8_t>(sums.xorByte ^ 0xFF),
                         "a damaged reply has its XOR byte inverted", said);
            ++seen.damagedReplies;
        }
        ++seen.replies;
        at += 1 + length + 3;
    }
    return seen;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const std::uint8_t switches = data[0];
    const int count = data[1] & 7;
    const int after = (data[1] >> 3) & 7;

    TVirtualRobot robot;
    Bytes said;
    std::vector<Bytes> images;
    robot.setOutput([&](std::span<const std::uint8_t> bytes) {
        said.insert(said.end(), bytes.begin(), bytes.end());
    });
    robot.setImageHandler([&](const Bytes& image) { images.push_back(image); });

    const bool refusing = switches & 1;
    const bool damaging = switches & 2;
    const bool silencing = switches & 4;
    const bool otherHeaderReply = switches & 8;
    const bool hangingUp = switches & 16;
    if (refusing)
        robot.rejectNextPackets(count, after);
    if (damaging)
        robot.corruptNextReplies(count);
    if (silencing)
        robot.setSilentAfterPackets(count);
    if (otherHeaderReply)
        robot.setHeaderReply(0x55, 0xAA);
    if (hangingUp)
        robot.hangUpAfterChunks(count);

    Bytes heard; // the bytes that reached a robot that had not hung up
    for (std::size_t i = 2; i < size; ++i) {
        if (data[i] == 0xFE && i + 1 < size && data[i + 1] == 0xFF) {
            robot.reset();
            ++i;
            continue;
        }
        const bool hungUp = robot.hungUp();
        require(!hungUp || hangingUp, "only the switch makes the robot hang up");
        const std::size_t before = said.size();
        robot.receive(data[i]);
        if (hungUp)
            requireBytes(said.size() == before, "a robot that hung up says nothing", said);
        else
            heard.push_back(data[i]);
    }

    const TSaid seen = readWhatItSaid(said, otherHeaderReply ? 0x55 : 0xAA, 0xAA);
    requireBytes(seen.damagedReplies <= (damaging ? count : 0),
                 "only the replies the switch damages are damaged", said);
    const std::vector<Bytes> accepted = robot.acceptedPackets();
    if (!silencing) {
        requireBytes(seen.replies == robot.repliesSent(), "every reply it counts was said", said);
        requireBytes(seen.rejects == robot.packetsRejected(), "every refusal it counts was said",
                     said);
        requireBytes(seen.accepts == static_cast<int>(accepted.size()),
                     "every packet it accepted was answered 90", said);
    }
    require(robot.receivedBytes() == heard, "the robot keeps every byte it heard");

    require(static_cast<int>(images.size()) == robot.imagesReceived(),
            "every completed image is handed over once");
    if (!images.empty())
        require(robot.image() == images.back(), "the last image handed over is the one it keeps");
    // Every image is the beginning of the packets accepted after a header (a 72-byte packet)
    // that announced its length.
    for (const Bytes& image : images) {
        bool found = false;
        for (std::size_t j = 0; j < accepted.size() && !found; ++j) {
            const Bytes& header = accepted[j];
            if (header.size() != 72 || header[0] + 256u * header[1] != image.size())
                continue;
            Bytes following;
            for (std::size_t k = j + 1; k < accepted.size() && following.size() < image.size(); ++k)
                following.insert(following.end(), accepted[k].begin(), accepted[k].end());
            found = following.size() >= image.size() &&
                    std::equal(image.begin(), image.end(), following.begin());
        }
        requireBytes(found, "an image is made of the chunks after a header announcing its length",
                     image);
    }
    return 0;
}
