// SPDX-License-Identifier: MIT
#include "tests/tools/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace nimbrel::testing {

namespace {

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

// Appends what `fd` has to `text`; false at its end.
bool readSome(int fd, std::string& text) {
    std::array<char, 4096> chunk{};
    const ssize_t got = ::read(fd, chunk.data(), chunk.size());
    if (got < 0 && errno == EINTR) {
        return true;
    }
    if (got <= 0) {
        return false;
    }
    text.append(chunk.data(), static_cast<std::size_t>(got));
    return true;
}

void close(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           Stdout to) {
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        fail("pipe");
    }
    if (::pipe2(err, O_CLOEXEC) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        fail("pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    switch (to) {
        case Stdout::Pipe:
        case Stdout::Broken: posix_spawn_file_actions_adddup2(&actions, out[1], 1); break;
        case Stdout::Full:
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/full", O_WRONLY, 0);
            break;
        case Stdout::Closed: posix_spawn_file_actions_addclose(&actions, 1); break;
    }
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);

    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    if (to == Stdout::Broken) {
        close(out[0]);  // the reader is gone before the child can write
    }
    // Whatever this process ignores, the child starts with the default for a broken pipe.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    const int spawned =
        ::posix_spawn(&pid_, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    out_ = out[0];
    err_ = err[0];
    if (spawned != 0) {
        pid_ = -1;
        close(out_);
        close(err_);
        errno = spawned;
        fail("cannot start " + program);
    }
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    close(out_);
    close(err_);
}

std::optional<std::string> ChildProcess::readLine() {
    for (;;) {
        const std::size_t end = outRead_.find('\n');
        if (end != std::string::npos) {
            std::string line = outRead_.substr(0, end);
            outRead_.erase(0, end + 1);
            return line;
        }
        if (out_ < 0 || !readSome(out_, outRead_)) {
            return std::nullopt;
        }
    }
}

Outcome ChildProcess::wait() {
    Outcome outcome;
    outcome.out = std::move(outRead_);
    outRead_.clear();
    // Both pipes are read together, so that a child filling one of them never stalls.
    while (out_ >= 0 || err_ >= 0) {
        std::array<pollfd, 2> open{{{out_, POLLIN, 0}, {err_, POLLIN, 0}}};
        if (::poll(open.data(), open.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail("poll");
        }
        if (open[0].revents != 0 && !readSome(out_, outcome.out)) {
            close(out_);
        }
        if (open[1].revents != 0 && !readSome(err_, outcome.err)) {
            close(err_);
        }
    }
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0) {
        if (errno != EINTR) {
            fail("waitpid");
        }
    }
    pid_ = -1;
    outcome.status = WIFEXITED(status)     ? WEXITSTATUS(status)
                     : WIFSIGNALED(status) ? 128 + WTERMSIG(status)
                                           : -1;
    return outcome;
}

Outcome runToEnd(const std::string& program, const std::vector<std::string>& arguments,
                 Stdout out) {
    return ChildProcess(program, arguments, out).wait();
}

}  // namespace nimbrel::testing
