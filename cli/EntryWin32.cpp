#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/Console.h"
#include "common/WidePathWin32.h"

// The arguments arrive as UTF-16, so a path with 航點 in it or a user name
// outside every code page reaches the program intact, as UTF-8.
int wmain(int argc, wchar_t** argv) {
    PrepareConsole();
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i) arguments.push_back(WideToUtf8(argv[i]));
    std::vector<char*> pointers;
    for (std::string& argument : arguments) pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    return RunCli(argc, pointers.data());
}
