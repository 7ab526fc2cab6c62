#include "statmon/printer/port_lookup.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "native/resource_list.h"
#include "statmon/printer/parallel_port.h"

using namespace statmon;
using fakes::ResourceList;

namespace {

std::optional<std::uint64_t> Walk(const std::vector<std::uint8_t>& bytes) {
    // A copy of exactly the bytes, so the sanitizer sees any read past them.
    std::vector<std::uint8_t> exact(bytes);
    return FindFirstPortRange(exact.data(), exact.size());
}

// --- Resource list walk ---

TEST(ResourceListWalk, FirstRangeOfAnyFullDescriptorIsTaken) {
    ResourceList first(1), afterInterrupt(1), later(3), wide(1);
    first.Full(3).Port(0x378, 8).Interrupt(7).Port(0x778, 8);
    afterInterrupt.Full(2).Interrupt(7).Port(0x278, 8);
    later.Full(1).Interrupt(5).Full(0).Full(2).Memory(0xA0000).Port(0x3BC, 4);
    wide.Full(1).Port(0x1234567800000378ull, 8);  // the start is 64 bits
    EXPECT_EQ(Walk(first.bytes()), 0x378u);
    EXPECT_EQ(Walk(afterInterrupt.bytes()), 0x278u);
    EXPECT_EQ(Walk(later.bytes()), 0x3BCu);
    EXPECT_EQ(Walk(wide.bytes()), 0x1234567800000378ull);
}

TEST(ResourceListWalk, NoRange) {
    ResourceList list(1);
    list.Full(2).Interrupt(7).Memory(0xFED00000);
    EXPECT_EQ(Walk(list.bytes()), std::nullopt);
    EXPECT_EQ(Walk(ResourceList(0).bytes()), std::nullopt);
    EXPECT_EQ(Walk({}), std::nullopt);
    EXPECT_EQ(FindFirstPortRange(nullptr, 0), std::nullopt);
}

TEST(ResourceListWalk, CountsClaimingMoreThanTheBytesHold) {
    ResourceList fulls(1000);
    fulls.Full(1).Interrupt(7);
    EXPECT_EQ(Walk(fulls.bytes()), std::nullopt);

    ResourceList partials(1);
    partials.Full(0xFFFFFFFF).Interrupt(7).Memory(0);
    EXPECT_EQ(Walk(partials.bytes()), std::nullopt);

    // A range cut short by the end of the bytes is not used.
    ResourceList cut(1);
    cut.Full(1).Port(0x378, 8);
    std::vector<std::uint8_t> bytes = cut.bytes();
    bytes.pop_back();
    EXPECT_EQ(Walk(bytes), std::nullopt);

    std::vector<std::uint8_t> header = ResourceList(1).bytes();
    header.resize(10);
    EXPECT_EQ(Walk(header), std::nullopt);
}

TEST(ResourceListWalk, DeviceSpecificDataIsSkipped) {
    // Data that looks like a port range must not be taken for one.
    ResourceList inside(1);
    inside.Full(1).Port(0x1111, 1);
    std::vector<std::uint8_t> lure = inside.bytes();
    lure.erase(lure.begin(), lure.begin() + 20);  // one partial descriptor
    ResourceList list(2);
    list.Full(1).DeviceSpecific(lure).Full(1).Port(0x378, 8);
    EXPECT_EQ(Walk(list.bytes()), 0x378u);

    ResourceList tooLong(1);
    tooLong.Full(1).DeviceSpecific({1, 2, 3});
    std::vector<std::uint8_t> bytes = tooLong.bytes();
    bytes.resize(bytes.size() - 1);
    EXPECT_EQ(Walk(bytes), std::nullopt);
}

// --- Registry lookup ---

struct FakeRegistry : common::IRegistryReader {
    std::map<std::string, std::vector<std::uint8_t>> allocConfig;  // key path -> value
    std::vector<std::string> opened;
    std::vector<std::uint32_t> accesses;
    std::vector<common::RegKey> open;
    long OpenSubKey(common::RegKey, const std::string&, std::uint32_t, common::RegKey*) override {
        return 2;  // the monitor opens its keys from the roots
    }
    long OpenKeyEx(common::RegRoot root, const std::string& subKey, std::uint32_t access,
                   common::RegKey* key) override {
        opened.push_back(subKey);
        accesses.push_back(access);
        if (root != common::RegRoot::LocalMachine) return 2;
        auto it = allocConfig.find(subKey);
        if (it == allocConfig.end()) return 2;
        *key = reinterpret_cast<common::RegKey>(&it->second);
        open.push_back(*key);
        return 0;
    }
    long QueryValueEx(common::RegKey key, const std::string& valueName, std::uint32_t* type,
                      std::uint8_t* data, std::uint32_t* size) override {
        const auto& value = *reinterpret_cast<std::vector<std::uint8_t>*>(key);
        if (valueName != "AllocConfig" || value.empty()) return 2;
        *type = 8;
        const std::uint32_t needed = static_cast<std::uint32_t>(value.size());
        if (*size < needed) {
            *size = needed;
            return 234;  // ERROR_MORE_DATA
        }
        std::memcpy(data, value.data(), value.size());
        *size = needed;
        return 0;
    }
    void CloseKey(common::RegKey key) override {
        auto it = std::find(open.begin(), open.end(), key);
        ASSERT_NE(it, open.end());
        open.erase(it);
    }
};

const char kParportKey[] = "SYSTEM\\CurrentControlSet\\Enum\\ACPI\\PNP0401\\1\\Control";

class LookupStatusPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_strPortKey = "ACPI\\PNP0401\\1";
        g_wStatusPort = 0x1234;
    }
    void TearDown() override {
        g_strPortKey.clear();
        g_wStatusPort = 0;
        EXPECT_TRUE(registry.open.empty());
    }
    FakeRegistry registry;
};

