// A recording service manager and drivers folder for the care of the
// monitor's port driver service.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "installation/port_driver_service.h"

namespace driver_fakes {

using namespace installation;
using Bytes = std::vector<std::uint8_t>;
inline const std::string kFile = "C:\\WINDOWS\\system32\\Drivers\\hwinterface.sys";

struct FakeDriverSystem : IPortDriverSystem {
    Bytes image{'M', 'Z', 1, 2, 3};
    std::map<std::string, Bytes> files;
    bool inUse = false, serviceExists = false;
    DriverServiceConfig config;
    std::string security;
    std::vector<std::string> calls;  // everything that changes the machine
    std::set<Handle> open;           // every handle is closed again
    Handle next = 10;

    Handle New() { return *open.insert(++next).first; }
    std::string SystemDirectory() override { return "C:\\WINDOWS\\system32"; }
    std::string WindowsDirectory() override { return "C:\\WINDOWS"; }
    std::optional<Bytes> CarriedImage() override { return image.empty() ? std::nullopt : std::optional<Bytes>(image); }
    std::optional<Bytes> ReadFile(const std::string& path, bool* absent) override {
        *absent = !files.count(path);
        return *absent ? std::nullopt : std::optional<Bytes>(files[path]);
    }
    bool WriteNewFile(const std::string& path, const Bytes& bytes) override {
        calls.push_back("write");
        return files.emplace(path, bytes).second;
    }
    bool DeleteFile(const std::string& path) override {
        calls.push_back("delete file");
        return !inUse && files.erase(path);
    }
    bool DeleteFileAtRestart(const std::string&) override { return calls.push_back("delete at restart"), true; }
    Handle OpenManager(std::uint32_t) override { return New(); }
    Handle OpenService(Handle, const char*, std::uint32_t) override { return serviceExists ? New() : 0; }
    Handle CreateService(Handle, const char* name, std::uint32_t, std::uint32_t start, const char* path) override {
        calls.push_back(std::string("create ") + name);
        serviceExists = true;
        config = {kServiceKernelDriver, start, path};
        return New();
    }
    bool QueryConfig(Handle, DriverServiceConfig* answer) override { return *answer = config, true; }
    bool ChangeConfig(Handle, std::uint32_t start, const char* path) override {
        calls.push_back("change");
        config = {kServiceKernelDriver, start, path};
        return true;
    }
    bool SetSecurity(Handle, const char* sddl) override { return calls.push_back("security"), security = sddl, true; }
    bool Stop(Handle) override { return calls.push_back("stop"), true; }
    bool DeleteService(Handle) override { return calls.push_back("delete service"), !(serviceExists = false); }
    void CloseHandle(Handle handle) override { open.erase(handle); }
    std::uint32_t LastError() override { return serviceExists ? 5 : kErrorServiceDoesNotExist; }

    // Our file and a service running it, loaded at every start as earlier monitors made it.
    void OurService(const char* path = "System32\\Drivers\\hwinterface.sys") {
        files[kFile] = image;
        serviceExists = true;
        config = {kServiceKernelDriver, 1, path};
    }
};

}  // namespace driver_fakes
