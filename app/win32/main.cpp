#include <windows.h>

#include "app/MainApp.h"

// The program takes no command line.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    MainApp app;
    app.InitInstance();
    return 0;
}
