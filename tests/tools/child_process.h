// SPDX-License-Identifier: MIT
// Runs one of the built programs as a child process with its standard output and error read
// through pipes.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace nimbrel::testing {

struct Outcome {
    int status = -1;  // the exit status; 128 + the signal's number when a signal ended it
    std::string out;
    std::string err;
};

/// Where the child's stdout goes: a pipe read by the test, /dev/full, nowhere (closed), or a pipe
/// whose reader has gone (as after `| head`).
enum class Stdout { Pipe, Full, Closed, Broken };

class ChildProcess {
public:
    /// Starts `program` with `arguments` and an empty standard input; throws when it cannot.
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                 Stdout out = Stdout::Pipe);

    /// Ends a child still running (SIGTERM to its own id) and reaps it.
    ~ChildProcess();

    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    /// The next line of standard output without its line break; nullopt once it has closed.
    std::optional<std::string> readLine();

    /// Reads both outputs to their end, then waits for the child's exit.
    Outcome wait();

private:
    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    std::string outRead_;  // read by ReadLine past the lines it returned
};

/// Runs `program` to its end.
Outcome runToEnd(const std::string& program, const std::vector<std::string>& arguments,
                 Stdout out = Stdout::Pipe);

}  // namespace nimbrel::testing