TEST_F(LookupStatusPortTest, StatusRegisterIsTheLowSixteenBitsOfBasePlusOne) {
    ResourceList list(1);
    list.Full(3).Port(0x378, 8).Interrupt(7).Port(0x778, 8);
    registry.allocConfig[kParportKey] = list.bytes();
    EXPECT_TRUE(LookupStatusPort(registry));
    EXPECT_EQ(g_wStatusPort, 0x379);
    EXPECT_EQ(registry.accesses, (std::vector<std::uint32_t>{kMaximumAllowed}));
    registry.allocConfig[kParportKey] = ResourceList(1).Full(1).Port(0x1FFFF, 8).bytes();
    EXPECT_TRUE(LookupStatusPort(registry));
    EXPECT_EQ(g_wStatusPort, 0x0000);
}

TEST_F(LookupStatusPortTest, MissingKeyValueRangeOrOversizedValueKeepsTheAddress) {
    EXPECT_FALSE(LookupStatusPort(registry));  // no key
    registry.allocConfig[kParportKey] = {};
    EXPECT_FALSE(LookupStatusPort(registry));  // no value
    registry.allocConfig[kParportKey] = ResourceList(1).Full(1).Interrupt(7).bytes();
    EXPECT_FALSE(LookupStatusPort(registry));  // no range
    ResourceList big(40);
    for (int i = 0; i < 39; ++i) big.Full(0);
    big.Full(1).Port(0x378, 8);
    ASSERT_GT(big.bytes().size(), 512u);
    registry.allocConfig[kParportKey] = big.bytes();
    EXPECT_FALSE(LookupStatusPort(registry));  // larger than the buffer: not read
    EXPECT_EQ(g_wStatusPort, 0x1234);
}

TEST_F(LookupStatusPortTest, UnmatchedOrEmptyPortKey) {
    g_strPortKey = "(LPT2)";
    registry.allocConfig[kParportKey] = ResourceList(1).Full(1).Port(0x378, 8).bytes();
    EXPECT_FALSE(LookupStatusPort(registry));
    EXPECT_EQ(registry.opened,
              (std::vector<std::string>{"SYSTEM\\CurrentControlSet\\Enum\\(LPT2)\\Control"}));
    g_strPortKey.clear();
    EXPECT_FALSE(LookupStatusPort(registry));
    EXPECT_EQ(registry.opened.size(), 1u);  // the empty key is not looked up
}

// --- Device walk ---

