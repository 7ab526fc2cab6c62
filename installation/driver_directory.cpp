#include "installation/driver_directory.h"

namespace installation {

bool QueryDriverDirectory(const InstallerPlatform& platform, DriverDirectoryBuffer& buffer) {
    common::SpoolRecords answer = common::ReadSpoolRecords(
        *platform.heap, [&](std::uint8_t* data, std::uint32_t size, std::uint32_t* needed) {
            const bool ok = platform.spooler.GetPrinterDriverDirectoryA(data, size, needed);
            return common::SpoolCallResult{ok, ok ? 0 : platform.kernel.GetLastError()};
        });
    // A size query that succeeds already cannot happen for a real path; it
    // reads no directory into a buffer of ours, so it counts as a failure.
    if (answer.outcome != common::SpoolRead::Read) return false;
    answer.buffer[answer.size - 1] = '\0';  // the text never runs past the buffer
    buffer = std::move(answer.buffer);
    return true;
}

std::string DriverDirectoryText(const DriverDirectoryBuffer& buffer) {
    return buffer ? std::string(reinterpret_cast<const char*>(buffer.get())) : std::string();
}

}  // namespace installation
