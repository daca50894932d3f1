// SPDX-License-Identifier: MIT
#include "tests/app/child_run.h"

#include <gtest/gtest.h>
#include <net/if.h>
#include <QProcess>
#include <cstring>

namespace nimbrel::testing {

bool inPrivateNetwork() {
    struct if_nameindex* interfaces = if_nameindex();
    if (interfaces == nullptr) {
        return false;
    }
    bool onlyLoopback = true;
    for (const struct if_nameindex* entry = interfaces; entry->if_index != 0; ++entry) {
        onlyLoopback = onlyLoopback && std::strcmp(entry->if_name, "lo") == 0;
    }
    if_freenameindex(interfaces);
    return onlyLoopback;
}

ChildResult runUtility(const QProcessEnvironment& environment, const QStringList& arguments) {
    QProcess child;
    child.setProcessEnvironment(environment);
    child.start(QStringLiteral(NIMBREL_UTILITY_PATH), arguments);
    ChildResult result;
    if (!child.waitForStarted()) {
        ADD_FAILURE() << "nimbrel-utility did not start: " << child.errorString().toStdString();
        return result;
    }
    // Generous, because the machine is shared; a passing test never waits for it.
    if (!child.waitForFinished(30000)) {
        ADD_FAILURE() << "nimbrel-utility did not end by itself";
        child.kill();
        child.waitForFinished();
    }
    result.exitedNormally = child.exitStatus() == QProcess::NormalExit;
    result.exitCode = child.exitCode();
    result.standardOutput = child.readAllStandardOutput();
    result.standardError = child.readAllStandardError();
    return result;
}

}  // namespace nimbrel::testing
