// Scripted fakes of what the monitor talks to: the status window, the
// spooler, the registry, the parallel port access and the record heap; and
// a rig that wires them to a Monitor the way the status dialog does.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "catalogue/model_catalogue.h"
#include "statmon/printer/discovery.h"
#include "statmon/ui/monitor.h"

namespace monfakes {

using namespace statmon;

inline const char* PictureName(Picture p) {
    switch (p) {
        case Picture::Error: return "error";
        case Picture::Info: return "info";
        default: return "none";
    }
}

struct FakeWindow : IStatusWindow {
    std::string message = "Searching the printer...";  // m_strMessage
    std::string control = "Error Message...";          // text of control 1005
    std::string title = "Searching...";
    Picture picture = Picture::None;
    int pictureLoads = 0;
    int titleWrites = 0;
    bool visible = false;
    bool allowShow = false;
    int shows = 0, hides = 0, restarts = 0, reads = 0, writes = 0;
    std::set<unsigned> timers;  // armed window timers
    int arms = 0, kills = 0;
    bool armFails = false, killFails = false;
    std::function<void()> onRestart;

    void ReadControls() override { ++reads; message = control; }
    void WriteControls() override { ++writes; control = message; }
    std::string& Message() override { return message; }
    void SetTitle(const std::string& t) override { ++titleWrites; title = t; }
    void ShowPicture(Picture p) override { ++pictureLoads; picture = p; }
    void Show() override { ++shows; allowShow = true; visible = true; }
    void Hide() override { ++hides; visible = false; }
    bool AllowShow() const override { return allowShow; }
    void SetAllowShow(bool allow) override { allowShow = allow; }
    void Restart() override { ++restarts; if (onRestart) onRestart(); }
    unsigned ArmPortTimer() override {
        ++arms;
        if (armFails) return 0;
        timers.insert(1);  // SetTimer with id 1 replaces a running timer 1
        return 1;
    }
    bool KillPortTimer(unsigned id) override {
        ++kills;
        if (killFails || !timers.count(id)) return false;
        timers.erase(id);
        return true;
    }
};

// Records are laid out the fake's own way, each larger than the 10-byte
// scratch buffer as the real ones are: PRINTER_INFO_5 as an 8-byte header
// then the port name and a zero; PRINTER_INFO_2 as Status, cJobs and 8
// spare bytes; JOB_INFO_2 as 16 bytes each, Status first.
struct FakeSpooler : ISpooler {
    bool installed = true;
    // The rights on the queue of the user the monitor runs as (by default
    // an administrator's); asking for more is refused with access denied.
    std::uint32_t grantedAccess = 0xF000C;
    std::string queueName;  // name asked for by the last open
    PrinterDefaults lastDefaults;
    bool defaultsGiven = false;
    std::string portName = "LPT1:";
    std::uint32_t status = 0;
    std::vector<std::uint32_t> jobs;
    // Failure scripting.
    bool level5SizeQuerySucceeds = false;
    std::uint32_t level5SizeQueryError = 122;
    bool level5ReadFails = false;
    std::uint32_t level2SizeQueryError = 122;
    bool level2ReadFails = false;
    std::uint32_t enumSizeQueryError = 122;
    bool enumReadFails = false;
    std::int64_t cJobsOverride = -1;  // cJobs reported apart from jobs.size()

    std::uint32_t lastError = 0;
    PrinterHandle nextHandle = 0x100;
    std::set<PrinterHandle> open;
    std::vector<PrinterHandle> closed;
    int opens = 0;
    std::vector<std::string> calls;  // "open", "get5", "get2", "enum", "close"
    std::vector<std::uint32_t> enumCounts;
    std::vector<std::uint32_t> querySizes;  // buffer sizes of the size queries

    bool OpenPrinterA(const std::string& name, PrinterHandle* printer,
                      const PrinterDefaults* defaults) override {
        calls.push_back("open");
        ++opens;
        queueName = name;
        defaultsGiven = defaults != nullptr;
        if (defaults) lastDefaults = *defaults;
        if (!installed || name != catalogue::Target().DisplayName) {
            lastError = 1801;  // ERROR_INVALID_PRINTER_NAME
            return false;
        }
        if (defaults && (defaults->DesiredAccess & ~grantedAccess)) {
            lastError = 5;  // ERROR_ACCESS_DENIED
            return false;
        }
        *printer = nextHandle++;
        open.insert(*printer);
        return true;
    }

