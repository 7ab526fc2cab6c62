// With the test image of the port driver (a simulated I/O space instead of
// the port instructions), a status byte written through the driver comes
// back through the monitor's status read and decoding.
#include <windows.h>

#include <gtest/gtest.h>

#include "port_driver_service.h"
#include "statmon/portdriver/port_request.h"
#include "statmon/printer/parallel_port_win.h"

using namespace statmon;

namespace {

class SimulatedPortTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        wintest::RemoveDriverService();
        port_ = new ParallelPort(CreatePortPlatform());
        g_nPlatform = port_->GetPlatform();
        if (g_nPlatform == PLATFORM_NT) port_->OpenPortDriver();
        // Test set-up: Wine loads drivers only from an absolute image path.
        if (g_hPortDriver == INVALID_HANDLE_VALUE && wintest::UseAbsoluteImagePath())
            port_->OpenPortDriver();
        g_wStatusPort = 0x379;
    }
    static void TearDownTestSuite() {
        port_->ClosePortDriver();
        delete port_;
        port_ = nullptr;
        wintest::RemoveDriverService();
        g_nPlatform = 0;
        g_wStatusPort = 0;
    }
    static ParallelPort* port_;
};
ParallelPort* SimulatedPortTest::port_ = nullptr;

TEST_F(SimulatedPortTest, WineIsTheNtFamily) { EXPECT_EQ(g_nPlatform, PLATFORM_NT); }

TEST_F(SimulatedPortTest, InstalledImageIsTheTestImage) {
    const std::vector<unsigned char> built = wintest::BuiltImage("hwinterface_sim.sys");
    ASSERT_GT(built.size(), 512u);
    EXPECT_EQ(wintest::ReadFileBytes(wintest::DriverFilePath()), built);
}

TEST_F(SimulatedPortTest, WrittenStatusComesBackDecoded) {
    ASSERT_NE(g_hPortDriver, INVALID_HANDLE_VALUE);
    const struct {
        std::uint8_t status;
        int code;
    } cases[] = {{0xDF, PORT_STATUS_READY},       {0xD8, PORT_STATUS_READY},
                 {0x7F, PORT_STATUS_NO_RESPONSE}, {0x80, PORT_STATUS_NO_RESPONSE},
                 {0x60, PORT_STATUS_PAPER_OUT},   {0x4F, PORT_STATUS_OFFLINE},
                 {0xFF, PORT_STATUS_UNKNOWN},     {0x00, PORT_STATUS_UNKNOWN}};
    for (const auto& c : cases) {
        port_->WritePortByte(0x379, c.status);
        EXPECT_EQ(port_->ReadPortStatus(), c.code) << int(c.status);
    }
}

TEST_F(SimulatedPortTest, OtherPortsAreSeparate) {
    ASSERT_NE(g_hPortDriver, INVALID_HANDLE_VALUE);
    port_->WritePortByte(0x379, 0x20);
    port_->WritePortByte(0x279, 0xDF);
    EXPECT_EQ(port_->ReadPortStatus(), PORT_STATUS_PAPER_OUT);
    g_wStatusPort = 0x279;
    EXPECT_EQ(port_->ReadPortStatus(), PORT_STATUS_READY);
    g_wStatusPort = 0x379;
}

TEST_F(SimulatedPortTest, AddressesOutsideTheSimulatedPortsAreRefused) {
    ASSERT_NE(g_hPortDriver, INVALID_HANDLE_VALUE);
    port_->WritePortByte(0x37A, 0x0C);
    DWORD returned = 0;
    for (unsigned port : {0x0060u, 0x037Bu, 0x0377u}) {
        unsigned char write[3] = {static_cast<unsigned char>(port),
                                  static_cast<unsigned char>(port >> 8), 0x0C};
        EXPECT_FALSE(DeviceIoControl(g_hPortDriver, HWI_IOCTL_WRITE_PORT_UCHAR, write, 3, nullptr, 0,
                                     &returned, nullptr));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << port;
        unsigned char read[3] = {static_cast<unsigned char>(port),
                                 static_cast<unsigned char>(port >> 8), 0x00};
        EXPECT_FALSE(DeviceIoControl(g_hPortDriver, HWI_IOCTL_READ_PORT_UCHAR, read, 2, read, 1,
                                     &returned, nullptr));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << port;
    }
    // The control register, inside the block, took its write.
    unsigned char control[3] = {0x7A, 0x03, 0x00};
    EXPECT_TRUE(DeviceIoControl(g_hPortDriver, HWI_IOCTL_READ_PORT_UCHAR, control, 2, control, 1,
                                &returned, nullptr));
    EXPECT_EQ(control[0], 0x0C);
}

TEST_F(SimulatedPortTest, RediscoveryReopensAndKeepsReading) {
    ASSERT_NE(g_hPortDriver, INVALID_HANDLE_VALUE);
    port_->WritePortByte(0x379, 0x08);
    EXPECT_EQ(port_->OpenPortDriver(), 0);  // the earlier handle is closed first
    EXPECT_EQ(port_->ReadPortStatus(), PORT_STATUS_OFFLINE);
}

TEST_F(SimulatedPortTest, ClosedDriverReadsAsUnknown) {
    port_->WritePortByte(0x379, 0xDF);
    port_->ClosePortDriver();
    EXPECT_EQ(g_hPortDriver, INVALID_HANDLE_VALUE);
    // The failing request yields 0, not the low byte of the address (0x79).
    EXPECT_EQ(port_->ReadPortStatus(), PORT_STATUS_UNKNOWN);
    EXPECT_EQ(port_->OpenPortDriver(), 0);
    EXPECT_EQ(port_->ReadPortStatus(), PORT_STATUS_READY);
}

}  // namespace