struct FakeObject : IWmiObject {
    std::map<std::string, std::optional<std::string>> values;
    int* released;
    FakeObject(std::map<std::string, std::optional<std::string>> v, int* r)
        : values(std::move(v)), released(r) {}
    ~FakeObject() override { ++*released; }
    std::optional<std::string> GetText(const std::string& property) override {
        auto it = values.find(property);
        return it == values.end() ? std::nullopt : it->second;
    }
};

struct FakeWmi : IWmi {
    using Device = std::map<std::string, std::optional<std::string>>;
    std::vector<Device> devices;
    std::map<std::string, HResult> results;  // step -> HRESULT (default S_OK)
    std::vector<std::string> calls;
    std::size_t next = 0;
    int released = 0;
    bool timesOut = false;  // the next device after the list never comes

    HResult Step(const std::string& name) {
        calls.push_back(name);
        auto it = results.find(name);
        return it == results.end() ? 0 : it->second;
    }
    HResult Initialize() override { return Step("init"); }
    HResult InitializeSecurity() override { return Step("security"); }
    HResult CreateLocator() override { return Step("locator"); }
    HResult ConnectServer(const std::string& ns) override { return Step("connect " + ns); }
    HResult SetProxyBlanket() override { return Step("blanket"); }
    HResult ExecQuery(const std::string& language, const std::string& query, std::int32_t flags) override {
        return Step("query " + language + " " + query + " " + std::to_string(flags));
    }
    std::unique_ptr<IWmiObject> Next() override {
        if (next >= devices.size()) return nullptr;
        return std::make_unique<FakeObject>(devices[next++], &released);
    }
    bool TimedOut() const override { return timesOut && next >= devices.size(); }
    void ReleaseAll() override { calls.push_back("release"); }
    void Uninitialize() override { calls.push_back("uninit"); }
};

const std::vector<std::string> kFullRun = {
    "init", "security", "locator", "connect ROOT\\CIMV2", "blanket",
    "query WQL SELECT * FROM Win32_PnPEntity 48", "release", "uninit"};

class FindPortDeviceIdTest : public ::testing::Test {
protected:
    void SetUp() override { g_strPortKey = "(LPT1)"; }
    void TearDown() override { g_strPortKey.clear(); }
    FakeWmi wmi;
};

TEST_F(FindPortDeviceIdTest, MatchingDeviceGivesItsId) {
    wmi.devices = {{{"Name", "Communications Port (COM1)"}, {"PNPDeviceID", "ACPI\\PNP0501\\1"}},
                   {{"Name", "Printer Port (LPT1)"}, {"PNPDeviceID", "ACPI\\PNP0401\\1"}},
                   {{"Name", "Wine PnP Device"}, {"PNPDeviceID", "ROOT\\X\\0"}}};
    EXPECT_EQ(FindPortDeviceId(wmi), 0);
    EXPECT_EQ(g_strPortKey, "ACPI\\PNP0401\\1");
    EXPECT_EQ(wmi.calls, kFullRun);
    EXPECT_EQ(wmi.released, 3);
}

TEST_F(FindPortDeviceIdTest, AnEnumerationThatStopsAnsweringIsNotUsable) {
    wmi.devices = {{{"Name", "Communications Port (COM1)"}, {"PNPDeviceID", "ACPI\\PNP0501\\1"}}};
    wmi.timesOut = true;
    EXPECT_EQ(FindPortDeviceId(wmi), 1);
    EXPECT_EQ(wmi.calls, kFullRun) << "released and uninitialised all the same";
}

