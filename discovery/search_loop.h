// SPDX-License-Identifier: MIT
// Drives a search on the calling thread for programs without an event loop of their own.
#pragma once

#include <chrono>
#include <functional>

#include "discovery/search.h"

namespace nimbrel {

/// Runs a started search to its end: waits on its socket (poll, or select on Windows) until it
/// is readable or the search's deadline comes, and runs `tick` at least every `tickEvery`.
void runSearchToEnd(Search& search, const Clock& clock, std::chrono::milliseconds tickEvery,
                    const std::function<void()>& tick);

}  // namespace nimbrel
