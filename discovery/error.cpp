// SPDX-License-Identifier: MIT
#include "discovery/error.h"

#include <algorithm>
#include <array>

#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>  // _ReturnAddress
#endif

namespace nimbrel {

namespace {

struct CodeText {
    int code;
    std::string_view text;
};

// Kept word for word, the trailing blank of 10035 and the missing full stop of 10066 included:
// the messages must read the same on every platform and in every version.
constexpr std::array<CodeText, 38> SocketErrorTexts{{
    {10004, "Interrupted system call."},
    {10009, "Bad file number."},
    {10013, "Access denied."},
    {10014, "Bad address."},
    {10022, "Invalid argument."},
    {10024, "Too many open files."},
    {10035, "Operation would block. "},
    {10036, "Operation now in progress."},
    {10037, "Operation already in progress."},
    {10038, "Socket operation on non-socket."},
    {10039, "Destination address required."},
    {10040, "Message too long."},
    {10041, "Protocol wrong type for socket."},
    {10042, "Bad protocol option."},
    {10043, "Protocol not supported."},
    {10044, "Socket type not supported."},
    {10045, "Operation not supported on socket."},
    {10046, "Protocol family not supported."},
    {10047, "Address family not supported by protocol family."},
    {10048, "Address already in use."},
    {10049, "Cannot assign requested address."},
    {10050, "Network is down."},
    {10051, "Network is unreachable."},
    {10052, "Net dropped connection or reset."},
    {10053, "Software caused connection abort."},
    {10054, "Connection reset by peer."},
    {10055, "No buffer space available."},
    {10056, "Socket is already connected."},
    {10057, "Socket is not connected."},
    {10058, "Cannot send or receive after socket is closed."},
    {10059, "Too many references, cannot splice."},
    {10060, "Connection timed out."},
    {10061, "Connection refused."},
    {10062, "Too many levels of symbolic links."},
    {10063, "File name too long."},
    {10064, "Host is down."},
    {10065, "No route to host."},
    {10066, "Directory not empty"},
}};

}  // namespace

// Out of line, so that the return address lies in the code that reported the error; the fatal
// report shows where that is. A compiler that offers neither way reports no address.
#if defined(__GNUC__) || defined(__clang__)
#define NIMBREL_NOINLINE __attribute__((noinline))
#define NIMBREL_CALLER_ADDRESS __builtin_extract_return_addr(__builtin_return_address(0))
#elif defined(_MSC_VER)
#define NIMBREL_NOINLINE __declspec(noinline)
#define NIMBREL_CALLER_ADDRESS _ReturnAddress()
#else
#define NIMBREL_NOINLINE
#define NIMBREL_CALLER_ADDRESS nullptr
#endif

NIMBREL_NOINLINE Error socketError(int code) {
    return Error{"ESocketError", socketErrorMessage(code), code, NIMBREL_CALLER_ADDRESS};
}

NIMBREL_NOINLINE Error ownError(std::string kind, std::string message) {
    return Error{std::move(kind), std::move(message), 0, NIMBREL_CALLER_ADDRESS};
}

std::string_view socketErrorText(int code) {
    const auto found = std::find_if(SocketErrorTexts.begin(), SocketErrorTexts.end(),
                                    [code](const CodeText& row) { return row.code == code; });
    return found == SocketErrorTexts.end() ? std::string_view{} : found->text;
}

std::string socketErrorMessage(int code) {
    return "Socket Error # " + std::to_string(code) + "\r\n" + std::string(socketErrorText(code));
}

std::string errorReason(const Error& error) {
    const auto withoutStop = [](std::string_view text) {
        while (!text.empty() && (text.back() == '.' || text.back() == ' ')) {
            text.remove_suffix(1);
        }
        return std::string(text);
    };
    if (error.kind != "ESocketError") {
        return withoutStop(error.message);
    }
    const std::string text = withoutStop(socketErrorText(error.code));
    const std::string code = "socket error " + std::to_string(error.code);
    return text.empty() ? code : text + " (" + code + ")";
}

}  // namespace nimbrel
