// Recording fakes of the port access's platform operations.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "statmon/printer/port_access.h"

namespace fakes {

using namespace statmon;

struct FakeVersion : IVersionQuery {
    std::map<std::uint32_t, std::optional<std::uint32_t>> answers;  // size field -> platform id
    std::vector<std::uint32_t> sizes;
    bool GetVersionEx(std::uint32_t sizeField, std::uint32_t* platformId) override {
        sizes.push_back(sizeField);
        auto it = answers.find(sizeField);
        if (it == answers.end() || !it->second) return false;
        *platformId = *it->second;
        return true;
    }
};

struct ControlCall {
    std::uint32_t code;
    std::vector<std::uint8_t> in;
    std::uint32_t outSize;
};

struct FakeDevice : IPortDevice {
    std::deque<bool> openResults;  // answers of successive opens (then false)
    bool open = false;
    std::vector<std::string> calls;
    std::vector<ControlCall> controls;
    bool controlSucceeds = true;
    std::uint32_t controlReturned = 1;
    std::map<std::uint16_t, std::uint8_t> ports;  // what the driver reads

    bool Open() override {
        calls.push_back(open ? "open-while-open" : "open");
        bool ok = false;
        if (!openResults.empty()) {
            ok = openResults.front();
            openResults.pop_front();
        }
        open = ok;
        return ok;
    }
    void Close() override {
        if (open) calls.push_back("close");
        open = false;
    }
    bool Control(std::uint32_t code, void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize, std::uint32_t* returned) override {
        const auto* bytes = static_cast<const std::uint8_t*>(in);
        controls.push_back({code, std::vector<std::uint8_t>(bytes, bytes + inSize), outSize});
        if (!controlSucceeds) return false;
        *returned = controlReturned;
        if (out && outSize >= 1 && controlReturned >= 1) {
            const std::uint16_t port = static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
            static_cast<std::uint8_t*>(out)[0] = ports[port];
        }
        return true;
    }
    std::uint8_t InputByte(std::uint16_t port) override {
        calls.push_back("in");
        return ports[port];
    }
    void OutputByte(std::uint16_t port, std::uint8_t value) override {
        calls.push_back("out");
        ports[port] = value;
    }
};

struct FakeServices : IServiceManager {
    // Error of opening the manager to create a service (0: it opens).
    std::uint32_t fullAccessError = 0;
    bool connectOpens = true;
    std::uint32_t startError = 1058;  // ERROR_SERVICE_DISABLED when the start fails
    bool serviceExists = true;
    bool startSucceeds = true;
    std::vector<std::string> calls;
    std::vector<ServiceAttributes> created;
    std::set<ScHandle> openHandles;
    ScHandle next = 100;

    ScHandle Handle() {
        openHandles.insert(++next);
        return next;
    }
    ScHandle OpenManager(std::uint32_t access, std::uint32_t* error) override {
        calls.push_back(access == (kScManagerConnect | kScManagerCreateService) ? "manager-create"
                        : access == kScManagerConnect ? "manager-connect"
                                                      : "manager-?");
        if (access == (kScManagerConnect | kScManagerCreateService) && fullAccessError) {
            *error = fullAccessError;
            return 0;
        }
        if (access == kScManagerConnect && !connectOpens) {
            *error = 5;
            return 0;
        }
        return Handle();
    }
    ScHandle OpenService(ScHandle manager, const std::string& name, std::uint32_t access) override {
        calls.push_back("service " + name + (access == kServiceStart ? " start" : " ?"));
        if (!openHandles.count(manager) || !serviceExists) return 0;
        return Handle();
    }
    bool StartService(ScHandle service, std::uint32_t* error) override {
        calls.push_back("start");
        if (openHandles.count(service) && startSucceeds) return true;
        *error = startError;
        return false;
    }
    ScHandle CreateService(ScHandle manager, const ServiceAttributes& service) override {
        calls.push_back("create");
        created.push_back(service);
        if (!openHandles.count(manager) || serviceExists) return 0;
        serviceExists = true;
        return Handle();
    }
    void CloseServiceHandle(ScHandle handle) override {
        calls.push_back("close");
        openHandles.erase(handle);
    }
};

struct FakeStore : IDriverImageStore {
    std::string systemDir = "C:\\Windows\\system32";
    std::optional<std::vector<std::uint8_t>> resource = std::vector<std::uint8_t>{'M', 'Z', 1, 2};
    std::map<std::string, std::vector<std::uint8_t>> files;
    std::set<std::string> unreadable;
    std::vector<std::string> writes;
    std::string SystemDirectory() override { return systemDir; }
    std::optional<std::vector<std::uint8_t>> DriverResource() override { return resource; }
    std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path, bool* absent) override {
        *absent = !files.count(path) && !unreadable.count(path);
        if (!files.count(path) || unreadable.count(path)) return std::nullopt;
        return files[path];
    }
    bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) override {
        writes.push_back(path);
        if (files.count(path)) return false;  // never over an existing file
        files[path] = bytes;
        return true;
    }
};

}  // namespace fakes
