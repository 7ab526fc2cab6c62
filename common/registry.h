// The registry, shaped like RegOpenKeyExA, RegQueryValueExA, RegCloseKey
// (reading, all the monitor needs), RegCreateKeyExA, RegSetValueExA
// (Setup's writing) and RegDeleteValueA, RegDeleteKeyA (the uninstaller's).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace common {

using RegKey = std::uintptr_t;  // opaque key handle; 0 is no key

enum class RegRoot { LocalMachine, CurrentUser };

constexpr std::uint32_t kKeyQueryValue = 0x0001;
constexpr std::uint32_t kKeySetValue = 0x0002;
constexpr std::uint32_t kKeyRead = 0x20019;
constexpr std::uint32_t kKeyAllAccess = 0xF003F;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;
constexpr std::uint32_t kRegOptionNonVolatile = 0;

class IRegistryReader {
public:
    virtual ~IRegistryReader() = default;
    // Each answers a Win32 error code (0 on success); *key receives the
    // opened key (0 when the open fails).
    virtual long OpenKeyEx(RegRoot root, const std::string& subKey, std::uint32_t access,
                           RegKey* key) = 0;
    // The same below a key this reader opened.
    virtual long OpenSubKey(RegKey parent, const std::string& subKey, std::uint32_t access,
                            RegKey* key) = 0;
    // *type is in/out, *size is in (buffer size) and out (bytes read or needed).
    virtual long QueryValueEx(RegKey key, const std::string& valueName, std::uint32_t* type,
                              std::uint8_t* data, std::uint32_t* size) = 0;
    virtual void CloseKey(RegKey key) = 0;
};

class IRegistry : public IRegistryReader {
public:
    // RegCreateKeyExA without class, with default security; the disposition
    // is not reported.
    virtual long CreateKeyEx(RegRoot root, const std::string& subKey, std::uint32_t options,
                             std::uint32_t access, RegKey* key) = 0;
    virtual long SetValueEx(RegKey key, const std::string& valueName, std::uint32_t type,
                            const std::uint8_t* data, std::uint32_t size) = 0;
    // The key must be open with KEY_SET_VALUE.
    virtual long DeleteValue(RegKey key, const std::string& valueName) = 0;
    // Only a key without subkeys goes.
    virtual long DeleteKey(RegRoot root, const std::string& subKey) = 0;
};

// A REG_DWORD value of exactly four bytes; nothing when the value is
// missing, of another type or another size.
std::optional<std::uint32_t> ReadDwordValue(IRegistryReader& registry, RegKey key,
                                            const std::string& valueName);

// The registry of the running system (registry_win.cpp).
std::unique_ptr<IRegistry> CreateRegistry();

}  // namespace common
