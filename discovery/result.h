// SPDX-License-Identifier: MIT
// The one error style of the project: a function that can fail returns a Result, which holds
// either its value or the Error that says what went wrong. Test it with ok(), nothing else.
#pragma once

#include <cassert>
#include <utility>
#include <variant>

#include "discovery/error.h"

namespace nimbrel {

template <typename T = void>
class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}      // NOLINT: implicit
    Result(Error error) : state_(std::in_place_index<1>, std::move(error)) {}  // NOLINT: implicit

    bool ok() const { return state_.index() == 0; }

    /// The value; only after ok() said so.
    const T& value() const& {
        assert(ok());
        return std::get<0>(state_);
    }
    T& value() & {
        assert(ok());
        return std::get<0>(state_);
    }
    T&& value() && {
        assert(ok());
        return std::get<0>(std::move(state_));
    }

    /// What went wrong; only after ok() said it failed.
    const Error& error() const {
        assert(!ok());
        return std::get<1>(state_);
    }

private:
    std::variant<T, Error> state_;
};

/// Success that carries nothing, or an Error.
template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : error_(std::move(error)), failed_(true) {}  // NOLINT: implicit

    bool ok() const { return !failed_; }

    const Error& error() const {
        assert(!ok());
        return error_;
    }

private:
    Error error_;
    bool failed_ = false;
};

}  // namespace nimbrel
