#include "statmon/printer/port_access.h"

#include <gtest/gtest.h>

#include <algorithm>

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
    EXPECT_EQ(DecodePortStatus(0xDF), PORT_STATUS_READY);
    EXPECT_EQ(DecodePortStatus(0xD8), PORT_STATUS_READY);
    EXPECT_EQ(DecodePortStatus(0x7F), PORT_STATUS_NO_RESPONSE);
    EXPECT_EQ(DecodePortStatus(0x78), PORT_STATUS_NO_RESPONSE);
    EXPECT_EQ(DecodePortStatus(0x80), PORT_STATUS_NO_RESPONSE);
    EXPECT_EQ(DecodePortStatus(0x20), PORT_STATUS_PAPER_OUT);
    EXPECT_EQ(DecodePortStatus(0x60), PORT_STATUS_PAPER_OUT);
    EXPECT_EQ(DecodePortStatus(0x08), PORT_STATUS_OFFLINE);
    EXPECT_EQ(DecodePortStatus(0x4F), PORT_STATUS_OFFLINE);
    EXPECT_EQ(DecodePortStatus(0x00), PORT_STATUS_UNKNOWN);
    EXPECT_EQ(DecodePortStatus(0xFF), PORT_STATUS_UNKNOWN);
    EXPECT_EQ(DecodePortStatus(0xBD), PORT_STATUS_UNKNOWN);
}

TEST(PortStatusDecode, LowBitsAndAckNeverMatter) {
    for (int lines = 0; lines < 256; lines += 8) {
        if (lines & 0x40) continue;
        const int code = DecodePortStatus(static_cast<std::uint8_t>(lines));
        for (int other : {0x01, 0x02, 0x04, 0x07, 0x40, 0x47})
            EXPECT_EQ(DecodePortStatus(static_cast<std::uint8_t>(lines | other)), code)
                << lines << " with " << other;
    }
}

// --- Platform ---

TEST(GetPlatform, ExtendedRecordFirst) {
    FakeVersion version;
    version.answers[156] = 2;
    EXPECT_EQ(GetPlatform(version), 2);
    EXPECT_EQ(version.sizes, (std::vector<std::uint32_t>{156}));
}

TEST(GetPlatform, FallsBackToThePlainRecord) {
    FakeVersion version;
    version.answers[148] = 1;
    EXPECT_EQ(GetPlatform(version), 1);
    EXPECT_EQ(version.sizes, (std::vector<std::uint32_t>{156, 148}));
}

