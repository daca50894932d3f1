// SPDX-License-Identifier: MIT
// Device text is 8-bit: one byte is one character of the workstation's 8-bit code page.
// text_latin1.cpp (Linux, macOS) and text_ansi_win.cpp (Windows) define these functions, in
// this order.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace nimbrel {

/// One character per byte: Latin-1 on Linux and macOS, the ANSI code page on Windows.
QString FromDeviceBytes(std::string_view bytes);

/// Upper-cases each byte by the same 8-bit code page; the result has as many bytes.
std::string UpperDeviceBytes(std::string_view bytes);

}  // namespace nimbrel
