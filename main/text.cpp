// SPDX-License-Identifier: MIT
// Control characters are those of Unicode's category Cc, which are exactly C0, DEL and C1. They
// are judged after decoding: a byte that the workstation's code page reads as a printable
// character (0x80 as the euro sign in Windows-1252) is text there, not a control.
#include "main/text.h"

namespace nimbrel {

namespace {

constexpr char16_t ControlPictures = 0x2400;  // U+2400 + n shows C0 character n
constexpr char16_t DeletePicture = 0x2421;
constexpr char16_t Replacement = 0xFFFD;

bool isControl(QChar character) {
    return character.category() == QChar::Other_Control;
}

QChar visible(QChar character) {
    const char16_t code = character.unicode();
    if (code < 0x20) {
        return QChar(static_cast<char16_t>(ControlPictures + code));
    }
    return QChar(code == 0x7F ? DeletePicture : Replacement);
}

}  // namespace

QString visibleText(QString text) {
    for (QChar& character : text) {
        if (isControl(character)) {
            character = visible(character);
        }
    }
    return text;
}

QString shownDeviceText(std::string_view bytes) {
    return visibleText(fromDeviceBytes(bytes));
}

QString copiedDeviceText(std::string_view bytes) {
    QString text = fromDeviceBytes(bytes);
    text.removeIf(isControl);
    return text;
}

}  // namespace nimbrel
