#include "app/MainApp.h"

#include <windows.h>
#include <commctrl.h>

#include "app/MainDialog.h"
#include "app/win32/RegistryProfileStore.h"
#include "app/win32/Win32DialogView.h"
#include "app/win32/Win32Prompts.h"

bool MainApp::InitInstance() {
    // The visual style of the common controls the manifest asks for.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    HINSTANCE instance = GetModuleHandleW(nullptr);
    RegistryProfileStore settings(kRegistryKey, kProfileName);
    Win32DialogView view(instance);
    Win32Prompts prompts(instance, view);
    MainDialog dialog(view, prompts, settings);
    view.RunModal(dialog);  // how it ended does not matter
    return false;
}
