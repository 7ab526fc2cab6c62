// The installer's and the file copy's system operations on Win32.
#include <windows.h>

#include <objbase.h>
#include <setupapi.h>
#include <shellapi.h>
#include <shlobj.h>
#include <winspool.h>

#include <cstddef>
#include <cstdio>
#include <new>
#include <vector>

#include "common/system_dlls_win.h"
#include "installation/platform.h"
#include "installation/port_driver_service_win.h"

namespace installation {
namespace {

#if !defined(_WIN64)
static_assert(sizeof(DRIVER_INFO_6A) == 80, "DRIVER_INFO_6A as the 32-bit spooler reads it");
static_assert(sizeof(PRINTER_INFO_2A) == 84, "PRINTER_INFO_2A as the 32-bit spooler reads it");
static_assert(sizeof(SHFILEOPSTRUCTA) == 30, "SHFILEOPSTRUCTA as the 32-bit shell reads it");
static_assert(sizeof(PORT_INFO_2A) == 20, "PORT_INFO_2A as the 32-bit spooler writes it");
#endif
static_assert(kMbOkCancel == MB_OKCANCEL && kMbYesNo == MB_YESNO && kMbIconError == MB_ICONERROR &&
                  kMbIconQuestion == MB_ICONQUESTION && kMbIconExclamation == MB_ICONEXCLAMATION &&
                  kMbIconInformation == MB_ICONINFORMATION,
              "message box styles");
static_assert(kIdOk == IDOK && kIdCancel == IDCANCEL && kIdYes == IDYES && kIdNo == IDNO, "message box answers");
static_assert(sizeof(PortInfo2Record) == sizeof(PORT_INFO_2A), "PORT_INFO_2A record");
static_assert(offsetof(PortInfo2Record, pPortName) == offsetof(PORT_INFO_2A, pPortName), "pPortName");
static_assert(offsetof(PortInfo2Record, pDescription) == offsetof(PORT_INFO_2A, pDescription), "pDescription");
static_assert(offsetof(PortInfo2Record, fPortType) == offsetof(PORT_INFO_2A, fPortType), "fPortType");

static_assert(kMbIconWarning == MB_ICONWARNING, "message box styles");
static_assert(kErrorTimeout == ERROR_TIMEOUT && kErrorInvalidPrinterName == ERROR_INVALID_PRINTER_NAME &&
                  kErrorFileNotFound == ERROR_FILE_NOT_FOUND && kErrorPathNotFound == ERROR_PATH_NOT_FOUND,
              "error codes");
static_assert(kDpdDeleteUnusedFiles == DPD_DELETE_UNUSED_FILES, "driver deletion flags");
static_assert(kErrorAccessDenied == ERROR_ACCESS_DENIED && kErrorAlreadyExists == ERROR_ALREADY_EXISTS &&
                  kErrorFileExists == ERROR_FILE_EXISTS,
              "error codes");

LPSTR Str(const char* text) { return const_cast<LPSTR>(text); }

// One of the spooler's Enum... calls, read the size-query-then-read way:
// `enumerate(buffer, size, &needed, &returned)` is the call, `take` gets
// each record of type Record that lies within the answer. False when the
// call failed.
template <class Record, class Enumerate, class Take>
bool ForEachSpoolRecord(Enumerate enumerate, Take take) {
    DWORD count = 0;
    const common::SpoolRecords records = common::ReadSpoolRecords(
        common::ProcessSpoolHeap(), [&](std::uint8_t* buffer, std::uint32_t size, std::uint32_t* needed) {
            DWORD required = 0;
            const BOOL ok = enumerate(buffer, size, &required, &count);
            const DWORD error = ok ? 0 : ::GetLastError();
            *needed = required;
            return common::SpoolCallResult{ok != FALSE, error};
        });
    if (records.outcome == common::SpoolRead::Failed) return false;
    if (records.outcome == common::SpoolRead::Empty) return true;
    const auto* info = reinterpret_cast<const Record*>(records.buffer.get());
    for (DWORD i = 0; i < count && (i + 1) * sizeof(Record) <= records.size; ++i) take(info[i]);
    return true;
}

std::wstring Wide(const char* text) {
    wchar_t wide[MAX_PATH] = {};
    if (!::MultiByteToWideChar(CP_ACP, 0, text, -1, wide, MAX_PATH)) wide[0] = L'\0';
    wide[MAX_PATH - 1] = L'\0';
    return wide;
}

// The spooler's functions come from System32's winspool.drv, loaded at the
// first call (common/system_dlls_win.h); when it cannot be had, each call
// fails with the load's error.
class Win32Spooler : public ISpooler {
public:
    bool GetPrinterDriverDirectoryA(std::uint8_t* buffer, std::uint32_t size, std::uint32_t* needed) override {
        const common::SpoolerFunctions* spool = common::SystemSpooler();
        *needed = 0;
        if (!spool) return false;
        DWORD required = 0;
        const BOOL ok = spool->GetPrinterDriverDirectoryA(nullptr, nullptr, 1, buffer, size, &required);
        *needed = required;
        return ok != FALSE;
    }

