#include "app/display_check.h"

#include <cstdlib>
#include <string_view>
#include <vector>

namespace nimbrel {

namespace {

// QT_QPA_PLATFORM lists platforms separated by ";", each perhaps followed by ":options".
std::vector<std::string> PlatformNames(const std::string& setting) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= setting.size()) {
        std::size_t end = setting.find(';', start);
        if (end == std::string::npos) {
            end = setting.size();
        }
        const std::string entry = setting.substr(start, end - start);
        const std::string name = entry.substr(0, entry.find(':'));
        if (!name.empty()) {
            names.push_back(name);
        }
        start = end + 1;
    }
    return names;
}

bool CanReachDisplay(std::string_view platform, const EnvironmentReader& environment) {
    if (platform == "xcb") {
        return !environment("DISPLAY").empty();
    }
    if (platform.starts_with("wayland")) {
        return !environment("WAYLAND_DISPLAY").empty();
    }
    return true;  // offscreen, vnc, eglfs and the like need no display name
}

}  // namespace

std::optional<std::string> MissingDisplayMessage(const EnvironmentReader& environment) {
    std::vector<std::string> platforms = PlatformNames(environment("QT_QPA_PLATFORM"));
    if (platforms.empty()) {
        platforms = {"xcb", "wayland"};
    }
    for (const std::string& platform : platforms) {
        if (CanReachDisplay(platform, environment)) {
            return std::nullopt;
        }
    }
    return std::string(
        "nimbrel-utility: no graphical display was found (neither DISPLAY nor WAYLAND_DISPLAY "
        "is set), and the program's window needs one.\n"
        "To list the devices on a terminal, run nimbrel-discover.\n");
}

std::optional<std::string> MissingDisplayMessage() {
#if defined(_WIN32) || defined(__APPLE__)
    return std::nullopt;
#else
    return MissingDisplayMessage([](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value != nullptr ? value : "");
    });
#endif
}

}  // namespace nimbrel
