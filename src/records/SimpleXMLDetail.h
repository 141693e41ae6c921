// Small text helpers shared by the element tree's sources: ASCII letter case, whitespace and
// decimal integers. Internal to records/.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

namespace simplexml_detail {

inline bool isWhite(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

inline char upperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string upperName(std::string_view name) {
    std::string result(name);
    for (char& c : result)
        c = upperAscii(c);
    return result;
}

inline bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upperAscii(a[i]) != upperAscii(b[i]))
            return false;
    }
    return true;
}

// A signed decimal 64-bit integer filling the whole text ("+" or "-" allowed in front).
inline bool parseInt64(std::string_view text, std::int64_t& out) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '-' || text.front() == '+'))
            return false;
    }
    if (text.empty())
        return false;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end;
}

} // namespace simplexml_detail
