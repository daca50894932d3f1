// Runs the real program as a child process, only where that is safe: the child never gets as
// far as a search in these tests, but should it, its broadcast must not reach a real network.
#pragma once

#include <QByteArray>
#include <QProcessEnvironment>

namespace nimbrel::testing {

/// True when this process sees no network interface but loopback, as in a private network
/// namespace.
bool InPrivateNetwork();

struct ChildResult {
    bool exitedNormally = false;
    int exitCode = -1;
    QByteArray standardError;
};

/// Runs nimbrel-utility with exactly `environment`; fails the test and kills the child when it
/// does not end by itself.
ChildResult RunUtility(const QProcessEnvironment& environment);

}  // namespace nimbrel::testing
