// Setup's and Uninstall's care of the monitor's port driver service,
// against a recording service manager and drivers folder.
#include "installation/port_driver_service.h"

#include <gtest/gtest.h>

#include "native/port_driver_fakes.h"

namespace {

using namespace installation;
using driver_fakes::FakeDriverSystem;
using driver_fakes::kFile;
using Calls = std::vector<std::string>;

TEST(PortDriverSetup, FreshMachineGetsOurFileAndAServiceUsersMayOnlyStart) {
    FakeDriverSystem system;
    EXPECT_EQ(EnsurePortDriverService(system), PortDriverSetup::Created);
    EXPECT_EQ(system.files[kFile], system.image);
    EXPECT_EQ(system.calls, (Calls{"write", "create hwinterface", "security"}));
    EXPECT_EQ(system.config.startType, kServiceDemandStart);
    // Interactive users: one entry, SERVICE_START (RP) alone; no one else beyond SYSTEM and administrators.
    EXPECT_NE(system.security.find("(A;;RP;;;IU)"), std::string::npos);
    EXPECT_EQ(system.security.find(";;;IU)"), system.security.rfind(";;;IU)"));
    for (const char* other : {";;;WD)", ";;;BU)", ";;;AU)"}) EXPECT_EQ(system.security.find(other), std::string::npos);
    EXPECT_TRUE(system.open.empty());
}

TEST(PortDriverSetup, OurServiceIsSetToLoadOnDemandWhateverItsPathSays) {
    for (const char* path : {"System32\\Drivers\\hwinterface.sys", "\\SystemRoot\\system32\\DRIVERS\\hwinterface.sys",
                             "C:\\Windows\\System32\\drivers\\HWINTERFACE.SYS"}) {
        FakeDriverSystem system;
        system.OurService(path);
        EXPECT_EQ(EnsurePortDriverService(system), PortDriverSetup::Updated) << path;
        EXPECT_EQ(system.calls, (Calls{"change", "security"})) << path;
        EXPECT_EQ(system.config.startType, kServiceDemandStart);
    }
}

TEST(PortDriverSetup, AnotherProductsFileOrServiceIsNeverTouched) {
    FakeDriverSystem cases[5];
    cases[0].files[kFile] = {'M', 'Z', 9};  // someone else's file, no service
    cases[1].OurService();                  // a service over someone else's file
    cases[1].files[kFile] = {'M', 'Z', 9};
    cases[2].OurService("System32\\Drivers\\other\\hwinterface.sys");  // runs another file
    cases[3].OurService("\\??\\D:\\Tools\\hwinterface.sys");
    cases[4].OurService();                  // a service whose file is missing
    cases[4].files.clear();
    for (FakeDriverSystem& system : cases) {
        const auto files = system.files;
        EXPECT_EQ(EnsurePortDriverService(system), PortDriverSetup::Foreign);
        EXPECT_EQ(RemovePortDriverService(system), PortDriverRemoval::Foreign);
        EXPECT_TRUE(system.calls.empty());
        EXPECT_EQ(system.files, files);
    }
    // Without the carried image nothing can be told ours.
    FakeDriverSystem noImage;
    noImage.OurService();
    noImage.image.clear();
    EXPECT_EQ(EnsurePortDriverService(noImage), PortDriverSetup::Failed);
    EXPECT_EQ(RemovePortDriverService(noImage), PortDriverRemoval::Failed);
    EXPECT_TRUE(noImage.calls.empty());
}

TEST(PortDriverRemoval, OurServiceIsStoppedAndDeletedWithItsFile) {
    FakeDriverSystem system;
    system.OurService();
    EXPECT_EQ(RemovePortDriverService(system), PortDriverRemoval::Removed);
    EXPECT_EQ(system.calls, (Calls{"stop", "delete service", "delete file"}));
    EXPECT_TRUE(system.files.empty());
    EXPECT_TRUE(system.open.empty());
    EXPECT_EQ(RemovePortDriverService(system), PortDriverRemoval::Absent);
    // A file still loaded goes at restart; our file without a service goes at once.
    FakeDriverSystem loaded;
    loaded.OurService();
    loaded.inUse = true;
    EXPECT_EQ(RemovePortDriverService(loaded), PortDriverRemoval::AtRestart);
    FakeDriverSystem fileOnly;
    fileOnly.files[kFile] = fileOnly.image;
    EXPECT_EQ(RemovePortDriverService(fileOnly), PortDriverRemoval::Removed);
    EXPECT_EQ(fileOnly.calls, (Calls{"delete file"}));
}

}  // namespace
