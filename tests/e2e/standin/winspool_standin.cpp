// TEST-ONLY stand-in for the print spooler's winspool.drv, loaded into the
// status monitor by the end-to-end tests in place of Wine's: Wine's spooler
// cannot pause a queue and its EnumJobsA lists no jobs, so the queue and job
// status words a test needs come from a script file instead. Everything
// else is passed on to a renamed copy of Wine's own winspool.drv
// ("winspool_wine.drv") beside this file. Never part of a release.
//
// Script "spooler-script.txt" beside this file, read on every call:
//   status <N>          the queue's PRINTER_INFO_2 Status (else Wine's)
//   jobs <N> <N> ...    the queue's jobs by their JOB_INFO_2 Status, in
//                       the order EnumJobsA returns them ("jobs" alone: none)
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string BesideThisFile(const char* name) {
    HMODULE self = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                             GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&BesideThisFile), &self);
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(self, path, MAX_PATH);
    std::string dir(path);
    dir.resize(dir.find_last_of("\\/") + 1);
    return dir + name;
}

HMODULE WineSpooler() {
    static HMODULE real = ::LoadLibraryA(BesideThisFile("winspool_wine.drv").c_str());
    return real;
}

template <class F>
F Real(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(WineSpooler(), name)));
}

struct Script {
    bool hasStatus = false;
    DWORD status = 0;
    bool hasJobs = false;
    std::vector<DWORD> jobs;
};

Script ReadScript() {
    Script script;
    FILE* file = std::fopen(BesideThisFile("spooler-script.txt").c_str(), "r");
    if (!file) return script;
    char line[512];
    while (std::fgets(line, sizeof(line), file)) {
        char* rest = nullptr;
        char* word = std::strtok(line, " \t\r\n");
        if (!word) continue;
        if (std::strcmp(word, "status") == 0 && (rest = std::strtok(nullptr, " \t\r\n"))) {
            script.hasStatus = true;
            script.status = std::strtoul(rest, nullptr, 0);
        } else if (std::strcmp(word, "jobs") == 0) {
            script.hasJobs = true;
            while ((rest = std::strtok(nullptr, " \t\r\n")))
                script.jobs.push_back(std::strtoul(rest, nullptr, 0));
        }
    }
    std::fclose(file);
    return script;
}

}  // namespace

extern "C" {

BOOL WINAPI OpenPrinterA(LPSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSA defaults) {
    return Real<decltype(&OpenPrinterA)>("OpenPrinterA")(name, printer, defaults);
}

BOOL WINAPI ClosePrinter(HANDLE printer) {
    return Real<decltype(&ClosePrinter)>("ClosePrinter")(printer);
}

BOOL WINAPI GetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
    BOOL ok = Real<decltype(&GetPrinterA)>("GetPrinterA")(printer, level, buffer, size, needed);
    if (ok && level == 2 && buffer && size >= sizeof(PRINTER_INFO_2A)) {
        Script script = ReadScript();
        auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buffer);
        if (script.hasStatus) info->Status = script.status;
        if (script.hasJobs) info->cJobs = static_cast<DWORD>(script.jobs.size());
    }
    return ok;
}

BOOL WINAPI EnumJobsA(HANDLE printer, DWORD firstJob, DWORD count, DWORD level, LPBYTE buffer,
                      DWORD size, LPDWORD needed, LPDWORD returned) {
    Script script = ReadScript();
    if (!script.hasJobs)
        return Real<decltype(&EnumJobsA)>("EnumJobsA")(printer, firstJob, count, level, buffer,
                                                       size, needed, returned);
    if (returned) *returned = 0;
    if (level != 2) {
        ::SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    DWORD available = firstJob < script.jobs.size() ? static_cast<DWORD>(script.jobs.size()) - firstJob : 0;
    DWORD n = count < available ? count : available;
    DWORD need = n * static_cast<DWORD>(sizeof(JOB_INFO_2A));
    if (needed) *needed = need;
    if (size < need || (need && !buffer)) {
        ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    auto* jobs = reinterpret_cast<JOB_INFO_2A*>(buffer);
    for (DWORD i = 0; i < n; ++i) {
        std::memset(&jobs[i], 0, sizeof(jobs[i]));
        jobs[i].JobId = firstJob + i + 1;
        jobs[i].Status = script.jobs[firstJob + i];
        jobs[i].Position = firstJob + i + 1;
    }
    if (returned) *returned = n;
    ::SetLastError(ERROR_SUCCESS);
    return TRUE;
}

}  // extern "C"
