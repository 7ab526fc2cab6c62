// Copy of the installation medium's driver files into the spooler's driver
// directory: the platform-free part of CFileCopy (file_copy_win.h), which
// adds the please-wait window.
#pragma once

#include <memory>
#include <string>

#include "installation/driver_directory.h"
#include "installation/platform.h"

namespace setup {

// The driver files of the installation medium, matched in SetupFolder (the
// working directory): NUL-ended patterns ended by an empty one.
constexpr char DriverFilePatterns[] = "*.GPD\0*.DLL\0*.INF\0*.HLP\0*.CAT\0*.EXE\0";

// Process exit status after a failed copy.
constexpr unsigned kCopyFailedExitStatus = 1;

class CFileCopyCore {
public:
    explicit CFileCopyCore(const installation::InstallerPlatform& platform) : m_platform(platform) {}
    virtual ~CFileCopyCore() = default;
    CFileCopyCore(const CFileCopyCore&) = delete;
    CFileCopyCore& operator=(const CFileCopyCore&) = delete;

    // Copies the driver files; a failed copy ends the process with status 1.
    // When the driver directory is not found, says so and returns.
    void CopyDriverFiles();
    bool QueryDriverDirectory();
    // The shell's copy of the driver files into the directory read last;
    // answers the shell's result (0 is success) and ends nothing.
    int CopyFiles();

    installation::DriverDirectoryBuffer m_pszDriverDir;

protected:
    const installation::InstallerPlatform& m_platform;
};

}  // namespace setup
