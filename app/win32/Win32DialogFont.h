#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The dialog font where the template's face is missing. An English Windows
// has no "新細明體" unless the Traditional Chinese supplemental fonts were
// added, and the font mapper does not always honour the template's character
// set, so the program picks a face that has the characters itself.

// The template's face if the system has it, else the first of "PMingLiU",
// "Microsoft JhengHei UI", "Microsoft JhengHei" it has, else any face with the
// Traditional Chinese character set; the template's face when there is none.
std::wstring ChooseDialogFace(const std::wstring& templateFace);

// A copy of a DIALOGEX template with its font face replaced, the controls
// kept as they were. Empty if the bytes are no DIALOGEX template with a font.
std::vector<unsigned char> TemplateWithFace(const unsigned char* dialog, size_t size, const std::wstring& face);

// The face named by a DIALOGEX template, or empty.
std::wstring TemplateFace(const unsigned char* dialog, size_t size);
