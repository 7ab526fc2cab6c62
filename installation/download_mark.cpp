#include "installation/download_mark.h"

#include <cctype>
#include <cstring>

namespace installation {

namespace {

// "*.EXT" against a file name, without regard to case.
bool Matches(const std::string& name, const std::string& pattern) {
    if (pattern.size() < 2 || pattern[0] != '*') return false;
    const std::string end = pattern.substr(1);
    if (name.size() < end.size()) return false;
    for (std::size_t i = 0; i < end.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(name[name.size() - end.size() + i])) !=
            std::tolower(static_cast<unsigned char>(end[i])))
            return false;
    return true;
}

}  // namespace

void RemoveDownloadMark(IKernel& kernel, const std::string& path) {
    kernel.RemoveFile((path + kDownloadMarkStream).c_str());
}

void RemoveDownloadMarks(IKernel& kernel, const char* patterns, const std::string& folder) {
    for (const char* pattern = patterns; *pattern; pattern += std::strlen(pattern) + 1)
        for (const std::string& name : kernel.FindFiles(pattern))
            if (Matches(name, pattern)) RemoveDownloadMark(kernel, folder + "\\" + name);
}

}  // namespace installation
