#include "statmon/printer/port_access.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "native/port_fakes.h"
#include "statmon/portdriver/port_request.h"
#include "statmon/printer/parallel_port.h"
#include "statmon/printer/parallel_port_core.h"

using namespace statmon;
using fakes::FakeDevice;
using fakes::FakeServices;
using fakes::FakeStore;
using fakes::FakeVersion;
using Calls = std::vector<std::string>;

namespace {

// The decoding table written as patterns over the four status lines
// (BUSY 0x80, PAPER END 0x20, SELECT 0x10, nERROR 0x08).
int ExpectedCode(int byte) {
    switch (byte & 0xB8) {
    case 0x38: return 1;
    case 0x80: return 1;
    case 0x98: return 2;
    case 0x20: return 3;
    case 0x08: return 4;
    default: return -1;
    }
}

}  // namespace

// --- Status decoding ---

TEST(PortStatusDecode, EveryByteFollowsTheRowTable) {
    for (int byte = 0; byte < 256; ++byte)
        EXPECT_EQ(DecodePortStatus(static_cast<std::uint8_t>(byte)), ExpectedCode(byte))
            << "status byte " << byte;
}

TEST(PortStatusDecode, NamedExamples) {
    const std::pair<int, int> examples[] = {
        {0xDF, PORT_STATUS_READY},      {0xD8, PORT_STATUS_READY},     {0x7F, PORT_STATUS_NO_RESPONSE},
        {0x78, PORT_STATUS_NO_RESPONSE}, {0x80, PORT_STATUS_NO_RESPONSE}, {0x20, PORT_STATUS_PAPER_OUT},
        {0x60, PORT_STATUS_PAPER_OUT},  {0x08, PORT_STATUS_OFFLINE},   {0x4F, PORT_STATUS_OFFLINE},
        {0x00, PORT_STATUS_UNKNOWN},    {0xFF, PORT_STATUS_UNKNOWN},   {0xBD, PORT_STATUS_UNKNOWN},
    };
    for (const auto& e : examples)
        EXPECT_EQ(DecodePortStatus(static_cast<std::uint8_t>(e.first)), e.second) << std::hex << e.first;
}

// --- Platform ---

TEST(GetPlatform, ExtendedRecordFirstThenThePlainOne) {
    struct Case {
        std::optional<std::uint32_t> extended, plain;
        int platform;
        std::vector<std::uint32_t> sizes;
    };
    const Case cases[] = {
        {2u, std::nullopt, 2, {156}},
        {std::nullopt, 1u, 1, {156, 148}},
        {std::nullopt, std::nullopt, 0, {156, 148}},
        {0u, std::nullopt, 0, {156}},  // Win32s
        {3u, std::nullopt, 0, {156}},  // CE
    };
    for (const Case& c : cases) {
        FakeVersion version;
        if (c.extended) version.answers[156] = c.extended;
        if (c.plain) version.answers[148] = c.plain;
        EXPECT_EQ(GetPlatform(version), c.platform) << c.platform;
        EXPECT_EQ(version.sizes, c.sizes) << c.platform;
    }
}

// --- Byte read and write ---

TEST(ReadPortByte, DriverRequestCarriesTheAddress) {
    FakeDevice device;
    device.ports[0x379] = 0xDF;
    EXPECT_EQ(ReadPortByte(PLATFORM_NT, 0x379, device), 0xDF);
    ASSERT_EQ(device.controls.size(), 1u);
    EXPECT_EQ(device.controls[0].code, 0x9C402004u);
    EXPECT_EQ(device.controls[0].in, (std::vector<std::uint8_t>{0x79, 0x03}));
    EXPECT_EQ(device.controls[0].outSize, 1u);
}

TEST(ReadPortByte, FailedOrEmptyDriverRequestReadsZeroNotTheAddress) {
    FakeDevice failed;
    failed.ports[0x379] = 0xDF;
    failed.controlSucceeds = false;
    EXPECT_EQ(ReadPortByte(PLATFORM_NT, 0x379, failed), 0);
    EXPECT_EQ(DecodePortStatus(ReadPortByte(PLATFORM_NT, 0x379, failed)), PORT_STATUS_UNKNOWN);
    FakeDevice empty;
    empty.ports[0x379] = 0xDF;
    empty.controlReturned = 0;
    EXPECT_EQ(ReadPortByte(PLATFORM_NT, 0x379, empty), 0);
}

TEST(ReadPortByte, Windows9xUsesThePortInstructionOtherPlatformsNothing) {
    FakeDevice device;
    device.ports[0x279] = 0x60;
    EXPECT_EQ(ReadPortByte(PLATFORM_WIN9X, 0x279, device), 0x60);
    EXPECT_EQ(device.calls, Calls{"in"});
    EXPECT_EQ(ReadPortByte(0, 0x279, device), 0);
    EXPECT_EQ(device.calls, Calls{"in"});
    EXPECT_TRUE(device.controls.empty());
}

