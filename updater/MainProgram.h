// Start of the lobby program that ends every update run.
#pragma once

#include <windows.h>

// Starts "file" (or "file argument") found by the system's search order, the
// program folder first; does not wait for it. On failure tells the user in a
// message box owned by `owner` and returns false.
bool LaunchMainProgram(HWND owner, const char* file, const char* argument);
