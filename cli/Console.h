#pragma once

#include <cstdio>

// Text output of the command line: UTF-8 text, shown as the console shows it.
// On Windows a console gets the text as UTF-16 (so Chinese names show whatever
// the console's code page), while redirected output stays UTF-8 bytes with
// lines ending in "\n", as on the other platforms.
[[gnu::format(printf, 2, 3)]] void Print(std::FILE* stream, const char* format, ...);

// Gets the standard streams ready for Print (binary mode on Windows).
void PrepareConsole();