TEST(WritePortByte, DriverRequestIsTheThreeByteRecord) {
    FakeDevice device;
    WritePortByte(PLATFORM_NT, 0x37A, 0x0C, device);
    ASSERT_EQ(device.controls.size(), 1u);
    EXPECT_EQ(device.controls[0].code, 0x9C402008u);
    EXPECT_EQ(device.controls[0].in, (std::vector<std::uint8_t>{0x7A, 0x03, 0x0C}));
    WritePortByte(0, 0x37A, 0x0C, device);
    EXPECT_EQ(device.controls.size(), 1u);
    WritePortByte(PLATFORM_WIN9X, 0x37A, 0x0C, device);
    EXPECT_EQ(device.ports[0x37A], 0x0C);
}

// --- Driver start ---

TEST(StartPortDriver, AsksForExactlyTheStartRightAndClosesBothHandles) {
    FakeServices services;
    EXPECT_EQ(StartPortDriver(services), 0);
    EXPECT_EQ(services.calls, (Calls{"manager-connect", "service hwinterface start", "start", "close",
                                     "close"}));
    struct Case {
        bool connectOpens, serviceExists, startSucceeds;
        std::uint32_t startError;
        int code;
    };
    for (const Case& c : {Case{true, true, false, 1058, 3}, Case{true, true, false, 1056, 0},  // already running
                          Case{true, false, true, 0, 1}, Case{false, true, true, 0, 1}}) {
        FakeServices services;
        services.connectOpens = c.connectOpens;
        services.serviceExists = c.serviceExists;
        services.startSucceeds = c.startSucceeds;
        services.startError = c.startError;
        EXPECT_EQ(StartPortDriver(services), c.code) << c.startError;
        EXPECT_TRUE(services.openHandles.empty());
    }
}

// --- Driver installation and opening ---

class PortDriver : public ::testing::Test {
protected:
    FakeDevice device;
    FakeServices services;
    FakeStore store;
    const std::string driverFile = "C:\\Windows\\system32\\Drivers\\hwinterface.sys";
};
using PortDriverInstall = PortDriver;
using PortDriverOpen = PortDriver;

TEST_F(PortDriverInstall, WritesTheImageAndCreatesTheServiceOnDemandForInteractiveUsers) {
    services.serviceExists = false;
    EXPECT_EQ(InstallPortDriver(services, store), 0);
    EXPECT_EQ(store.files[driverFile], *store.resource);
    ASSERT_EQ(services.created.size(), 1u);
    const ServiceAttributes& s = services.created[0];
    EXPECT_EQ(s.name + s.displayName + s.imagePath, "hwinterfacehwinterfaceSystem32\\Drivers\\hwinterface.sys");
    EXPECT_EQ(s.desiredAccess, 0x40000u);  // WRITE_DAC, for its security
    EXPECT_EQ(s.serviceType * 100 + s.startType * 10 + s.errorControl, 131u);  // kernel, on demand, normal
    EXPECT_NE(s.security.find("(A;;RP;;;IU)"), std::string::npos) << s.security;
    EXPECT_TRUE(services.openHandles.empty());
}

TEST_F(PortDriverInstall, OurFileIsUsedAnotherProductsIsNeverTouchedNorAnUnknownOne) {
    store.files[driverFile] = *store.resource;
    services.serviceExists = false;
    EXPECT_EQ(InstallPortDriver(services, store), 0);
    EXPECT_TRUE(store.writes.empty());
    EXPECT_EQ(services.created.size(), 1u);
    // Another product's file, one that cannot be read, no image or no system folder: nothing at all.
    for (int c = 0; c < 4; ++c) {
        FakeServices other;
        other.serviceExists = false;
        FakeStore odd;
        odd.files[driverFile] = {'M', 'Z', 9};
        if (c == 1) odd.unreadable.insert(driverFile);
        if (c == 2) odd.resource.reset();
        if (c == 3) odd.systemDir.clear();
        EXPECT_EQ(InstallPortDriver(other, odd), 0);
        EXPECT_TRUE(odd.writes.empty()) << c;
        EXPECT_EQ(odd.files[driverFile], (std::vector<std::uint8_t>{'M', 'Z', 9})) << c;
        EXPECT_TRUE(other.calls.empty()) << c;
    }
}

TEST_F(PortDriverInstall, ExistingServiceIsFineWithoutManagerNothingIsCreated) {
    // Existing service: 0; access denied: 5 (and no file written); any other manager error: 0.
    for (std::uint32_t error : {0u, 5u, 1115u}) {
        FakeServices services;
        FakeStore store;
        services.fullAccessError = error;
        EXPECT_EQ(InstallPortDriver(services, store), error == 5 ? 5 : 0) << error;
        if (error != 0) {
            EXPECT_TRUE(services.created.empty()) << error;
            EXPECT_TRUE(store.writes.empty()) << error;
        }
        EXPECT_TRUE(services.openHandles.empty()) << error;
    }
}

