// SPDX-License-Identifier: MIT
// Runs the real program as a child process.
#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QStringList>

#include "tests/support/private_network.h"

namespace nimbrel::testing {

struct ChildResult {
    bool exitedNormally = false;
    int exitCode = -1;
    QByteArray standardOutput;
    QByteArray standardError;
};

/// Runs nimbrel-utility with `arguments` and exactly `environment`; fails the test and kills
/// the child when it does not end by itself.
ChildResult runUtility(const QProcessEnvironment& environment, const QStringList& arguments = {});

}  // namespace nimbrel::testing
