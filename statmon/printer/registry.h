// The registry operations the monitor reads with, shaped like the Win32
// calls RegOpenKeyExA, RegOpenKeyA, RegQueryValueExA and RegCloseKey.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace statmon {

using RegKey = std::uintptr_t;  // opaque key handle; 0 is no key

enum class RegRoot { LocalMachine, CurrentUser };

constexpr std::uint32_t kKeyAllAccess = 0xF003F;
constexpr std::uint32_t kKeyRead = 0x20019;
constexpr std::uint32_t kRegMultiSz = 7;

class IRegistry {
public:
    virtual ~IRegistry() = default;
    // Win32 error code (0 on success); *key receives the opened key.
    virtual long OpenKeyEx(RegRoot root, const std::string& subKey, std::uint32_t access,
                           RegKey* key) = 0;
    // *type is in/out, *size is in (buffer size) and out (bytes read or needed).
    virtual long QueryValueEx(RegKey key, const std::string& valueName, std::uint32_t* type,
                              std::uint8_t* data, std::uint32_t* size) = 0;
    virtual void CloseKey(RegKey key) = 0;
};

}  // namespace statmon

namespace statmon {
// The registry of the running system (Win32, registry_win.cpp).
std::unique_ptr<IRegistry> CreateRegistry();
}  // namespace statmon
