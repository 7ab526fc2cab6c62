#include <windows.h>

#include "common/registry.h"

namespace common {
namespace {

static_assert(sizeof(RegKey) >= sizeof(HKEY), "a key handle fits the opaque key");
static_assert(kKeyQueryValue == KEY_QUERY_VALUE && kKeySetValue == KEY_SET_VALUE, "key rights");
static_assert(kKeyRead == KEY_READ && kKeyAllAccess == KEY_ALL_ACCESS, "key rights");
static_assert(kRegSz == REG_SZ && kRegDword == REG_DWORD && kRegMultiSz == REG_MULTI_SZ, "value types");
static_assert(kRegOptionNonVolatile == REG_OPTION_NON_VOLATILE, "key options");

HKEY Root(RegRoot root) { return root == RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }
HKEY Key(RegKey key) { return reinterpret_cast<HKEY>(key); }

class Win32Registry final : public IRegistry {
public:
    long OpenKeyEx(RegRoot root, const std::string& subKey, std::uint32_t access, RegKey* key) override {
        HKEY opened = nullptr;
        const LONG result = ::RegOpenKeyExA(Root(root), subKey.c_str(), 0, access, &opened);
        *key = result == ERROR_SUCCESS ? reinterpret_cast<RegKey>(opened) : 0;
        return result;
    }
    long OpenSubKey(RegKey parent, const std::string& subKey, std::uint32_t access, RegKey* key) override {
        HKEY opened = nullptr;
        const LONG result = ::RegOpenKeyExA(Key(parent), subKey.c_str(), 0, access, &opened);
        *key = result == ERROR_SUCCESS ? reinterpret_cast<RegKey>(opened) : 0;
        return result;
    }
    long CreateKeyEx(RegRoot root, const std::string& subKey, std::uint32_t options,
                     std::uint32_t access, RegKey* key) override {
        HKEY created = nullptr;
        DWORD disposition = 0;
        const LONG result = ::RegCreateKeyExA(Root(root), subKey.c_str(), 0, nullptr, options, access,
                                              nullptr, &created, &disposition);
        *key = result == ERROR_SUCCESS ? reinterpret_cast<RegKey>(created) : 0;
        return result;
    }
    long QueryValueEx(RegKey key, const std::string& valueName, std::uint32_t* type,
                      std::uint8_t* data, std::uint32_t* size) override {
        DWORD valueType = type ? *type : 0;
        DWORD valueSize = size ? *size : 0;
        const LONG result = ::RegQueryValueExA(Key(key), valueName.c_str(), nullptr, &valueType, data,
                                               size ? &valueSize : nullptr);
        if (type) *type = valueType;
        if (size) *size = valueSize;
        return result;
    }
    long SetValueEx(RegKey key, const std::string& valueName, std::uint32_t type,
                    const std::uint8_t* data, std::uint32_t size) override {
        return ::RegSetValueExA(Key(key), valueName.c_str(), 0, type, data, size);
    }
    long DeleteValue(RegKey key, const std::string& valueName) override {
        return ::RegDeleteValueA(Key(key), valueName.c_str());
    }
    long DeleteKey(RegRoot root, const std::string& subKey) override {
        return ::RegDeleteKeyA(Root(root), subKey.c_str());
    }
    void CloseKey(RegKey key) override {
        if (key) ::RegCloseKey(Key(key));
    }
};

}  // namespace

std::unique_ptr<IRegistry> CreateRegistry() { return std::make_unique<Win32Registry>(); }

}  // namespace common
