#include "download/ProgramMemory.h"

#include "download/DownloadFailure.h"

#include <array>
#include <charconv>

namespace download {

namespace {

constexpr std::array<std::uint32_t, 256> crcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kCrcTable = crcTable();

} // namespace

std::uint32_t ImageChecksum(std::span<const std::uint8_t> image) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::uint8_t b : image)
        crc = kCrcTable[(crc ^ b) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void TProgramMemory::remember(const std::string& port, std::span<const std::uint8_t> image) {
    m_entries[port] = {ImageChecksum(image), image.size()};
}

void TProgramMemory::forget(const std::string& port) {
    m_entries.erase(port);
}

void TProgramMemory::record(const std::string& port, std::span<const std::uint8_t> image,
                            bool success, bool headerTaken) {
    if (success)
        remember(port, image);
    else if (headerTaken)
        forget(port);
}

std::optional<TProgramMemory::Entry> TProgramMemory::entry(const std::string& port) const {
    const auto it = m_entries.find(port);
    if (it == m_entries.end())
        return std::nullopt;
    return it->second;
}

TProgramMemory::Match TProgramMemory::compare(const std::string& port,
                                              std::span<const std::uint8_t> image) const {
    const auto known = entry(port);
    if (!known)
        return Match::Unknown;
    return *known == Entry{ImageChecksum(image), image.size()} ? Match::Same : Match::Different;
}

files::TMessage TProgramMemory::statusMessage(const std::string& port,
                                              std::span<const std::uint8_t> image) const {
    switch (compare(port, image)) {
    case Match::Same:
        return files::Say("download",
                          ZV_TRANSLATABLE("download", "The robot on %1 has this program"),
                          PortShortName(port));
    case Match::Different:
        return files::Say(
            "download",
            ZV_TRANSLATABLE("download", "The robot on %1 has an older version of this program"),
            PortShortName(port));
    case Match::Unknown:
        break;
    }
    return {};
}

std::string TProgramMemory::statusText(const std::string& port,
                                       std::span<const std::uint8_t> image) const {
    return statusMessage(port, image).English();
}

std::string TProgramMemory::save() const {
    std::string text;
    for (const auto& [port, e] : m_entries) {
        char hex[9] = {};
        std::to_chars(hex, hex + 8, e.checksum, 16);
        text += port + "\t" + hex + "\t" + std::to_string(e.length) + "\n";
    }
    return text;
}

void TProgramMemory::load(std::string_view text) {
    m_entries.clear();
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const std::size_t tab1 = line.find('\t');
        const std::size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
        if (tab2 == std::string_view::npos || tab1 == 0)
            continue;
        const std::string_view hex = line.substr(tab1 + 1, tab2 - tab1 - 1);
        const std::string_view length = line.substr(tab2 + 1);
        Entry e;
        const auto [p1, ec1] = std::from_chars(hex.data(), hex.data() + hex.size(), e.checksum, 16);
        const auto [p2, ec2] =
            std::from_chars(length.data(), length.data() + length.size(), e.length);
        if (ec1 != std::errc() || p1 != hex.data() + hex.size() || hex.empty() ||
            ec2 != std::errc() || p2 != length.data() + length.size() || length.empty())
            continue;
        m_entries[std::string(line.substr(0, tab1))] = e;
    }
}

} // namespace download
