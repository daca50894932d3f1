// SPDX-License-Identifier: MIT
// nimbrel-utility: finds the maker's access points and bridges and lists them in a window.
#include <QApplication>
#include <cstdio>

#include "app/command_line.h"
#include "app/display_check.h"
#include "app/startup.h"
#include "app/translations.h"

int main(int argc, char** argv) {
    // Before the display check and before any socket: --help and --version need neither.
    if (const std::optional<int> status = nimbrel::handleCommandLine(argc, argv)) {
        return *status;
    }
    if (const auto missing = nimbrel::missingDisplayMessage()) {
        std::fputs(missing->c_str(), stderr);
        return 1;
    }
    QApplication application(argc, argv);
    // Before any window, whose texts are translated as they are set.
    const nimbrel::Translations translations(QLocale::system());
    nimbrel::setUpApplication(application);
    return nimbrel::runUtility();
}
