#include "tools/console.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace nimbrel::tools {

#ifdef _WIN32

bool IsTerminal(std::FILE* stream) {
    return _isatty(_fileno(stream)) != 0;
}

void PrepareConsole() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
}

#else

bool IsTerminal(std::FILE* stream) {
    return isatty(fileno(stream)) != 0;
}

void PrepareConsole() {}

#endif

}  // namespace nimbrel::tools
