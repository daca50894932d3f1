// SPDX-License-Identifier: MIT
// Reading the tools' output back as a consumer of it would: UTF-8 and JSON string literals.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace nimbrel::testing {

/// The code points of `utf8`; nullopt when it is not well-formed UTF-8.
std::optional<std::u32string> DecodeUtf8(std::string_view utf8);

/// The code points of the JSON string literal `json` (quotes included, nothing around them);
/// nullopt when it is not exactly one valid literal.
std::optional<std::u32string> DecodeJsonString(std::string_view json);

/// Each byte as the code point of the same number, U+0000 to U+00FF.
std::u32string Latin1CodePoints(std::string_view bytes);

}  // namespace nimbrel::testing
