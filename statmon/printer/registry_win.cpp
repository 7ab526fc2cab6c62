// The registry of the running system, over RegOpenKeyExA, RegQueryValueExA
// and RegCloseKey.
#include <windows.h>

#include "statmon/printer/registry.h"

namespace statmon {
namespace {

static_assert(sizeof(RegKey) >= sizeof(HKEY), "a key handle fits the opaque key");
static_assert(kKeyAllAccess == KEY_ALL_ACCESS, "KEY_ALL_ACCESS");
static_assert(kKeyRead == KEY_READ, "KEY_READ");
static_assert(kRegMultiSz == REG_MULTI_SZ, "REG_MULTI_SZ");

HKEY RootKey(RegRoot root) {
    return root == RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

class Win32Registry final : public IRegistry {
public:
    long OpenKeyEx(RegRoot root, const std::string& subKey, std::uint32_t access,
                   RegKey* key) override {
        HKEY opened = nullptr;
        LONG rc = ::RegOpenKeyExA(RootKey(root), subKey.c_str(), 0, access, &opened);
        if (key) *key = rc == ERROR_SUCCESS ? reinterpret_cast<RegKey>(opened) : 0;
        if (rc == ERROR_SUCCESS && !key) ::RegCloseKey(opened);
        return rc;
    }

    long QueryValueEx(RegKey key, const std::string& valueName, std::uint32_t* type,
                      std::uint8_t* data, std::uint32_t* size) override {
        DWORD valueType = type ? *type : 0;
        DWORD valueSize = size ? *size : 0;
        LONG rc = ::RegQueryValueExA(reinterpret_cast<HKEY>(key), valueName.c_str(), nullptr,
                                     &valueType, data, size ? &valueSize : nullptr);
        if (type) *type = valueType;
        if (size) *size = valueSize;
        return rc;
    }

    void CloseKey(RegKey key) override {
        if (key) ::RegCloseKey(reinterpret_cast<HKEY>(key));
    }
};

}  // namespace

std::unique_ptr<IRegistry> CreateRegistry() { return std::make_unique<Win32Registry>(); }

}  // namespace statmon
