#include "download/ProgramImage.h"

#include "files/Files.h"

namespace download {

namespace {
template <class... Args> files::TMessage say(std::string_view wording, Args&&... args) {
    return files::Say("download", wording, std::forward<Args>(args)...);
}
} // namespace

namespace {

bool isSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::vector<std::string> LineTokens(std::string_view line) {
    std::vector<std::string> tokens;
    std::string current;
    char openQuote = 0; // the character that opened the current quoted run
    for (char c : line) {
        if (openQuote) {
            current += c;
            if (c == openQuote)
                openQuote = 0;
        } else if (isSeparator(c)) {
            if (!current.empty())
                tokens.push_back(std::move(current));
            current.clear();
        } else {
            if (c == '"' || c == '\'')
                openQuote = c;
            current += c;
        }
    }
    if (!current.empty())
        tokens.push_back(std::move(current));
    return tokens;
}

bool ParseInteger(std::string_view token, std::int32_t& value) {
    bool negative = false;
    if (!token.empty() && (token.front() == '-' || token.front() == '+')) {
        negative = token.front() == '-';
        token.remove_prefix(1);
    }
    bool hex = false;
    for (std::string_view prefix : {"0x", "0X", "$", "x", "X"}) {
        if (token.starts_with(prefix)) {
            hex = true;
            token.remove_prefix(prefix.size());
            break;
        }
    }
    if (token.empty())
        return false;
    // Hexadecimal text may use all 32 bits (FFFFFFFF is -1); decimal text
    // must lie in the signed 32-bit range.
    const std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    std::uint64_t magnitude = 0;
    for (char c : token) {
        const int digit = hex ? hexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (digit < 0)
            return false;
        magnitude = magnitude * (hex ? 16 : 10) + static_cast<unsigned>(digit);
        if (magnitude > limit)
            return false;
    }
    const std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
    value = static_cast<std::int32_t>(negative ? 0u - bits : bits);
    return true;
}

bool IsQuotedForm(std::string_view token) {
    // Undo the quoted form, then quote again: the token passes when the round
    // trip gives it back.
    std::string text;
    if (token.starts_with('"')) {
        for (std::size_t i = 1; i < token.size(); ++i) {
            if (token[i] == '"') {
                if (i + 1 < token.size() && token[i + 1] == '"') {
                    text += '"';
                    ++i;
                    continue;
                }
                break;
            }
            text += token[i];
        }
    }
    if (text.empty())
        text = token;
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    quoted += '"';
    return quoted == token;
}

TParsedLine ParseLine(std::string_view line) {
    TParsedLine parsed;
    if (line.size() <= 8) {
        parsed.code = kLineTooShort;
        return parsed;
    }
    std::vector<std::string> tokens = LineTokens(line);
    if (tokens.size() < 3) {
        parsed.code = kLineFewTokens;
        return parsed;
    }
    // Each later failure overrides an earlier one.
    parsed.code = kLineAccepted;
    // A record holds the line number in 16 bits: a larger one would turn
    // into another line's number.
    if (!ParseInteger(tokens[0], parsed.number) || parsed.number < 0 ||
        parsed.number > kMaxLineNumber)
        parsed.code = kLineBadNumber;
    if (!tokens[1].starts_with("REM"))
        parsed.code = kLineNoRem;
    if (!IsQuotedForm(tokens[2]))
        parsed.code = kLineNotQuoted;
    // The robot reads a statement up to its first NUL byte (the next
    // record's start): the rest would be lost.
    if (tokens[2].find('\0') != std::string::npos)
        parsed.code = kLineNulByte;
    if (parsed.code == kLineAccepted)
        parsed.statement = std::move(tokens[2]);
    else
        parsed.number = 0;
    return parsed;
}

int CheckLine(std::string_view line) {
    return ParseLine(line).code;
}

files::TMessage LineCheckMessage(int code) {
    switch (code) {
    case kLineAccepted:
        return say(ZV_TRANSLATABLE("download", "accepted"));
    case kLineTooShort:
        return say(ZV_TRANSLATABLE("download", "8 characters or fewer"));
    case kLineFewTokens:
        return say(ZV_TRANSLATABLE("download", "fewer than three words"));
    case kLineBadNumber:
        return say(ZV_TRANSLATABLE("download", "no line number from 0 to %1"), kMaxLineNumber);
    case kLineNoRem:
        return say(ZV_TRANSLATABLE("download", "the second word does not begin with REM"));
    case kLineNotQuoted:
        return say(ZV_TRANSLATABLE("download", "the third word is not a quoted text"));
    case kLineNulByte:
        return say(ZV_TRANSLATABLE("download", "the statement holds a NUL byte"));
    }
    return say(ZV_TRANSLATABLE("download", "unknown code"));
}

std::string LineCheckText(int code) {
    return LineCheckMessage(code).English();
}

files::TMessage DroppedLineMessage(const TDroppedLine& line) {
    return say(ZV_TRANSLATABLE("download", "line %1 (code %2: %3)"), line.position, line.code,
               LineCheckMessage(line.code));
}

std::string DroppedLineText(const TDroppedLine& line) {
    return DroppedLineMessage(line).English();
}

TPackedListing PackListing(const std::vector<std::string>& lines) {
    TPackedListing packed;
    Bytes& image = packed.image;
    std::uint16_t link = kFirstLinkWord;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const TParsedLine parsed = ParseLine(lines[i]);
        if (parsed.code != kLineAccepted) {
            packed.dropped.push_back({i + 1, parsed.code});
            continue;
        }
        // The link word advances by the statement's length + 2 (not by the
        // record's length, which is 6 more): the robot relies on it as it is.
        link = static_cast<std::uint16_t>(link + parsed.statement.size() + 2);
        const auto number = static_cast<std::uint32_t>(parsed.number);
        image.push_back(0x00);
        image.push_back(static_cast<std::uint8_t>(link & 0xFF));
        image.push_back(static_cast<std::uint8_t>(link >> 8));
        image.push_back(static_cast<std::uint8_t>(number & 0xFF));
        image.push_back(static_cast<std::uint8_t>((number >> 8) & 0xFF));
        image.push_back(kStatementToken);
        image.insert(image.end(), parsed.statement.begin(), parsed.statement.end());
        ++packed.records;
        packed.memory += parsed.statement.size() + 2;
        if (packed.recordsThatFit + 1 == packed.records && packed.memory <= kProgramMemory &&
            image.size() + 3 <= kMaxImageSize) {
            packed.recordsThatFit = packed.records;
            packed.lastLineThatFits = i + 1;
            packed.imageThatFits = image.size() + 3;
        }
    }
    image.insert(image.end(), {0x00, 0x00, 0x00});
    return packed;
}

files::TMessage TooLargeForRobot(const TPackedListing& listing) {
    const files::TMessage needs =
        listing.records == 1
            ? say(ZV_TRANSLATABLE("download", "The program is too large for the robot: its 1 line "
                                              "needs %1 bytes of program memory (a line takes its "
                                              "statement's length + 2) and the robot has %2."),
                  listing.memory, kProgramMemory)
            : say(ZV_TRANSLATABLE("download", "The program is too large for the robot: its %1 "
                                              "lines need %2 bytes of program memory (a line takes "
                                              "its statement's length + 2) and the robot has %3."),
                  listing.records, listing.memory, kProgramMemory);
    if (listing.recordsThatFit == 0)
        return say(ZV_TRANSLATABLE("download", "%1 Not even its first line fits."), needs);
    return say(ZV_TRANSLATABLE("download", "%1 Only the lines up to line %2 fit (%3 lines, a "
                                           "program image of %4 bytes)."),
               needs, listing.lastLineThatFits, listing.recordsThatFit, listing.imageThatFits);
}

std::string TooLargeForRobotMessage(const TPackedListing& listing) {
    return TooLargeForRobot(listing).English();
}

Bytes BuildImage(const std::vector<std::string>& lines) {
    return PackListing(lines).image;
}

files::TStatus PackLines(const std::vector<std::string>& lines, const std::string& fileName) {
    const TPackedListing packed = PackListing(lines);
    if (packed.tooLargeForRobot())
        return files::Error(TooLargeForRobotMessage(packed));
    const Bytes& image = packed.image;
    return files::ReplaceFile(
        fileName, std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
}

} // namespace download
