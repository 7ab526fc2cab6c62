// The monitor installs, starts and opens the real port driver from its
// resource, and never writes over another product's driver file;
// requests that touch no port are answered as the device interface says.
// (A port instruction would crash Wine's driver
// host, so no request here reaches the hardware: Wine has no parallel port
// devices, so the driver knows no port and refuses every address. Wine's
// driver host hands a create no security context, so who may open the
// device cannot be seen here: it is tested natively.)
#include <windows.h>

#include <gtest/gtest.h>

#include "port_driver_service.h"
#include "statmon/portdriver/port_request.h"
#include "statmon/printer/parallel_port_win.h"

using namespace statmon;

namespace {

struct Installation {
    int firstOpen = -1;
    bool firstHandleValid = true;
    wintest::ServiceConfig productConfig;
    bool pathAdjusted = false;
    int started = -1;
    int secondOpen = -1;
};
Installation g_install;


class PortDriverTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        wintest::RemoveDriverService();
        PortPlatform platform = CreatePortPlatform();
        g_install.firstOpen = OpenPortDriver(*platform.device, *platform.services, *platform.store);
        g_install.firstHandleValid = g_hPortDriver != INVALID_HANDLE_VALUE;
        g_install.productConfig = wintest::QueryDriverService();
        // Test set-up: Wine loads drivers only from an absolute image path.
        g_install.pathAdjusted = wintest::UseAbsoluteImagePath();
        g_install.started = StartPortDriver(*platform.services);
        g_install.secondOpen = OpenPortDriver(*platform.device, *platform.services, *platform.store);
    }
    static void TearDownTestSuite() {
        CreatePortDevice()->Close();
        wintest::RemoveDriverService();
    }

    static DWORD Control(DWORD code, unsigned char* buffer, DWORD in, DWORD out, DWORD* returned) {
        *returned = 0xDEAD;
        if (DeviceIoControl(g_hPortDriver, code, buffer, in, buffer, out, returned, nullptr))
            return 0;
        return GetLastError();
    }
};

TEST_F(PortDriverTest, ServiceIsCreatedAsTheMonitorDescribesIt) {
    ASSERT_TRUE(g_install.productConfig.found);
    EXPECT_EQ(g_install.productConfig.type, static_cast<DWORD>(SERVICE_KERNEL_DRIVER));
    EXPECT_EQ(g_install.productConfig.start, static_cast<DWORD>(SERVICE_DEMAND_START));
    EXPECT_EQ(g_install.productConfig.errorControl, static_cast<DWORD>(SERVICE_ERROR_NORMAL));
    EXPECT_EQ(g_install.productConfig.displayName, "hwinterface");
    // The monitor keeps the relative path Windows resolves.
    EXPECT_EQ(g_install.productConfig.imagePath, "System32\\Drivers\\hwinterface.sys");
}

TEST_F(PortDriverTest, DriverFileIsTheEmbeddedImage) {
    const std::vector<unsigned char> built = wintest::BuiltImage("hwinterface.sys");
    ASSERT_GT(built.size(), 512u);
    EXPECT_EQ(wintest::ReadFileBytes(wintest::DriverFilePath()), built);
    auto resource = CreateDriverImageStore()->DriverResource();
    ASSERT_TRUE(resource.has_value());
    EXPECT_EQ(std::vector<unsigned char>(resource->begin(), resource->end()), built);
}

TEST_F(PortDriverTest, MonitorCarriesTheReleaseImage) {
    const char* binary = getenv("KLRN_BINARY_DIR");
    ASSERT_NE(binary, nullptr);
    const std::string exe = std::string(binary) + "\\statmon\\statmon.exe";
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) GTEST_SKIP() << "statmon.exe not built";
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(164), "bin");
    ASSERT_NE(found, nullptr);
    const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(module, found)));
    ASSERT_NE(bytes, nullptr);
    const std::vector<unsigned char> embedded(bytes, bytes + SizeofResource(module, found));
    FreeLibrary(module);
    EXPECT_EQ(embedded, wintest::BuiltImage("hwinterface.sys"));
    EXPECT_NE(embedded, wintest::BuiltImage("hwinterface_sim.sys"));
}

TEST_F(PortDriverTest, ImageCarriesItsVersionBlock) {
    const std::string path = wintest::DriverFilePath();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<unsigned char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));
    auto text = [&](const char* name) {
        char* value = nullptr;
        UINT length = 0;
        std::string key = std::string("\\StringFileInfo\\040904b0\\") + name;
        if (!VerQueryValueA(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &length))
            return std::string("<missing>");
        return std::string(value);
    };
    EXPECT_EQ(text("OriginalFilename"), "hwinterface.sys");
    EXPECT_EQ(text("ProductName"), "hwinterface Driver Version 1.1");
    EXPECT_EQ(text("FileVersion"), "5.00.2195.1620");
}

