#pragma once

// The application: its whole life is one modal run of the main dialog. The
// settings live per user under the registry key "Tobrin\Ellaste" and the
// program's name.
class MainApp {
public:
    static constexpr const char* kRegistryKey = "Tobrin\\Ellaste";
    static constexpr const char* kProfileName = "Lorvane";

    // Runs the dialog until it is closed. Returns false: no message loop
    // follows and the program ends.
    bool InitInstance();
};
