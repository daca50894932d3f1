// SPDX-License-Identifier: MIT
// Errors as values: what failed, the message the user sees and the platform's code.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace nimbrel {

struct Error {
    std::string kind;     // "ESocketError", "ECouldNotBind", ...: names the kind of failure
    std::string message;  // the text that the user sees
    int code = 0;         // the platform's code, numbered as Winsock numbers it; 0 for our own
    const void* raisedAt = nullptr;  // the code that reported it, for the fatal report
};

/// A failure of the socket layer: "Socket Error # <code>" CR LF and the code's text.
Error socketError(int code);

/// A failure of our own, with a fixed message.
Error ownError(std::string kind, std::string message);

/// The text for a socket error code (codes are numbered as Winsock numbers them on every
/// platform); empty for a code that has none.
std::string_view socketErrorText(int code);

std::string socketErrorMessage(int code);

/// The error on one line, for a command-line program's "program: what failed: reason": the
/// code's text without its full stop, then "(socket error N)" for a socket error; an error of
/// our own gives its message without its full stop.
std::string errorReason(const Error& error);

}  // namespace nimbrel