    bool AddPrinterDriverA(const DriverRecord& r) override {
        const common::SpoolerFunctions* spool = common::SystemSpooler();
        if (!spool) return false;
        DRIVER_INFO_6A info;
        ::ZeroMemory(&info, sizeof(info));
        info.cVersion = r.cVersion;
        info.pName = Str(r.pName);
        info.pEnvironment = Str(r.pEnvironment);
        info.pDriverPath = Str(r.pDriverPath);
        info.pDataFile = Str(r.pDataFile);
        info.pConfigFile = Str(r.pConfigFile);
        info.pHelpFile = Str(r.pHelpFile);
        info.pDependentFiles = Str(r.pDependentFiles);
        info.pMonitorName = Str(r.pMonitorName);
        info.pDefaultDataType = Str(r.pDefaultDataType);
        info.pszzPreviousNames = Str(r.pszzPreviousNames);
        info.ftDriverDate.dwLowDateTime = r.ftDriverDateLow;
        info.ftDriverDate.dwHighDateTime = r.ftDriverDateHigh;
        info.dwlDriverVersion = r.dwlDriverVersion;
        info.pszMfgName = Str(r.pszMfgName);
        info.pszOEMUrl = Str(r.pszOEMUrl);
        info.pszHardwareID = Str(r.pszHardwareID);
        info.pszProvider = Str(r.pszProvider);
        return spool->AddPrinterDriverA(nullptr, 6, reinterpret_cast<LPBYTE>(&info)) != FALSE;
    }

    bool AddPrinterA(const PrinterRecord& r) override {
        const common::SpoolerFunctions* spool = common::SystemSpooler();
        if (!spool) return false;
        PRINTER_INFO_2A info;
        ::ZeroMemory(&info, sizeof(info));
        info.pServerName = Str(r.pServerName);
        info.pPrinterName = Str(r.pPrinterName);
        info.pShareName = Str(r.pShareName);
        info.pPortName = Str(r.pPortName);
        info.pDriverName = Str(r.pDriverName);
        info.pComment = Str(r.pComment);
        info.pLocation = Str(r.pLocation);
        info.pDevMode = static_cast<LPDEVMODEA>(const_cast<void*>(r.pDevMode));
        info.pSepFile = Str(r.pSepFile);
        info.pPrintProcessor = Str(r.pPrintProcessor);
        info.pDatatype = Str(r.pDatatype);
        info.pParameters = Str(r.pParameters);
        info.pSecurityDescriptor = static_cast<PSECURITY_DESCRIPTOR>(const_cast<void*>(r.pSecurityDescriptor));
        info.Attributes = r.Attributes;
        info.Priority = r.Priority;
        info.DefaultPriority = r.DefaultPriority;
        info.StartTime = r.StartTime;
        info.UntilTime = r.UntilTime;
        info.Status = r.Status;
        info.cJobs = r.cJobs;
        info.AveragePPM = r.AveragePPM;
        HANDLE printer = spool->AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
        if (!printer) return false;
        spool->ClosePrinter(printer);
        return true;
    }

    bool SetDefaultPrinterA(const char* name) override {
        const common::SpoolerFunctions* spool = common::SystemSpooler();
        return spool && spool->SetDefaultPrinterA(name) != FALSE;
    }