TEST(GetPlatform, BothQueriesFailingOrOtherPlatformsGiveZero) {
    FakeVersion none;
    EXPECT_EQ(GetPlatform(none), 0);
    FakeVersion win32s;
    win32s.answers[156] = 0;
    EXPECT_EQ(GetPlatform(win32s), 0);
    FakeVersion ce;
    ce.answers[156] = 3;
    EXPECT_EQ(GetPlatform(ce), 0);
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

TEST(ReadPortByte, FailedDriverRequestReadsZeroNotTheAddress) {
    FakeDevice device;
    device.controlSucceeds = false;
    EXPECT_EQ(ReadPortByte(PLATFORM_NT, 0x379, device), 0);
    EXPECT_EQ(DecodePortStatus(ReadPortByte(PLATFORM_NT, 0x379, device)), PORT_STATUS_UNKNOWN);
}

TEST(ReadPortByte, RequestReturningNoByteReadsZero) {
    FakeDevice device;
    device.ports[0x379] = 0xDF;
    device.controlReturned = 0;
    EXPECT_EQ(ReadPortByte(PLATFORM_NT, 0x379, device), 0);
}

TEST(ReadPortByte, Windows9xUsesThePortInstruction) {
    FakeDevice device;
    device.ports[0x279] = 0x60;
    EXPECT_EQ(ReadPortByte(PLATFORM_WIN9X, 0x279, device), 0x60);
    EXPECT_EQ(device.calls, Calls{"in"});
    EXPECT_TRUE(device.controls.empty());
}

TEST(ReadPortByte, OtherPlatformReadsZeroWithoutTouchingAnything) {
    FakeDevice device;
    device.ports[0x379] = 0xDF;
    EXPECT_EQ(ReadPortByte(0, 0x379, device), 0);
    EXPECT_TRUE(device.calls.empty());
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

TEST(StartPortDriver, StartsOverTheFullConnectionAndClosesBothHandles) {
    FakeServices services;
    EXPECT_EQ(StartPortDriver(services), 0);
    EXPECT_EQ(services.calls, (Calls{"manager-all", "service hwinterface execute", "start", "close",
                                     "close"}));
    EXPECT_TRUE(services.openHandles.empty());
}

TEST(StartPortDriver, RefusedStartIsThree) {
    FakeServices services;
    services.startSucceeds = false;
    EXPECT_EQ(StartPortDriver(services), 3);
    EXPECT_TRUE(services.openHandles.empty());
}

TEST(StartPortDriver, MissingServiceIsOne) {
    FakeServices services;
    services.serviceExists = false;
    EXPECT_EQ(StartPortDriver(services), 1);
    EXPECT_TRUE(services.openHandles.empty());
}

TEST(StartPortDriver, AccessDeniedTriesTheReadOnlyConnection) {
    FakeServices services;
    services.fullAccessError = 5;
    services.startSucceeds = false;
    EXPECT_EQ(StartPortDriver(services), 4);
    EXPECT_EQ(services.calls, (Calls{"manager-all", "manager-read", "service hwinterface execute",
                                     "start", "close", "close"}));
    EXPECT_TRUE(services.openHandles.empty());
}

TEST(StartPortDriver, StartOverTheReadOnlyConnectionStillAnswersOne) {
    FakeServices services;
    services.fullAccessError = 5;
    EXPECT_EQ(StartPortDriver(services), 1);
    EXPECT_TRUE(services.openHandles.empty());
}

TEST(StartPortDriver, ReadOnlyConnectionWithoutServiceOrManagerIsOne) {
    FakeServices noService;
    noService.fullAccessError = 5;
    noService.serviceExists = false;
    EXPECT_EQ(StartPortDriver(noService), 1);
    EXPECT_TRUE(noService.openHandles.empty());

    FakeServices noManager;
    noManager.fullAccessError = 5;
    noManager.readOnlyOpens = false;
    EXPECT_EQ(StartPortDriver(noManager), 1);
}

TEST(StartPortDriver, OtherManagerErrorIsOneWithoutRetry) {
    FakeServices services;
    services.fullAccessError = 1115;
    EXPECT_EQ(StartPortDriver(services), 1);
    EXPECT_EQ(services.calls, Calls{"manager-all"});
}

// --- Driver installation ---

TEST(InstallPortDriver, WritesTheImageAndCreatesTheService) {
    FakeServices services;
    services.serviceExists = false;
    FakeStore store;
    EXPECT_EQ(InstallPortDriver(services, store), 0);
    ASSERT_EQ(store.files.count("C:\\Windows\\system32\\Drivers\\hwinterface.sys"), 1u);
    EXPECT_EQ(store.files.begin()->second, *store.resource);
    ASSERT_EQ(services.created.size(), 1u);
    const ServiceAttributes& s = services.created[0];
    EXPECT_EQ(s.name, "hwinterface");
    EXPECT_EQ(s.displayName, "hwinterface");
    EXPECT_EQ(s.desiredAccess, 0xF01FFu);
    EXPECT_EQ(s.serviceType, 1u);
    EXPECT_EQ(s.startType, 1u);
    EXPECT_EQ(s.errorControl, 1u);
    EXPECT_EQ(s.imagePath, "System32\\Drivers\\hwinterface.sys");
    EXPECT_TRUE(services.openHandles.empty());
}

TEST(InstallPortDriver, ExistingServiceIsFine) {
    FakeServices services;
    FakeStore store;
    EXPECT_EQ(InstallPortDriver(services, store), 0);
    EXPECT_TRUE(services.openHandles.empty());
}

TEST(InstallPortDriver, AccessDeniedIsFive) {
    FakeServices services;
    services.fullAccessError = 5;
    FakeStore store;
    EXPECT_EQ(InstallPortDriver(services, store), 5);
    EXPECT_TRUE(services.created.empty());
}

TEST(InstallPortDriver, OtherManagerErrorIsZero) {
    FakeServices services;
    services.fullAccessError = 1115;
    FakeStore store;
    EXPECT_EQ(InstallPortDriver(services, store), 0);
    EXPECT_TRUE(services.created.empty());
}

TEST(InstallPortDriver, MissingResourceStillCreatesTheService) {
    FakeServices services;
    services.serviceExists = false;
    FakeStore store;
    store.resource.reset();
    EXPECT_EQ(InstallPortDriver(services, store), 0);
    EXPECT_TRUE(store.files.empty());
    EXPECT_EQ(services.created.size(), 1u);
}

TEST(InstallPortDriver, UnknownSystemFolderWritesNoFile) {
    FakeServices services;
    FakeStore store;
    store.systemDir.clear();
    InstallPortDriver(services, store);
    EXPECT_TRUE(store.files.empty());
}

// --- Opening the device ---

TEST(OpenPortDriver, OpenAtOnceIsZero) {
    FakeDevice device;
    device.openResults = {true};
    FakeServices services;
    FakeStore store;
    EXPECT_EQ(OpenPortDriver(device, services, store), 0);
    EXPECT_TRUE(services.calls.empty());
    EXPECT_TRUE(device.open);
}

TEST(OpenPortDriver, StartedServiceOpensOnTheSecondAttempt) {
    FakeDevice device;
    device.openResults = {false, true};
    FakeServices services;
    FakeStore store;
    EXPECT_EQ(OpenPortDriver(device, services, store), 1);
    EXPECT_TRUE(device.open);
    EXPECT_TRUE(services.created.empty());  // started, so no installation
}

TEST(OpenPortDriver, MissingServiceIsInstalledAndStarted) {
    FakeDevice device;
    device.openResults = {false, true};
    FakeServices services;
    services.serviceExists = false;
    FakeStore store;
    EXPECT_EQ(OpenPortDriver(device, services, store), 1);
    EXPECT_EQ(services.created.size(), 1u);
    EXPECT_EQ(store.files.size(), 1u);
    EXPECT_EQ(std::count(services.calls.begin(), services.calls.end(), "start"), 1);
    EXPECT_TRUE(device.open);
    EXPECT_TRUE(services.openHandles.empty());
}

TEST(OpenPortDriver, WithoutRightsTheHandleStaysInvalid) {
    FakeDevice device;
    FakeServices services;
    services.fullAccessError = 5;
    services.serviceExists = false;
    FakeStore store;
    EXPECT_EQ(OpenPortDriver(device, services, store), 1);
    EXPECT_FALSE(device.open);
    EXPECT_TRUE(services.created.empty());
    EXPECT_EQ(std::count(device.calls.begin(), device.calls.end(), "open"), 2);
}

TEST(OpenPortDriver, EarlierHandleIsClosedBeforeTheNextOpen) {
    FakeDevice device;
    device.openResults = {true, true};
    FakeServices services;
    FakeStore store;
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

TEST(ParallelPortStatus, WithoutDriverEveryReadIsUnknown) {
    ComposedPort c;
    c.device->controlSucceeds = false;
    g_nPlatform = 2;
    for (std::uint16_t port : {0x379, 0x3BD, 0x279}) {
        g_wStatusPort = port;
        EXPECT_EQ(c.port->ReadPortStatus(), PORT_STATUS_UNKNOWN) << port;
    }
}

TEST(ParallelPortStatus, UnknownPlatformReadsUnknown) {
    ComposedPort c;
    g_nPlatform = 0;
    g_wStatusPort = 0x379;
    c.device->ports[0x379] = 0xDF;
    EXPECT_EQ(c.port->ReadPortStatus(), PORT_STATUS_UNKNOWN);
}
