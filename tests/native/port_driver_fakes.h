// A recording service manager and drivers folder for the care of the
// monitor's port driver service.
#pragma once

#include <gtest/gtest.h>

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
    bool carries = true;
    std::map<std::string, Bytes> files;
    std::set<std::string> inUse;
    bool serviceExists = false;
    DriverServiceConfig config;
    std::string security;
    std::vector<std::string> calls;  // everything that changes the machine
    std::set<Handle> open;
    Handle next = 10;
    std::uint32_t error = 0;

    Handle New() {
        open.insert(++next);
        return next;
    }
    std::string SystemDirectory() override { return "C:\\WINDOWS\\system32"; }
    std::string WindowsDirectory() override { return "C:\\WINDOWS"; }
    std::optional<Bytes> CarriedImage() override { return carries ? std::optional<Bytes>(image) : std::nullopt; }
    std::optional<Bytes> ReadFile(const std::string& path, bool* absent) override {
        *absent = !files.count(path);
        return files.count(path) ? std::optional<Bytes>(files[path]) : std::nullopt;
    }
    bool WriteNewFile(const std::string& path, const Bytes& bytes) override {
        calls.push_back("write");
        if (files.count(path)) return false;
        files[path] = bytes;
        return true;
    }
    bool DeleteFile(const std::string& path) override {
        calls.push_back("delete file");
        return !inUse.count(path) && files.erase(path);
    }
    bool DeleteFileAtRestart(const std::string&) override {
        calls.push_back("delete file at restart");
        return true;
    }
    Handle OpenManager(std::uint32_t) override { return New(); }
    Handle OpenService(Handle manager, const char* name, std::uint32_t) override {
        EXPECT_TRUE(open.count(manager));
        EXPECT_STREQ(name, "hwinterface");
        if (!serviceExists) {
            error = kErrorServiceDoesNotExist;
            return 0;
        }
        return New();
    }
    Handle CreateService(Handle, const char* name, std::uint32_t access, std::uint32_t startType,
                         const char* imagePath) override {
        calls.push_back(std::string("create ") + name);
        EXPECT_EQ(access, kWriteDac);
        serviceExists = true;
        config = {kServiceKernelDriver, startType, imagePath};
        return New();
    }
    bool QueryConfig(Handle, DriverServiceConfig* answer) override {
        *answer = config;
        return true;
    }
    bool ChangeConfig(Handle, std::uint32_t startType, const char* imagePath) override {
        calls.push_back("change");
        config.startType = startType;
        config.imagePath = imagePath;
        return true;
    }
    bool SetSecurity(Handle, const char* sddl) override {
        calls.push_back("security");
        security = sddl;
        return true;
    }
    bool Stop(Handle) override {
        calls.push_back("stop");
        return true;
    }
    bool DeleteService(Handle) override {
        calls.push_back("delete service");
        serviceExists = false;
        return true;
    }
    void CloseHandle(Handle handle) override { EXPECT_EQ(open.erase(handle), 1u); }
    std::uint32_t LastError() override { return error; }

    void OurService(const char* imagePath = "System32\\Drivers\\hwinterface.sys") {
        files[kFile] = image;
        serviceExists = true;
        config = {kServiceKernelDriver, 1, imagePath};  // loaded at every start, as monitors made it
    }
};

}  // namespace driver_fakes