    bool ListPrinters(std::vector<PrinterEntry>* printers) override {
        printers->clear();
        const common::SpoolerFunctions* spool = common::SystemSpooler();
        return spool &&
               ForEachSpoolRecord<PRINTER_INFO_2A>(
                   [spool](LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD count) {
                       return spool->EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer, size, needed, count);
                   },
                   [printers](const PRINTER_INFO_2A& info) {
                       printers->push_back(
                           {info.pPrinterName ? info.pPrinterName : "", info.pDriverName ? info.pDriverName : ""});
                   });
    }

    bool ListDrivers(std::vector<std::string>* drivers) override {
        drivers->clear();
        const common::SpoolerFunctions* spool = common::SystemSpooler();
        return spool && ForEachSpoolRecord<DRIVER_INFO_1A>(
                            [spool](LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD count) {
                                return spool->EnumPrinterDriversA(nullptr, nullptr, 1, buffer, size, needed, count);
                            },
                            [drivers](const DRIVER_INFO_1A& info) {
                                if (info.pName) drivers->push_back(info.pName);
                            });
    }

    bool DeleteQueue(const char* name) override {
        const common::SpoolerFunctions* spool = common::SystemSpooler();
        if (!spool) return false;
        PRINTER_DEFAULTSA access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
        HANDLE printer = nullptr;
        if (!spool->OpenPrinterA(Str(name), &printer, &access)) return false;
        const BOOL deleted = spool->DeletePrinter(printer);
        const DWORD error = ::GetLastError();
        spool->ClosePrinter(printer);
        ::SetLastError(error);
        return deleted != FALSE;
    }

    bool DeleteDriver(const char* name, std::uint32_t flags) override {
        const common::SpoolerFunctions* spool = common::SystemSpooler();
        return spool && spool->DeletePrinterDriverExA(nullptr, nullptr, Str(name), flags, 0) != FALSE;
    }

    bool EnumPortsA(std::uint32_t level, std::uint8_t* buffer, std::uint32_t size, std::uint32_t* needed,
                    std::uint32_t* returned) override {
        const common::SpoolerFunctions* spool = common::SystemSpooler();
        *needed = 0;
        *returned = 0;
        if (!spool) return false;
        DWORD required = 0, count = 0;
        const BOOL ok = spool->EnumPortsA(nullptr, level, buffer, size, &required, &count);
        *needed = required;
        *returned = count;
        return ok != FALSE;
    }
};

class Win32ShellLink : public IShellLinkObject {
public:
    explicit Win32ShellLink(IShellLinkA* link) : m_link(link) {}
    ~Win32ShellLink() override {
        if (m_persist) m_persist->Release();
        m_link->Release();
    }
    bool QueryPersistFile() override {
        return SUCCEEDED(m_link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&m_persist)));
    }
    void SetPath(const char* path) override { m_link->SetPath(path); }
    void SetDescription(const char* description) override { m_link->SetDescription(description); }
    bool Save(const char* fileName, bool remember) override {
        const std::wstring wide = Wide(fileName);
        return m_persist && SUCCEEDED(m_persist->Save(wide.c_str(), remember ? TRUE : FALSE));
    }

private:
    IShellLinkA* m_link;
    IPersistFile* m_persist = nullptr;
};

class Win32Shell : public IShell {
public:
    int CreateDirectoryTree(const char* path) override {
        const std::wstring wide = Wide(path);
        return ::SHCreateDirectory(nullptr, wide.c_str());
    }
    int FileOperation(std::uint32_t func, const char* from, const char* to, std::uint16_t flags) override {
        SHFILEOPSTRUCTA operation;
        ::ZeroMemory(&operation, sizeof(operation));
        operation.hwnd = nullptr;
        operation.wFunc = func;
        operation.pFrom = from;
        operation.pTo = to;
        operation.fFlags = flags;
        return ::SHFileOperationA(&operation);
    }
    bool CreateFolder(const char* path) override { return ::CreateDirectoryA(path, nullptr) != FALSE; }
    void CoInitialize() override { ::CoInitialize(nullptr); }
    std::unique_ptr<IShellLinkObject> CreateShellLink() override {
        IShellLinkA* link = nullptr;
        if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                      reinterpret_cast<void**>(&link))) ||
            !link)
            return nullptr;
        return std::make_unique<Win32ShellLink>(link);
    }
    void Execute(const char* verb, const char* file, const char* parameters, const char* directory,
                 int showCommand) override {
        ::ShellExecuteA(nullptr, verb, file, parameters, directory, showCommand);
    }
};

