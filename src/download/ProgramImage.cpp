#include "download/ProgramImage.h"

#include "files/Files.h"

namespace download {

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
    if (!ParseInteger(tokens[0], parsed.number))
        parsed.code = kLineBadNumber;
    if (!tokens[1].starts_with("REM"))
        parsed.code = kLineNoRem;
    if (!IsQuotedForm(tokens[2]))
        parsed.code = kLineNotQuoted;
    if (parsed.code == kLineAccepted)
        parsed.statement = std::move(tokens[2]);
    else
        parsed.number = 0;
    return parsed;
}

int CheckLine(std::string_view line) {
    return ParseLine(line).code;
}

Bytes BuildImage(const std::vector<std::string>& lines) {
    Bytes image;
    std::uint16_t link = kFirstLinkWord;
    for (const std::string& line : lines) {
        const TParsedLine parsed = ParseLine(line);
        if (parsed.code != kLineAccepted)
            continue;
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
    }
    image.insert(image.end(), {0x00, 0x00, 0x00});
    return image;
}

files::TStatus PackLines(const std::vector<std::string>& lines, const std::string& fileName) {
    const Bytes image = BuildImage(lines);
    return files::ReplaceFile(
        fileName, std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
}

} // namespace download
