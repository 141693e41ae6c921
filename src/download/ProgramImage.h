#pragma once

#include "files/Result.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The program image: the byte form of a program listing that the robot
// receives. Each accepted line becomes a record
//   00, link word (LE), line number low 16 bits (LE), 93, quoted statement
// and the image ends with 00 00 00. The link word starts at 6593 for every
// image and advances by the statement's length + 2 before each record.
namespace download {

using Bytes = std::vector<std::uint8_t>;

// Line-check codes.
inline constexpr int kLineAccepted = 0;
inline constexpr int kLineTooShort = 1;  // 8 bytes or fewer
inline constexpr int kLineFewTokens = 2; // fewer than three tokens
inline constexpr int kLineBadNumber = 3; // first token not an integer
inline constexpr int kLineNoRem = 4;     // second token does not begin with "REM"
inline constexpr int kLineNotQuoted = 5; // third token not a quoted form

inline constexpr std::uint16_t kFirstLinkWord = 6593; // 0x19C1
inline constexpr std::uint8_t kStatementToken = 0x93;

// The largest image a download can announce: its header holds the length in 16 bits.
inline constexpr std::size_t kMaxImageSize = 65535;

struct TParsedLine {
    int code = kLineTooShort;
    std::int32_t number = 0; // valid when code == kLineAccepted
    std::string statement;   // the third token, quotes included
};

// The tokens of a line: separated by spaces, tabs, CR or LF outside a quoted
// run; a double quote or apostrophe opens a run that lasts to the next one of
// the same character (or the end of the line); quote characters stay.
std::vector<std::string> LineTokens(std::string_view line);

// An optional sign, then decimal digits, or hexadecimal digits after "$",
// "x", "X", "0x" or "0X"; the value must fit in 32 bits.
bool ParseInteger(std::string_view token, std::int32_t& value);

// True when token is the quoted form of a text that is not empty.
bool IsQuotedForm(std::string_view token);

int CheckLine(std::string_view line);
TParsedLine ParseLine(std::string_view line);

// The image of the lines in memory; lines that fail CheckLine are left out.
Bytes BuildImage(const std::vector<std::string>& lines);

// Writes the image of the lines to fileName, replacing the file whole (an interrupted write
// leaves the old file as it was).
files::TStatus PackLines(const std::vector<std::string>& lines, const std::string& fileName);

} // namespace download
