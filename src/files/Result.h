// The one failure shape of the core: a value, or the message that says why there is none. The
// message is whole (it names the file and the system's reason where there is one) and ready to
// show; callers pass it on or show it, never take it apart. It is kept as a TMessage, so that
// the windows show it in the interface's language; error() is its English, as the tool prints it.
#pragma once

#include "files/Message.h"

#include <cassert>
#include <optional>
#include <string>
#include <utility>

namespace files {

// A failure's message, so that a TResult can be built from either side without ambiguity.
struct TError {
    TMessage message;
};

// A failure told in words that are not translated (a value as it stands).
inline TError Error(std::string message) {
    return TError{Value(std::move(message))};
}
inline TError Error(TMessage message) {
    return TError{std::move(message)};
}

template <class T> class TResult {
public:
    TResult(T value) : m_value(std::move(value)) {}
    TResult(TError error) : m_error(std::move(error.message)), m_english(m_error.English()) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    // The value; only when ok().
    T& value() {
        assert(ok());
        return *m_value;
    }
    const T& value() const {
        assert(ok());
        return *m_value;
    }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    // The message in English; empty when ok().
    const std::string& error() const { return m_english; }
    // The message; empty when ok().
    const TMessage& errorMessage() const { return m_error; }

private:
    std::optional<T> m_value;
    TMessage m_error;
    std::string m_english;
};

// Success, or the message of a failure, for work that gives nothing back.
class TStatus {
public:
    TStatus() = default;
    TStatus(TError error) : m_error(std::move(error.message)), m_english(m_error.English()) {}
    bool ok() const { return m_error.empty(); }
    explicit operator bool() const { return ok(); }
    // The message in English; empty when ok().
    const std::string& error() const { return m_english; }
    // The message; empty when ok().
    const TMessage& errorMessage() const { return m_error; }

private:
    TMessage m_error;
    std::string m_english;
};

} // namespace files
