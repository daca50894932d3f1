// Failures that end a handler: each carries a kind name and the message that the user sees.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace nimbrel {

class Failure : public std::runtime_error {
public:
    Failure(std::string kind, const std::string& message);

    const std::string& Kind() const noexcept { return kind_; }

    /// The code address from which the failure was raised (the constructor's caller).
    const void* RaisedAt() const noexcept { return raisedAt_; }

protected:
    Failure(std::string kind, const std::string& message, const void* raisedAt);

private:
    std::string kind_;
    const void* raisedAt_;
};

/// A failure of the socket layer; its message is "Socket Error # <code>" CR LF and the code's text.
class SocketError : public Failure {
public:
    explicit SocketError(int code);

    int Code() const noexcept { return code_; }

private:
    int code_;
};

/// The text for a socket error code (codes are numbered as Winsock numbers them on every
/// platform); empty for a code that has none.
std::string_view SocketErrorText(int code);

std::string SocketErrorMessage(int code);

}  // namespace nimbrel
