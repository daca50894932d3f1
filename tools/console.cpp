// SPDX-License-Identifier: MIT
#include "tools/console.h"

#include <cerrno>
#include <cstring>

#include "tools/text_output.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#endif

namespace nimbrel::tools {

#ifdef _WIN32

bool isTerminal(std::FILE* stream) {
    return _isatty(_fileno(stream)) != 0;
}

std::vector<std::string> utf8Arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    }
    std::vector<std::string> arguments;
    for (int index = 1; index < count; ++index) {
        const int size =
            WideCharToMultiByte(CP_UTF8, 0, wide[index], -1, nullptr, 0, nullptr, nullptr);
        std::string argument(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide[index], -1, argument.data(), size, nullptr, nullptr);
        argument.pop_back();  // the terminator
        arguments.push_back(std::move(argument));
    }
    LocalFree(wide);
    return arguments;
}

void prepareConsole() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
}

#else

bool isTerminal(std::FILE* stream) {
    return isatty(fileno(stream)) != 0;
}

std::vector<std::string> utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void prepareConsole() {
    // A reader that has gone away (`| head`) is a write error to report, not a reason to die.
    std::signal(SIGPIPE, SIG_IGN);
    // A standard descriptor that the program was started without is held by /dev/null opened
    // for reading, so that no socket or pipe of the program's own takes its number: writing to
    // it fails with "Bad file descriptor", as on the closed descriptor.
    for (int standard = STDIN_FILENO; standard <= STDERR_FILENO; ++standard) {
        if (::fcntl(standard, F_GETFD) < 0) {
            const int held = ::open("/dev/null", O_RDONLY);
            if (held >= 0 && held != standard) {
                ::dup2(held, standard);
                ::close(held);
            }
        }
    }
}

#endif

std::optional<std::string> writeText(std::FILE* stream, std::string_view text) {
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), stream) == text.size();
    // The flush reports what a full buffer hid: on /dev/full, fwrite into the buffer succeeds.
    const bool flushed = std::fflush(stream) == 0;
    if (written && flushed && std::ferror(stream) == 0) {
        return std::nullopt;
    }
    const int code = errno;
    return code != 0 ? std::string(std::strerror(code)) : std::string("unknown error");
}

void ProgramMessages::complain(std::string_view message) const {
    // Messages name interfaces, files and options as the user or the system spelt them.
    const std::string shown = terminalSystemText(message);
    std::fwrite(name_.data(), 1, name_.size(), stderr);
    std::fputs(": ", stderr);
    std::fwrite(shown.data(), 1, shown.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

int ProgramMessages::usageError(std::string_view message) const {
    complain(message);
    std::fputs("Try '", stderr);
    std::fwrite(name_.data(), 1, name_.size(), stderr);
    std::fputs(" --help'.\n", stderr);
    return 2;
}

int ProgramMessages::writeOut(std::string_view text) const {
    if (const std::optional<std::string> reason = writeText(stdout, text)) {
        complain("write error: " + *reason);
        return 1;
    }
    return 0;
}

}  // namespace nimbrel::tools