TEST_F(PortDriverOpen, OpenAtOnceIsZero) {
    device.openResults = {true};
    EXPECT_EQ(OpenPortDriver(device, services, store), 0);
    EXPECT_TRUE(services.calls.empty());
    EXPECT_TRUE(device.open);
}

TEST_F(PortDriverOpen, StartedServiceOpensOnTheSecondAttempt) {
    device.openResults = {false, true};
    EXPECT_EQ(OpenPortDriver(device, services, store), 1);
    EXPECT_TRUE(device.open);
    EXPECT_TRUE(services.created.empty());  // started, so no installation
}

TEST_F(PortDriverOpen, MissingServiceIsInstalledAndStarted) {
    device.openResults = {false, true};
    services.serviceExists = false;
    EXPECT_EQ(OpenPortDriver(device, services, store), 1);
    EXPECT_EQ(services.created.size(), 1u);
    EXPECT_EQ(store.files.size(), 1u);
    EXPECT_EQ(std::count(services.calls.begin(), services.calls.end(), "start"), 1);
    EXPECT_TRUE(device.open);
    EXPECT_TRUE(services.openHandles.empty());
}

TEST_F(PortDriverOpen, WithoutRightsTheHandleStaysInvalid) {
    services.fullAccessError = 5;
    services.serviceExists = false;
    EXPECT_EQ(OpenPortDriver(device, services, store), 1);
    EXPECT_FALSE(device.open);
    EXPECT_TRUE(services.created.empty());
    EXPECT_TRUE(store.writes.empty());
    EXPECT_EQ(std::count(device.calls.begin(), device.calls.end(), "open"), 2);
}

TEST_F(PortDriverOpen, AStandardUserStartsTheServiceSetupLeft) {
    device.openResults = {false, true};
    services.fullAccessError = 5;  // not elevated
    EXPECT_EQ(OpenPortDriver(device, services, store), 1);
    EXPECT_TRUE(device.open);
    EXPECT_EQ(std::count(services.calls.begin(), services.calls.end(), "manager-create"), 0);
}

TEST_F(PortDriverOpen, EarlierHandleIsClosedBeforeTheNextOpen) {
    device.openResults = {true, true};
    OpenPortDriver(device, services, store);
    OpenPortDriver(device, services, store);
    EXPECT_EQ(device.calls, (Calls{"open", "close", "open"}));
}

// --- The composed port access as discovery and the timer use it ---

namespace {

struct ComposedPort {
    FakeDevice* device = nullptr;
    std::unique_ptr<ParallelPort> port;
    ComposedPort() {
        PortPlatform platform;
        auto fakeDevice = std::make_unique<FakeDevice>();
        device = fakeDevice.get();
        platform.device = std::move(fakeDevice);
        auto version = std::make_unique<FakeVersion>();
        version->answers[156] = 2;
        platform.version = std::move(version);
        platform.services = std::make_unique<FakeServices>();
        platform.store = std::make_unique<FakeStore>();
        port = std::make_unique<ParallelPort>(std::move(platform));
    }
    ~ComposedPort() {
        g_nPlatform = 0;
        g_wStatusPort = 0;
    }
};

}  // namespace

TEST(ParallelPortStatus, ReadsTheStatusRegisterOnTheDiscoveredPlatform) {
    ComposedPort c;
    c.device->openResults = {true};
    g_nPlatform = c.port->GetPlatform();
    EXPECT_EQ(g_nPlatform, 2);
    EXPECT_EQ(c.port->OpenPortDriver(), 0);
    g_wStatusPort = 0x379;
    c.device->ports[0x379] = 0x60;
    EXPECT_EQ(c.port->ReadPortStatus(), PORT_STATUS_PAPER_OUT);
    c.device->ports[0x379] = 0xDF;
    EXPECT_EQ(c.port->ReadPortStatus(), PORT_STATUS_READY);
    c.port->ClosePortDriver();
    EXPECT_FALSE(c.device->open);
}

TEST(ParallelPortStatus, WithoutDriverOrPlatformEveryReadIsUnknown) {
    ComposedPort c;
    c.device->ports[0x379] = 0xDF;
    g_wStatusPort = 0x379;
    g_nPlatform = 0;
    EXPECT_EQ(c.port->ReadPortStatus(), PORT_STATUS_UNKNOWN);
    c.device->controlSucceeds = false;
    g_nPlatform = 2;
    for (std::uint16_t port : {0x379, 0x3BD, 0x279}) {
        g_wStatusPort = port;
        EXPECT_EQ(c.port->ReadPortStatus(), PORT_STATUS_UNKNOWN) << port;
    }
}
