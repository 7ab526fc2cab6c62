// Test-only console program: runs Setup's driver file copy or installer in
// the working directory (the test medium) on the running system and prints
// what came out, one "NAME=value" line each.
//
//   installer_driver copy            CopyDriverFiles
//   installer_driver copy-failing    CopyDriverFiles on a shell whose copy fails
//   installer_driver install PORT    CInstaller::Install on PORT, then ReportResult
//   installer_driver preinstall      CInstaller::PreinstallInf
//
// Message boxes are recorded and printed instead of shown. The spooler is
// the product's own, seen through WineSpooler: Wine's AddPrinterA refuses
// the NULL data type Windows accepts and reports neither an existing
// printer name nor an unknown port, so the stand-in supplies those answers
// the way Windows gives them and passes everything else on unchanged.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "setup/install/installer_win.h"
#include "setup/ui/file_copy.h"

namespace {

using namespace setup;
using namespace installation;

class RecordingDesktop : public IDesktop {
public:
    explicit RecordingDesktop(IDesktop& real) : m_real(real) {}
    int ShowMessage(const char* text, const char* caption, std::uint32_t type) override {
        std::printf("MESSAGE=%s|%s|0x%X\n", text, caption, static_cast<unsigned>(type));
        std::fflush(stdout);
        return IDOK;
    }
    void BeginWaitCursor() override { m_real.BeginWaitCursor(); }
    void EndWaitCursor() override { m_real.EndWaitCursor(); }
    WindowHandle FindTopWindow(const char* cls, const char* title) override {
        return m_real.FindTopWindow(cls, title);
    }
    std::uint32_t WindowProcessId(WindowHandle window) override { return m_real.WindowProcessId(window); }
    bool PostCommand(WindowHandle window, std::uint32_t id) override { return m_real.PostCommand(window, id); }

private:
    IDesktop& m_real;
};

bool PortKnown(const char* port) {
    DWORD needed = 0, count = 0;
    ::EnumPortsA(nullptr, 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (!::EnumPortsA(nullptr, 1, buffer.data(), needed, &needed, &count)) return false;
    const auto* ports = reinterpret_cast<const PORT_INFO_1A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        if (port && lstrcmpiA(ports[i].pName, port) == 0) return true;
    return false;
}

class WineSpooler : public ISpooler {
public:
    explicit WineSpooler(ISpooler& real) : m_real(real) {}
    bool GetPrinterDriverDirectoryA(std::uint8_t* buffer, std::uint32_t size, std::uint32_t* needed) override {
        return m_real.GetPrinterDriverDirectoryA(buffer, size, needed);
    }
    bool AddPrinterDriverA(const DriverRecord& record) override { return m_real.AddPrinterDriverA(record); }
    bool AddPrinterA(const PrinterRecord& record) override {
        HANDLE existing = nullptr;
        if (::OpenPrinterA(const_cast<char*>(record.pPrinterName), &existing, nullptr)) {
            ::ClosePrinter(existing);
            ::SetLastError(ERROR_PRINTER_ALREADY_EXISTS);
            return false;
        }
        if (!PortKnown(record.pPortName)) {
            ::SetLastError(ERROR_UNKNOWN_PORT);
            return false;
        }
        PrinterRecord fixed = record;
        if (!fixed.pDatatype) fixed.pDatatype = "RAW";
        return m_real.AddPrinterA(fixed);
    }
    bool SetDefaultPrinterA(const char* name) override { return m_real.SetDefaultPrinterA(name); }
    bool EnumPortsA(std::uint32_t level, std::uint8_t* buffer, std::uint32_t size, std::uint32_t* needed,
                    std::uint32_t* returned) override {
        return m_real.EnumPortsA(level, buffer, size, needed, returned);
    }
    bool ListPrinters(std::vector<PrinterEntry>* printers) override { return m_real.ListPrinters(printers); }
    bool ListDrivers(std::vector<std::string>* drivers) override { return m_real.ListDrivers(drivers); }
    bool DeleteQueue(const char* name) override { return m_real.DeleteQueue(name); }
    bool DeleteDriver(const char* name, std::uint32_t flags) override { return m_real.DeleteDriver(name, flags); }

private:
    ISpooler& m_real;
};

// Wine's SHFileOperationA ignores the failures of the single file copies
// (a locked or unreadable file is skipped and the operation answers 0), so a
// failing shell copy cannot be provoked on it. This stand-in runs the real
// copy and then answers the error Windows gives for a source file held open
// by another program (ERROR_SHARING_VIOLATION).
class FailingCopyShell : public IShell {
public:
    explicit FailingCopyShell(IShell& real) : m_real(real) {}
    int CreateDirectoryTree(const char* path) override { return m_real.CreateDirectoryTree(path); }
    int FileOperation(std::uint32_t func, const char* from, const char* to, std::uint16_t flags) override {
        m_real.FileOperation(func, from, to, flags);
        return ERROR_SHARING_VIOLATION;
    }
    bool CreateFolder(const char* path) override { return m_real.CreateFolder(path); }
    void CoInitialize() override { m_real.CoInitialize(); }
    std::unique_ptr<IShellLinkObject> CreateShellLink() override { return m_real.CreateShellLink(); }
    void Execute(const char* verb, const char* file, const char* parameters, const char* directory,
                 int show) override {
        m_real.Execute(verb, file, parameters, directory, show);
    }

private:
    IShell& m_real;
};

}  // namespace

int main(int argc, char** argv) {
    const InstallerPlatform& real = Win32Platform();
    RecordingDesktop desktop(real.desktop);
    WineSpooler spooler(real.spooler);
    const InstallerPlatform platform{spooler, real.registry, real.shell, real.setupApi, desktop, real.kernel};

    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "copy") {
        CFileCopyCore copy(platform);
        copy.CopyDriverFiles();
        std::printf("COPIED=1\n");
        return 0;
    }
    if (command == "copy-failing") {
        FailingCopyShell shell(real.shell);
        const InstallerPlatform failing{spooler, real.registry, shell, real.setupApi, desktop, real.kernel};
        CFileCopyCore copy(failing);
        copy.CopyDriverFiles();
        std::printf("COPIED=1\n");
        return 0;
    }
    if (command == "install" && argc > 2) {
        CInstaller installer(platform);
        installer.m_strPort = argv[2];
        installer.Install();
        std::printf("DIRECTORY_OK=%d\nDRIVER_OK=%d\nPRINTER_OK=%d\n", installer.m_bDirectoryOk,
                    installer.m_bDriverOk, installer.m_bPrinterOk);
        std::printf("PRINTER_NAME=%s\nRESULT=%s\nDRIVER_DIRECTORY=%s\n", installer.m_strPrinterName.c_str(),
                    installer.m_strResult.c_str(), installer.DriverDirectory().c_str());
        installer.ReportResult();
        return 0;
    }
    if (command == "preinstall") {
        CInstaller installer(platform);
        const bool done = installer.PreinstallInf();
        const unsigned error = ::GetLastError();
        std::printf("PREINSTALLED=%d\nLAST_ERROR=%u\nINF_PATH=%s\nOEM_INF=%s\n", done, error,
                    installer.m_szInfPath, installer.m_szOemInfName);
        return 0;
    }
    std::fprintf(stderr, "usage: installer_driver copy | copy-failing | install PORT | preinstall\n");
    return 2;
}
