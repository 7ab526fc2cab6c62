// Test set-up around the port driver service in the Wine prefix: removing
// a service left by another test program, and the absolute image path that
// Wine's driver loader needs (it does not resolve "System32\Drivers\...").
#pragma once

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace wintest {

inline std::string DriverFilePath() {
    char dir[MAX_PATH] = {};
    GetSystemDirectoryA(dir, MAX_PATH);
    return std::string(dir) + "\\Drivers\\hwinterface.sys";
}

inline std::vector<unsigned char> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>());
}

// The build's image of the given name (statmon/portdriver in the build tree).
inline std::vector<unsigned char> BuiltImage(const char* name) {
    const char* binary = getenv("KLRN_BINARY_DIR");
    if (!binary) return {};
    std::string path = std::string(binary) + "/statmon/portdriver/" + name;
    return ReadFileBytes(path);
}

// Stops and deletes the service "hwinterface" and removes the driver file.
inline void RemoveDriverService() {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!manager) return;
    SC_HANDLE service = OpenServiceA(manager, "hwinterface", SERVICE_ALL_ACCESS);
    if (service) {
        SERVICE_STATUS status = {};
        if (ControlService(service, SERVICE_CONTROL_STOP, &status)) {
            for (int i = 0; i < 50 && QueryServiceStatus(service, &status) &&
                            status.dwCurrentState != SERVICE_STOPPED;
                 ++i)
                Sleep(100);
        }
        DeleteService(service);
        CloseServiceHandle(service);
        for (int i = 0; i < 50; ++i) {
            SC_HANDLE again = OpenServiceA(manager, "hwinterface", SERVICE_QUERY_STATUS);
            if (!again) break;
            CloseServiceHandle(again);
            Sleep(100);
        }
    }
    CloseServiceHandle(manager);
    DeleteFileA(DriverFilePath().c_str());
}

struct ServiceConfig {
    bool found = false;
    DWORD type = 0, start = 0, errorControl = 0;
    std::string imagePath, displayName;
};

inline ServiceConfig QueryDriverService() {
    ServiceConfig config;
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE service = manager ? OpenServiceA(manager, "hwinterface", SERVICE_QUERY_CONFIG) : nullptr;
    if (service) {
        DWORD needed = 0;
        QueryServiceConfigA(service, nullptr, 0, &needed);
        std::vector<unsigned char> buffer(needed ? needed : 1);
        auto* info = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
        if (QueryServiceConfigA(service, info, needed, &needed)) {
            config.found = true;
            config.type = info->dwServiceType;
            config.start = info->dwStartType;
            config.errorControl = info->dwErrorControl;
            config.imagePath = info->lpBinaryPathName ? info->lpBinaryPathName : "";
            config.displayName = info->lpDisplayName ? info->lpDisplayName : "";
        }
        CloseServiceHandle(service);
    }
    if (manager) CloseServiceHandle(manager);
    return config;
}

// Points the service at the absolute path of the driver file.
inline bool UseAbsoluteImagePath() {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE service = manager ? OpenServiceA(manager, "hwinterface", SERVICE_CHANGE_CONFIG) : nullptr;
    const std::string path = DriverFilePath();
    const bool ok = service && ChangeServiceConfigA(service, SERVICE_NO_CHANGE, SERVICE_NO_CHANGE,
                                                    SERVICE_NO_CHANGE, path.c_str(), nullptr,
                                                    nullptr, nullptr, nullptr, nullptr, nullptr);
    if (service) CloseServiceHandle(service);
    if (manager) CloseServiceHandle(manager);
    return ok;
}

}  // namespace wintest