class Win32SetupApi : public ISetupApi {
public:
    bool CopyOEMInf(const char* source, const char* mediaLocation, std::uint32_t mediaType,
                    std::uint32_t copyStyle, char* destName, std::uint32_t destSize) override {
        return ::SetupCopyOEMInfA(source, mediaLocation, mediaType, copyStyle, destName, destSize, nullptr,
                                  nullptr) != FALSE;
    }
    std::string OriginalInfName(const char* path) override {
        DWORD needed = 0;
        if (!::SetupGetInfInformationA(path, INFINFO_INF_NAME_IS_ABSOLUTE, nullptr, 0, &needed) || needed == 0)
            return std::string();
        std::vector<BYTE> buffer(needed);
        auto* info = reinterpret_cast<PSP_INF_INFORMATION>(buffer.data());
        if (!::SetupGetInfInformationA(path, INFINFO_INF_NAME_IS_ABSOLUTE, info, needed, nullptr))
            return std::string();
        SP_ORIGINAL_FILE_INFO_A original;
        ::ZeroMemory(&original, sizeof(original));
        original.cbSize = sizeof(original);
        if (!::SetupQueryInfOriginalFileInformationA(info, 0, nullptr, &original)) return std::string();
        original.OriginalInfName[MAX_PATH - 1] = '\0';
        return original.OriginalInfName;
    }
    bool UninstallOEMInf(const char* name, std::uint32_t flags) override {
        return ::SetupUninstallOEMInfA(name, flags, nullptr) != FALSE;
    }
};

class Win32Desktop : public IDesktop {
public:
    int ShowMessage(const char* text, const char* caption, std::uint32_t type) override {
        return ::MessageBoxA(nullptr, text, caption, type);
    }
    void BeginWaitCursor() override {
        HCURSOR wait = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32514));  // IDC_WAIT
        HCURSOR previous = ::SetCursor(wait);
        if (m_depth++ == 0) m_previous = previous;
    }
    void EndWaitCursor() override {
        if (m_depth == 0) return;
        if (--m_depth == 0) ::SetCursor(m_previous);
    }

    WindowHandle FindTopWindow(const char* className, const char* title) override {
        return reinterpret_cast<WindowHandle>(::FindWindowA(className, title));
    }
    std::uint32_t WindowProcessId(WindowHandle window) override {
        DWORD process = 0;
        return ::GetWindowThreadProcessId(reinterpret_cast<HWND>(window), &process) ? process : 0;
    }
    bool PostCommand(WindowHandle window, std::uint32_t id) override {
        return ::PostMessageA(reinterpret_cast<HWND>(window), WM_COMMAND, id, 0) != FALSE;
    }

private:
    int m_depth = 0;
    HCURSOR m_previous = nullptr;
};

class Win32ProcessWait : public IProcessWait {
public:
    explicit Win32ProcessWait(HANDLE process) : m_process(process) {}
    ~Win32ProcessWait() override { ::CloseHandle(m_process); }
    bool WaitForEnd(std::uint32_t milliseconds) override {
        return ::WaitForSingleObject(m_process, milliseconds) == WAIT_OBJECT_0;
    }

private:
    HANDLE m_process;
};

// System32's version.dll, which is no KnownDLL and so is not imported,
// loaded at the first call; null when it cannot be had.
struct VersionFunctions {
    decltype(&::GetFileVersionInfoSizeA) GetFileVersionInfoSizeA;
    decltype(&::GetFileVersionInfoA) GetFileVersionInfoA;
    decltype(&::VerQueryValueA) VerQueryValueA;
};
const VersionFunctions* SystemVersionDll() {
    static const VersionFunctions* const loaded = []() -> const VersionFunctions* {
        static const char* const names[] = {"GetFileVersionInfoSizeA", "GetFileVersionInfoA", "VerQueryValueA"};
        FARPROC found[3] = {};
        if (!common::LoadSystemFunctions("version.dll", names, 3, found)) return nullptr;
        static VersionFunctions functions;
        functions.GetFileVersionInfoSizeA =
            reinterpret_cast<decltype(functions.GetFileVersionInfoSizeA)>(reinterpret_cast<void*>(found[0]));
        functions.GetFileVersionInfoA =
            reinterpret_cast<decltype(functions.GetFileVersionInfoA)>(reinterpret_cast<void*>(found[1]));
        functions.VerQueryValueA = reinterpret_cast<decltype(functions.VerQueryValueA)>(reinterpret_cast<void*>(found[2]));
        return &functions;
    }();
    return loaded;
}

