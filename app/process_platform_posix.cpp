// SPDX-License-Identifier: MIT
// X11 and Wayland systems: no launcher passes a show command, and dladdr finds the module.
#include <dlfcn.h>
#include <unistd.h>

#include <array>
#include <string_view>

#include "app/process_platform.h"

namespace nimbrel {

namespace {

std::string baseName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string programPath() {
    std::array<char, 4096> path{};
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    return length > 0 ? std::string(path.data(), static_cast<std::size_t>(length)) : std::string();
}

}  // namespace

int startupShowCommand() {
    return ShowDefault;
}

CodeLocation locateCode(const void* address) {
    Dl_info info{};
    if (address != nullptr && dladdr(address, &info) != 0 && info.dli_fname != nullptr &&
        info.dli_fname[0] != '\0') {
        const auto distance = reinterpret_cast<std::uintptr_t>(address) -
                              reinterpret_cast<std::uintptr_t>(info.dli_fbase);
        return {baseName(info.dli_fname), static_cast<std::uint32_t>(distance)};
    }
    return {baseName(programPath()), 0};
}

}  // namespace nimbrel
