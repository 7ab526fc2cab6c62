#include "common/registry.h"

#include <cstring>

namespace common {

std::optional<std::uint32_t> ReadDwordValue(IRegistryReader& registry, RegKey key,
                                            const std::string& valueName) {
    std::uint8_t data[4] = {};
    std::uint32_t type = kRegDword;
    std::uint32_t size = sizeof(data);
    if (registry.QueryValueEx(key, valueName, &type, data, &size) != 0) return std::nullopt;
    if (type != kRegDword || size != sizeof(data)) return std::nullopt;
    std::uint32_t value = 0;
    std::memcpy(&value, data, sizeof(value));  // REG_DWORD is in the machine's own byte order
    return value;
}

}  // namespace common
