#pragma once

#include <string>

#include "app/DialogPrompts.h"

class WebDialogView;

// The page's message box (an HTML dialog element) and file chooser. Each
// waits for the user while MainDialog's handler waits for its answer: the
// module is suspended meanwhile (Asyncify) and the page stays responsive.
class WebPrompts : public DialogPrompts {
public:
    explicit WebPrompts(WebDialogView& view) : view_(view) {}

    bool Ask(int stringId) override;
    void Inform(int stringId) override;
    // The chosen file is copied into the module's file system; its path there
    // is the answer. The start is of no use: the page sees no folder.
    std::string ChooseFile(const std::string& filter, const std::string& start) override;

private:
    WebDialogView& view_;
};

// A chooser filter ("description|*.a;*.b|...||") as the page's file chooser
// takes it: "description|.a,.b|..." (the extensions a choice may have).
std::string ChooserTypes(const std::string& filter);
