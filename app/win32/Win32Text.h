#pragma once

#include <string>
#include <string_view>

// UTF-8, the dialog's text, to and from UTF-16, the text of the W functions.
// Invalid UTF-8 becomes U+FFFD, and so does an unpaired surrogate.
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);
