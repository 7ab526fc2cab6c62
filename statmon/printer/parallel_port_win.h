// The Win32 side of the parallel port access: the driver handle and the
// adapters the port access is composed of.
#pragma once

#include <windows.h>

#include <memory>

#include "statmon/printer/parallel_port_core.h"
#include "statmon/printer/port_access.h"
#include "statmon/printer/port_lookup.h"

namespace statmon {

// The open device "\\.\hwinterface"; INVALID_HANDLE_VALUE until opened.
extern HANDLE g_hPortDriver;

std::unique_ptr<IVersionQuery> CreateVersionQuery();         // GetVersionExA
std::unique_ptr<IPortDevice> CreatePortDevice();             // g_hPortDriver, port instructions
std::unique_ptr<IServiceManager> CreateServiceManager();     // the local SCM
std::unique_ptr<IDriverImageStore> CreateDriverImageStore(); // own resource 164, system folder
std::unique_ptr<IWmi> CreateWmi();                           // WMI through COM

// All adapters of the running system.
PortPlatform CreatePortPlatform();

}  // namespace statmon