TEST_F(PortDriverTest, WineNeedsTheAbsolutePathThenTheDeviceOpens) {
    // Under Wine the first start fails on the relative path: not at once.
    EXPECT_EQ(g_install.firstOpen, 1);
    EXPECT_FALSE(g_install.firstHandleValid);
    EXPECT_TRUE(g_install.pathAdjusted);
    EXPECT_EQ(g_install.started, 0);     // started with the start right alone
    EXPECT_EQ(g_install.secondOpen, 0);  // and opened at once
    EXPECT_NE(g_hPortDriver, INVALID_HANDLE_VALUE);
}

TEST_F(PortDriverTest, OneByteReadRequestCompletesWithoutAPort) {
    ASSERT_NE(g_hPortDriver, INVALID_HANDLE_VALUE);
    unsigned char buffer[3] = {0x79, 0x03, 0x00};
    DWORD returned = 0;
    EXPECT_EQ(Control(HWI_IOCTL_READ_PORT_UCHAR, buffer, 1, 1, &returned), 0u);
    EXPECT_EQ(returned, 0u);
    EXPECT_EQ(buffer[0], 0x79);
}

TEST_F(PortDriverTest, CreateWithoutSecurityContextGetsNoWriteRight) {
    // Wine's driver host hands the create no security context, and gives
    // out the handle although the driver refused it: the driver took the
    // requestor for nobody, so even a write it would ignore is refused.
    ASSERT_NE(g_hPortDriver, INVALID_HANDLE_VALUE);
    unsigned char buffer[3] = {0x7A, 0x03, 0x0C};
    DWORD returned = 0;
    EXPECT_EQ(Control(HWI_IOCTL_WRITE_PORT_UCHAR, buffer, 2, 0, &returned),
              static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(PortDriverTest, UnknownCodeIsRefused) {
    ASSERT_NE(g_hPortDriver, INVALID_HANDLE_VALUE);
    unsigned char buffer[3] = {0x79, 0x03, 0x00};
    DWORD returned = 0;
    // STATUS_UNSUCCESSFUL reaches user mode as ERROR_GEN_FAILURE.
    EXPECT_EQ(Control(0x9C40200C, buffer, 3, 3, &returned), static_cast<DWORD>(ERROR_GEN_FAILURE));
    EXPECT_EQ(buffer[0], 0x79);
}

TEST_F(PortDriverTest, KeyboardControllerIsRefusedAndTheDriverAnswersOn) {
    ASSERT_NE(g_hPortDriver, INVALID_HANDLE_VALUE);
    unsigned char read[3] = {0x60, 0x00, 0x00};
    DWORD returned = 0;
    EXPECT_EQ(Control(HWI_IOCTL_READ_PORT_UCHAR, read, 2, 1, &returned),
              static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(read[0], 0x60);
    // A write there is refused as well (natively: for the port, not only the right).
    unsigned char write[3] = {0x64, 0x00, 0xFE};
    EXPECT_EQ(Control(HWI_IOCTL_WRITE_PORT_UCHAR, write, 3, 0, &returned),
              static_cast<DWORD>(ERROR_ACCESS_DENIED));
    // A port instruction would have killed the driver host, which then
    // answers 5 to everything: an unknown code still gets its own answer.
    unsigned char other[3] = {0x79, 0x03, 0x00};
    EXPECT_EQ(Control(0x9C40200C, other, 3, 3, &returned), static_cast<DWORD>(ERROR_GEN_FAILURE));
}

TEST_F(PortDriverTest, AlreadyRunningDriverOpensAtOnceAndCountsAsStarted) {
    PortPlatform platform = CreatePortPlatform();
    EXPECT_EQ(OpenPortDriver(*platform.device, *platform.services, *platform.store), 0);
    EXPECT_NE(g_hPortDriver, INVALID_HANDLE_VALUE);
    EXPECT_EQ(StartPortDriver(*platform.services), 0);
}

TEST(PortDriverBesideAnotherProduct, MonitorNeitherOverwritesItsFileNorMakesItAService) {
    wintest::RemoveDriverService();
    const std::vector<unsigned char> foreign{'M', 'Z', 0x90, 0, 'o', 't', 'h', 'e', 'r'};
    std::ofstream(wintest::DriverFilePath(), std::ios::binary).write(reinterpret_cast<const char*>(foreign.data()),
                                                                    static_cast<std::streamsize>(foreign.size()));
    PortPlatform platform = CreatePortPlatform();
    EXPECT_EQ(OpenPortDriver(*platform.device, *platform.services, *platform.store), 1);
    EXPECT_EQ(wintest::ReadFileBytes(wintest::DriverFilePath()), foreign);
    EXPECT_FALSE(wintest::QueryDriverService().found);
    wintest::RemoveDriverService();
}

}  // namespace
