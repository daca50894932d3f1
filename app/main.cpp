// nimbrel-utility: finds the maker's access points and bridges and lists them in a window.
#include "app/utility_application.h"
#include "main/main_window.h"

int main(int argc, char** argv) {
    nimbrel::UtilityApplication application(argc, argv);
    // The first search runs while the window is created, the second when it is first shown,
    // before it reaches the screen.
    nimbrel::TForm1 form;
    form.show();
    return application.exec();
}
