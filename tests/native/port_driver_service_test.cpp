// Setup's and Uninstall's care of the monitor's port driver service,
// against a recording service manager and drivers folder.
#include "installation/port_driver_service.h"

#include <gtest/gtest.h>

#include "native/port_driver_fakes.h"

namespace {

using namespace installation;
using driver_fakes::Bytes;
using driver_fakes::FakeDriverSystem;
using driver_fakes::kFile;

using Calls = std::vector<std::string>;

TEST(PortDriverSetup, FreshMachineGetsOurFileAndAServiceUsersMayOnlyStart) {
    FakeDriverSystem system;
    EXPECT_EQ(EnsurePortDriverService(system), PortDriverSetup::Created);
    EXPECT_EQ(system.files[kFile], system.image);
    EXPECT_EQ(system.calls, (Calls{"write", "create hwinterface", "security"}));
    EXPECT_EQ(system.config.startType, kServiceDemandStart);
    EXPECT_EQ(system.config.imagePath, "System32\\Drivers\\hwinterface.sys");
    // Interactive users: SERVICE_START (RP) and nothing else.
    EXPECT_NE(system.security.find("(A;;RP;;;IU)"), std::string::npos);
    EXPECT_EQ(system.security.find(";;;IU)"), system.security.rfind(";;;IU)"));  // one entry
    EXPECT_EQ(system.security.find(";;;WD)"), std::string::npos);
    EXPECT_EQ(system.security.find(";;;BU)"), std::string::npos);
    EXPECT_TRUE(system.open.empty());
    // A second run finds it ours and leaves it on demand.
    system.calls.clear();
    EXPECT_EQ(EnsurePortDriverService(system), PortDriverSetup::Updated);
    EXPECT_EQ(system.calls, (Calls{"change", "security"}));
}

TEST(PortDriverSetup, OurServiceFromAnEarlierMonitorLoadsOnDemandNow) {
    for (const char* path : {"System32\\Drivers\\hwinterface.sys", "\\SystemRoot\\system32\\DRIVERS\\hwinterface.sys",
                             "C:\\Windows\\System32\\drivers\\HWINTERFACE.SYS"}) {
        FakeDriverSystem system;
        system.OurService(path);
        EXPECT_EQ(EnsurePortDriverService(system), PortDriverSetup::Updated) << path;
        EXPECT_EQ(system.calls, (Calls{"change", "security"})) << path;
        EXPECT_EQ(system.config.startType, kServiceDemandStart);
    }
}

TEST(PortDriverSetup, AnotherProductsFileOrServiceIsLeftAlone) {
    FakeDriverSystem foreignFile;  // no service, someone else's file
    foreignFile.files[kFile] = {'M', 'Z', 9};
    EXPECT_EQ(EnsurePortDriverService(foreignFile), PortDriverSetup::Foreign);
    EXPECT_TRUE(foreignFile.calls.empty());
    EXPECT_EQ(foreignFile.files[kFile], (Bytes{'M', 'Z', 9}));

    FakeDriverSystem foreignService;  // a service over someone else's file
    foreignService.OurService();
    foreignService.files[kFile] = {'M', 'Z', 9};
    EXPECT_EQ(EnsurePortDriverService(foreignService), PortDriverSetup::Foreign);
    EXPECT_TRUE(foreignService.calls.empty());

    FakeDriverSystem elsewhere;  // our file, but the service runs another file
    elsewhere.OurService("System32\\Drivers\\other\\hwinterface.sys");
    EXPECT_EQ(EnsurePortDriverService(elsewhere), PortDriverSetup::Foreign);
    EXPECT_TRUE(elsewhere.calls.empty());

    FakeDriverSystem noFile;  // a service whose file is missing is nobody's we know
    noFile.OurService();
    noFile.files.clear();
    EXPECT_EQ(EnsurePortDriverService(noFile), PortDriverSetup::Foreign);
    EXPECT_TRUE(noFile.calls.empty());
}

TEST(PortDriverSetup, WithoutTheCarriedImageNothingIsTouched) {
    FakeDriverSystem system;
    system.carries = false;
    EXPECT_EQ(EnsurePortDriverService(system), PortDriverSetup::Failed);
    EXPECT_EQ(RemovePortDriverService(system), PortDriverRemoval::Failed);
    system.OurService();
    EXPECT_EQ(RemovePortDriverService(system), PortDriverRemoval::Failed);
    EXPECT_TRUE(system.calls.empty());
}

TEST(PortDriverRemoval, OurServiceIsStoppedAndDeletedWithItsFile) {
    FakeDriverSystem system;
    system.OurService();
    EXPECT_EQ(RemovePortDriverService(system), PortDriverRemoval::Removed);
    EXPECT_EQ(system.calls, (Calls{"stop", "delete service", "delete file"}));
    EXPECT_FALSE(system.files.count(kFile));
    EXPECT_TRUE(system.open.empty());
    // Nothing left: nothing to do.
    system.calls.clear();
    EXPECT_EQ(RemovePortDriverService(system), PortDriverRemoval::Absent);
    EXPECT_TRUE(system.calls.empty());
}

TEST(PortDriverRemoval, FileStillLoadedGoesAtRestartOurFileWithoutServiceGoesAtOnce) {
    FakeDriverSystem loaded;
    loaded.OurService();
    loaded.inUse.insert(kFile);
    EXPECT_EQ(RemovePortDriverService(loaded), PortDriverRemoval::AtRestart);
    EXPECT_EQ(loaded.calls.back(), "delete file at restart");

    FakeDriverSystem fileOnly;
    fileOnly.files[kFile] = fileOnly.image;
    EXPECT_EQ(RemovePortDriverService(fileOnly), PortDriverRemoval::Removed);
    EXPECT_EQ(fileOnly.calls, (Calls{"delete file"}));
}

TEST(PortDriverRemoval, AnotherProductsServiceAndFileStay) {
    FakeDriverSystem foreignService;
    foreignService.OurService();
    foreignService.files[kFile] = {'M', 'Z', 9};
    EXPECT_EQ(RemovePortDriverService(foreignService), PortDriverRemoval::Foreign);
    FakeDriverSystem foreignFile;
    foreignFile.files[kFile] = {'M', 'Z', 9};
    EXPECT_EQ(RemovePortDriverService(foreignFile), PortDriverRemoval::Foreign);
    FakeDriverSystem elsewhere;
    elsewhere.OurService("\\??\\D:\\Tools\\hwinterface.sys");
    EXPECT_EQ(RemovePortDriverService(elsewhere), PortDriverRemoval::Foreign);
    for (auto* system : {&foreignService, &foreignFile, &elsewhere}) {
        EXPECT_TRUE(system->calls.empty());
        EXPECT_TRUE(system->files.count(kFile));
    }
}

}  // namespace
