// The arguments arrive as UTF-16 and go on as UTF-8, so a firmware path or
// folder with characters outside the ANSI code page still works; results
// are printed as UTF-8 to a console set to show it.
#include <string>
#include <vector>
#include <windows.h>

#include "cli/app.h"
#include "link/utf.h"

int wmain(int argc, wchar_t** argv) {
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> utf8;
    for (int i = 0; i < argc; ++i) utf8.push_back(NarrowFromWide(argv[i]));
    std::vector<const char*> pointers;
    for (const std::string& arg : utf8) pointers.push_back(arg.c_str());
    return RunCommandLine(argc, pointers.data());
}
