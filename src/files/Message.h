#pragma once

// A text of the core that a person reads, kept apart as its English wording and the values put
// into it: the tool prints the English (English()), and the windows show the wording in the
// interface's language with the same values (platform::Translated). A message without a
// context is not translated, but its %N are filled all the same (a list of phrases).
//
// The wording holds %1 to %9 where the values go, in any order. A value is either shown as it
// stands (a name, a number, a statement; context empty) or is itself a phrase with a wording
// of its own ("the hello packet", "a number up to 32767"), so that it is translated too.
// Wordings are marked with ZV_TRANSLATABLE(context, text) where they are written, the context
// being the core folder's name, so that the translation tools collect them.

#include "files/Translatable.h"

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace files {

struct TMessage {
    std::string context = {}; // the wording's translation context; empty for a plain value
    std::string text = {};    // the English wording with %1..%9, or the plain value
    std::vector<TMessage> args = {};

    // The English text: the wording with every %N replaced by the English of its value. A
    // value's own text is never searched for %N again.
    std::string English() const;
    bool empty() const { return text.empty() && args.empty(); }

    bool operator==(const TMessage&) const = default;
};

// A value shown as it stands in every language.
inline TMessage Value(std::string text) {
    return TMessage{{}, std::move(text), {}};
}

namespace detail {
inline TMessage Argument(TMessage message) {
    return message;
}
inline TMessage Argument(std::string_view text) {
    return Value(std::string(text));
}
inline TMessage Argument(const char* text) {
    return Value(text);
}
inline TMessage Argument(const std::string& text) {
    return Value(text);
}
inline TMessage Argument(char c) {
    return Value(std::string(1, c));
}
// Without concepts: the windows' meta-object compiler reads this header too.
template <class T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, char> &&
                                        !std::is_same_v<T, bool>,
                                    int> = 0>
TMessage Argument(T number) {
    return Value(std::to_string(number));
}
} // namespace detail

// A wording of the given context with its values: Say("check", ZV_TRANSLATABLE("check",
// "The wait time is %1."), 0). Values may be texts, numbers, characters or messages.
template <class... Args>
TMessage Say(std::string_view context, std::string_view wording, Args&&... args) {
    TMessage message{std::string(context), std::string(wording), {}};
    message.args.reserve(sizeof...(Args));
    (message.args.push_back(detail::Argument(std::forward<Args>(args))), ...);
    return message;
}

// The English of the messages, one after the other (for texts joined from parts).
std::ostream& operator<<(std::ostream& out, const TMessage& message);

} // namespace files
