// The spooler's printer driver directory, asked for the way every
// variable-sized spooler answer is: a size query first, then a fresh
// buffer of exactly that size.
#pragma once

#include <memory>

#include "setup/install/platform.h"

namespace setup {

// Fills `buffer` with a new buffer holding the directory (the earlier one is
// released); null when the memory could not be had. Writes the diagnostic
// lines to standard output.
bool QueryDriverDirectory(const InstallerPlatform& platform, std::unique_ptr<char[]>& buffer);

}  // namespace setup
