// DLLs of the elevated programs come from System32 only, never from the
// program's own folder.
#include "common/system_dlls_win.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Folder(HMODULE module) {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(module, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string SystemFolder() {
    char path[MAX_PATH] = {};
    return std::string(path, ::GetSystemDirectoryA(path, MAX_PATH));
}

TEST(SystemDlls, TheSpoolerComesFromSystem32) {
    const common::SpoolerFunctions* spool = common::SystemSpooler();
    ASSERT_NE(spool, nullptr) << ::GetLastError();
    HMODULE module = nullptr;
    ASSERT_TRUE(::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                     reinterpret_cast<LPCSTR>(reinterpret_cast<void*>(spool->EnumPortsA)),
                                     &module));
    EXPECT_EQ(::lstrcmpiA(Folder(module).c_str(), SystemFolder().c_str()), 0) << Folder(module);
    EXPECT_EQ(common::SystemSpooler(), spool) << "loaded once";
    DWORD needed = 0, count = 0;
    spool->EnumPortsA(nullptr, 1, nullptr, 0, &needed, &count);
    EXPECT_GT(needed, 0u) << "the table's functions answer";
}

TEST(SystemDlls, ADllBesideTheProgramIsNotTaken) {
    // A DLL that exists only in the test program's folder.
    const std::string planted = Folder(nullptr) + "\\klrnplnt.dll";
    ASSERT_TRUE(::CopyFileA((SystemFolder() + "\\winspool.drv").c_str(), planted.c_str(), FALSE));
    const char* const names[] = {"EnumPortsA"};
    FARPROC found[1] = {};
    const bool loaded = common::LoadSystemFunctions("klrnplnt.dll", names, 1, found);
    const DWORD error = ::GetLastError();
    HMODULE beside = ::LoadLibraryA("klrnplnt.dll");  // the ordinary search finds it
    if (beside) ::FreeLibrary(beside);
    ::DeleteFileA(planted.c_str());
    EXPECT_FALSE(loaded);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_NE(beside, nullptr);
}

TEST(SystemDlls, AMissingFunctionFailsTheLoad) {
    const char* const names[] = {"EnumPortsA", "KlrnNoSuchFunction"};
    FARPROC found[2] = {};
    EXPECT_FALSE(common::LoadSystemFunctions("winspool.drv", names, 2, found));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
}

}  // namespace
