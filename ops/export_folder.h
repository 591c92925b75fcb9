// Where the window's Get Data puts its file: the working folder, as always,
// unless this user cannot add a file to it. A per-machine install deployed
// as SYSTEM leaves a shortcut whose working folder is the system profile's
// Documents, and a program started in Program Files has that as its working
// folder: there the file goes to the Documents folder of the user who runs
// the program instead. Windows' own access check on the folder decides (its
// ACL against this process's token, with no file made to try), so a
// portable copy in a folder the user can write behaves as before. Elsewhere
// the working folder is always used.
#pragma once

#include <filesystem>

std::filesystem::path ExportFolder(const std::filesystem::path& working);

#ifdef _WIN32
// The Documents folder of the user who runs the program; empty where Windows names none.
std::filesystem::path DocumentsFolder();
#endif