    bool Fill(std::uint8_t* buffer, std::uint32_t size, const std::vector<std::uint8_t>& record,
              std::uint32_t* needed, std::uint32_t sizeError) {
        *needed = static_cast<std::uint32_t>(record.size());
        if (size < record.size()) {
            querySizes.push_back(size);
            lastError = sizeError;
            return false;
        }
        std::memcpy(buffer, record.data(), record.size());
        lastError = 0;
        return true;
    }

    bool GetPrinterA(PrinterHandle printer, std::uint32_t level, std::uint8_t* buffer,
                     std::uint32_t size, std::uint32_t* needed) override {
        calls.push_back(level == 5 ? "get5" : "get2");
        if (!open.count(printer)) { lastError = 6; return false; }
        std::vector<std::uint8_t> record(8, 0);
        if (level == 5) {
            if (level5SizeQuerySucceeds && size == kSizeQueryBytes) { lastError = 0; *needed = 0; return true; }
            if (size >= 8 + portName.size() + 1 && level5ReadFails) { lastError = 5; return false; }
            record.insert(record.end(), portName.begin(), portName.end());
            record.push_back(0);
            return Fill(buffer, size, record, needed, level5SizeQueryError);
        }
        if (size >= 16 && level2ReadFails) { lastError = 5; return false; }
        std::uint32_t fields[4] = {status, cJobsOverride >= 0 ? static_cast<std::uint32_t>(cJobsOverride)
                                                             : static_cast<std::uint32_t>(jobs.size()), 0, 0};
        record.assign(sizeof(fields), 0);
        std::memcpy(record.data(), fields, sizeof(fields));
        return Fill(buffer, size, record, needed, level2SizeQueryError);
    }

    bool EnumJobsA(PrinterHandle printer, std::uint32_t firstJob, std::uint32_t count,
                   std::uint32_t level, std::uint8_t* buffer, std::uint32_t size,
                   std::uint32_t* needed, std::uint32_t* returned) override {
        calls.push_back("enum");
        enumCounts.push_back(count);
        *returned = 0;
        if (!open.count(printer) || level != 2 || firstJob != 0) { lastError = 87; return false; }
        std::uint32_t n = count < jobs.size() ? count : static_cast<std::uint32_t>(jobs.size());
        std::vector<std::uint8_t> record(16 * n, 0);
        for (std::uint32_t i = 0; i < n; ++i) std::memcpy(&record[16 * i], &jobs[i], 4);
        if (size >= record.size() && size > kSizeQueryBytes && enumReadFails) { lastError = 5; return false; }
        if (!Fill(buffer, size, record, needed, enumSizeQueryError)) return false;
        *returned = n;
        return true;
    }

    bool ClosePrinter(PrinterHandle printer) override {
        calls.push_back("close");
        closed.push_back(printer);
        return open.erase(printer) != 0;
    }
    std::uint32_t LastError() const override { return lastError; }

    bool DecodePrinterInfo5(const std::uint8_t* buffer, std::uint32_t size,
                            PrinterInfo5* info) const override {
        if (size < 9) return false;
        const char* text = reinterpret_cast<const char*>(buffer + 8);
        info->pPortName.assign(text, strnlen(text, size - 8));
        return true;
    }
    bool DecodePrinterInfo2(const std::uint8_t* buffer, std::uint32_t size,
                            PrinterInfo2* info) const override {
        if (size < 16) return false;
        std::memcpy(&info->Status, buffer, 4);
        std::memcpy(&info->cJobs, buffer + 4, 4);
        return true;
    }
    bool DecodeJobInfo2(const std::uint8_t* buffer, std::uint32_t size, std::uint32_t index,
                        JobInfo2* info) const override {
        if (16u * (index + 1) > size) return false;
        std::memcpy(&info->Status, buffer + 16 * index, 4);
        return true;
    }
};

struct FakeRegistry : common::IRegistryReader {
    // key path (under HKLM) -> value name -> bytes
    std::map<std::string, std::map<std::string, std::vector<std::uint8_t>>> keys;
    long openError = 0;  // forced error of every open
    std::uint32_t grantedAccess = 0xF003F;  // more is refused with access denied
    std::vector<std::uint32_t> accesses;
    std::vector<std::uint32_t> typesPassed;
    std::map<common::RegKey, std::string> openKeys;
    common::RegKey nextKey = 0x10;
    int closes = 0;

