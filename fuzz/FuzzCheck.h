// What every fuzz target does when a rule does not hold: it says which rule and what it saw on
// standard error, then stops with a trap, so that libFuzzer keeps the input as a finding.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace fuzzcheck {

// The text with every byte outside printable ASCII written as \xNN, for the report.
inline std::string shown(std::string_view text, std::size_t limit = 400) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < text.size() && i < limit; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    if (text.size() > limit)
        out += "...";
    return out;
}

[[noreturn]] inline void fail(std::string_view rule, std::string_view detail = {}) {
    std::fprintf(stderr, "\n*** Rule broken: %.*s\n", static_cast<int>(rule.size()), rule.data());
    if (!detail.empty())
        std::fprintf(stderr, "*** %s\n", shown(detail, 4000).c_str());
    std::fflush(stderr);
    __builtin_trap();
}

inline void require(bool holds, std::string_view rule, std::string_view detail = {}) {
    if (!holds)
        fail(rule, detail);
}

} // namespace fuzzcheck
