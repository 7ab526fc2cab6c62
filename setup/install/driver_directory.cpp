#include "setup/install/driver_directory.h"

#include <cstdio>
#include <new>

namespace setup {

std::unique_ptr<char[]> AllocateBuffer(std::size_t size) {
    return std::unique_ptr<char[]>(new (std::nothrow) char[size]);
}

bool QueryDriverDirectory(const InstallerPlatform& platform, std::unique_ptr<char[]>& buffer) {
    char scratch[10] = {};
    std::uint32_t needed = 0;
    if (!platform.spooler.GetPrinterDriverDirectory(scratch, sizeof(scratch), &needed) &&
        platform.kernel.GetLastError() != kErrorInsufficientBuffer)
        return false;
    // A first answer that already fits is asked again like any other: the
    // size the spooler named is what the buffer gets.
    if (needed == 0) return false;

    std::printf("Allocating a buffer of size %d\n", static_cast<int>(needed));
    buffer = platform.allocate(needed);
    if (!buffer) {
        std::printf("Can't get memory for new data buffer\n");
        return false;
    }
    const std::uint32_t size = needed;
    if (!platform.spooler.GetPrinterDriverDirectory(buffer.get(), size, &needed)) return false;
    buffer[size - 1] = '\0';  // the text never runs past the buffer
    return true;
}

}  // namespace setup
