#include "installation/startup_win.h"

#include <windows.h>

#include <shlobj.h>

namespace installation {

#if !defined(_WIN64)
static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA as the 32-bit system reads it");
#endif

common::MutexHandle Win32StartupSystem::CreateNamedMutex(const char* name, std::uint32_t* lastError) {
    return common::Win32Mutexes().CreateNamedMutex(name, lastError);
}

void Win32StartupSystem::CloseMutex(common::MutexHandle handle) { common::Win32Mutexes().CloseMutex(handle); }

void Win32StartupSystem::GetVersion(std::uint32_t* major, std::uint32_t* minor) {
    OSVERSIONINFOA version;
    ::ZeroMemory(&version, sizeof(version));
    version.dwOSVersionInfoSize = sizeof(version);
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    ::GetVersionExA(&version);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    *major = version.dwMajorVersion;
    *minor = version.dwMinorVersion;
}

bool Win32StartupSystem::QueryWow64(bool* wow64) {
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    HMODULE kernel = ::GetModuleHandleA("kernel32");
    auto isWow64 = kernel ? reinterpret_cast<IsWow64ProcessFn>(
                                reinterpret_cast<void*>(::GetProcAddress(kernel, "IsWow64Process")))
                          : nullptr;
    if (!isWow64) return false;
    BOOL answer = FALSE;
    isWow64(::GetCurrentProcess(), &answer);
    *wow64 = answer != FALSE;
    return true;
}

bool Win32StartupSystem::IsUserAnAdmin() { return ::IsUserAnAdmin() != FALSE; }

}  // namespace installation
