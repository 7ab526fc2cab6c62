// A recording stand-in for every system operation of Setup's installer and
// driver file copy: spooler, registry, shell, setup API, desktop, kernel.
#pragma once

#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "setup/install/platform.h"

namespace setup_fakes {

using namespace setup;

// The bytes of a list of NUL-ended names up to and including the empty
// name that ends it.
inline std::string ListBytes(const char* list) {
    if (!list) return std::string();
    std::size_t length = 0;
    while (list[length] != '\0' || list[length + 1] != '\0') ++length;
    return std::string(list, length + 2);
}

// A literal's bytes without the array's own final NUL.
template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

inline std::string Text(const char* text) { return text ? std::string(text) : std::string("<null>"); }

struct Message {
    std::string text;
    std::string caption;
    std::uint32_t type;
};

struct ValueData {
    std::uint32_t type;
    std::string bytes;
    std::uint32_t size;
};

struct PrinterCall {
    PrinterRecord record;  // pointers valid only during the call
    std::string name, share, port, driver, processor;
    bool datatypeNull;
};

struct DriverCall {
    DriverRecord record;
    std::string name, driverPath, dataFile, configFile, helpFile, dependentFiles, mfg, url,
        hardwareId, provider;
};

struct FileOperationCall {
    std::uint32_t func;
    std::string from, to;
    std::uint16_t flags;
};

struct ShellLinkState {
    bool created = false;
    std::string path, description, savedAs;
    bool remember = false;
    bool released = false;
};

class FakeSystem : public ISpooler,
                   public common::IRegistry,
                   public IShell,
                   public ISetupApi,
                   public IDesktop,
                   public IKernel {
public:
    FakeSystem() {
        keys[{common::RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"}];
        keys[{common::RegRoot::CurrentUser,
              "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"}]["Programs"] = {
            common::kRegSz, std::string("D:\\Users\\someone\\Start Menu\\Programs") + '\0', 0};
    }

    InstallerPlatform Platform() { return InstallerPlatform{*this, *this, *this, *this, *this, *this}; }

    // ---- spooler
    std::string driverDirectory = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86";
    bool directoryFails = false;
    std::vector<std::uint32_t> directoryQuerySizes;
    bool GetPrinterDriverDirectoryA(std::uint8_t* buffer, std::uint32_t size, std::uint32_t* needed) override {
        directoryQuerySizes.push_back(size);
        if (directoryFails) return Fail(5);
        *needed = static_cast<std::uint32_t>(driverDirectory.size() + 1);
        if (size < *needed) return Fail(kErrorInsufficientBuffer);
        std::memcpy(buffer, driverDirectory.c_str(), driverDirectory.size() + 1);
        return true;
    }

    bool driverFails = false;
    std::vector<DriverCall> driverCalls;
    bool AddPrinterDriverA(const DriverRecord& r) override {
        driverCalls.push_back({r, Text(r.pName), Text(r.pDriverPath), Text(r.pDataFile),
                               Text(r.pConfigFile), Text(r.pHelpFile), ListBytes(r.pDependentFiles),
                               Text(r.pszMfgName), Text(r.pszOEMUrl), Text(r.pszHardwareID),
                               Text(r.pszProvider)});
        if (driverFails) return Fail(5);
        driverKnown = true;
        return true;
    }

    std::set<std::string> printers;
    std::set<std::string> ports = {"LPT1:", "LPT2:", "COM1:", "FILE:"};
    bool driverKnown = false;
    int portKnownAfterCalls = -1;   // the port in portPending becomes known at this call count
    std::string portPending;
    std::uint32_t printerError = 0;  // a failure every creation answers, when set
    std::vector<PrinterCall> printerCalls;
    bool AddPrinterA(const PrinterRecord& r) override {
        printerCalls.push_back({r, Text(r.pPrinterName), Text(r.pShareName), Text(r.pPortName),
                                Text(r.pDriverName), Text(r.pPrintProcessor), r.pDatatype == nullptr});
        if (portKnownAfterCalls >= 0 && static_cast<int>(printerCalls.size()) >= portKnownAfterCalls)
            ports.insert(portPending);
        if (printerError) return Fail(printerError);
        if (printers.count(Text(r.pPrinterName))) return Fail(kErrorPrinterAlreadyExists);
        if (!ports.count(Text(r.pPortName))) return Fail(kErrorUnknownPort);
        if (!driverKnown) return Fail(kErrorUnknownPrinterDriver);
        printers.insert(Text(r.pPrinterName));
        return true;
    }

    std::vector<std::string> defaultPrinters;
    bool SetDefaultPrinterA(const char* name) override {
        defaultPrinters.push_back(Text(name));
        return true;
    }

    // The spooler's ports as EnumPortsA level 2 lays them out: the records,
    // then their texts; null texts stay null.
    struct SpoolerPort {
        const char* name;
        const char* description;
    };
    std::vector<SpoolerPort> spoolerPorts = {{"COM1:", "Local Port"}, {"FILE:", "Local Port"},
                                            {"LPT1:", "Local Port"}, {"LPT2:", "Local Port"}};
    std::uint32_t enumPortsError = 0;       // the error of every call, when set
    bool enumPortsReadFails = false;        // the read after the size query fails
    std::vector<std::pair<std::uint32_t, std::uint32_t>> enumPortsCalls;  // level and size
    bool EnumPortsA(std::uint32_t level, std::uint8_t* buffer, std::uint32_t size, std::uint32_t* needed,
                    std::uint32_t* returned) override {
        enumPortsCalls.push_back({level, size});
        *returned = 0;
        if (enumPortsError) return Fail(enumPortsError);
        std::size_t bytes = spoolerPorts.size() * sizeof(PortInfo2Record);
        for (const SpoolerPort& port : spoolerPorts)
            for (const char* text : {port.name, port.description})
                if (text) bytes += std::strlen(text) + 1;
        *needed = spoolerPorts.empty() ? 0 : static_cast<std::uint32_t>(bytes);
        if (spoolerPorts.empty()) return true;
        if (size < bytes) return Fail(kErrorInsufficientBuffer);
        if (enumPortsReadFails) return Fail(5);
        char* texts = reinterpret_cast<char*>(buffer) + spoolerPorts.size() * sizeof(PortInfo2Record);
        auto place = [&texts](const char* text) -> const char* {
            if (!text) return nullptr;
            const char* placed = texts;
            std::memcpy(texts, text, std::strlen(text) + 1);
            texts += std::strlen(text) + 1;
            return placed;
        };
        for (std::size_t i = 0; i < spoolerPorts.size(); ++i) {
            PortInfo2Record record{};
            record.pPortName = place(spoolerPorts[i].name);
            record.pMonitorName = place(nullptr);
            record.pDescription = place(spoolerPorts[i].description);
            std::memcpy(buffer + i * sizeof(record), &record, sizeof(record));
        }
        *returned = static_cast<std::uint32_t>(spoolerPorts.size());
        return true;
    }

    // ---- registry
    using KeyId = std::pair<common::RegRoot, std::string>;
    std::map<KeyId, std::map<std::string, ValueData>> keys;
    std::map<common::RegKey, KeyId> open;
    common::RegKey nextKey = 0x100;
    std::set<std::string> failingValues;  // value names whose writing fails
    bool createKeyFails = false;
    std::vector<std::pair<KeyId, std::uint32_t>> openedWith;  // key and access
    long OpenKeyEx(common::RegRoot root, const std::string& subKey, std::uint32_t access, common::RegKey* key) override {
        openedWith.push_back({{root, subKey}, access});
        if (!keys.count({root, subKey})) return 2;
        *key = nextKey++;
        open[*key] = {root, subKey};
        return 0;
    }
    // Below an open key: the path joined with a backslash.
    long OpenSubKey(common::RegKey parent, const std::string& subKey, std::uint32_t access,
                    common::RegKey* key) override {
        auto it = open.find(parent);
        if (it == open.end()) return 6;  // ERROR_INVALID_HANDLE
        return OpenKeyEx(it->second.first, it->second.second + "\\" + subKey, access, key);
    }
    std::vector<std::uint32_t> createOptions, createAccess;
    long CreateKeyEx(common::RegRoot root, const std::string& subKey, std::uint32_t options, std::uint32_t access,
                     common::RegKey* key) override {
        createOptions.push_back(options);
        createAccess.push_back(access);
        if (createKeyFails) return 5;
        keys[{root, subKey}];
        *key = nextKey++;
        open[*key] = {root, subKey};
        return 0;
    }
    long QueryValueEx(common::RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                      std::uint32_t* size) override {
        auto& values = keys.at(open.at(key));
        auto it = values.find(name);
        if (it == values.end()) return 2;
        if (it->second.bytes.size() > *size) return 234;
        *type = it->second.type;
        std::memcpy(data, it->second.bytes.data(), it->second.bytes.size());
        *size = static_cast<std::uint32_t>(it->second.bytes.size());
        return 0;
    }
    long SetValueEx(common::RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                    std::uint32_t size) override {
        if (failingValues.count(name)) return 5;
        keys.at(open.at(key))[name] = {type, std::string(reinterpret_cast<const char*>(data), size), size};
        return 0;
    }
    std::vector<common::RegKey> closed;
    void CloseKey(common::RegKey key) override {
        closed.push_back(key);
        open.erase(key);
    }
    const ValueData* Value(common::RegRoot root, const std::string& key, const std::string& name) const {
        auto k = keys.find({root, key});
        if (k == keys.end()) return nullptr;
        auto v = k->second.find(name);
        return v == k->second.end() ? nullptr : &v->second;
    }

    // ---- shell
    int createDirectoryResult = 0;
    std::vector<std::string> createdTrees;
    int CreateDirectoryTree(const char* path) override {
        createdTrees.push_back(path);
        return createDirectoryResult;
    }
    int fileOperationResult = 0;
    std::vector<FileOperationCall> fileOperations;
    int FileOperation(std::uint32_t func, const char* from, const char* to, std::uint16_t flags) override {
        fileOperations.push_back({func, ListBytes(from), ListBytes(to), flags});
        return fileOperationResult;
    }
    std::vector<std::string> createdFolders;
    bool CreateFolder(const char* path) override {
        createdFolders.push_back(path);
        return true;
    }
    int coInitialized = 0;
    void CoInitialize() override { ++coInitialized; }

    bool linkCreateFails = false;
    bool persistFileFails = false;
    std::shared_ptr<ShellLinkState> link;
    class Link : public IShellLinkObject {
    public:
        Link(std::shared_ptr<ShellLinkState> state, bool persistFails)
            : m_state(std::move(state)), m_persistFails(persistFails) {}
        ~Link() override { m_state->released = true; }
        bool QueryPersistFile() override { return !m_persistFails; }
        void SetPath(const char* path) override { m_state->path = path; }
        void SetDescription(const char* text) override { m_state->description = text; }
        bool Save(const char* file, bool remember) override {
            m_state->savedAs = file;
            m_state->remember = remember;
            return true;
        }

    private:
        std::shared_ptr<ShellLinkState> m_state;
        bool m_persistFails;
    };
    std::unique_ptr<IShellLinkObject> CreateShellLink() override {
        if (linkCreateFails) return nullptr;
        link = std::make_shared<ShellLinkState>();
        link->created = true;
        return std::make_unique<Link>(link, persistFileFails);
    }
    struct Execution {
        std::string verb, file;
        bool noParameters, noDirectory;
        int show;
    };
    std::vector<Execution> executions;
    void Execute(const char* verb, const char* file, const char* parameters, const char* directory,
                 int show) override {
        executions.push_back({Text(verb), Text(file), parameters == nullptr, directory == nullptr, show});
    }

    // ---- setup API
    std::uint32_t oemInfError = 0;  // 0: the copy succeeds
    struct OemCall {
        std::string source;
        bool noMedia;
        std::uint32_t mediaType, copyStyle, destSize;
    };
    std::vector<OemCall> oemCalls;
    bool CopyOEMInf(const char* source, const char* media, std::uint32_t mediaType, std::uint32_t copyStyle,
                    char* destName, std::uint32_t destSize) override {
        oemCalls.push_back({Text(source), media == nullptr, mediaType, copyStyle, destSize});
        if (oemInfError) return Fail(oemInfError);
        std::strncpy(destName, "C:\\WINDOWS\\INF\\oem7.inf", destSize - 1);
        return true;
    }

    // ---- desktop
    std::vector<Message> messages;
    int ShowMessage(const char* text, const char* caption, std::uint32_t type) override {
        messages.push_back({text, caption, type});
        return 1;
    }
    int waitDepth = 0;
    int waitBegun = 0;
    bool waitUnbalanced = false;
    int waitDepthAtExit = -1;
    void BeginWaitCursor() override {
        ++waitDepth;
        ++waitBegun;
    }
    void EndWaitCursor() override {
        if (--waitDepth < 0) waitUnbalanced = true;
    }

    // ---- kernel
    std::uint32_t lastError = 0;
    std::uint32_t GetLastError() override { return lastError; }
    std::vector<std::uint32_t> sleeps;
    void Sleep(std::uint32_t ms) override { sleeps.push_back(ms); }
    std::string windowsDirectory = "E:\\WINDOWS";
    std::string WindowsDirectory() override { return windowsDirectory; }
    std::vector<std::uint32_t> exits;
    void ExitProcess(std::uint32_t status) override {
        exits.push_back(status);
        waitDepthAtExit = waitDepth;
    }

private:
    bool Fail(std::uint32_t error) {
        lastError = error;
        return false;
    }
};

}  // namespace setup_fakes
