// Any listing text, split into lines as the download window splits it: the line check and the
// packer never crash, and the image holds exactly the accepted lines. Each accepted line (a
// number from 0 to 65535, a statement without NUL) gives one record 00, link word, line number,
// 93, the statement as the line parser took it; the link word starts at 6593 and advances by
// the statement's length + 2 before each record; the image ends with 00 00 00. A refused line
// leaves no trace in the image and is named among the dropped lines with its code. What the
// packer says of the robot's memory and of the part that fits agrees with the records.
// (The part that fits ends early only past 58,942 bytes of statements, beyond the inputs a
// run makes unless -max_len allows them.)
#include "FuzzCheck.h"
#include "download/ProgramImage.h"
#include "files/Files.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using download::Bytes;
using fuzzcheck::require;

std::string hex(const Bytes& bytes, std::size_t from) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = from; i < bytes.size() && i < from + 64; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
        text += ' ';
    }
    return text;
}

struct TAccepted {
    std::size_t position; // in the listing, from 1
    download::TParsedLine parsed;
};

// Checks every line and returns the accepted ones; the refused ones are appended to dropped.
std::vector<TAccepted> checkLines(const std::vector<std::string>& lines,
                                  std::vector<download::TDroppedLine>& dropped) {
    std::vector<TAccepted> accepted;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        download::TParsedLine parsed = download::ParseLine(line);
        require(download::CheckLine(line) == parsed.code, "CheckLine gives ParseLine's code", line);
        if (parsed.code != download::kLineAccepted) {
            require(parsed.statement.empty() && parsed.number == 0,
                    "a refused line has no number and no statement", line);
            dropped.push_back({i + 1, parsed.code});
            continue;
        }
        require(line.size() > 8, "an accepted line is longer than 8 bytes", line);
        require(parsed.number >= 0 && parsed.number <= download::kMaxLineNumber,
                "an accepted line's number is from 0 to 65535", line);
        require(download::IsQuotedForm(parsed.statement), "the statement is a quoted form", line);
        require(parsed.statement.find('\0') == std::string::npos,
                "an accepted statement holds no NUL", line);
        require(line.find(parsed.statement) != std::string::npos,
                "the statement is taken from the line", line);
        accepted.push_back({i + 1, std::move(parsed)});
    }
    return accepted;
}

void checkPacked(const std::vector<std::string>& lines) {
    std::vector<download::TDroppedLine> dropped;
    const std::vector<TAccepted> accepted = checkLines(lines, dropped);
    const download::TPackedListing packed = download::PackListing(lines);
    const Bytes& image = packed.image;

    std::size_t at = 0;
    std::uint16_t link = download::kFirstLinkWord;
    std::size_t memory = 0;
    std::size_t fit = 0, lastFit = 0, imageFit = 3;
    bool fitting = true;
    for (const TAccepted& line : accepted) {
        const std::string& text = line.parsed.statement;
        const std::size_t recordSize = 6 + text.size();
        require(image.size() >= at + recordSize, "the image holds a record per accepted line",
                text);
        link = static_cast<std::uint16_t>(link + text.size() + 2);
        const auto number = static_cast<std::uint32_t>(line.parsed.number);
        const bool headerRight = image[at] == 0x00 && image[at + 1] == (link & 0xFF) &&
                                 image[at + 2] == (link >> 8) && image[at + 3] == (number & 0xFF) &&
                                 image[at + 4] == ((number >> 8) & 0xFF) &&
                                 image[at + 5] == download::kStatementToken;
        if (!headerRight)
            fuzzcheck::fail("a record begins 00, link word, line number, 93", hex(image, at));
        const std::string_view statement(reinterpret_cast<const char*>(image.data()) + at + 6,
                                         text.size());
        require(statement == text, "a record's statement is the parsed statement", statement);
        at += recordSize;
        memory += text.size() + 2;
        // The records so far fit while both the memory and the image stay within bounds; once
        // one does not, none after it counts.
        fitting =
            fitting && memory <= download::kProgramMemory && at + 3 <= download::kMaxImageSize;
        if (fitting) {
            ++fit;
            lastFit = line.position;
            imageFit = at + 3;
        }
    }
    if (image.size() != at + 3 || image[at] != 0 || image[at + 1] != 0 || image[at + 2] != 0)
        fuzzcheck::fail("the image ends with 00 00 00 after the last record", hex(image, at));
    if (image != download::BuildImage(lines))
        fuzzcheck::fail("BuildImage gives PackListing's image");

    require(packed.records == accepted.size(), "the packer counts the accepted lines");
    require(packed.dropped == dropped, "the packer names every refused line with its code");
    require(packed.memory == memory, "the memory is the statements' lengths + 2 each");
    require(packed.recordsThatFit == fit && packed.lastLineThatFits == lastFit &&
                packed.imageThatFits == imageFit,
            "the part that fits is the records up to the first one past a limit",
            std::to_string(packed.recordsThatFit) + " " + std::to_string(packed.lastLineThatFits) +
                " " + std::to_string(packed.imageThatFits) + " expected " + std::to_string(fit) +
                " " + std::to_string(lastFit) + " " + std::to_string(imageFit));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkPacked(files::SplitLines(text));
    return 0;
}
