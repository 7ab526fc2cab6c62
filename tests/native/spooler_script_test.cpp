// The script format of the tests' spooler stand-in (tests/standin/README.md),
// which the end-to-end scripts write.
#include "standin/spooler_script.h"

#include <gtest/gtest.h>

#include <vector>

using standin::ParseSpoolerScript;
using standin::SpoolerScript;

namespace {

TEST(SpoolerScript, NoScriptLeavesWineAndTheWindowsAnswers) {
    const SpoolerScript script = ParseSpoolerScript("");
    EXPECT_FALSE(script.hasStatus);
    EXPECT_FALSE(script.hasJobs);
    EXPECT_EQ(script.datatype, "RAW");
    EXPECT_EQ(script.printerExists, 1802u);
    EXPECT_EQ(script.unknownPort, 1796u);
    EXPECT_EQ(script.DriverRefusalError("KLR VX 7 Ember"), 0u);
}

TEST(SpoolerScript, StatusAndJobsInDecimalOrHex) {
    const SpoolerScript script = ParseSpoolerScript("status 0x1\r\njobs 16 18 0x2010\r\nhold-after 3\r\n");
    EXPECT_EQ(script.holdAfter, 3);
    EXPECT_EQ(ParseSpoolerScript("status 1").holdAfter, -1);
    EXPECT_TRUE(script.hasStatus);
    EXPECT_EQ(script.status, 1u);
    EXPECT_TRUE(script.hasJobs);
    EXPECT_EQ(script.jobs, (std::vector<std::uint32_t>{16, 18, 8208}));
}

TEST(SpoolerScript, JobsAloneIsAnEmptyQueueAndTheLastLineCounts) {
    const SpoolerScript script = ParseSpoolerScript("jobs 8208\nstatus 1\njobs\nstatus 0\n");
    EXPECT_TRUE(script.hasJobs);
    EXPECT_TRUE(script.jobs.empty());
    EXPECT_TRUE(script.hasStatus);
    EXPECT_EQ(script.status, 0u);
}

TEST(SpoolerScript, DatatypeAndAddPrinterErrors) {
    const SpoolerScript script = ParseSpoolerScript("datatype  NT EMF 1.008 \r\nprinter-exists 0\nunknown-port 87\n");
    EXPECT_EQ(script.datatype, "NT EMF 1.008");
    EXPECT_EQ(script.printerExists, 0u);
    EXPECT_EQ(script.unknownPort, 87u);
}

TEST(SpoolerScript, RefusedDriverIsTheRestOfTheLineInAnyCase) {
    const SpoolerScript script =
        ParseSpoolerScript("refuse-driver-delete 3001   KLR VX 7 Ember  \nrefuse-driver-delete 5 Other\n");
    EXPECT_EQ(script.DriverRefusalError("klr vx 7 ember"), 3001u);
    EXPECT_EQ(script.DriverRefusalError("Other"), 5u);
    EXPECT_EQ(script.DriverRefusalError("KLR VX 7"), 0u);
    EXPECT_EQ(script.DriverRefusalError(nullptr), 0u);
}

TEST(SpoolerScript, CommentsUnknownAndIncompleteLinesAreSkipped) {
    const SpoolerScript script =
        ParseSpoolerScript("# status 1\npause\nstatus\ndatatype\nrefuse-driver-delete 3001\n  \nstatus 4\n");
    EXPECT_EQ(script.status, 4u);
    EXPECT_FALSE(script.hasJobs);
    EXPECT_EQ(script.datatype, "RAW");
    EXPECT_TRUE(script.refusedDrivers.empty());
}

}  // namespace
