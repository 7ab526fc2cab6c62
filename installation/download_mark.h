// Windows marks every file that came from the internet with the alternate
// data stream "Zone.Identifier", and a file copied from a downloaded
// medium keeps it: the installed monitor would start with a security
// prompt. The elevated programs take the mark off what they install.
#pragma once

#include <string>

#include "installation/platform.h"

namespace installation {

constexpr const char* kDownloadMarkStream = ":Zone.Identifier";

// Removes the mark of the file at `path` (nothing when it has none).
void RemoveDownloadMark(IKernel& kernel, const std::string& path);
// The same for every file of the working folder that matches one of the
// NUL-ended patterns ("*.EXT", the list ended by an empty one), as copied
// into `folder`.
void RemoveDownloadMarks(IKernel& kernel, const char* patterns, const std::string& folder);

}  // namespace installation
