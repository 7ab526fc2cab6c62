// The start-up checks' answers on the running system, shared by Setup and
// the uninstaller.
#pragma once

#include "installation/startup.h"

namespace installation {

class Win32StartupSystem : public IStartupSystem {
public:
    common::MutexHandle CreateNamedMutex(const char* name, std::uint32_t* lastError) override;
    void CloseMutex(common::MutexHandle handle) override;
    void GetVersion(std::uint32_t* major, std::uint32_t* minor) override;
    bool QueryWow64(bool* wow64) override;
    bool IsUserAnAdmin() override;
};

}  // namespace installation
