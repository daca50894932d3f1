// SPDX-License-Identifier: MIT
#include "tests/app/child_run.h"

#include <gtest/gtest.h>
#include <QProcess>

namespace nimbrel::testing {

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
