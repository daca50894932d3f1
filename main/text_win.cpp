// SPDX-License-Identifier: MIT
// Windows: device bytes are text of the workstation's ANSI code page, as every other 8-bit
// program on the same workstation reads them.
#include <windows.h>

#include "main/text.h"

namespace nimbrel {

QString fromDeviceBytes(std::string_view bytes) {
    if (bytes.empty()) {
        return {};
    }
    const int size = static_cast<int>(bytes.size());
    const int wide = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, text.data(), wide);
    return QString::fromWCharArray(text.data(), static_cast<qsizetype>(text.size()));
}

std::string upperDeviceBytes(std::string_view bytes) {
    std::string upper(bytes);
    if (!upper.empty()) {
        CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
    }
    return upper;
}

}  // namespace nimbrel
