#pragma once

#include "files/Message.h"
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
inline constexpr int kLineBadNumber = 3; // first token not an integer from 0 to 65535
inline constexpr int kLineNoRem = 4;     // second token does not begin with "REM"
inline constexpr int kLineNotQuoted = 5; // third token not a quoted form
inline constexpr int kLineNulByte = 6;   // third token holds a NUL byte (the robot's statement end)

// The line numbers a record can hold (16 bits).
inline constexpr std::int32_t kMaxLineNumber = 65535;

inline constexpr std::uint16_t kFirstLinkWord = 6593; // 0x19C1
inline constexpr std::uint16_t kLastLinkWord = 65535;
// What the records of a program may span together, counting each record as
// its statement's length + 2 (the link word's step): 58942 bytes.
inline constexpr std::size_t kProgramMemory = kLastLinkWord - kFirstLinkWord;
inline constexpr std::uint8_t kStatementToken = 0x93;

// The largest image a download can announce: its header holds the length in 16 bits.
inline constexpr std::size_t kMaxImageSize = 65535;

struct TParsedLine {
    int code = kLineTooShort;
    std::int32_t number = 0; // valid when code == kLineAccepted
    std::string statement;   // the third token, quotes included
};

// What a line-check code means, for messages: "fewer than three words".
files::TMessage LineCheckMessage(int code);
std::string LineCheckText(int code); // its English

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

// A line of a listing that fails the line check.
struct TDroppedLine {
    std::size_t position = 0; // in the listing, counted from 1
    int code = kLineTooShort;

    bool operator==(const TDroppedLine&) const = default;
};

// "line 3 (code 5: the third word is not a quoted text)"
files::TMessage DroppedLineMessage(const TDroppedLine& line);
std::string DroppedLineText(const TDroppedLine& line); // its English

// The image of a listing, with what a download needs to know of it.
struct TPackedListing {
    Bytes image;
    std::size_t records = 0;           // the lines that passed the check
    std::vector<TDroppedLine> dropped; // the lines that did not, in order
    // The records' span in the robot's memory: their statements' lengths + 2 each.
    std::size_t memory = 0;
    // The leading records that fit both the robot's memory and the largest
    // image, the listing position of the last of them (0: none) and their image.
    std::size_t recordsThatFit = 0;
    std::size_t lastLineThatFits = 0;
    std::size_t imageThatFits = 3;

    // The last link word would pass 65535: the robot cannot hold the program.
    bool tooLargeForRobot() const { return memory > kProgramMemory; }
};

// Packs the lines that pass CheckLine; the others are listed in dropped.
TPackedListing PackListing(const std::vector<std::string>& lines);
// The message for a listing that is too large for the robot (tooLargeForRobot()):
// what it needs, what the robot has, and how much of it fits.
files::TMessage TooLargeForRobot(const TPackedListing& listing);
std::string TooLargeForRobotMessage(const TPackedListing& listing); // its English

// The image of the lines in memory; lines that fail CheckLine are left out.
// The link words are kept to 16 bits as they are: PackListing says whether
// the robot can hold the program.
Bytes BuildImage(const std::vector<std::string>& lines);

// Writes the image of the lines to fileName, replacing the file whole (an interrupted write
// leaves the old file as it was). A program too large for the robot is refused and no file
// is written.
files::TStatus PackLines(const std::vector<std::string>& lines, const std::string& fileName);

} // namespace download
