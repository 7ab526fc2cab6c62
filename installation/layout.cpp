#include "installation/layout.h"

#include <cctype>

#include "installation/maker.h"

namespace installation {

std::string MonitorFolder(const std::string& driverDirectory) { return driverDirectory + "\\STM"; }

std::string MonitorCommand(const std::string& driverDirectory, const char* modelCode) {
    return MonitorFolder(driverDirectory) + "\\" + modelCode;
}

std::string MonitorPath(const std::string& driverDirectory, const char* modelCode) {
    return MonitorCommand(driverDirectory, modelCode) + ".exe";
}

std::string AutoStartValueName(const char* modelCode) { return std::string("KLRN") + modelCode; }

std::string UninstallerPath(const std::string& driverDirectory) { return driverDirectory + "\\Uninstall.exe"; }

std::string QuietUninstallCommand(const std::string& uninstallerPath) { return "\"" + uninstallerPath + "\" /quiet"; }

std::string CatalogFileName(const std::string& infName) {
    const std::size_t dot = infName.rfind('.');
    return (dot == std::string::npos ? infName : infName.substr(0, dot)) + ".CAT";
}

std::string ShortcutFolder(char drive) {
    return std::string(1, drive) + ":\\Documents and Settings\\All Users\\Start Menu\\Programs\\" + kMakerName;
}

std::string ShortcutFile(char drive, const char* modelCode) {
    return ShortcutFolder(drive) + "\\StatusMonitor" + modelCode + ".LNK";
}

char ProgramsDrive(common::IRegistry& registry, IKernel& kernel, std::uint32_t access) {
    char programs[91] = {};
    bool read = false;
    common::RegKey key = 0;
    if (registry.OpenKeyEx(common::RegRoot::CurrentUser, kShellFoldersKey, access, &key) == 0) {
        std::uint32_t type = common::kRegSz;
        std::uint32_t size = sizeof(programs) - 1;  // the last byte stays NUL
        read = registry.QueryValueEx(key, "Programs", &type, reinterpret_cast<std::uint8_t*>(programs), &size) ==
                   0 &&
               type == common::kRegSz;
        registry.CloseKey(key);
    }
    if (read && std::isalpha(static_cast<unsigned char>(programs[0]))) return programs[0];
    // Without the user's Programs folder: the drive of the Windows folder.
    const std::string windows = kernel.WindowsDirectory();
    if (!windows.empty() && std::isalpha(static_cast<unsigned char>(windows[0]))) return windows[0];
    return 'C';
}

}  // namespace installation
