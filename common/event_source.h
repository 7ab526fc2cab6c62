// The status monitor's event source in the Application log: Setup
// registers it, the monitor reports to it, Uninstall removes it.
#pragma once

#include <string>

namespace common {

// The source is the model's DisplayName followed by this.
constexpr const char* kEventSourceSuffix = " Status Monitor";
// Where the Application log's sources are registered (under HKLM).
constexpr const char* kApplicationLogKey = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application";
// TypesSupported: errors, warnings and information.
constexpr unsigned kEventTypesSupported = 7;

inline std::string EventSourceName(const std::string& displayName) {
    return displayName + kEventSourceSuffix;
}
inline std::string EventSourceKey(const std::string& displayName) {
    return std::string(kApplicationLogKey) + "\\" + EventSourceName(displayName);
}

}  // namespace common
