// Parallel port access as discovery and the status window use it: platform
// test, port driver, hardware lookup of the status register, status read.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace statmon {

// Port status codes.
constexpr int PORT_STATUS_NO_RESPONSE = 1;
constexpr int PORT_STATUS_READY = 2;
constexpr int PORT_STATUS_PAPER_OUT = 3;
constexpr int PORT_STATUS_OFFLINE = 4;
constexpr int PORT_STATUS_UNKNOWN = -1;

// Program-wide values of the port access (the driver handle lives with the
// Win32 side of the port access).
extern int g_nPlatform;             // 1 Windows 9x, 2 Windows NT, 0 other
extern std::uint16_t g_wStatusPort; // status register address, 0 until found
extern std::string g_strPortKey;    // "(LPT1)".. or, after the lookup, a device id

class IParallelPort {
public:
    virtual ~IParallelPort() = default;
    virtual int GetPlatform() = 0;        // 1, 2 or 0
    virtual int OpenPortDriver() = 0;     // 0 opened at once, 1 otherwise
    virtual int FindPortDeviceId() = 0;   // on g_strPortKey; 0 ran to its end, 1 unusable
    virtual bool LookupStatusPort() = 0;  // sets g_wStatusPort from g_strPortKey's resources
    // One of the PORT_STATUS_* codes. A read that fails (the driver gone,
    // its handle stale) answers PORT_STATUS_UNKNOWN and reopens the port
    // driver, with a back-off while reads keep failing.
    virtual int ReadPortStatus() = 0;
    virtual void ClosePortDriver() = 0;   // at Exit
    // The port driver is reopened before the next read (after resume).
    virtual void Reconnect() = 0;
};

// The port access of the running program (Win32).
std::unique_ptr<IParallelPort> CreateParallelPort();

}  // namespace statmon
