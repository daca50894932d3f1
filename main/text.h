// SPDX-License-Identifier: MIT
// Device text is 8-bit: one byte is one character of the workstation's 8-bit code page.
// text_posix.cpp (Linux, macOS) and text_win.cpp (Windows) decode it, defining the first two
// functions in this order; text.cpp makes what a device sent fit to be seen or copied.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace nimbrel {

/// One character per byte: Latin-1 on Linux and macOS, the ANSI code page on Windows.
QString fromDeviceBytes(std::string_view bytes);

/// Upper-cases each byte by the same 8-bit code page; the result has as many bytes.
std::string upperDeviceBytes(std::string_view bytes);

/// `text` with every control character (C0, DEL, C1) replaced by a visible one, so that it can
/// break no line and move no cursor: C0 by its control picture (U+2400 to U+241F), DEL by
/// U+2421 and C1 by U+FFFD. Each keeps its place, one character for one.
QString visibleText(QString text);

/// Device bytes as every view of them shows them: decoded, then made visible.
QString shownDeviceText(std::string_view bytes);

/// Device bytes as they are copied: decoded, with the control characters left out.
QString copiedDeviceText(std::string_view bytes);

}  // namespace nimbrel
