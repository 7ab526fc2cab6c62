// The lines of the tests' spooler stand-in's script (tests/standin/README.md)
// that no end-to-end script writes yet; the others are read there.
#include "standin/spooler_script.h"

#include <gtest/gtest.h>

using standin::ParseSpoolerScript;
using standin::SpoolerScript;

namespace {

TEST(SpoolerScript, DatatypeAndAddPrinterErrors) {
    const SpoolerScript script = ParseSpoolerScript("datatype  NT EMF 1.008 \r\nprinter-exists 0\nunknown-port 87\n");
    EXPECT_EQ(script.datatype, "NT EMF 1.008");
    EXPECT_EQ(script.printerExists, 0u);
    EXPECT_EQ(script.unknownPort, 87u);
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
