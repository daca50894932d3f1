// SPDX-License-Identifier: MIT
// Which image stands for a device, chosen by substrings of its model text.
#pragma once

#include <array>
#include <string_view>

namespace nimbrel {

struct ModelIconRow {
    std::string_view pattern;
    int imageIndex;
    bool clearsFirstMacByte;
};

// Order matters: several patterns occur inside others, and the first row that occurs wins.
inline constexpr std::array<ModelIconRow, 12> ModelIconTable{{
    {"QZL-TMR1-AC-A", 9, false},
    {"QZL-TMR2-AC", 8, false},
    {"QZL-TMR1-AC", 10, false},
    {"QZL-P-AC", 11, false},
    {"QZH-P-AC", 12, false},
    {"QZL-TMR-M", 0, false},
    {"QZL-TMR-A", 1, false},
    {"QZL-TVX2-W", 2, false},
    {"QZL-TVX-S", 3, false},
    {"QZL-TLX2", 3, false},
    {"QZL-TMR", 4, false},
    {"QZL-TVX", 5, true},
}};

inline constexpr int DefaultImageIndex = 6;  // no row matches, or no model text
inline constexpr int ImageCount = 15;        // 7, 13 and 14 are never chosen

struct IconChoice {
    int imageIndex;
    bool clearFirstMacByte;  // the device's first MAC byte is listed as 0 (DeviceView::listedMac)
};

/// Byte-exact, case-sensitive search of the model text for each row's pattern, first row first.
IconChoice chooseModelIcon(std::string_view model);

}  // namespace nimbrel