TEST_F(FindPortDeviceIdTest, WalkOutcomes) {
    struct Case {
        const char* what;
        std::vector<FakeWmi::Device> devices;
        HResult security;
        const char* key;  // g_strPortKey afterwards, from "(LPT1)"
    };
    const Case cases[] = {
        {"key replaced mid-walk is used for the rest",
         {{{"Name", "Printer Port (LPT1)"}, {"PNPDeviceID", "ACPI\\PNP0401\\1"}},
          {{"Name", "Printer Port (LPT1) twin"}, {"PNPDeviceID", "ROOT\\WRONG"}},
          {{"Name", "Child of ACPI\\PNP0401\\1"}, {"PNPDeviceID", "LPTENUM\\PRINTER"}}},
         0, "LPTENUM\\PRINTER"},
        {"non-text names are skipped",
         {{{"Name", std::nullopt}, {"PNPDeviceID", "ROOT\\NULLNAME"}},
          {{"PNPDeviceID", "ROOT\\NONAME"}},
          {{"Name", "ECP Printer Port (LPT1)"}, {"PNPDeviceID", "ACPI\\PNP0401\\4"}}},
         0, "ACPI\\PNP0401\\4"},
        {"security already set goes on",
         {{{"Name", "Printer Port (LPT1)"}, {"PNPDeviceID", "ACPI\\PNP0401\\1"}}}, kRpcETooLate,
         "ACPI\\PNP0401\\1"},
        {"no match", {{{"Name", "Wine PnP Device"}}, {{"Name", "Printer Port (LPT2)"}}}, 0, "(LPT1)"},
        {"match without a text id",
         {{{"Name", "Printer Port (LPT1)"}, {"PNPDeviceID", std::nullopt}},
          {{"Name", "Printer Port (LPT1)"}, {"PNPDeviceID", ""}}},
         0, "(LPT1)"},
        {"case sensitive", {{{"Name", "Printer Port (lpt1)"}, {"PNPDeviceID", "ACPI\\PNP0401\\1"}}}, 0,
         "(LPT1)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_strPortKey = "(LPT1)";
        FakeWmi w;
        w.devices = c.devices;
        w.results["security"] = c.security;
        EXPECT_EQ(FindPortDeviceId(w), 0);
        EXPECT_EQ(g_strPortKey, c.key);
        EXPECT_EQ(w.released, static_cast<int>(c.devices.size()));
    }
}

TEST_F(FindPortDeviceIdTest, EmptyKeyMatchesNothingAndAsksNothing) {
    g_strPortKey.clear();
    wmi.devices = {{{"Name", "Printer Port (LPT1)"}, {"PNPDeviceID", "ACPI\\PNP0401\\1"}}};
    EXPECT_EQ(FindPortDeviceId(wmi), 0);
    EXPECT_EQ(g_strPortKey, "");
    EXPECT_TRUE(wmi.calls.empty());
}

TEST_F(FindPortDeviceIdTest, SecurityAlreadySetGoesOn) {
    wmi.results["security"] = kRpcETooLate;
    wmi.devices = {{{"Name", "Printer Port (LPT1)"}, {"PNPDeviceID", "ACPI\\PNP0401\\1"}}};
    EXPECT_EQ(FindPortDeviceId(wmi), 0);
    EXPECT_EQ(g_strPortKey, "ACPI\\PNP0401\\1");
}

TEST_F(FindPortDeviceIdTest, InitialisationOrSecurityFailureIsOne) {
    wmi.results["init"] = static_cast<HResult>(0x80010106);  // RPC_E_CHANGED_MODE
    EXPECT_EQ(FindPortDeviceId(wmi), 1);
    EXPECT_EQ(wmi.calls, std::vector<std::string>{"init"});
    FakeWmi denied;
    denied.results["security"] = static_cast<HResult>(0x80070005);
    EXPECT_EQ(FindPortDeviceId(denied), 1);
    EXPECT_EQ(denied.calls, (std::vector<std::string>{"init", "security", "uninit"}));
}

TEST_F(FindPortDeviceIdTest, EachLaterStepFailingIsOneAndCleansUp) {
    for (const std::string step :
         {"locator", "connect ROOT\\CIMV2", "blanket", "query WQL SELECT * FROM Win32_PnPEntity 48"}) {
        FakeWmi failing;
        failing.results[step] = static_cast<HResult>(0x80041003);
        failing.devices = {{{"Name", "Printer Port (LPT1)"}, {"PNPDeviceID", "ACPI\\PNP0401\\1"}}};
        EXPECT_EQ(FindPortDeviceId(failing), 1) << step;
        ASSERT_GE(failing.calls.size(), 2u);
        EXPECT_EQ(failing.calls.back(), "uninit") << step;
        EXPECT_EQ(failing.calls[failing.calls.size() - 2], "release") << step;
        EXPECT_EQ(failing.calls[failing.calls.size() - 3], step);
        EXPECT_EQ(g_strPortKey, "(LPT1)");
    }
}

}  // namespace
