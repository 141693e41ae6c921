#include "editors/values/ControlRules.h"

#include "files/Translatable.h"

#include <algorithm>
#include <limits>

namespace editors {

int clampToRange(std::int64_t value, int lo, int hi) {
    return static_cast<int>(std::clamp<std::int64_t>(value, lo, hi));
}

int radioIndexFromValue(std::int64_t value, int count) {
    if (value < 0 || count <= 0)
        return -1;
    return static_cast<int>(std::min<std::int64_t>(value, count - 1));
}

int listIndexFromValue(std::int64_t value, int count) {
    return value >= 0 && value < count ? static_cast<int>(value) : -1;
}

bool numberBoxAccepts(char c, std::string_view current) {
    if (c >= '0' && c <= '9')
        return true;
    if (c == '+' || c == '-')
        return current.find(c) == std::string_view::npos;
    return false;
}

std::string numberBoxFilter(std::string_view current, std::string_view inserted) {
    std::string text(current);
    std::string taken;
    for (char c : inserted) {
        if (numberBoxAccepts(c, text)) {
            text += c;
            taken += c;
        }
    }
    return taken;
}

std::int64_t numberBoxTextValue(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size())
        return 0;
    // Accumulate towards the sign so the most negative number still fits; saturate beyond.
    constexpr std::int64_t lo = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t hi = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    bool saturated = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return 0;
        const int digit = c - '0';
        if (saturated)
            continue;
        if (negative) {
            if (value < (lo + digit) / 10) {
                value = lo;
                saturated = true;
            } else {
                value = value * 10 - digit;
            }
        } else {
            if (value > (hi - digit) / 10) {
                value = hi;
                saturated = true;
            } else {
                value = value * 10 + digit;
            }
        }
    }
    return value;
}

int numberBoxSettle(std::string_view text, int lo, int hi) {
    return clampToRange(numberBoxTextValue(text), lo, hi);
}

std::array<bool, 3> lampsFromValue(std::int64_t value) {
    std::array<bool, 3> lit{};
    for (int n = 0; n < 3; ++n)
        lit[n] = ((value >> n) & 1) == 0;
    return lit;
}

int valueFromLamps(const std::array<bool, 3>& lit) {
    int value = 0;
    for (int n = 0; n < 3; ++n)
        if (!lit[n])
            value |= 1 << n;
    return value;
}

std::array<bool, 8> bitsFromValue(std::int64_t value) {
    std::array<bool, 8> ticked{};
    for (int i = 0; i < 8; ++i)
        ticked[i] = ((value >> i) & 1) != 0;
    return ticked;
}

int valueFromBits(const std::array<bool, 8>& ticked) {
    int value = 0;
    for (int i = 0; i < 8; ++i)
        if (ticked[i])
            value |= 1 << i;
    return value;
}

TBitRowTexts bitRowTexts(TPortDialog dialog, bool ticked) {
    if (dialog == TPortDialog::IoSetup)
        return ticked ? TBitRowTexts{"1", ZV_TRANSLATABLE("editors", "Output")}
                      : TBitRowTexts{"0", ZV_TRANSLATABLE("editors", "Input")};
    return ticked ? TBitRowTexts{"1", ZV_TRANSLATABLE("editors", "High Level")}
                  : TBitRowTexts{"0", ZV_TRANSLATABLE("editors", "Low Level")};
}

} // namespace editors
