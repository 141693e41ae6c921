#pragma once

#include "files/Message.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// Which program each robot holds, as far as this editor sent it: robots are
// known by the port they hang on.
namespace download {

// The CRC-32 (IEEE 802.3) of an image.
std::uint32_t ImageChecksum(std::span<const std::uint8_t> image);

// TProgramMemory: the checksum and length of the image that last reached
// the robot on each port. A download that got through records it; one that
// left the robot part of a new program forgets it (nobody knows what the
// robot holds then); a failure before that leaves it as it was.
class TProgramMemory {
public:
    struct Entry {
        std::uint32_t checksum = 0;
        std::size_t length = 0;

        bool operator==(const Entry&) const = default;
    };
    enum class Match { Unknown, Same, Different };

    void remember(const std::string& port, std::span<const std::uint8_t> image);
    void forget(const std::string& port);
    // After a download to port: the image remembered on success, forgotten
    // when the robot took the header but not the whole image.
    void record(const std::string& port, std::span<const std::uint8_t> image, bool success,
                bool headerTaken);

    std::optional<Entry> entry(const std::string& port) const;
    // Whether the robot on port holds this image.
    Match compare(const std::string& port, std::span<const std::uint8_t> image) const;
    // "The robot on ttyUSB0 has this program", "... has an older version of
    // this program", or nothing when the port's program is unknown.
    files::TMessage statusMessage(const std::string& port,
                                  std::span<const std::uint8_t> image) const;
    std::string statusText(const std::string& port,
                           std::span<const std::uint8_t> image) const; // its English

    // For the settings: one line a port, "port<TAB>checksum in hex<TAB>length".
    std::string save() const;
    // Replaces the memory with what save() wrote; lines it cannot read are skipped.
    void load(std::string_view text);

    bool empty() const { return m_entries.empty(); }

private:
    std::map<std::string, Entry> m_entries;
};

} // namespace download
