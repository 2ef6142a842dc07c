#pragma once

#include <string>

// What the dialog asks of the user besides its own controls: message boxes by
// string id (StringTable.h) and the file chooser. Each front end shows its
// platform's own; tests answer them. Texts are UTF-8.
class DialogPrompts {
public:
    virtual ~DialogPrompts() = default;

    // Shows the string with Yes and No buttons, Yes the default. True for Yes.
    virtual bool Ask(int stringId) = 0;

    // Shows the string with an OK button.
    virtual void Inform(int stringId) = 0;

    // Lets the user choose a file to open. filter holds pairs of a description
    // and its patterns, all parts separated by "|" and the whole ended by
    // "||"; start is the path box's text, where the chooser starts. The chosen
    // full path, or an empty text when the user cancelled.
    virtual std::string ChooseFile(const std::string& filter, const std::string& start) = 0;
};
