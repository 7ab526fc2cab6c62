// The system operations Setup's installer and driver file copy, and the
// uninstaller, work with, shaped like the Win32 calls they stand for (platform_win.cpp holds the
// Win32 side). Records handed to the spooler are plain structs here; the
// Win32 side maps them field by field to DRIVER_INFO_6A and PRINTER_INFO_2A.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/registry.h"
#include "common/spool_buffer.h"

namespace installation {

class IPortDriverSystem;  // installation/port_driver_service.h

// Win32 error codes the installer looks at.
constexpr std::uint32_t kErrorSuccess = 0;
constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorPathNotFound = 3;
constexpr std::uint32_t kErrorFileExists = 80;
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorInsufficientBuffer = 122;
constexpr std::uint32_t kErrorAlreadyExists = 183;
constexpr std::uint32_t kErrorTimeout = 1460;
constexpr std::uint32_t kErrorUnknownPort = 1796;
constexpr std::uint32_t kErrorUnknownPrinterDriver = 1797;
constexpr std::uint32_t kErrorInvalidPrinterName = 1801;
constexpr std::uint32_t kErrorPrinterAlreadyExists = 1802;

// Message box styles and answers.
constexpr std::uint32_t kMbOk = 0x0;
constexpr std::uint32_t kMbOkCancel = 0x1;
constexpr std::uint32_t kMbYesNo = 0x4;
constexpr std::uint32_t kMbIconError = 0x10;
constexpr std::uint32_t kMbIconQuestion = 0x20;
constexpr std::uint32_t kMbIconExclamation = 0x30;
constexpr std::uint32_t kMbIconWarning = 0x30;
constexpr std::uint32_t kMbIconInformation = 0x40;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// Shell file operation.
constexpr std::uint32_t kFoCopy = 2;
constexpr std::uint16_t kFofNoConfirmation = 0x10;
constexpr std::uint16_t kFofNoConfirmMkdir = 0x200;
constexpr std::uint16_t kFofNoErrorUi = 0x400;

// Show command of the monitor's launch.
constexpr int kSwMinimize = 6;

// Setup API.
constexpr std::uint32_t kSpostPath = 1;
constexpr std::uint32_t kSpCopyNoOverwrite = 0x8;

// DeletePrinterDriverExA: the spooler deletes the driver's files that no
// other driver uses.
constexpr std::uint32_t kDpdDeleteUnusedFiles = 0x1;

// DRIVER_INFO_6A, field by field (texts are ANSI, null where the spooler
// takes its default).
struct DriverRecord {
    std::uint32_t cVersion = 0;
    const char* pName = nullptr;
    const char* pEnvironment = nullptr;
    const char* pDriverPath = nullptr;
    const char* pDataFile = nullptr;
    const char* pConfigFile = nullptr;
    const char* pHelpFile = nullptr;
    const char* pDependentFiles = nullptr;  // NUL-separated, ended by an empty name
    const char* pMonitorName = nullptr;
    const char* pDefaultDataType = nullptr;
    const char* pszzPreviousNames = nullptr;
    std::uint32_t ftDriverDateLow = 0;
    std::uint32_t ftDriverDateHigh = 0;
    std::uint64_t dwlDriverVersion = 0;
    const char* pszMfgName = nullptr;
    const char* pszOEMUrl = nullptr;
    const char* pszHardwareID = nullptr;
    const char* pszProvider = nullptr;
};

// PRINTER_INFO_2A, field by field.
struct PrinterRecord {
    const char* pServerName = nullptr;
    const char* pPrinterName = nullptr;
    const char* pShareName = nullptr;
    const char* pPortName = nullptr;
    const char* pDriverName = nullptr;
    const char* pComment = nullptr;
    const char* pLocation = nullptr;
    const void* pDevMode = nullptr;
    const char* pSepFile = nullptr;
    const char* pPrintProcessor = nullptr;
    const char* pDatatype = nullptr;
    const char* pParameters = nullptr;
    const void* pSecurityDescriptor = nullptr;
    std::uint32_t Attributes = 0;
    std::uint32_t Priority = 0;
    std::uint32_t DefaultPriority = 0;
    std::uint32_t StartTime = 0;
    std::uint32_t UntilTime = 0;
    std::uint32_t Status = 0;
    std::uint32_t cJobs = 0;
    std::uint32_t AveragePPM = 0;
};

// A local printer queue and the driver it uses (PRINTER_INFO_2A's
// pPrinterName and pDriverName).
struct PrinterEntry {
    std::string printerName;
    std::string driverName;
};

// PORT_INFO_2A as the spooler lays it out in the answer of EnumPortsA.
struct PortInfo2Record {
    const char* pPortName;
    const char* pMonitorName;
    const char* pDescription;
    std::uint32_t fPortType;
    std::uint32_t Reserved;
};

// Print spooler, always on the local machine. Failures leave their code
// for IKernel::GetLastError.
class ISpooler {
public:
    virtual ~ISpooler() = default;
    // GetPrinterDriverDirectoryA(NULL, NULL, 1, buffer, size, needed).
    virtual bool GetPrinterDriverDirectoryA(std::uint8_t* buffer, std::uint32_t size,
                                            std::uint32_t* needed) = 0;
    // AddPrinterDriverA(NULL, 6, record).
    virtual bool AddPrinterDriverA(const DriverRecord& record) = 0;
    // AddPrinterA(NULL, 2, record): true when it answered a printer handle
    // (the handle is closed at once; the installer does not use it).
    virtual bool AddPrinterA(const PrinterRecord& record) = 0;
    // SetDefaultPrinterA(name).
    virtual bool SetDefaultPrinterA(const char* name) = 0;
    // EnumPrintersA(PRINTER_ENUM_LOCAL, NULL, 2, ...): every local queue.
    virtual bool ListPrinters(std::vector<PrinterEntry>* printers) = 0;
    // EnumPrinterDriversA(NULL, NULL, 1, ...): the names of the printer
    // drivers of the current environment.
    virtual bool ListDrivers(std::vector<std::string>* drivers) = 0;
    // OpenPrinterA(name, PRINTER_ALL_ACCESS), DeletePrinter, ClosePrinter:
    // false with the code of the call that failed.
    virtual bool DeleteQueue(const char* name) = 0;
    // DeletePrinterDriverExA(NULL, NULL, name, flags, 0).
    virtual bool DeleteDriver(const char* name, std::uint32_t flags) = 0;
    // EnumPortsA(NULL, level, buffer, size, needed, returned).
    virtual bool EnumPortsA(std::uint32_t level, std::uint8_t* buffer, std::uint32_t size,
                            std::uint32_t* needed, std::uint32_t* returned) = 0;
};

// A shell link object (CLSID_ShellLink with IShellLinkA), released when
// the object goes.
class IShellLinkObject {
public:
    virtual ~IShellLinkObject() = default;
    // QueryInterface for IPersistFile.
    virtual bool QueryPersistFile() = 0;
    virtual void SetPath(const char* path) = 0;
    virtual void SetDescription(const char* description) = 0;
    // IPersistFile::Save of the ANSI file name, converted to wide
    // characters (ANSI code page, at most 260 characters).
    virtual bool Save(const char* fileName, bool remember) = 0;
};

class IShell {
public:
    virtual ~IShell() = default;
    // SHCreateDirectory(NULL, path converted to wide characters).
    virtual int CreateDirectoryTree(const char* path) = 0;
    // SHFileOperationA without owner window: `from` and `to` are lists of
    // NUL-ended names ended by an empty name. Answers the call's result.
    virtual int FileOperation(std::uint32_t func, const char* from, const char* to,
                              std::uint16_t flags) = 0;
    // CreateDirectoryA(path, NULL).
    virtual bool CreateFolder(const char* path) = 0;
    // CoInitialize(NULL).
    virtual void CoInitialize() = 0;
    // CoCreateInstance of the shell link (in-process server) for
    // IShellLinkA; null when that fails.
    virtual std::unique_ptr<IShellLinkObject> CreateShellLink() = 0;
    // ShellExecuteA without owner window.
    virtual void Execute(const char* verb, const char* file, const char* parameters,
                              const char* directory, int showCommand) = 0;
};

class ISetupApi {
public:
    virtual ~ISetupApi() = default;
    // SetupCopyOEMInfA(source, mediaLocation, mediaType, copyStyle,
    // destName, destSize, NULL, NULL).
    virtual bool CopyOEMInf(const char* source, const char* mediaLocation,
                            std::uint32_t mediaType, std::uint32_t copyStyle, char* destName,
                            std::uint32_t destSize) = 0;
    // SetupGetInfInformationA(path, INFINFO_INF_NAME_IS_ABSOLUTE) and
    // SetupQueryInfOriginalFileInformationA: the name the INF had before
    // the system stored it; empty when it cannot be told.
    virtual std::string OriginalInfName(const char* path) = 0;
    // SetupUninstallOEMInfA(name, flags, NULL); `name` is the stored INF's
    // file name, without a folder.
    virtual bool UninstallOEMInf(const char* name, std::uint32_t flags) = 0;
};

class IDesktop {
public:
    virtual ~IDesktop() = default;
    // MessageBoxA without owner window; answers the button pressed.
    virtual int ShowMessage(const char* text, const char* caption, std::uint32_t type) = 0;
    // The wait cursor; calls nest, the last end restores the cursor.
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;