    long OpenSubKey(common::RegKey, const std::string&, std::uint32_t, common::RegKey*) override {
        return 2;  // the monitor opens its keys from the roots
    }
    long OpenKeyEx(common::RegRoot root, const std::string& subKey, std::uint32_t access,
                   common::RegKey* key) override {
        accesses.push_back(access);
        if (openError) return openError;
        if (access & ~grantedAccess) return 5;
        if (root != common::RegRoot::LocalMachine || !keys.count(subKey)) return 2;
        *key = nextKey++;
        openKeys[*key] = subKey;
        return 0;
    }
    long QueryValueEx(common::RegKey key, const std::string& valueName, std::uint32_t* type,
                      std::uint8_t* data, std::uint32_t* size) override {
        typesPassed.push_back(type ? *type : 0xFFFFFFFF);
        auto k = openKeys.find(key);
        if (k == openKeys.end()) return 6;
        auto& values = keys[k->second];
        auto v = values.find(valueName);
        if (v == values.end()) return 2;
        std::uint32_t n = static_cast<std::uint32_t>(v->second.size());
        if (*size < n) { *size = n; return 234; }  // ERROR_MORE_DATA
        std::memcpy(data, v->second.data(), n);
        *size = n;
        if (type) *type = common::kRegMultiSz;
        return 0;
    }
    void CloseKey(common::RegKey key) override { ++closes; openKeys.erase(key); }

    // The spooler's published port name, as a multi-string.
    void Publish(const std::string& port) {
        std::vector<std::uint8_t> bytes(port.begin(), port.end());
        bytes.push_back(0);
        bytes.push_back(0);
        keys[DsSpoolerKey()]["portName"] = bytes;
    }
    void Unpublish() { keys[DsSpoolerKey()].erase("portName"); }
    void RemoveKey() { keys.erase(DsSpoolerKey()); }
};

struct FakePort : IParallelPort {
    int platform = 2;
    int findResult = 0;
    bool lookupResult = true;
    int status = PORT_STATUS_READY;
    std::vector<std::string> calls;
    std::vector<std::string> keysSeen;  // g_strPortKey at FindPortDeviceId

    int GetPlatform() override { calls.push_back("platform"); return platform; }
    int OpenPortDriver() override { calls.push_back("driver"); return 0; }
    int FindPortDeviceId() override {
        calls.push_back("find");
        keysSeen.push_back(g_strPortKey);
        return findResult;
    }
    bool LookupStatusPort() override { calls.push_back("lookup"); return lookupResult; }
    int ReadPortStatus() override { calls.push_back("read"); return status; }
    void ClosePortDriver() override { calls.push_back("close"); }
    void Reconnect() override { calls.push_back("reconnect"); }
};

struct FakeHeap : ISpoolHeap {
    bool fail = false;
    std::vector<std::string> lines;
    std::unique_ptr<std::uint8_t[]> Allocate(std::uint32_t size) override {
        if (fail) return nullptr;
        return std::unique_ptr<std::uint8_t[]>(new std::uint8_t[size]());
    }
    void WriteLine(const std::string& line) override { lines.push_back(line); }
};

// The monitor wired as the tick worker runs it: the restart command opens
// the queue again; the worker ticks every second whether or not a queue is
// open.
struct Rig {
    FakeWindow window;
    FakeSpooler spooler;
    FakeRegistry registry;
    FakePort port;
    FakeHeap heap;
    Monitor monitor{window, spooler, registry, port};

    Rig() {
        monitor.SetSpoolHeap(heap);
        window.onRestart = [this] { monitor.Restart(); };
    }

    // The worker's first tick: port state reset, the queue opened.
    bool Init() {
        monitor.ResetPortState();
        return monitor.OpenModelPrinter();
    }
    // The show command.
    void ShowCommand() {
        window.SetAllowShow(true);
        monitor.BeginSearching();
        window.visible = true;
        window.Restart();
    }
    // One second: timer 1 (when armed) then the status tick.
    void Second() {
        if (window.timers.count(1)) monitor.OnPortTimer();
        monitor.OnStatusTick();
    }
    void Seconds(int n) { for (int i = 0; i < n; ++i) Second(); }
    // Moves the queue: the spooler reports and publishes the new port.
    void Move(const std::string& port) {
        spooler.portName = port;
        registry.Publish(port);
    }
};

}  // namespace monfakes
