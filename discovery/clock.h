// SPDX-License-Identifier: MIT
// The time source of a search, injectable so that tests run whole searches on a fake clock.
#pragma once

#include <chrono>

namespace nimbrel {

class Clock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;
    virtual TimePoint now() const = 0;
};

class SteadyClock final : public Clock {
public:
    TimePoint now() const override { return std::chrono::steady_clock::now(); }
};

/// The calendar time, for what is shown to people as a time of day (when a device was last
/// seen); injectable like Clock so that tests fix it.
class WallClock {
public:
    using TimePoint = std::chrono::system_clock::time_point;

    virtual ~WallClock() = default;
    virtual TimePoint now() const = 0;
};

class SystemClock final : public WallClock {
public:
    TimePoint now() const override { return std::chrono::system_clock::now(); }
};

}  // namespace nimbrel
