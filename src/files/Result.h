// The one failure shape of the core: a value, or the message that says why there is none. The
// message is whole (it names the file and the system's reason where there is one) and ready to
// show; callers pass it on or show it, never take it apart.
#pragma once

#include <cassert>
#include <optional>
#include <string>
#include <utility>

namespace files {

// A failure's message, so that a TResult can be built from either side without ambiguity.
struct TError {
    std::string message;
};

inline TError Error(std::string message) {
    return TError{std::move(message)};
}

template <class T> class TResult {
public:
    TResult(T value) : m_value(std::move(value)) {}
    TResult(TError error) : m_error(std::move(error.message)) {}

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
    // The message; empty when ok().
    const std::string& error() const { return m_error; }

private:
    std::optional<T> m_value;
    std::string m_error;
};

// Success, or the message of a failure, for work that gives nothing back.
class TStatus {
public:
    TStatus() = default;
    TStatus(TError error) : m_error(std::move(error.message)) {}
    bool ok() const { return m_error.empty(); }
    explicit operator bool() const { return ok(); }
    const std::string& error() const { return m_error; }

private:
    std::string m_error;
};

} // namespace files
