// Feeds arbitrary bytes to the resource list walk. The bytes sit at the end
// of their own allocation, so any read past them is caught; a range found
// must lie inside them.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "statmon/printer/port_lookup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes(data, data + size);
    const std::optional<std::uint64_t> start =
        statmon::FindFirstPortRange(bytes.empty() ? nullptr : bytes.data(), bytes.size());
    if (start) {
        // The start must be the 8 bytes of some partial descriptor inside the data.
        bool found = false;
        for (std::size_t pos = 4 + 16 + 4; pos + 12 <= size && !found; ++pos) {
            std::uint64_t v;
            std::memcpy(&v, data + pos, 8);
            found = v == *start && data[pos - 4] == statmon::kCmResourceTypePort;
        }
        if (!found) std::abort();
    }
    return 0;
}
