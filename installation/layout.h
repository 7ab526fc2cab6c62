// Where the model's software lives once Setup has installed it, and under
// which names: the installer writes these places and the uninstaller takes
// them away again.
#pragma once

#include <cstdint>
#include <string>

#include "common/registry.h"
#include "installation/platform.h"

namespace installation {

// HKEY_LOCAL_MACHINE: the monitor's start at log-on, one value per model.
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// HKEY_CURRENT_USER: the user's shell folders ("Programs").
constexpr const char* kShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
// HKEY_LOCAL_MACHINE: the maker's one entry in Programs and Features,
// shared by every model of the maker.
constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelrona";
constexpr const char* kUninstallDisplayName = "Kelrona Printer Software";

// DriverDirectory + "\STM": the folder of the monitors.
std::string MonitorFolder(const std::string& driverDirectory);
// The Run value's data: the monitor without ".exe" (the system adds it).
std::string MonitorCommand(const std::string& driverDirectory, const char* modelCode);
// MonitorPath: DriverDirectory + "\STM\" + ModelCode + ".exe".
std::string MonitorPath(const std::string& driverDirectory, const char* modelCode);
// "KLRN" + ModelCode.
std::string AutoStartValueName(const char* modelCode);
// DriverDirectory + "\Uninstall.exe".
std::string UninstallerPath(const std::string& driverDirectory);
// The uninstall entry's "QuietUninstallString": the uninstaller's path in
// quotes, then " /quiet".
std::string QuietUninstallCommand(const std::string& uninstallerPath);

// The maker's plug-in, a dependent file of every model's driver; the driver
// file copy stages it in the root of DriverDirectory with the model's INF,
// GPD and catalog file.
constexpr const char* kMakerPlugIn = "KLRN9pin.dll";
// The model's catalog file: its INF's name with the extension ".CAT".
std::string CatalogFileName(const std::string& infName);

// The all-users Start-menu folder of the maker on the drive, and the
// model's shortcut in it.
std::string ShortcutFolder(char drive);
std::string ShortcutFile(char drive, const char* modelCode);

// The drive of the current user's "Programs" shell folder (the key opened
// with `access`); without it, the drive of the Windows folder, else C.
char ProgramsDrive(common::IRegistry& registry, IKernel& kernel, std::uint32_t access);

}  // namespace installation
