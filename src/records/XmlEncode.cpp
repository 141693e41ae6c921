// XmlEncode and XmlDecode: the escaping of user text in record values.
#include "records/SimpleXML.h"
#include "records/SimpleXMLDetail.h"

#include <charconv>
#include <cstdint>

using simplexml_detail::equalsNoCase;

std::string XmlEncode(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '&':
            result += "&amp;";
            break;
        case '<':
            result += "&lt;";
            break;
        case '>':
            result += "&gt;";
            break;
        case '"':
            result += "&quot;";
            break;
        case '\'':
            result += "&apos;";
            break;
        default:
            if (byte >= 0x80) {
                result += "&#x";
                result += kHex[byte >> 4];
                result += kHex[byte & 0x0F];
                result += ';';
            } else {
                result += c;
            }
        }
    }
    return result;
}

namespace {

// The value of a numeric reference's digits, when they parse and are greater than zero.
bool parseReference(std::string_view digits, int base, unsigned char& byte) {
    if (digits.empty())
        return false;
    std::uint64_t number = 0;
    const char* end = digits.data() + digits.size();
    const auto [ptr, ec] = std::from_chars(digits.data(), end, number, base);
    if (ec != std::errc() || ptr != end || number == 0)
        return false;
    byte = static_cast<unsigned char>(number & 0xFF);
    return true;
}

} // namespace

std::string XmlDecode(std::string_view text) {
    struct Named {
        std::string_view entity;
        char c;
    };
    static constexpr Named kNamed[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&apos;", '\''}, {"&quot;", '"'}};
    std::string result;
    result.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c != '&') {
            result += c;
            ++i;
            continue;
        }
        const std::string_view rest = text.substr(i);
        bool done = false;
        for (const Named& named : kNamed) {
            if (rest.size() >= named.entity.size() &&
                equalsNoCase(rest.substr(0, named.entity.size()), named.entity)) {
                result += named.c;
                i += named.entity.size();
                done = true;
                break;
            }
        }
        if (!done && rest.size() > 2 && rest[1] == '#') {
            const std::size_t semicolon = rest.find(';');
            if (semicolon != std::string_view::npos) {
                std::string_view body = rest.substr(2, semicolon - 2);
                int base = 10;
                if (!body.empty() && (body.front() == 'x' || body.front() == 'X')) {
                    body.remove_prefix(1);
                    base = 16;
                }
                unsigned char byte = 0;
                if (parseReference(body, base, byte)) {
                    result += static_cast<char>(byte);
                    i += semicolon + 1;
                    done = true;
                }
            }
        }
        if (!done) {
            result += '&';
            ++i;
        }
    }
    return result;
}
