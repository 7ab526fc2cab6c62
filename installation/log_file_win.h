// The log file of an unattended run on the running system.
#pragma once

#include <string>

#include "installation/step_log.h"

namespace installation {

class Win32LogFile : public ILogFile {
public:
    // A relative path is taken in the working directory of now: the file
    // stays the same when the program later works in another folder.
    explicit Win32LogFile(const std::string& path);
    bool Append(const std::string& text) override;
    LogTime Now() override;

private:
    std::string m_path;
};

// The log's place when none is given: the file in the Windows folder's
// "Temp" (C:\Windows\Temp\<name>), the same for every account a
// deployment tool runs under; empty when the Windows folder is not known.
std::string DefaultLogPath(const char* fileName);

}  // namespace installation
