// Any listing text, split into lines as the download window splits it: the line check and the
// packer never crash, and the image holds exactly the accepted lines. Each accepted line gives
// one record 00, link word, line number (low 16 bits), 93, the statement as the line parser
// took it; the link word starts at 6593 and advances by the statement's length + 2 before each
// record; the image ends with 00 00 00. A refused line leaves no trace.
#include "FuzzCheck.h"
#include "download/ProgramImage.h"
#include "files/Files.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::string hex(const download::Bytes& bytes, std::size_t from) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = from; i < bytes.size() && i < from + 64; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
        text += ' ';
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzzcheck::require;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = files::SplitLines(text);

    std::vector<download::TParsedLine> accepted;
    for (const std::string& line : lines) {
        download::TParsedLine parsed = download::ParseLine(line);
        require(download::CheckLine(line) == parsed.code, "CheckLine gives ParseLine's code", line);
        if (parsed.code != download::kLineAccepted) {
            require(parsed.statement.empty() && parsed.number == 0,
                    "a refused line has no number and no statement", line);
            continue;
        }
        require(line.size() > 8, "an accepted line is longer than 8 bytes", line);
        require(download::IsQuotedForm(parsed.statement), "the statement is a quoted form", line);
        require(line.find(parsed.statement) != std::string::npos,
                "the statement is taken from the line", line);
        accepted.push_back(std::move(parsed));
    }

    const download::Bytes image = download::BuildImage(lines);
    std::size_t at = 0;
    std::uint16_t link = download::kFirstLinkWord;
    for (const download::TParsedLine& line : accepted) {
        const std::size_t recordSize = 6 + line.statement.size();
        require(image.size() >= at + recordSize, "the image holds a record per accepted line",
                line.statement);
        link = static_cast<std::uint16_t>(link + line.statement.size() + 2);
        const auto number = static_cast<std::uint32_t>(line.number);
        const bool headerRight = image[at] == 0x00 && image[at + 1] == (link & 0xFF) &&
                                 image[at + 2] == (link >> 8) && image[at + 3] == (number & 0xFF) &&
                                 image[at + 4] == ((number >> 8) & 0xFF) &&
                                 image[at + 5] == download::kStatementToken;
        require(headerRight, "a record begins 00, link word, line number, 93", hex(image, at));
        const std::string_view statement(reinterpret_cast<const char*>(image.data()) + at + 6,
                                         line.statement.size());
        require(statement == line.statement, "a record's statement is the parsed statement",
                std::string(statement));
        at += recordSize;
    }
    require(image.size() == at + 3 && image[at] == 0 && image[at + 1] == 0 && image[at + 2] == 0,
            "the image ends with 00 00 00 after the last record", hex(image, at));
    return 0;
}