class Win32Kernel : public IKernel {
public:
    std::uint32_t GetLastError() override { return ::GetLastError(); }
    void Sleep(std::uint32_t milliseconds) override { ::Sleep(milliseconds); }
    std::string WindowsDirectory() override {
        char folder[MAX_PATH] = {};
        const UINT length = ::GetWindowsDirectoryA(folder, MAX_PATH);
        return length > 0 && length < MAX_PATH ? std::string(folder, length) : std::string();
    }
    void ExitProcess(std::uint32_t status) override {
        std::fflush(nullptr);
        ::ExitProcess(status);
    }
    bool FileExists(const char* path) override {
        const DWORD attributes = ::GetFileAttributesA(path);
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    bool RemoveFile(const char* path) override { return ::DeleteFileA(path) != FALSE; }
    bool RemoveFileAtRestart(const char* path) override {
        return ::MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
    }
    bool RenameFile(const char* from, const char* to) override { return ::MoveFileExA(from, to, 0) != FALSE; }
    std::string ProgramPath() override {
        char path[MAX_PATH] = {};
        const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
        return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
    }
    std::uint32_t UniqueNumber() override { return ::GetTickCount() ^ (::GetCurrentProcessId() << 16); }
    std::string FileCompany(const char* path) override {
        const VersionFunctions* version = SystemVersionDll();
        if (!version) return std::string();
        DWORD ignored = 0;
        const DWORD size = version->GetFileVersionInfoSizeA(path, &ignored);
        if (size == 0) return std::string();
        std::vector<BYTE> data(size);
        if (!version->GetFileVersionInfoA(path, 0, size, data.data())) return std::string();
        std::vector<std::string> blocks;
        struct Translation {
            WORD language, codePage;
        };
        void* found = nullptr;
        UINT length = 0;
        if (version->VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", &found, &length) && found &&
            length >= sizeof(Translation)) {
            const auto* first = static_cast<const Translation*>(found);
            char block[16];
            std::snprintf(block, sizeof(block), "%04x%04x", first->language, first->codePage);
            blocks.push_back(block);
        }
        blocks.push_back("040904b0");
        blocks.push_back("040904e4");
        for (const std::string& block : blocks) {
            const std::string query = "\\StringFileInfo\\" + block + "\\CompanyName";
            found = nullptr;
            length = 0;
            if (version->VerQueryValueA(data.data(), query.c_str(), &found, &length) && found && length > 0) {
                const char* text = static_cast<const char*>(found);
                std::size_t end = 0;
                while (end < length && text[end] != '\0') ++end;
                return std::string(text, end);
            }
        }
        return std::string();
    }
    bool RemoveFolder(const char* path) override { return ::RemoveDirectoryA(path) != FALSE; }
    std::vector<std::string> FindFiles(const char* pattern) override {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = ::FindFirstFileA(pattern, &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
        return names;
    }
    std::unique_ptr<IProcessWait> OpenProcessToWait(std::uint32_t processId) override {
        HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, processId);
        if (!process) return nullptr;
        return std::make_unique<Win32ProcessWait>(process);
    }
};

}  // namespace

const InstallerPlatform& Win32Platform() {
    static Win32Spooler spooler;
    static const std::unique_ptr<common::IRegistry> registry = common::CreateRegistry();
    static Win32Shell shell;
    static Win32SetupApi setupApi;
    static Win32Desktop desktop;
    static Win32Kernel kernel;
    static const InstallerPlatform platform{spooler, *registry, shell, setupApi, desktop, kernel,
                                            &common::ProcessSpoolHeap(), &Win32PortDriverSystem()};
    return platform;
}

}  // namespace installation