    // Top-level windows of other programs; 0 is no window.
    using WindowHandle = std::uintptr_t;
    // FindWindowA(className, title).
    virtual WindowHandle FindTopWindow(const char* className, const char* title) = 0;
    // GetWindowThreadProcessId: the id of the window's process, 0 when the
    // window is gone.
    virtual std::uint32_t WindowProcessId(WindowHandle window) = 0;
    // PostMessageA(window, WM_COMMAND, id, 0).
    virtual bool PostCommand(WindowHandle window, std::uint32_t id) = 0;
};

// A process opened to wait for its end (OpenProcess with SYNCHRONIZE); the
// handle is closed when the object goes.
class IProcessWait {
public:
    virtual ~IProcessWait() = default;
    // WaitForSingleObject: true when the process ended within the time.
    virtual bool WaitForEnd(std::uint32_t milliseconds) = 0;
};

class IKernel {
public:
    virtual ~IKernel() = default;
    virtual std::uint32_t GetLastError() = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // GetWindowsDirectoryA; empty when it fails.
    virtual std::string WindowsDirectory() = 0;
    // Ends the process with the status (standard output flushed first).
    virtual void ExitProcess(std::uint32_t status) = 0;

    // GetFileAttributesA: the path names a file (not a folder).
    virtual bool FileExists(const char* path) = 0;
    // DeleteFileA.
    virtual bool RemoveFile(const char* path) = 0;
    // MoveFileExA(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT): the file goes
    // when Windows next starts (for a file in use, such as the running
    // program's own).
    virtual bool RemoveFileAtRestart(const char* path) = 0;
    // MoveFileExA(from, to, 0): a new name on the same volume; fails with
    // ERROR_ALREADY_EXISTS when `to` exists. A running program's own file
    // can be renamed, though not deleted.
    virtual bool RenameFile(const char* from, const char* to) = 0;
    // GetModuleFileNameA(NULL): the running program's file; empty when it
    // cannot be told.
    virtual std::string ProgramPath() = 0;
    // A number that differs from run to run (tick count and process id).
    virtual std::uint32_t UniqueNumber() = 0;
    // The "CompanyName" of the file's version resource (System32's
    // version.dll; the language the resource names first, else US English);
    // empty when the file has none.
    virtual std::string FileCompany(const char* path) = 0;
    // RemoveDirectoryA: only an empty folder goes.
    virtual bool RemoveFolder(const char* path) = 0;
    // FindFirstFileA and FindNextFileA: the names (without folder) of the
    // files that match the pattern; empty when there are none.
    virtual std::vector<std::string> FindFiles(const char* pattern) = 0;
    // OpenProcess(SYNCHRONIZE, FALSE, id); null with the failure code when
    // it cannot be opened.
    virtual std::unique_ptr<IProcessWait> OpenProcessToWait(std::uint32_t processId) = 0;
};

// Everything the installer, the file copy and the uninstaller reach the
// system through.
struct InstallerPlatform {
    ISpooler& spooler;
    common::IRegistry& registry;
    IShell& shell;
    ISetupApi& setupApi;
    IDesktop& desktop;
    IKernel& kernel;
    // Buffers of the spooler's answers and their diagnostic lines.
    common::ISpoolHeap* heap = &common::ProcessSpoolHeap();
    // The status monitor's port driver service; none: left alone.
    IPortDriverSystem* portDriver = nullptr;
};

// The running system (platform_win.cpp).
const InstallerPlatform& Win32Platform();

}  // namespace installation
