// nimbrel-utility: finds the maker's access points and bridges and lists them in a window.
#include <cstdio>

#include "app/display_check.h"
#include "app/startup.h"
#include "app/utility_application.h"

int main(int argc, char** argv) {
    if (const auto missing = nimbrel::MissingDisplayMessage()) {
        std::fputs(missing->c_str(), stderr);
        return 1;
    }
    nimbrel::UtilityApplication application(argc, argv);
    return nimbrel::Startup().Run();
}
