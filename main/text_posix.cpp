// SPDX-License-Identifier: MIT
// Linux and macOS have no workstation code page for 8-bit text; Latin-1 maps each byte to the
// character of the same number, so no device byte is ever lost or merged with another.
#include "main/text.h"

namespace nimbrel {

QString fromDeviceBytes(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string upperDeviceBytes(std::string_view bytes) {
    std::string upper(bytes);
    for (char& character : upper) {
        const auto byte = static_cast<unsigned char>(character);
        // a-z and the accented small letters; 0xF7 is the division sign, and 0xFF and 0xB5
        // have no capital inside Latin-1, so they stay.
        const bool small =
            (byte >= 0x61 && byte <= 0x7A) || (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7);
        if (small) {
            character = static_cast<char>(byte - 0x20);
        }
    }
    return upper;
}

}  // namespace nimbrel
