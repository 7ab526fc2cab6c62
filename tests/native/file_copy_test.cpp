// The driver file copy against a recording system.
#include "setup/ui/file_copy.h"

#include <gtest/gtest.h>

#include "native/setup_fakes.h"

namespace {

using namespace setup;
using namespace installation;
using setup_fakes::FakeSystem;

class FileCopyTest : public ::testing::Test {
protected:
    FakeSystem sys;
    InstallerPlatform platform{sys.Platform()};
    CFileCopyCore copy{platform};
};

TEST_F(FileCopyTest, CopiesTheMediumPatternsIntoTheDriverDirectory) {
    testing::internal::CaptureStdout();
    copy.CopyDriverFiles();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Allocating a buffer of size 41\n");
    ASSERT_EQ(sys.fileOperations.size(), 1u);
    const auto& op = sys.fileOperations[0];
    EXPECT_EQ(op.func, 2u);
    EXPECT_EQ(op.from, setup_fakes::Bytes("*.GPD\0*.DLL\0*.INF\0*.HLP\0*.CAT\0*.EXE\0\0"));
    EXPECT_EQ(op.to, sys.driverDirectory + setup_fakes::Bytes("\0\0"));
    EXPECT_EQ(op.flags, 0x210);
    EXPECT_EQ(sys.directoryQuerySizes, (std::vector<std::uint32_t>{10, 41}));
    EXPECT_TRUE(sys.messages.empty());
    EXPECT_TRUE(sys.exits.empty());
    EXPECT_EQ(sys.waitBegun, 1);
    EXPECT_EQ(sys.waitDepth, 0);
}

TEST_F(FileCopyTest, CopiedFilesLoseTheirDownloadMark) {
    // The medium (the working folder) and the marks its files brought along.
    const std::string dir = sys.driverDirectory + "\\";
    for (const char* name : {"VX7EMBER.GPD", "Uninstall.exe", "klrn9pin.dll", "readme.txt"}) {
        sys.files.insert(name);
        sys.files.insert(dir + name + ":Zone.Identifier");
    }
    copy.CopyDriverFiles();
    for (const char* name : {"VX7EMBER.GPD", "Uninstall.exe", "klrn9pin.dll"})
        EXPECT_FALSE(sys.files.count(dir + name + ":Zone.Identifier")) << name;
    // Not copied, so not touched.
    EXPECT_TRUE(sys.files.count(dir + "readme.txt:Zone.Identifier"));
}

TEST_F(FileCopyTest, NoDirectorySaysSoAndGoesOn) {
    sys.directoryFails = true;
    copy.CopyDriverFiles();
    ASSERT_EQ(sys.messages.size(), 1u);
    EXPECT_EQ(sys.messages[0].text, "Unexpected error 0x001C occured.");
    EXPECT_EQ(sys.messages[0].caption, "KLRN Printer Driver - Setup");
    EXPECT_EQ(sys.messages[0].type, 0x10u);
    EXPECT_TRUE(sys.fileOperations.empty());
    EXPECT_TRUE(sys.exits.empty());
    EXPECT_EQ(sys.waitDepth, 0);
}

TEST_F(FileCopyTest, FailedCopyEndsTheProcessWithStatusOne) {
    sys.fileOperationResult = 0x7C;
    copy.CopyDriverFiles();
    EXPECT_EQ(sys.exits, std::vector<std::uint32_t>{1});
    EXPECT_EQ(sys.waitDepthAtExit, 1);  // at once, under the wait cursor
    EXPECT_TRUE(sys.messages.empty());
}

}  // namespace
