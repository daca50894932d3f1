// SPDX-License-Identifier: MIT
// Windows: the show command from the start-up information, the module from its load address.
#include <windows.h>

#include <array>
#include <string_view>

#include "app/process_platform.h"

namespace nimbrel {

namespace {

std::string baseName(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/:");
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

std::string moduleFileName(HMODULE module) {
    std::array<char, MAX_PATH + 1> path{};
    const DWORD length = GetModuleFileNameA(module, path.data(), MAX_PATH);
    return baseName(std::string_view(path.data(), length));
}

}  // namespace

int startupShowCommand() {
    STARTUPINFOW information{};
    information.cb = sizeof(information);
    GetStartupInfoW(&information);
    return (information.dwFlags & STARTF_USESHOWWINDOW) != 0 ? information.wShowWindow
                                                             : ShowDefault;
}

CodeLocation locateCode(const void* address) {
    HMODULE module = nullptr;
    if (address == nullptr || GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                                     GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                                 static_cast<LPCWSTR>(address), &module) == 0) {
        return {moduleFileName(nullptr), 0};
    }
    const auto distance =
        reinterpret_cast<std::uintptr_t>(address) - reinterpret_cast<std::uintptr_t>(module);
    return {moduleFileName(module), static_cast<std::uint32_t>(distance)};
}

}  // namespace nimbrel
