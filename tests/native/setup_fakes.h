// A recording stand-in for every system operation of Setup's installer and
// driver file copy, and of the uninstaller: spooler, registry, shell, setup
// API, desktop, kernel. The removals the uninstaller asks for are logged in
// `removals`, in order, as "<kind> <name>"; `refusals` makes any of them
// fail with a code.
#pragma once

#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "installation/platform.h"

namespace setup_fakes {

using namespace installation;

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
        drivers.insert(Text(r.pName));
        return true;
    }

    std::set<std::string> printers;
    std::set<std::string> ports = {"LPT1:", "LPT2:", "COM1:", "FILE:"};
    std::set<std::string> drivers;  // the spooler's printer drivers
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
        if (!drivers.count(Text(r.pDriverName))) return Fail(kErrorUnknownPrinterDriver);
        printers.insert(Text(r.pPrinterName));
        printerDrivers[Text(r.pPrinterName)] = Text(r.pDriverName);
        return true;
    }

    std::vector<std::string> defaultPrinters;
    bool SetDefaultPrinterA(const char* name) override {
        defaultPrinters.push_back(Text(name));
        return true;
    }

    std::map<std::string, std::string> printerDrivers;  // queue in `printers` -> its driver
    bool listFails = false;
    std::uint32_t listError = 5;
    bool ListPrinters(std::vector<PrinterEntry>* list) override {
        if (listFails) return Fail(listError);
        list->clear();
        for (const std::string& name : printers) list->push_back({name, printerDrivers[name]});
        return true;
    }
    bool ListDrivers(std::vector<std::string>* list) override {
        if (listFails) return Fail(listError);
        list->assign(drivers.begin(), drivers.end());
        return true;
    }
    bool DeleteQueue(const char* name) override {
        if (Refused("queue " + Text(name))) return false;
        if (!printers.erase(Text(name))) return Fail(kErrorInvalidPrinterName);
        return true;
    }
    std::vector<std::uint32_t> driverDeleteFlags;
    bool DeleteDriver(const char* name, std::uint32_t flags) override {
        driverDeleteFlags.push_back(flags);
        if (Refused("driver " + Text(name))) return false;
        if (!drivers.count(Text(name))) return Fail(kErrorUnknownPrinterDriver);
        for (const std::string& printer : printers)
            if (printerDrivers[printer] == Text(name)) return Fail(3001);  // ERROR_PRINTER_DRIVER_IN_USE
        drivers.erase(Text(name));
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
    long DeleteValue(common::RegKey key, const std::string& name) override {
        if (Refused("value " + name)) return static_cast<long>(lastError);
        return keys.at(open.at(key)).erase(name) ? 0 : 2;
    }
    long DeleteKey(common::RegRoot root, const std::string& subKey) override {
        if (Refused("key " + subKey)) return static_cast<long>(lastError);
        return keys.erase({root, subKey}) ? 0 : 2;
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
        std::string directory;
    };
    std::vector<Execution> executions;
    void Execute(const char* verb, const char* file, const char* parameters, const char* directory,
                 int show) override {
        executions.push_back(
            {Text(verb), Text(file), parameters == nullptr, directory == nullptr, show, Text(directory)});
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
    std::map<std::string, std::string> infOriginalNames;  // stored INF (a file in `files`) -> its original name
    std::string OriginalInfName(const char* path) override {
        auto it = infOriginalNames.find(Text(path));
        return it == infOriginalNames.end() ? std::string() : it->second;
    }
    std::vector<std::uint32_t> infUninstallFlags;
    bool UninstallOEMInf(const char* name, std::uint32_t flags) override {
        infUninstallFlags.push_back(flags);
        if (Refused("inf " + Text(name))) return false;
        const std::string path = windowsDirectory + "\\inf\\" + Text(name);
        if (!files.erase(path)) return Fail(kErrorFileNotFound);
        infOriginalNames.erase(path);
        return true;
    }

    // ---- desktop
    std::vector<Message> messages;
    int messageAnswer = 1;  // IDOK
    int ShowMessage(const char* text, const char* caption, std::uint32_t type) override {
        messages.push_back({text, caption, type});
        return messageAnswer;
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

    // Running status monitors by window caption: the n-th (from 0) has the
    // window 0x77 + n and the process 4242 + n.
    std::vector<std::string> monitorCaptions = {"KLR VX 7 Ember - Status Monitor"};
    std::set<std::string> runningMonitors;
    bool monitorEndsOnExit = true;
    int MonitorIndex(const std::string& caption) const {
        for (std::size_t i = 0; i < monitorCaptions.size(); ++i)
            if (monitorCaptions[i] == caption && runningMonitors.count(caption)) return static_cast<int>(i);
        return -1;
    }
    WindowHandle FindTopWindow(const char* cls, const char* title) override {
        const int index = Text(cls) == "#32770" ? MonitorIndex(Text(title)) : -1;
        return index < 0 ? 0 : 0x77 + index;
    }
    std::uint32_t WindowProcessId(WindowHandle window) override {
        const std::size_t index = window - 0x77;
        return index < monitorCaptions.size() && runningMonitors.count(monitorCaptions[index]) ? 4242 + index : 0;
    }
    bool PostCommand(WindowHandle window, std::uint32_t id) override {
        if (Refused("command " + std::to_string(id))) return false;
        const std::size_t index = window - 0x77;
        if (index < monitorCaptions.size() && id == 104 && monitorEndsOnExit) runningMonitors.erase(monitorCaptions[index]);
        return true;
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

    // Files and folders by full path (a folder holds what starts with its
    // path and a backslash).
    std::set<std::string> files, folders;
    bool FileExists(const char* path) override { return files.count(Text(path)) != 0; }
    // The running program's file: it cannot be deleted, only renamed.
    std::string programPath;
    bool RemoveFile(const char* path) override {
        if (Refused("file " + Text(path))) return false;
        if (Text(path) == programPath && files.count(programPath)) return Fail(kErrorAccessDenied);
        return files.erase(Text(path)) ? true : Fail(kErrorFileNotFound);
    }
    bool RenameFile(const char* from, const char* to) override {
        if (Refused("rename " + Text(from) + " to " + Text(to))) return false;
        if (!files.count(Text(from))) return Fail(kErrorFileNotFound);
        if (files.count(Text(to))) return Fail(kErrorAlreadyExists);
        files.erase(Text(from));
        files.insert(Text(to));
        if (programPath == Text(from)) programPath = Text(to);
        return true;
    }
    std::string ProgramPath() override { return programPath; }
    std::uint32_t uniqueNumber = 0x1A2B;
    std::uint32_t UniqueNumber() override { return uniqueNumber; }
    std::map<std::string, std::string> companies;  // file -> its version resource's CompanyName
    std::string FileCompany(const char* path) override {
        auto it = companies.find(Text(path));
        return it == companies.end() ? std::string() : it->second;
    }
    std::set<std::string> filesAtRestart;
    bool RemoveFileAtRestart(const char* path) override {
        if (Refused("at restart " + Text(path))) return false;
        filesAtRestart.insert(Text(path));
        return true;
    }
    // Windows starts again: every program has ended and the files
    // scheduled for deletion go.
    void Restart() {
        for (const std::string& file : filesAtRestart) files.erase(file);
        filesAtRestart.clear();
        runningMonitors.clear();
        programPath.clear();
    }
    bool RemoveFolder(const char* path) override {
        if (Refused("folder " + Text(path))) return false;
        if (!folders.count(Text(path))) return Fail(kErrorFileNotFound);
        const std::string inside = Text(path) + "\\";
        for (const auto* names : {&files, &folders})
            for (const std::string& name : *names)
                if (name.compare(0, inside.size(), inside) == 0) return Fail(145);  // ERROR_DIR_NOT_EMPTY
        folders.erase(Text(path));
        return true;
    }
    // Every file directly in the pattern's folder (the caller filters).
    std::vector<std::string> FindFiles(const char* pattern) override {
        const std::string folder = Text(pattern).substr(0, Text(pattern).rfind('\\') + 1);
        std::vector<std::string> names;
        for (const std::string& file : files)
            if (file.compare(0, folder.size(), folder) == 0 && file.find('\\', folder.size()) == std::string::npos)
                names.push_back(file.substr(folder.size()));
        return names;
    }
    class ProcessWait : public IProcessWait {
    public:
        ProcessWait(FakeSystem& system, std::size_t index) : m_system(system), m_index(index) {}
        bool WaitForEnd(std::uint32_t ms) override {
            m_system.removals.push_back("wait " + std::to_string(ms));
            return !m_system.runningMonitors.count(m_system.monitorCaptions[m_index]);
        }

    private:
        FakeSystem& m_system;
        std::size_t m_index;
    };
    std::unique_ptr<IProcessWait> OpenProcessToWait(std::uint32_t id) override {
        if (Refused("open " + std::to_string(id))) return nullptr;
        return std::make_unique<ProcessWait>(*this, id - 4242);
    }

    std::vector<std::string> removals;
    std::map<std::string, std::uint32_t> refusals;

private:
    bool Fail(std::uint32_t error) {
        lastError = error;
        return false;
    }
    // Logs the removal; true (with its code) when it is to fail.
    bool Refused(const std::string& what) {
        removals.push_back(what);
        auto it = refusals.find(what);
        if (it == refusals.end()) return false;
        lastError = it->second;
        return true;
    }
};

}  // namespace setup_fakes
