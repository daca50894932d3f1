// SPDX-License-Identifier: MIT
#include "app/display_check.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace nimbrel {

namespace {

// QT_QPA_PLATFORM lists platforms separated by ";", each perhaps followed by ":options".
std::vector<std::string> platformNames(const std::string& setting) {
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

// The variable that names a platform's display; none for a platform that needs no display name
// (offscreen, vnc, eglfs and the like).
const char* displayVariable(std::string_view platform) {
    if (platform == "xcb") {
        return "DISPLAY";
    }
    if (platform.starts_with("wayland")) {
        return "WAYLAND_DISPLAY";
    }
    return nullptr;
}

// "a", "a or b", "a, b or c".
std::string joinedWithOr(const std::vector<std::string>& names) {
    std::string joined;
    for (std::size_t index = 0; index < names.size(); ++index) {
        if (index > 0) {
            joined += index + 1 == names.size() ? " or " : ", ";
        }
        joined += names[index];
    }
    return joined;
}

// Only two variables exist, so one or two are lacking.
std::string notSet(const std::vector<std::string>& variables) {
    if (variables.size() == 1) {
        return variables.front() + " is not set";
    }
    return "neither " + variables.front() + " nor " + variables.back() + " is set";
}

}  // namespace

std::optional<std::string> missingDisplayMessage(const EnvironmentReader& environment) {
    const std::vector<std::string> asked = platformNames(environment("QT_QPA_PLATFORM"));
    const std::vector<std::string> platforms =
        asked.empty() ? std::vector<std::string>{"xcb", "wayland"} : asked;
    std::vector<std::string> lacking;
    for (const std::string& platform : platforms) {
        const char* variable = displayVariable(platform);
        if (variable == nullptr || !environment(variable).empty()) {
            return std::nullopt;
        }
        if (std::find(lacking.begin(), lacking.end(), variable) == lacking.end()) {
            lacking.emplace_back(variable);
        }
    }
    std::string reason = notSet(lacking);
    if (!asked.empty()) {
        reason = "QT_QPA_PLATFORM asks for " + joinedWithOr(asked) + ", but " + reason;
    }
    return "nimbrel-utility: no graphical display was found (" + reason +
           "), and the program's window needs one.\n"
           "To list the devices on a terminal, run nimbrel-discover.\n";
}

std::optional<std::string> missingDisplayMessage() {
#if defined(_WIN32) || defined(__APPLE__)
    return std::nullopt;
#else
    return missingDisplayMessage([](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value != nullptr ? value : "");
    });
#endif
}

}  // namespace nimbrel
