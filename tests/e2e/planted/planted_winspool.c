/* TEST-ONLY: a winspool.drv planted beside Setup.exe and Uninstall.exe by
 * setup_planted_dll_e2e.sh, as an attacker would plant one on a medium.
 * Neither elevated program may ever load it. When a process does load it,
 * it appends that process's path to "planted-dll-loaded.txt" beside itself.
 * It exports nothing: a program that imported winspool.drv statically would
 * not even start with it. Never part of a release. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
    char trace[MAX_PATH], program[MAX_PATH];
    DWORD length, written = 0;
    HANDLE file;
    (void)reserved;
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    length = GetModuleFileNameA(self, trace, MAX_PATH);
    while (length > 0 && trace[length - 1] != '\\' && trace[length - 1] != '/') --length;
    trace[length] = '\0';
    if (length + sizeof("planted-dll-loaded.txt") > MAX_PATH) return TRUE;
    lstrcatA(trace, "planted-dll-loaded.txt");
    if (!GetModuleFileNameA(NULL, program, MAX_PATH - 2)) lstrcpyA(program, "?");
    lstrcatA(program, "\r\n");
    file = CreateFileA(trace, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS, 0, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        WriteFile(file, program, (DWORD)lstrlenA(program), &written, NULL);
        CloseHandle(file);
    }
    return TRUE;
}
