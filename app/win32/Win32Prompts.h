#pragma once

#include <windows.h>

#include "app/DialogPrompts.h"

class Win32DialogView;

// The platform's message boxes (texts from the resource's string table) and
// the open-file dialog, owned by the dialog window.
class Win32Prompts : public DialogPrompts {
public:
    Win32Prompts(HINSTANCE instance, const Win32DialogView& owner) : instance(instance), owner(owner) {}

    bool Ask(int stringId) override;
    void Inform(int stringId) override;
    std::string ChooseFile(const std::string& filter, const std::string& start) override;

private:
    int Show(int stringId, UINT type);

    HINSTANCE instance;
    const Win32DialogView& owner;  // its window, once it exists, owns the boxes
};
