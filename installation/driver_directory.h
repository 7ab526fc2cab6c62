// The spooler's printer driver directory, asked for the way every
// variable-sized spooler answer is: a size query first, then a fresh
// buffer of exactly that size.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "installation/platform.h"

namespace installation {

// The directory's text in a heap buffer; null until first read.
using DriverDirectoryBuffer = std::unique_ptr<std::uint8_t[]>;

// Replaces `buffer` with a new buffer holding the directory once that has
// been read in full; on any failure the earlier directory stays. Writes the
// diagnostic lines to standard output.
bool QueryDriverDirectory(const InstallerPlatform& platform, DriverDirectoryBuffer& buffer);

// The text in the buffer; empty for none.
std::string DriverDirectoryText(const DriverDirectoryBuffer& buffer);

}  // namespace installation
