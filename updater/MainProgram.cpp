#include "MainProgram.h"

#include <cstdio>

bool LaunchMainProgram(HWND owner, const char* file, const char* argument) {
    char commandLine[MAX_PATH] = {};
    if (!argument || !*argument)
        std::snprintf(commandLine, sizeof commandLine, "%s", file);
    else
        std::snprintf(commandLine, sizeof commandLine, "%s %s", file, argument);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        MessageBoxA(owner, "启动程序失败，请尝试从官方网站重新下载安装包。", "系统提示", MB_OK);
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
