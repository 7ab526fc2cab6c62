// Test-only stand-in for the status monitor on the test medium: records
// that it was started, and with which show command, next to itself.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH - 10);
    lstrcatA(path, ".started");
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    ::GetStartupInfoA(&startup);
    if (FILE* file = std::fopen(path, "wb")) {
        std::fprintf(file, "show=%d\n", (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : show);
        std::fclose(file);
    }
    return 0;
}
